// The hall double's message object and its export. Every call is logged with
// its arguments to "hall_calls.log"; events and messages are delivered from a
// thread of the library's own, as a real pipe client would.
#include "common/file_util.h"
#include "hall_interface.h"
#include "scenario.h"
#include "tests/doubles/append_line.h"
#include "tests/doubles/this_module.h"

#include <algorithm>
#include <cstring>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace hall_double;

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

class HallDouble final : public MessageObject {
public:
    HallDouble() : folder_(ThisModuleFolder()) {
        InitializeCriticalSection(&lock_);
        stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        std::string text, error;
        if (ReadWholeFile(folder_ + L"hall_scenario.txt", text) && !ParseScenario(text, scenario_, error))
            Log("scenario error: " + error);
        Log("create");
    }

    int HALL_DOUBLE_CALL Initialise() override {
        Log("initialise");
        return 1;
    }

    int HALL_DOUBLE_CALL Connect(const char* procPara) override {
        std::string text = procPara != nullptr ? procPara : "(null)";
        Log("connect \"" + text + "\" -> " + std::to_string(scenario_.connectResult));
        if (scenario_.connectResult == 0) return 0;
        EnterCriticalSection(&lock_);
        ScheduleTrigger(ScenarioAction::kOnConnect, "");
        LeaveCriticalSection(&lock_);
        if (thread_ == nullptr) thread_ = CreateThread(nullptr, 0, &HallDouble::ThreadMain, this, 0, &threadId_);
        return scenario_.connectResult;
    }

    void HALL_DOUBLE_CALL Release() override {
        Log("release");
        SetEvent(stop_);
        if (thread_ != nullptr) {
            if (GetCurrentThreadId() != threadId_) WaitForSingleObject(thread_, INFINITE);
            CloseHandle(thread_);
        }
        CloseHandle(stop_);
        DeleteCriticalSection(&lock_);
        delete this;
    }

    int HALL_DOUBLE_CALL IsConnected() override {
        EnterCriticalSection(&lock_);
        int connected = connected_ ? 1 : 0;
        LeaveCriticalSection(&lock_);
        Log("is-connected -> " + std::to_string(connected));
        return connected;
    }

    int HALL_DOUBLE_CALL Send(int size, const void* record) override {
        int32_t header[2] = {0, 0};
        std::string body;
        if (record != nullptr && size >= 8) {
            std::memcpy(header, record, 8);
            body.assign(static_cast<const char*>(record) + 8, static_cast<size_t>(size - 8));
        }
        Log("send size=" + std::to_string(size) + " type=" + std::to_string(header[0]) +
            " length=" + std::to_string(header[1]) + " body=" + Hex(body));
        if (header[0] == kFreshParameterRequest) {
            EnterCriticalSection(&lock_);
            ScheduleTrigger(ScenarioAction::kOnRequest, "");
            LeaveCriticalSection(&lock_);
        }
        return 1;
    }

    void HALL_DOUBLE_CALL AddEventHandler(EventHandler* handler) override {
        Log("add-handler");
        EnterCriticalSection(&lock_);
        handlers_.push_back(handler);
        LeaveCriticalSection(&lock_);
    }

    void HALL_DOUBLE_CALL RemoveEventHandler(EventHandler* handler) override {
        Log("remove-handler");
        // Waits for a delivery in progress: no call reaches a removed handler.
        EnterCriticalSection(&lock_);
        handlers_.erase(std::remove(handlers_.begin(), handlers_.end(), handler), handlers_.end());
        LeaveCriticalSection(&lock_);
    }

private:
    struct Due {
        ULONGLONG at;
        size_t order;
        const ScenarioAction* action;
    };

    ~HallDouble() = default;

    void Log(const std::string& line) {
        AppendLineToLog(folder_ + L"hall_calls.log", line);
    }

    // Called with the lock held.
    void ScheduleTrigger(ScenarioAction::Trigger trigger, const std::string& fileName) {
        ULONGLONG now = GetTickCount64();
        for (const ScenarioAction& action : scenario_.actions) {
            if (action.trigger != trigger || action.fileName != fileName) continue;
            due_.push_back({now + action.delayMs, order_++, &action});
        }
    }

    static DWORD WINAPI ThreadMain(void* self) {
        static_cast<HallDouble*>(self)->Run();
        return 0;
    }

    void Run() {
        std::vector<bool> fileSeen(scenario_.actions.size(), false);
        while (WaitForSingleObject(stop_, 10) == WAIT_TIMEOUT) {
            EnterCriticalSection(&lock_);
            for (size_t i = 0; i < scenario_.actions.size(); ++i) {
                const ScenarioAction& action = scenario_.actions[i];
                if (action.trigger != ScenarioAction::kOnFile || fileSeen[i]) continue;
                if (!FileExists(folder_ + std::wstring(action.fileName.begin(), action.fileName.end()))) continue;
                fileSeen[i] = true;
                due_.push_back({GetTickCount64() + action.delayMs, order_++, &action});
            }
            std::stable_sort(due_.begin(), due_.end(), [](const Due& a, const Due& b) {
                return a.at != b.at ? a.at < b.at : a.order < b.order;
            });
            ULONGLONG now = GetTickCount64();
            while (!due_.empty() && due_.front().at <= now) {
                const ScenarioAction* action = due_.front().action;
                due_.erase(due_.begin());
                Deliver(*action);
            }
            LeaveCriticalSection(&lock_);
        }
    }

    // Called with the lock held, on the library's thread.
    void Deliver(const ScenarioAction& action) {
        std::vector<EventHandler*> handlers = handlers_;
        switch (action.kind) {
        case ScenarioAction::kConnected:
            connected_ = true;
            Log("deliver connected to " + std::to_string(handlers.size()));
            for (auto* h : handlers) h->Connected();
            break;
        case ScenarioAction::kConnectFailed:
            connected_ = false;
            Log("deliver connect-failed to " + std::to_string(handlers.size()));
            for (auto* h : handlers) h->ConnectFailed();
            break;
        case ScenarioAction::kClosed:
            connected_ = false;
            Log("deliver closed to " + std::to_string(handlers.size()));
            for (auto* h : handlers) h->Closed();
            break;
        case ScenarioAction::kMessage: {
            // A whole record, zeros after the body; its length field says
            // what the message is (or, overridden, lies about it).
            std::unique_ptr<Record> record(new Record());
            record->type = action.type;
            record->length = action.lengthOverride ? action.length : static_cast<int32_t>(action.body.size());
            std::memcpy(record->body, action.body.data(), std::min(action.body.size(), sizeof(record->body)));
            Log("deliver message type=" + std::to_string(record->type) + " length=" +
                std::to_string(record->length) + " to " + std::to_string(handlers.size()));
            // The argument before the record has no documented meaning: the
            // double passes one that no caller could use.
            for (auto* h : handlers) h->MessageReceived(this, 0, record.get());
            break;
        }
        }
    }

    std::wstring folder_;
    Scenario scenario_;
    CRITICAL_SECTION lock_;
    HANDLE stop_ = nullptr;
    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
    bool connected_ = false;
    std::vector<EventHandler*> handlers_;
    std::vector<Due> due_;
    size_t order_ = 0;
};

}  // namespace

extern "C" __declspec(dllexport) MessageObject* CreateClientProcMsgObject() { return new HallDouble(); }
