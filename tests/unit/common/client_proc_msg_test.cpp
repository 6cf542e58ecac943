#include "common/client_proc_msg.h"
#include "common/file_util.h"
#include "test_paths.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

TEST(ProcMsg, CopyTakesTheRecordsOwnLengthWithinTheBody) {
    struct Case {
        int32_t length;  // the record's length field
        ProcMsgCheck check;
    } cases[] = {
        {3, ProcMsgCheck::kOk},
        {0, ProcMsgCheck::kOk},
        {static_cast<int32_t>(kProcMsgMaxBody), ProcMsgCheck::kOk},
        {static_cast<int32_t>(kProcMsgMaxBody) + 1, ProcMsgCheck::kBadLength},
        {-1, ProcMsgCheck::kBadLength},
    };
    std::unique_ptr<ProcMsg> record(new ProcMsg());
    record->type = HALL_MSG_PROCPARA;
    for (size_t i = 0; i < kProcMsgMaxBody; ++i) record->body[i] = static_cast<char>('a' + i % 26);
    for (const Case& c : cases) {
        record->length = c.length;
        ReceivedProcMsg out;
        out.type = -5;
        EXPECT_EQ(CopyProcMsg(record.get(), out), c.check) << c.length;
        if (c.check == ProcMsgCheck::kOk) {
            EXPECT_EQ(out.type, HALL_MSG_PROCPARA);
            EXPECT_EQ(out.body, std::string(record->body, static_cast<size_t>(c.length)));
        } else {
            EXPECT_EQ(out.type, -5);  // untouched
        }
    }
    ReceivedProcMsg out;
    EXPECT_EQ(CopyProcMsg(nullptr, out), ProcMsgCheck::kMissing);
}

TEST(ProcMsg, AFreshParameterMustFitItsBuffer) {
    struct Case {
        std::string body;
        bool taken;
        std::string value;
    } cases[] = {
        {std::string(127, 'p'), true, std::string(127, 'p')},
        {std::string(128, 'p'), false, ""},
        {std::string("abc\0rest", 8), true, "abc"},
        // The hall's whole zero-padded buffer, and more.
        {std::string("abc") + std::string(125, '\0'), true, "abc"},
        {std::string(127, 'p') + std::string(200, '\0'), true, std::string(127, 'p')},
        {std::string(128, 'p') + std::string(1, '\0'), false, ""},
        {"", true, ""},
    };
    for (const Case& c : cases) {
        ReceivedProcMsg reply;
        reply.type = HALL_MSG_PROCPARA;
        reply.body = c.body;
        std::string value = "untouched";
        EXPECT_EQ(ProcParaFromReply(reply, value), c.taken) << c.body.size();
        EXPECT_EQ(value, c.taken ? c.value : "untouched") << c.body.size();
    }
}

// An in-process message object that keeps what it was sent.
class RecordingObject final : public ClientProcMsgObject {
public:
    int HALL_METHOD Initialize() override { return 1; }
    int HALL_METHOD Connect(const char*) override { return 1; }
    void HALL_METHOD Release() override {}
    int HALL_METHOD IsConnected() override { return connected; }
    int HALL_METHOD Send(int size, const void* record) override {
        sent.push_back(std::string(static_cast<const char*>(record), static_cast<size_t>(size)));
        return 1;
    }
    void HALL_METHOD AddEventHandler(IClientProcMsgEventHandler*) override {}
    void HALL_METHOD RemoveEventHandler(IClientProcMsgEventHandler*) override {}

    int connected = 0;
    std::vector<std::string> sent;
};

TEST(ProcMsg, SendGoesOutOnlyWhileConnectedWithTheHeaderInFront) {
    RecordingObject object;
    EXPECT_FALSE(SendProcMsg(nullptr, HALL_MSG_PROCPARA, nullptr, 0));
    EXPECT_FALSE(SendProcMsg(&object, HALL_MSG_PROCPARA, nullptr, 0));
    EXPECT_TRUE(object.sent.empty());

    object.connected = 1;
    EXPECT_TRUE(SendProcMsg(&object, HALL_MSG_PROCPARA, nullptr, 0));
    EXPECT_TRUE(SendProcMsg(&object, HALL_MSG_SHOW, "\1\0\0\0", 4));
    ASSERT_EQ(object.sent.size(), 2u);
    EXPECT_EQ(object.sent[0], std::string("\x0b\0\0\0\0\0\0\0", 8));
    EXPECT_EQ(object.sent[1], std::string("\x03\0\0\0\x04\0\0\0\1\0\0\0", 12));
}

// Receives the double's events on its thread.
class EventLog final : public IClientProcMsgEventHandler {
public:
    EventLog() { done_ = CreateEventW(nullptr, TRUE, FALSE, nullptr); }
    ~EventLog() { CloseHandle(done_); }
    void HALL_METHOD OnConnected() override { Add("connected"); }
    void HALL_METHOD OnConnectFailed() override { Add("connect-failed"); }
    void HALL_METHOD OnClosed() override {
        Add("closed");
        SetEvent(done_);
    }
    void HALL_METHOD OnMessage(ClientProcMsgObject* source, int, const ProcMsg* record) override {
        ReceivedProcMsg copy;
        if (CopyProcMsg(record, copy) == ProcMsgCheck::kOk)
            Add("message " + std::to_string(copy.type) + " " + copy.body + (source == object ? " from object" : ""));
    }
    bool WaitForClose() { return WaitForSingleObject(done_, 30000) == WAIT_OBJECT_0; }
    std::vector<std::string> Take() {
        std::vector<std::string> copy = events_;
        return copy;
    }

    ClientProcMsgObject* object = nullptr;

private:
    void Add(const std::string& event) { events_.push_back(event); }
    HANDLE done_;
    std::vector<std::string> events_;
};

TEST(HallLibrary, LoadsBesideTheProgramAndCallsAcrossTheBoundary) {
    std::wstring folder = TestExeFolder();
    DeleteFileW((folder + L"hall_calls.log").c_str());
    std::string scenario =
        "connect 0 connected\n"
        "request 0 message 11 text:fresh\n"
        "request 10 closed\n";
    ASSERT_TRUE(WriteFileAtomically(folder + L"hall_scenario.txt", scenario.data(), scenario.size()));

    HMODULE library = LoadHallLibrary();
    ASSERT_NE(library, nullptr);
    ClientProcMsgObject* object = CreateHallMessageObject(library);
    ASSERT_NE(object, nullptr);
    EventLog events;
    events.object = object;
    object->Initialize();
    object->AddEventHandler(&events);
    ASSERT_NE(object->Connect("old value"), 0);
    for (int i = 0; i < 3000 && !object->IsConnected(); ++i) Sleep(10);
    ASSERT_TRUE(SendProcMsg(object, HALL_MSG_PROCPARA, nullptr, 0));
    ASSERT_TRUE(events.WaitForClose());
    object->RemoveEventHandler(&events);
    object->Release();

    std::vector<std::string> expected = {"connected", "message 11 fresh from object", "closed"};
    EXPECT_EQ(events.Take(), expected);
    std::string calls;
    ASSERT_TRUE(ReadWholeFile(folder + L"hall_calls.log", calls));
    const char* inOrder[] = {"create\n", "initialise\n", "add-handler\n", "connect \"old value\" -> 1\n",
                             "send size=8 type=11 length=0 body=\n", "remove-handler\n", "release\n"};
    size_t at = 0;
    for (const char* call : inOrder) {
        size_t found = calls.find(call, at);
        EXPECT_NE(found, std::string::npos) << call << " in\n" << calls;
        if (found != std::string::npos) at = found;
    }
    DeleteFileW((folder + L"hall_scenario.txt").c_str());
}

}  // namespace
