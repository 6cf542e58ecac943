#include "launcher/hall_client.h"

#include "common/file_util.h"
#include "conversation_fakes.h"
#include "launcher/engine_conversation.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

const wchar_t kFolder[] = L"C:\\games\\launcher";

// A folder of the test's own holding a copy of the hall double (under a name
// of its own, so that no two tests share a loaded module) and its scenario.
class HallFolder {
public:
    explicit HallFolder(const std::string& scenario) {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::wstring wide(name.begin(), name.end());
        folder_ = TestExeFolder() + L"hall_" + wide + L"\\";
        CreateDirectoryW(folder_.c_str(), nullptr);
        DeleteFileW((folder_ + L"hall_calls.log").c_str());
        DeleteFileW((folder_ + L"go").c_str());
        library_ = folder_ + L"hall_" + wide + L".dll";
        CopyFileW((TestExeFolder() + L"HallProcMsgHelper.dll").c_str(), library_.c_str(), FALSE);
        WriteFileAtomically(folder_ + L"hall_scenario.txt", scenario.data(), scenario.size());
    }

    HallClient::LibraryLoader Loader() const {
        std::wstring path = library_;
        return [path]() { return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH); };
    }
    std::string Calls() const {
        std::string text;
        ReadWholeFile(folder_ + L"hall_calls.log", text);
        return text;
    }
    void Touch(const wchar_t* name) const { WriteFileAtomically(folder_ + name, "x", 1); }

private:
    std::wstring folder_;
    std::wstring library_;
};

// One launcher's hall connection against the double, with a conversation
// wired to it, the notify window pumped by the test.
struct HallRun {
    explicit HallRun(const std::string& scenario)
        : hall(scenario),
          client(new HallClient(host, kFolder, starter, hall.Loader())),
          conversation(host, kFolder, starter) {
        client->SetNotifyWindow(window.window());
        conversation.SetHallClient(client.get());
        conversation.SetMainWindow(window.window());
    }

    HallClient::ConnectResult Connect(const wchar_t* parameters) {
        return client->Connect(LauncherParameterList(parameters));
    }

    // Applies the hall's events whenever the window is woken, until `done`
    // holds or 10 s have passed.
    bool PumpUntil(const std::function<bool()>& done) {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < 10000) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            if (!window.posted.empty()) {
                for (UINT message : window.posted) EXPECT_EQ(message, HallClient::kHallEventMessage);
                window.posted.clear();
                client->ApplyEvents();
            }
            if (done()) return true;
            Sleep(5);
        }
        return false;
    }
    void PumpFor(DWORD ms) {
        DWORD start = GetTickCount();
        PumpUntil([&] { return GetTickCount() - start >= ms; });
    }

    BoxCapture boxes;
    HallFolder hall;
    FakeHost host;
    FakeStarter starter;
    CaptureWindow window;
    CaptureWindow engine;
    std::unique_ptr<HallClient> client;
    EngineConversation conversation;
};

std::string Box(const wchar_t* caption, const wchar_t* text) { return Narrow(caption) + "|" + Narrow(text); }

TEST(HallClient, WithoutAParameterOrALibraryThereIsNoHall) {
    BoxCapture boxes;
    FakeHost host;
    FakeStarter starter;
    bool loaded = false;
    {
        HallClient client(host, kFolder, starter, [&loaded]() -> HMODULE {
            loaded = true;
            return nullptr;
        });
        EXPECT_EQ(client.Connect(LauncherParameterList(L"ID=7")), HallClient::ConnectResult::kNoHall);
        EXPECT_FALSE(loaded);
        EXPECT_EQ(client.Connect(LauncherParameterList(L"PROCPARA=p,ID=7")), HallClient::ConnectResult::kNoHall);
        EXPECT_TRUE(loaded);
        EXPECT_FALSE(client.Connected());
        EXPECT_FALSE(client.RequestFreshProcPara(RestartKind::kReplace));
    }
    // A library without the export.
    HallClient client(host, kFolder, starter, []() { return GetModuleHandleW(L"kernel32.dll"); });
    EXPECT_EQ(client.Connect(LauncherParameterList(L"PROCPARA=p")), HallClient::ConnectResult::kNoHall);
    EXPECT_TRUE(ShownBoxes().empty());
    EXPECT_TRUE(host.calls.empty());
}

TEST(HallClient, ARefusedConnectionShowsItsBoxAndEndsTheStart) {
    BoxCapture boxes;
    HallFolder hall("connect-result 0\n");
    FakeHost host;
    FakeStarter starter;
    {
        HallClient client(host, kFolder, starter, hall.Loader());
        EXPECT_EQ(client.Connect(LauncherParameterList(L"PROCPARA=P0,ID=7")), HallClient::ConnectResult::kRefused);
        EXPECT_EQ(ShownBoxes(), std::vector<std::string>{Box(L"退出提示", L"管道连接失败，程序退出!")});
    }
    EXPECT_EQ(hall.Calls(), "create\ninitialise\nadd-handler\nconnect \"P0\" -> 0\nremove-handler\nrelease\n");
    EXPECT_TRUE(host.calls.empty());
}

TEST(HallClient, AFailureBeforeTheWindowsExistIsActedOnOnceTheyDo) {
    HallRun run("connect 0 connect-failed\n");
    run.client->SetNotifyWindow(nullptr);  // the windows do not exist yet
    ASSERT_EQ(run.Connect(L"PROCPARA=P0"), HallClient::ConnectResult::kConnecting);
    for (int i = 0; i < 500 && run.hall.Calls().find("deliver connect-failed") == std::string::npos; ++i) Sleep(10);
    run.PumpFor(50);
    EXPECT_TRUE(run.host.calls.empty());

    run.client->SetNotifyWindow(run.window.window());
    ASSERT_TRUE(run.PumpUntil([&] { return !run.host.calls.empty(); }));
    EXPECT_EQ(ShownBoxes(), std::vector<std::string>{Box(L"提示", L"管道连接失败，程序退出!")});
    EXPECT_EQ(run.host.calls, std::vector<std::string>{"quit"});
}

TEST(HallClient, ShowHideRefusalAndClose) {
    HallRun run(
        "connect 0 connected\n"
        "connect 10 message 3 flag:1\n"
        "connect 20 message 3 flag:0\n"
        "connect 30 message 6 text:cmd\n"
        "connect 40 message 3 fill:2\n"           // no room for a flag
        "connect 50 message 12 empty\n"
        "connect 60 message 11 text:unasked\n"    // nobody asked for it
        "connect 70 message 3 flag:7 length=-4\n"  // a length no record has
        "connect 80 message 99 empty\n"
        "file:go 0 closed\n");
    ASSERT_EQ(run.Connect(L"PROCPARA=P0"), HallClient::ConnectResult::kConnecting);
    ASSERT_TRUE(run.PumpUntil([&] { return run.hall.Calls().find("type=99") != std::string::npos; }));
    run.PumpFor(100);
    EXPECT_TRUE(run.client->Connected());
    EXPECT_EQ(run.host.calls, (std::vector<std::string>{"show-main-frame", "hide-main-show-frame"}));
    EXPECT_EQ(ShownBoxes(), std::vector<std::string>{Box(L"提示", L"管道连接失败，拒绝新连接!")});
    EXPECT_TRUE(run.starter.starts.empty());

    run.hall.Touch(L"go");
    ASSERT_TRUE(run.PumpUntil([&] { return run.host.calls.size() == 3; }));
    EXPECT_EQ(run.host.calls.back(), "quit");
}

TEST(HallClient, AReplacementGoesThroughTheHallsFreshParameter) {
    HallRun run(
        "connect 0 connected\n"
        "request 0 message 11 text:n\xE9w\n");
    const std::string folder = "C:\\games\\launcher\\";
    // The list is written out in key order with the fresh value; the hall's
    // texts are in the ANSI code page both ways.
    ASSERT_EQ(run.Connect(L"PROCPARA=caf\x00e9,ID=7"), HallClient::ConnectResult::kConnecting);
    ASSERT_TRUE(run.PumpUntil([&] { return run.client->Connected(); }));

    BeginEngineConversation(run.conversation, run.engine.window(), run.host, run.starter);
    run.conversation.OnEngineCallback(eCallBackType_WaitRelaunch);
    ASSERT_TRUE(run.PumpUntil([&] { return !run.starter.starts.empty(); }));
    EXPECT_EQ(run.starter.starts[0], folder + "Ferrier.exe|1 2 ID=7,PROCPARA=n\\u00e9w|" + folder + "|0");
    EXPECT_EQ(run.client->rebuiltList(), L"ID=7,PROCPARA=n\x00e9w");

    run.conversation.OnEngineCallback(eCallBackType_WaitReStartLaunch);
    ASSERT_TRUE(run.PumpUntil([&] { return run.starter.starts.size() == 2; }));
    EXPECT_EQ(run.starter.starts[1], folder + "Brightgate.exe|ID=7,PROCPARA=n\\u00e9w|" + folder + "|1");
    // The launcher goes on until the hall closes the connection.
    EXPECT_TRUE(run.host.calls.empty());
    EXPECT_TRUE(ShownBoxes().empty());

    run.client.reset();
    std::string calls = run.hall.Calls();
    EXPECT_NE(calls.find("connect \"caf\xE9\" -> 1\n"), std::string::npos) << calls;
    size_t first = calls.find("send size=8 type=11 length=0 body=\n");
    ASSERT_NE(first, std::string::npos) << calls;
    EXPECT_NE(calls.find("send size=8 type=11 length=0 body=\n", first + 1), std::string::npos) << calls;
    const std::string end = "remove-handler\nrelease\n";
    ASSERT_GE(calls.size(), end.size());
    EXPECT_EQ(calls.substr(calls.size() - end.size()), end);
}

TEST(HallClient, AnUnusableOrMissingReplyStartsNothing) {
    HallRun run(
        "connect 0 connected\n"
        "request 0 message 11 fill:200\n");
    ASSERT_EQ(run.Connect(L"PROCPARA=P0,ID=7"), HallClient::ConnectResult::kConnecting);
    ASSERT_TRUE(run.PumpUntil([&] { return run.client->Connected(); }));
    BeginEngineConversation(run.conversation, run.engine.window(), run.host, run.starter);
    run.conversation.OnEngineCallback(eCallBackType_WaitReStartLaunch);
    ASSERT_TRUE(run.PumpUntil([&] { return run.hall.Calls().find("deliver message") != std::string::npos; }));
    // Neither the oversize reply nor the silence after it starts anything,
    // and the launcher keeps running.
    run.PumpFor(500);
    EXPECT_TRUE(run.starter.starts.empty());
    EXPECT_TRUE(run.host.calls.empty());
    EXPECT_TRUE(run.client->rebuiltList().empty());
}

TEST(LauncherRestart, ARebuiltListGoesOutWholeHoweverLong) {
    // "PROCPARA" sorts last among the hall's keys: a cut would lose it first.
    std::wstring list = L"ID=" + std::wstring(600, L'7') + L",PROCPARA=fresh";
    FakeStarter starter;
    StartHallRestart(starter, L"C:\\games\\launcher\\", RestartKind::kReplace, list);
    StartHallRestart(starter, L"C:\\games\\launcher", RestartKind::kRestart, list);
    const std::string folder = "C:\\games\\launcher\\";
    ASSERT_EQ(starter.starts.size(), 2u);
    EXPECT_EQ(starter.starts[0], folder + "Ferrier.exe|1 2 " + Narrow(list) + "|" + folder + "|0");
    EXPECT_EQ(starter.starts[1], folder + "Brightgate.exe|" + Narrow(list) + "|" + folder + "|1");
}

}  // namespace
