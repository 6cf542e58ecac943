#include "launcher/engine_conversation.h"

#include "common/unique_handle.h"
#include "conversation_fakes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

const wchar_t kFolder[] = L"C:\\games\\launcher";

class EngineConversationTest : public ::testing::Test {
protected:
    EngineConversationTest() : conversation_(host_, kFolder, starter_) {
        conversation_.SetMainWindow(main_.window());
    }

    // A frame as the engine would send it, through the window procedure's
    // queue and the next timer.
    void Deliver(uint32_t type, const void* record) {
        Queue(type, record);
        conversation_.OnTimer();
    }
    void Queue(uint32_t type, const void* record) {
        std::vector<uint8_t> frame;
        ASSERT_GT(encoder_.EncodeFrame(type, record, frame), 0);
        QueueBytes(frame);
    }
    bool QueueBytes(const std::vector<uint8_t>& bytes) {
        COPYDATASTRUCT data = {kChannelCopyDataId, static_cast<DWORD>(bytes.size()),
                               const_cast<uint8_t*>(bytes.data())};
        return conversation_.QueueCopyData(&data);
    }
    void Callback(int32_t value) {
        ChannelIntRecord record = {value};
        Deliver(CF_CALLBACK_TYPE, &record);
    }
    void Hello(HWND engine) {
        ChannelIntRecord record = {WindowToChannel(engine)};
        Deliver(CF_NOTIFY_WND, &record);
    }
    // The CF_ACTION frames the engine window got, as (action, text).
    std::vector<std::pair<int32_t, std::string>> Actions() const {
        std::vector<std::pair<int32_t, std::string>> out;
        for (const CaptureWindow::Frame& f : engine_.frames) {
            if (f.bytes.size() < 12 || f.bytes[1] != CF_ACTION) continue;
            int32_t action = (f.bytes[6] << 24) | (f.bytes[7] << 16) | (f.bytes[8] << 8) | f.bytes[9];
            size_t n = (f.bytes[10] << 8) | f.bytes[11];
            out.emplace_back(action, std::string(f.bytes.begin() + 12, f.bytes.begin() + 12 + n));
        }
        return out;
    }

    FakeHost host_;
    FakeStarter starter_;
    CaptureWindow main_;
    CaptureWindow engine_;
    ProtocolDeal encoder_;
    EngineConversation conversation_;
};

TEST_F(EngineConversationTest, HelloIsAnsweredWithTheMainWindowAndTheMutexStaysHeld) {
    Hello(engine_.window());
    EXPECT_EQ(conversation_.engineWindow(), engine_.window());
    ASSERT_EQ(engine_.frames.size(), 1u);
    std::vector<uint8_t> expected = {0x00, 0x01, 0, 0, 0, 0};
    std::vector<uint8_t> handle = BigEndian32(WindowToChannel(main_.window()));
    expected.insert(expected.end(), handle.begin(), handle.end());
    EXPECT_EQ(engine_.frames[0].bytes, expected);
    EXPECT_EQ(engine_.frames[0].wParam, reinterpret_cast<WPARAM>(main_.window()));
    EXPECT_EQ(engine_.frames[0].id, kChannelCopyDataId);
    ScopedHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, L"qln_launcher_ok"));
    EXPECT_TRUE(mutex.IsValid());

    // A restarted engine greets again: the new window is answered.
    CaptureWindow second;
    Hello(second.window());
    EXPECT_EQ(conversation_.engineWindow(), second.window());
    ASSERT_EQ(second.frames.size(), 1u);
    EXPECT_EQ(second.frames[0].bytes, expected);
    EXPECT_EQ(engine_.frames.size(), 1u);

    // A hello naming no window keeps the engine we know.
    Hello(reinterpret_cast<HWND>(static_cast<intptr_t>(0x7ffffff0)));
    EXPECT_EQ(conversation_.engineWindow(), second.window());

    // Nor does one naming the launcher itself, from any process: answered,
    // it would greet the launcher again on every timer and take the
    // engine's place for good.
    Hello(main_.window());
    EXPECT_EQ(conversation_.engineWindow(), second.window());
    EXPECT_TRUE(main_.frames.empty());
}

// With a choice made and the engine's hello answered, as in every run.
TEST_F(EngineConversationTest, EachCallbackTypeHasItsEffect) {
    const std::string folder = "C:\\games\\launcher\\";
    struct Case {
        int32_t value;
        std::vector<std::string> calls;
        std::vector<int32_t> actions;  // CF_ACTION frames sent
        std::vector<std::string> starts;
    } cases[] = {
        {0, {"report DownloadServerList_Sucess|"}, {}, {}},
        {1, {"report DownloadPatchVer_Sucess|"}, {eActionType_StartGame}, {}},
        {2, {"report FinishUpdateClientRes|"}, {}, {}},
        {3, {}, {}, {folder + "Ferrier.exe|1|" + folder + "|0"}},
        {4, {"quit"}, {}, {folder + "Brightgate.exe||" + folder + "|1"}},
        {5, {}, {}, {}},
        {6, {"start-game"}, {}, {}},
        {7, {"report DownloadLauncherVerError|"}, {}, {}},
        {8, {"report DownloadLauncherHashFileError|"}, {}, {}},
        {9, {"report DownloadLauncherError|"}, {}, {}},
        {10, {"report DownloadLauncherResError|"}, {}, {}},
        {11, {"report DownloadServerListError|"}, {}, {}},
        {12, {"report DownloadPatchVerError|"}, {}, {}},
        {13, {"report StartTinyPackage|"}, {}, {}},
        {14, {"report UnZipTinyPackage|"}, {}, {}},
        {15, {"report UnZipTinyPackageFail|"}, {}, {}},
        {16, {"report UnZipTinyPackageSuccess|"}, {}, {}},
        {17, {"report StartUpdateClientRes|"}, {}, {}},
        {18, {"report PreDownloadReady|"}, {eActionType_CheckVer}, {}},  // the choice's
        {19, {}, {}, {}},
        {-1, {}, {}, {}},
        {0x7fffffff, {}, {}, {}},
    };
    for (const Case& c : cases) {
        FakeHost host;
        FakeStarter starter;
        CaptureWindow engine;
        EngineConversation conversation(host, kFolder, starter);
        conversation.SetMainWindow(main_.window());
        BeginEngineConversation(conversation, engine.window(), host, starter);
        ChannelIntRecord callback = {c.value};
        QueueFrame(conversation, CF_CALLBACK_TYPE, &callback);
        conversation.OnTimer();

        EXPECT_EQ(host.calls, c.calls) << "value " << c.value;
        EXPECT_EQ(starter.starts, c.starts) << "value " << c.value;
        std::vector<int32_t> actions;
        for (size_t i = 1; i < engine.frames.size(); ++i) actions.push_back(engine.frames[i].bytes[9]);
        EXPECT_EQ(actions, c.actions) << "value " << c.value;
    }
    EXPECT_STREQ(CallBackEventName(18), L"PreDownloadReady");
    EXPECT_STREQ(CallBackEventName(4), L"");
    EXPECT_STREQ(CallBackEventName(-3), L"");
}

// Any process may send 3, 4 and 6: without a conversation with an engine
// they would replace or end the launcher, or start the game, at a word.
TEST_F(EngineConversationTest, ReplacementAndGameStartNeedAnEngineConversationAndTheGameStartsOncePerChoice) {
    const int32_t steering[] = {eCallBackType_WaitRelaunch, eCallBackType_WaitReStartLaunch,
                                eCallBackType_LaunchClient};
    for (int32_t value : steering) Callback(value);  // no choice, no hello
    Hello(engine_.window());
    for (int32_t value : steering) Callback(value);  // a hello, but no engine was asked for
    EXPECT_TRUE(host_.calls.empty());
    EXPECT_TRUE(starter_.starts.empty());

    FakeHost host;
    FakeStarter starter;
    EngineConversation chosen(host, kFolder, starter);
    chosen.SetMainWindow(main_.window());
    chosen.OnServerChosen(L"1", L"t");
    chosen.OnTimer();  // the engine is started, but has not greeted
    host.calls.clear();
    starter.starts.clear();
    for (int32_t value : steering) {
        ChannelIntRecord record = {value};
        QueueFrame(chosen, CF_CALLBACK_TYPE, &record);
    }
    chosen.OnTimer();
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(starter.starts.empty());

    // In a conversation: one game start per choice.
    conversation_.OnServerChosen(L"1", L"t");
    conversation_.OnTimer();
    host_.calls.clear();
    Callback(eCallBackType_LaunchClient);
    Callback(eCallBackType_LaunchClient);
    EXPECT_EQ(host_.calls, (std::vector<std::string>{"start-game"}));
    conversation_.OnServerChosen(L"2", L"t");
    host_.calls.clear();
    Callback(eCallBackType_LaunchClient);
    Callback(eCallBackType_LaunchClient);
    EXPECT_EQ(host_.calls, (std::vector<std::string>{"report Start Tidemill.exe|",
                                                     "report Start Tidemill.exe success|", "start-game"}));
}

TEST_F(EngineConversationTest, AChoiceStartsTheEngineOnTheNextTimer) {
    conversation_.OnServerChosen(L"1001", L"tok");
    std::vector<std::string> expected = {"stop-reloads", "report Click ServerName|", "open-game", "hide-main-frame"};
    EXPECT_EQ(host_.calls, expected);
    EXPECT_EQ(conversation_.token(), L"tok");
    EXPECT_TRUE(conversation_.checkVerOwed());
    EXPECT_TRUE(starter_.starts.empty());
    host_.calls.clear();

    conversation_.OnTimer();
    std::string folder = "C:\\games\\launcher\\";
    ASSERT_EQ(starter_.starts.size(), 1u);
    EXPECT_EQ(starter_.starts[0], folder + "Tidemill.exe|" + std::to_string(WindowToChannel(main_.window())) + "|" +
                                      folder + "|0");
    expected = {"report Start Tidemill.exe|", "report Start Tidemill.exe success|"};
    EXPECT_EQ(host_.calls, expected);
    conversation_.OnTimer();
    EXPECT_EQ(starter_.starts.size(), 1u);  // once per choice

    host_.calls.clear();
    starter_.pid = 0;
    starter_.error = ERROR_FILE_NOT_FOUND;
    conversation_.OnServerChosen(L"1001", L"tok");
    host_.calls.clear();
    conversation_.OnTimer();
    expected = {"report Start Tidemill.exe|", "report Start Tidemill.exe fail|ShellExecuteExW  2"};
    EXPECT_EQ(host_.calls, expected);
}

TEST_F(EngineConversationTest, AChoiceWithoutAGameWindowKeepsTheWindowsAndStartsNothing) {
    host_.gameWindowOpens = false;
    conversation_.OnServerChosen(L"1001", L"tok");
    EXPECT_EQ(host_.calls, (std::vector<std::string>{"stop-reloads", "report Click ServerName|", "open-game"}));
    EXPECT_FALSE(conversation_.checkVerOwed());
    EXPECT_EQ(conversation_.token(), L"");
    conversation_.OnTimer();
    EXPECT_TRUE(starter_.starts.empty());
}

TEST_F(EngineConversationTest, EveryChoiceSendsItsServerOnceWhicheverComesFirst) {
    using ActionList = std::vector<std::pair<int32_t, std::string>>;
    const std::string id = "\xE5\x8C\x97 1";  // UTF-8 on the wire
    Hello(engine_.window());

    // The engine ready before the choice: the choice sends at once.
    Callback(eCallBackType_DownloadServerList);
    Callback(eCallBackType_PreDownloadReady);
    EXPECT_TRUE(Actions().empty());
    conversation_.OnServerChosen(L"\x5317 1", L"t");
    EXPECT_EQ(Actions(), (ActionList{{eActionType_CheckVer, id}}));
    // A second engine forwards the running one: it greets again and repeats
    // 0 and 18, which must not send the same choice again.
    Hello(engine_.window());
    Callback(eCallBackType_DownloadServerList);
    Callback(eCallBackType_PreDownloadReady);
    EXPECT_EQ(Actions().size(), 1u);

    Callback(eCallBackType_PrePatchVer);
    EXPECT_EQ(Actions(), (ActionList{{eActionType_CheckVer, id}, {eActionType_StartGame, ""}}));
    EXPECT_FALSE(conversation_.engineReady());
    EXPECT_FALSE(conversation_.checkVerOwed());
    Callback(eCallBackType_PreDownloadReady);
    EXPECT_EQ(Actions().size(), 2u);  // ready, but nothing chosen

    // The choice before the engine is ready: 18 sends it.
    engine_.frames.clear();
    conversation_.OnServerChosen(L"7", L"t");  // ready from the 18 above
    Callback(eCallBackType_PrePatchVer);
    engine_.frames.clear();
    conversation_.OnServerChosen(L"8", L"t");
    EXPECT_TRUE(Actions().empty());
    Callback(eCallBackType_DownloadServerList);
    Callback(eCallBackType_PreDownloadReady);
    EXPECT_EQ(Actions(), (ActionList{{eActionType_CheckVer, "8"}}));
    EXPECT_FALSE(conversation_.engineReady());
}

TEST_F(EngineConversationTest, ActionFramesByteForByte) {
    Hello(engine_.window());
    engine_.frames.clear();
    struct Case {
        std::wstring id;
        size_t sentBytes;
    } cases[] = {
        {L"1001", 4},
        {std::wstring(1500, L'a'), 1023},      // cut to the text field
        {std::wstring(700, L'\x00e9'), 1022},  // two bytes each: cut to a whole character
    };
    for (const Case& c : cases) {
        engine_.frames.clear();
        conversation_.OnServerChosen(c.id, L"t");
        ASSERT_EQ(engine_.frames.size(), 0u);
        Callback(eCallBackType_PreDownloadReady);
        ASSERT_EQ(engine_.frames.size(), 1u);
        std::string utf8;
        for (wchar_t ch : c.id) utf8 += ch < 0x80 ? std::string(1, static_cast<char>(ch)) : std::string("\xC3\xA9");
        std::vector<uint8_t> expected = {0x00, 0x05, 0, 0, 0, 0, 0, 0, 0, 0,
                                         static_cast<uint8_t>(c.sentBytes >> 8), static_cast<uint8_t>(c.sentBytes)};
        expected.insert(expected.end(), utf8.begin(), utf8.begin() + c.sentBytes);
        EXPECT_EQ(engine_.frames[0].bytes, expected) << c.sentBytes;
        EXPECT_EQ(engine_.frames[0].wParam, reinterpret_cast<WPARAM>(main_.window()));
        Callback(eCallBackType_PrePatchVer);
        ASSERT_EQ(engine_.frames.size(), 2u);
        std::vector<uint8_t> startGame = {0x00, 0x05, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0};
        EXPECT_EQ(engine_.frames[1].bytes, startGame);
    }
}

TEST_F(EngineConversationTest, TextsAndProgressAreKeptAndPassedOn) {
    for (int32_t slot : {0, 1, 2, 3, 4, -1}) {
        ChannelSlotTextRecord record = {};
        record.slot = slot;
        std::snprintf(record.text, sizeof(record.text), "slot %d \xE2\x82\xAC", static_cast<int>(slot));
        Deliver(CF_TEXT_SLOT, &record);
    }
    for (int slot = 0; slot < 4; ++slot)
        EXPECT_EQ(conversation_.slotText(slot), "slot " + std::to_string(slot) + " \xE2\x82\xAC");
    EXPECT_EQ(conversation_.GameText(), L"slot 2 \x20ac");
    ChannelProgressRecord progress = {37, 100};
    Deliver(CF_PROGRESS, &progress);
    EXPECT_EQ(conversation_.LastProgress().done, 37);
    EXPECT_EQ(conversation_.LastProgress().total, 100);
    ChannelTextRecord core = {};
    std::strcpy(core.text, "a b&c\n\xE2\x82\xAC");
    Deliver(CF_CORE_TEXT, &core);

    std::vector<std::string> expected = {"text slot 2 \\u20ac", "progress 37/100",
                                         "report Error Log|a%20b%26c%0A%E2%82%AC"};
    EXPECT_EQ(host_.calls, expected);
}

TEST_F(EngineConversationTest, FramesWaitForTheTimerAndOnlyChannelFramesCount) {
    ChannelIntRecord values[] = {{0}, {18}, {11}};
    for (const ChannelIntRecord& v : values) Queue(CF_CALLBACK_TYPE, &v);
    EXPECT_TRUE(host_.calls.empty());
    std::vector<uint8_t> frame;
    encoder_.EncodeFrame(CF_CALLBACK_TYPE, &values[0], frame);
    std::vector<std::vector<uint8_t>> foreign = {
        {},                                        // no payload
        {0x00, 0x02, 0, 0},                        // shorter than the head
        {'a', 'b', 'c', 0, 'd', 'e', 'f', 0},      // a plain text
        {0x00, 0x06, 0, 0, 0, 0, 0, 1, 'x'},       // the engine's own type
        {0x00, 0x03, 0, 0, 0, 0, 0, 0, 0, 2, 0, 9, 'a'},  // a text slot cut short
        std::vector<uint8_t>(frame.begin(), frame.end() - 1),
    };
    for (const auto& bytes : foreign) EXPECT_TRUE(QueueBytes(bytes));
    // Larger than any frame: dropped at once, whatever it holds.
    std::vector<uint8_t> oversize = frame;
    oversize.resize(EngineConversation::kMaxFrameBytes + 1);
    EXPECT_FALSE(QueueBytes(oversize));
    std::vector<uint8_t> largest = frame;
    largest.resize(EngineConversation::kMaxFrameBytes);
    EXPECT_TRUE(QueueBytes(largest));  // the same callback, padded

    conversation_.OnTimer();
    std::vector<std::string> expected = {"report DownloadServerList_Sucess|", "report PreDownloadReady|",
                                         "report DownloadServerListError|", "report DownloadServerList_Sucess|"};
    EXPECT_EQ(host_.calls, expected);
    host_.calls.clear();
    conversation_.OnTimer();
    EXPECT_TRUE(host_.calls.empty());
}

// Any process may send: a flood of the largest frames between two timers
// must not take the launcher's memory. What the engine really sends waits
// for the timer as before.
TEST_F(EngineConversationTest, AFloodBetweenTwoTimersIsBounded) {
    ChannelIntRecord ready = {eCallBackType_PreDownloadReady};
    std::vector<uint8_t> frame;
    encoder_.EncodeFrame(CF_CALLBACK_TYPE, &ready, frame);
    std::vector<uint8_t> largest = frame;
    largest.resize(EngineConversation::kMaxFrameBytes);
    size_t queued = 0;
    while (queued < 100000 && QueueBytes(largest)) ++queued;
    EXPECT_LT(queued * largest.size(), EngineConversation::kMaxQueuedBytes + largest.size());
    EXPECT_GT(queued * largest.size(), EngineConversation::kMaxQueuedBytes - largest.size());

    conversation_.OnTimer();
    EXPECT_EQ(host_.calls.size(), queued);
    host_.calls.clear();
    EXPECT_TRUE(QueueBytes(frame));  // the timer made room again
    conversation_.OnTimer();
    EXPECT_EQ(host_.calls, (std::vector<std::string>{"report PreDownloadReady|"}));

    // Tiny frames are charged their entry too.
    const size_t most = EngineConversation::kMaxQueuedBytes / EngineConversation::kQueuedFrameCost;
    queued = 0;
    while (queued <= most && QueueBytes(frame)) ++queued;
    EXPECT_LT(queued, most);
}

// Starts the engine by calling the timer again from inside the start, as a
// modal failure box does.
class ReenteringStarter final : public ProgramStarter {
public:
    DWORD Start(const std::wstring&, const std::wstring&, const std::wstring&, int) override {
        if (conversation != nullptr) conversation->OnTimer();
        return 0;
    }
    EngineConversation* conversation = nullptr;
};

TEST(EngineConversationTimer, ATimerInsideTheEngineStartDispatchesNothing) {
    FakeHost host;
    ReenteringStarter starter;
    EngineConversation conversation(host, kFolder, starter);
    starter.conversation = &conversation;
    conversation.OnServerChosen(L"1", L"t");
    ProtocolDeal encoder;
    ChannelIntRecord record = {eCallBackType_StartTinyPackage};
    std::vector<uint8_t> frame;
    encoder.EncodeFrame(CF_CALLBACK_TYPE, &record, frame);
    COPYDATASTRUCT data = {kChannelCopyDataId, static_cast<DWORD>(frame.size()), frame.data()};
    conversation.QueueCopyData(&data);
    host.calls.clear();
    conversation.OnTimer();
    ASSERT_EQ(host.calls.size(), 3u);
    EXPECT_EQ(host.calls[0], "report Start Tidemill.exe|");
    EXPECT_EQ(host.calls[1].compare(0, 30, "report Start Tidemill.exe fail"), 0);
    EXPECT_EQ(host.calls[2], "report StartTinyPackage|");  // once, after the start
}

// A start that fails with an exception, as memory running out makes it.
class ThrowingStarter final : public ProgramStarter {
public:
    DWORD Start(const std::wstring&, const std::wstring&, const std::wstring&, int) override {
        throw std::bad_alloc();
    }
};

TEST(EngineConversationTimer, ATickThatFailsLeavesTheNextOneWorking) {
    FakeHost host;
    ThrowingStarter starter;
    EngineConversation conversation(host, kFolder, starter);
    conversation.OnServerChosen(L"1", L"t");
    EXPECT_THROW(conversation.OnTimer(), std::bad_alloc);
    host.calls.clear();
    ChannelIntRecord record = {eCallBackType_StartTinyPackage};
    QueueFrame(conversation, CF_CALLBACK_TYPE, &record);
    conversation.OnTimer();
    EXPECT_EQ(host.calls, (std::vector<std::string>{"report StartTinyPackage|"}));
}

}  // namespace
