#pragma once
// Fakes of what the launcher's conversations reach: the windows and
// reports (as one log of calls), the program starter, the error box, and an
// in-process window that records the raw WM_COPYDATA payloads sent to it.
#include "common/process_util.h"
#include "common/protocol_deal.h"
#include "launcher/engine_conversation.h"
#include "launcher/hall_client.h"
#include "tests/unit/common/test_paths.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

inline std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            char hex[16];
            std::snprintf(hex, sizeof(hex), "\\u%04x", static_cast<unsigned>(c));
            out += hex;
        }
    }
    return out;
}

// Every call of either host interface as one line, in order.
class FakeHost final : public EngineConversationHost, public HallClientHost {
public:
    void QueueEventReport(const std::wstring& event, const std::wstring& parameter) override {
        calls.push_back("report " + Narrow(event) + "|" + Narrow(parameter));
    }
    void ShowGameText(const std::wstring& text) override { calls.push_back("text " + Narrow(text)); }
    void ShowGameProgress(int32_t done, int32_t total) override {
        calls.push_back("progress " + std::to_string(done) + "/" + std::to_string(total));
    }
    void StartGame() override { calls.push_back("start-game"); }
    void StopPageReloads() override { calls.push_back("stop-reloads"); }
    bool OpenGameWindow() override {
        calls.push_back("open-game");
        return gameWindowOpens;
    }
    void HideMainAndFrame() override { calls.push_back("hide-main-frame"); }
    void QuitMessageLoop() override { calls.push_back("quit"); }
    void ShowMainAndFrame() override { calls.push_back("show-main-frame"); }
    void HideMainShowFrame() override { calls.push_back("hide-main-show-frame"); }

    std::vector<std::string> calls;
    bool gameWindowOpens = true;
};

class FakeStarter final : public ProgramStarter {
public:
    DWORD Start(const std::wstring& file, const std::wstring& parameters, const std::wstring& folder,
                int showState) override {
        starts.push_back(Narrow(file) + "|" + Narrow(parameters) + "|" + Narrow(folder) + "|" +
                         std::to_string(showState));
        if (pid == 0) SetLastError(error);
        return pid;
    }

    DWORD pid = 4242;
    DWORD error = 0;
    std::vector<std::string> starts;
};

// The boxes shown through the starter's error-box seam, as "caption|text".
inline std::vector<std::string>& ShownBoxes() {
    static std::vector<std::string> boxes;
    return boxes;
}
inline void RecordBox(const wchar_t* text, const wchar_t* caption) {
    ShownBoxes().push_back(Narrow(caption) + "|" + Narrow(text));
}
class BoxCapture {
public:
    BoxCapture() {
        ShownBoxes().clear();
        SetErrorBoxFunction(RecordBox);
    }
    ~BoxCapture() { SetErrorBoxFunction(nullptr); }
};

// A top-level window of this thread; SendMessageW to it runs its procedure
// at once, so what the conversation sends is here when the send returns.
class CaptureWindow {
public:
    struct Frame {
        WPARAM wParam;
        ULONG_PTR id;
        std::vector<uint8_t> bytes;
    };

    CaptureWindow() {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"qtest_capture_window";
        RegisterClassW(&wc);  // a second registration fails harmlessly
        window_ = CreateWindowW(wc.lpszClassName, L"capture", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                wc.hInstance, nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~CaptureWindow() { DestroyWindow(window_); }
    CaptureWindow(const CaptureWindow&) = delete;
    CaptureWindow& operator=(const CaptureWindow&) = delete;

    HWND window() const { return window_; }
    std::vector<Frame> frames;
    std::vector<UINT> posted;  // other messages that reached the procedure

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<CaptureWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self != nullptr && message == WM_COPYDATA) {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            self->frames.push_back({wParam, data->dwData, CopyDataFrame::Copy(data)});
            return 0;
        }
        if (self != nullptr && message >= WM_APP) self->posted.push_back(message);
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND window_ = nullptr;
};

inline std::vector<uint8_t> BigEndian32(int32_t value) {
    uint32_t v = static_cast<uint32_t>(value);
    return {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8),
            static_cast<uint8_t>(v)};
}

// A frame as the engine sends it, into the conversation's inbound queue.
inline bool QueueFrame(EngineConversation& conversation, uint32_t type, const void* record) {
    static ProtocolDeal* encoder = new ProtocolDeal;  // large tables: never on the stack
    std::vector<uint8_t> frame;
    if (encoder->EncodeFrame(type, record, frame) < 0) return false;
    COPYDATASTRUCT data = {kChannelCopyDataId, static_cast<DWORD>(frame.size()), frame.data()};
    return conversation.QueueCopyData(&data);
}

// A choice that started an engine, whose hello the conversation answered:
// from here on the engine's replacement and game-start requests are taken.
// What the choice and the start did is cleared from the fakes.
inline void BeginEngineConversation(EngineConversation& conversation, HWND engine, FakeHost& host,
                                    FakeStarter& starter) {
    conversation.OnServerChosen(L"9", L"tok");
    ChannelIntRecord hello = {WindowToChannel(engine)};
    QueueFrame(conversation, CF_NOTIFY_WND, &hello);
    conversation.OnTimer();
    host.calls.clear();
    starter.starts.clear();
}
