#include "engine/launcher_links.h"

#include "engine/restart_windows.h"
#include "fake_notify_core.h"
#include "launcher_window_stub.h"
#include "test_folder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

class LauncherLinksTest : public ::testing::Test {
protected:
    LauncherLinksTest() { links_.SetClock([this] { return now_; }); }

    // The launcher greets the engine with its window, as after start-up.
    NotifyWnd* Greet(LauncherWindowStub& launcher) {
        links_.QueueCopyData(reinterpret_cast<WPARAM>(launcher.Handle()), LauncherFrame::Hello(launcher.Handle()).Data());
        links_.Tick();
        return links_.FindNotifyWnd(launcher.Handle());
    }
    void Act(LauncherWindowStub& launcher, int action, const std::string& text = std::string()) {
        links_.QueueCopyData(reinterpret_cast<WPARAM>(launcher.Handle()), LauncherFrame::Action(action, text).Data());
    }
    bool Raise(int value) {
        links_.PushCallbackType(value);
        return links_.Tick();
    }

    FakeNotifyCore core_;
    LauncherLinks links_{core_};
    uint32_t now_ = 5000;
};

TEST_F(LauncherLinksTest, LateGreetingLearnsTheServerListAndReadiness) {
    LauncherWindowStub early;
    links_.AddNotifyWnd(early.Handle());  // from the command line, not yet answered
    Raise(eCallBackType_DownloadServerList);
    Raise(eCallBackType_PreDownloadReady);
    Raise(eCallBackType_PreDownloadReady);  // broadcast once
    EXPECT_TRUE(early.Callbacks().empty());  // unregistered records get no broadcasts

    LauncherWindowStub late;
    NotifyWnd* record = Greet(late);
    ASSERT_NE(record, nullptr);
    EXPECT_TRUE(record->IsRegistered());
    EXPECT_EQ(late.Callbacks(), (std::vector<int>{eCallBackType_DownloadServerList, eCallBackType_PreDownloadReady}));
    Greet(early);
    EXPECT_EQ(early.Callbacks(), late.Callbacks());
    Raise(eCallBackType_PreDownloadReady);
    EXPECT_EQ(late.Callbacks().size(), 2u);
    EXPECT_EQ(links_.Records().size(), 2u);
}

TEST_F(LauncherLinksTest, BadGreetingsAndStrangersAreIgnored) {
    LauncherWindowStub launcher;
    ChannelIntRecord notAWindow = {12345};
    links_.QueueCopyData(1, LauncherFrame(CF_NOTIFY_WND, &notAWindow).Data());
    Act(launcher, eActionType_CheckVer, "1");  // no record for this sender
    COPYDATASTRUCT truncated = {kChannelCopyDataId, 3, const_cast<char*>("\x00\x01\x00")};
    links_.QueueCopyData(1, &truncated);
    links_.Tick();
    EXPECT_TRUE(links_.Records().empty());
    EXPECT_EQ(links_.CurrentRecord(), nullptr);
}

// Any process can find the engine's window: what waits for one tick is
// bounded, and what no launcher sends is not copied at all. What a
// launcher really sends still gets through once the tick made room.
TEST_F(LauncherLinksTest, AFloodBetweenTwoTicksIsBounded) {
    LauncherWindowStub launcher;
    const WPARAM sender = reinterpret_cast<WPARAM>(launcher.Handle());
    std::vector<uint8_t> huge(LauncherLinks::kMaxFrameBytes + 1, 0);
    COPYDATASTRUCT tooLarge = {kChannelCopyDataId, static_cast<DWORD>(huge.size()), huge.data()};
    EXPECT_FALSE(links_.QueueCopyData(sender, &tooLarge));

    std::vector<uint8_t> largest(LauncherLinks::kMaxFrameBytes, 0);
    COPYDATASTRUCT large = {kChannelCopyDataId, static_cast<DWORD>(largest.size()), largest.data()};
    size_t queued = 0;
    while (queued < 100000 && links_.QueueCopyData(sender, &large)) ++queued;
    EXPECT_LE(queued * largest.size(), LauncherLinks::kMaxQueuedBytes);
    EXPECT_GT(queued * largest.size(), LauncherLinks::kMaxQueuedBytes - largest.size());
    EXPECT_TRUE(links_.Records().empty());
    links_.Tick();

    // Tiny frames by the million cost their entries, not just their bytes.
    const uint8_t head[kChannelHeadSize] = {0, 40, 0, 0, 0, 0};
    COPYDATASTRUCT tiny = {kChannelCopyDataId, sizeof(head), const_cast<uint8_t*>(head)};
    queued = 0;
    while (queued < 10000000 && links_.QueueCopyData(sender, &tiny)) ++queued;
    EXPECT_LE(queued * (sizeof(head) + LauncherLinks::kQueuedFrameCost), LauncherLinks::kMaxQueuedBytes);
    links_.Tick();

    EXPECT_TRUE(links_.QueueCopyData(sender, LauncherFrame::Hello(launcher.Handle()).Data()));
    links_.Tick();
    ASSERT_NE(links_.FindNotifyWnd(launcher.Handle()), nullptr);
    EXPECT_TRUE(links_.FindNotifyWnd(launcher.Handle())->IsRegistered());
}

// A hello naming the engine's own window (a second engine hands over to
// the window it was started with): registered, the engine would serve
// itself and never see its last launcher go.
TEST_F(LauncherLinksTest, AHelloNamingTheEnginesOwnWindowIsIgnored) {
    LauncherWindowStub engine;
    links_.SetEngineWindow(engine.Handle());
    links_.QueueCopyData(0, LauncherFrame::Hello(engine.Handle()).Data());
    links_.Tick();
    EXPECT_TRUE(links_.Records().empty());
    EXPECT_TRUE(engine.frames.empty());
    EXPECT_FALSE(Raise(eCallBackType_PreDownloadReady));  // no launcher: the engine ends
}

// Each hello naming another live window would add a record that every
// tick then serves; a process making windows by the thousand must not
// grow them without end. A launcher that closes makes room again.
TEST_F(LauncherLinksTest, HellosBeyondTheRecordLimitAreIgnored) {
    std::vector<std::unique_ptr<LauncherWindowStub>> launchers;
    for (size_t n = 0; n <= LauncherLinks::kMaxRecords; ++n) {
        launchers.push_back(std::make_unique<LauncherWindowStub>());
        Greet(*launchers.back());
    }
    EXPECT_EQ(links_.Records().size(), LauncherLinks::kMaxRecords);
    LauncherWindowStub& refused = *launchers.back();
    EXPECT_EQ(links_.FindNotifyWnd(refused.Handle()), nullptr);
    EXPECT_TRUE(refused.frames.empty());

    launchers.front()->Destroy();
    links_.Tick();
    ASSERT_NE(Greet(refused), nullptr);
    EXPECT_EQ(links_.Records().size(), LauncherLinks::kMaxRecords);
}

TEST_F(LauncherLinksTest, EventsReachTheirRecords) {
    LauncherWindowStub asking;
    LauncherWindowStub watching;
    LauncherWindowStub unregistered;
    Greet(asking);
    Greet(watching);
    links_.AddNotifyWnd(unregistered.Handle());
    Act(asking, eActionType_CheckVer, "7");
    links_.Tick();  // the asking record becomes current
    ASSERT_EQ(links_.CurrentRecord(), links_.FindNotifyWnd(asking.Handle()));

    for (int value : std::initializer_list<int>{eCallBackType_PrePatchVer, eCallBackType_WaitRelaunch, eCallBackType_WaitReStartLaunch,
                      eCallBackType_DownloadServerListError, eCallBackType_StartUpdateClientRes,
                      eCallBackType_LaunchClient, 19}) {
        Raise(value);
    }
    EXPECT_EQ(asking.Callbacks(), (std::vector<int>{1, 3, 4, 11, 17}));
    EXPECT_EQ(watching.Callbacks(), (std::vector<int>{3, 4, 11, 17}));
    EXPECT_EQ(unregistered.Callbacks(), (std::vector<int>{3, 4}));
    EXPECT_EQ(links_.CurrentRecord()->GetState(), SetCheckingVerPadding);
}

// What the core step raises is carried to the launchers in the same tick,
// and a restart it requests ends that tick.
TEST_F(LauncherLinksTest, EventsOfTheCoreStepAreHandledInTheSameTick) {
    LauncherWindowStub launcher;
    Greet(launcher);
    core_.onContinue = [this] { links_.PushCallbackType(eCallBackType_DownloadServerList); };
    EXPECT_TRUE(links_.Tick());
    EXPECT_EQ(launcher.Callbacks(), (std::vector<int>{eCallBackType_DownloadServerList}));

    TestFolder folder;
    links_.SetRestartFile(folder.Path() + L"Tidemill.ini");
    core_.onContinue = [this] { links_.PushCallbackType(eCallBackType_WaitReStartCore); };
    EXPECT_FALSE(links_.Tick());
    EXPECT_EQ(ReadRestartWindows(folder.Path() + L"Tidemill.ini"), (std::vector<HWND>{launcher.Handle()}));
}

TEST_F(LauncherLinksTest, PrePatchVerWithoutACurrentRecordIsLogged) {
    LauncherWindowStub launcher;
    Greet(launcher);
    Raise(eCallBackType_PrePatchVer);
    EXPECT_TRUE(launcher.Callbacks().empty());
    EXPECT_TRUE(core_.Logged("eCallBackType_PrePatchVer fail 333!"));
}

TEST_F(LauncherLinksTest, TypicalConversationEndsTheEngineAfterTheLaunch) {
    LauncherWindowStub launcher;
    Greet(launcher);
    Raise(eCallBackType_DownloadServerList);
    EXPECT_TRUE(Raise(eCallBackType_PreDownloadReady));

    Act(launcher, eActionType_CheckVer, "7");
    links_.Tick();  // current
    links_.Tick();  // StartCheckVer
    EXPECT_EQ(core_.checkedServers, (std::vector<std::wstring>{L"7"}));
    Raise(eCallBackType_PrePatchVer);

    Act(launcher, eActionType_StartGame);
    links_.Tick();
    EXPECT_EQ(core_.clientChecks, 1);
    EXPECT_EQ(links_.CurrentRecord()->GetState(), eNotifyWndState_UpdatintClient);

    core_.slots[2] = L"updating";
    core_.done = 1;
    core_.total = 4;
    EXPECT_TRUE(Raise(eCallBackType_StartUpdateClientRes));
    // 6 to the launcher; the record closes and, none being left after the
    // pre-download, the engine ends.
    EXPECT_FALSE(Raise(eCallBackType_FinishClient));
    EXPECT_TRUE(links_.Records().empty());

    EXPECT_EQ(launcher.Callbacks(), (std::vector<int>{0, 18, 1, 17, 6}));
    EXPECT_EQ(launcher.Texts(2), (std::vector<std::string>{"updating", "starting"}));
    EXPECT_EQ(launcher.Progress(), (std::vector<int>{25}));
    EXPECT_TRUE(core_.Logged("eCallBackType_FinishClient2 RemoveNotifyWnd"));
}

// A second choice during the client update: the update goes on to the end
// and starts the game once.
TEST_F(LauncherLinksTest, ACheckVerDuringTheClientUpdateIsIgnored) {
    LauncherWindowStub launcher;
    Greet(launcher);
    Raise(eCallBackType_PreDownloadReady);
    Act(launcher, eActionType_CheckVer, "7");
    links_.Tick();
    links_.Tick();
    Raise(eCallBackType_PrePatchVer);
    Act(launcher, eActionType_StartGame);
    links_.Tick();
    ASSERT_EQ(links_.CurrentRecord()->GetState(), eNotifyWndState_UpdatintClient);

    Act(launcher, eActionType_CheckVer, "8");
    links_.Tick();
    links_.Tick();
    EXPECT_EQ(links_.CurrentRecord()->GetState(), eNotifyWndState_UpdatintClient);
    EXPECT_EQ(core_.checkedServers, (std::vector<std::wstring>{L"7"}));
    EXPECT_EQ(core_.clientChecks, 1);
    EXPECT_TRUE(core_.Logged("eActionType_CheckVer ignored: the client update of this launcher runs"));

    EXPECT_FALSE(Raise(eCallBackType_FinishClient));
    EXPECT_EQ(launcher.Callbacks(), (std::vector<int>{18, 1, 6}));
}

TEST_F(LauncherLinksTest, ManualUpdateEndsIdleAndTheEngineStays) {
    LauncherWindowStub launcher;
    Greet(launcher);
    Raise(eCallBackType_PreDownloadReady);
    Act(launcher, eActionType_CheckVer, "1");
    links_.Tick();
    links_.Tick();
    Raise(eCallBackType_PrePatchVer);
    Act(launcher, eActionType_ManualUpdate);
    links_.Tick();
    EXPECT_TRUE(Raise(eCallBackType_FinishClient));
    EXPECT_TRUE(links_.Tick());
    EXPECT_EQ(launcher.Callbacks(), (std::vector<int>{18, 1, 2}));
    EXPECT_EQ(links_.FindNotifyWnd(launcher.Handle())->GetState(), eNotifyWndState_Idle);
}

TEST_F(LauncherLinksTest, AClosedLauncherIsDroppedAndEndsTheEngineOnlyAfterReadiness) {
    LauncherWindowStub launcher;
    Greet(launcher);
    Act(launcher, eActionType_CheckVer, "1");
    links_.Tick();
    ASSERT_NE(links_.CurrentRecord(), nullptr);
    launcher.Destroy();
    EXPECT_TRUE(links_.Tick());  // gone, but the pre-download has not finished yet
    EXPECT_TRUE(links_.Records().empty());
    EXPECT_EQ(links_.CurrentRecord(), nullptr);
    EXPECT_FALSE(Raise(eCallBackType_PreDownloadReady));
}

TEST_F(LauncherLinksTest, StoppedCoreEndsTheEngine) {
    LauncherWindowStub launcher;
    Greet(launcher);
    EXPECT_TRUE(links_.Tick());
    core_.state = 46;
    EXPECT_FALSE(links_.Tick());
}

TEST_F(LauncherLinksTest, RestartWritesTheWindowsAndEndsTheListExplicitly) {
    TestFolder folder;
    std::wstring ini = folder.Path() + L"Tidemill.ini";
    LauncherWindowStub first;
    LauncherWindowStub second;
    LauncherWindowStub third;
    // An earlier restart left three live windows in the file.
    ASSERT_TRUE(WriteRestartWindows(ini, {first.Handle(), second.Handle(), third.Handle()}));
    links_.SetRestartFile(ini);
    Greet(second);
    links_.AddNotifyWnd(first.Handle());

    EXPECT_FALSE(Raise(eCallBackType_WaitReStartCore));
    EXPECT_TRUE(second.Callbacks().empty());  // handled within the engine
    EXPECT_EQ(second.Texts(2), (std::vector<std::string>{"restarting"}));
    EXPECT_EQ(first.Texts(2), (std::vector<std::string>{"restarting"}));
    EXPECT_EQ(ReadRestartWindows(ini), (std::vector<HWND>{second.Handle(), first.Handle()}));
}

TEST_F(LauncherLinksTest, TextsAndProgressFollowTheCore) {
    LauncherWindowStub launcher;
    Greet(launcher);
    core_.slots[0] = L"V1.0.0";
    core_.slots[1] = L"V1.0.1";
    core_.state = 40;
    core_.done = 3;
    core_.total = 4;
    links_.Tick();
    core_.received = 2 * 1048576 + 2;
    now_ += 1000;
    links_.Tick();
    core_.state = 44;
    now_ += 1000;
    links_.Tick();
    links_.Tick();
    EXPECT_EQ(launcher.Texts(0), (std::vector<std::string>{"V1.0.0"}));
    EXPECT_EQ(launcher.Texts(1), (std::vector<std::string>{"V1.0.1"}));
    EXPECT_EQ(launcher.Texts(3), (std::vector<std::string>{"speed 2.00M", "up to date"}));
    EXPECT_EQ(launcher.Progress(), (std::vector<int>{75}));
}

// Download threads hand over texts while the main thread ticks and changes
// its records: every text reaches the registered launcher, in order, and
// only from the main thread.
TEST_F(LauncherLinksTest, CoreTextsFromOtherThreadsAreSentByTheTick) {
    LauncherWindowStub launcher;
    LauncherWindowStub unregistered;
    Greet(launcher);
    constexpr int kTexts = 300;
    std::atomic<bool> done{false};
    std::thread producer([&] {
        for (int n = 0; n < kTexts; ++n) links_.QueueCoreText("text " + std::to_string(n));
        done = true;
    });
    while (!done) {
        links_.AddNotifyWnd(unregistered.Handle());
        links_.Tick();
        links_.RemoveNotifyWnd(links_.FindNotifyWnd(unregistered.Handle()));
    }
    producer.join();
    links_.Tick();
    std::vector<std::string> texts = launcher.CoreTexts();
    ASSERT_EQ(texts.size(), static_cast<size_t>(kTexts));
    for (int n = 0; n < kTexts; ++n) EXPECT_EQ(texts[n], "text " + std::to_string(n));
    EXPECT_TRUE(unregistered.CoreTexts().empty());
}

}  // namespace
