// Starting the game: the mini client and the game client, their reports,
// and the game window watching the client until it ends.
#include "game_test_support.h"
#include "tests/support/desktop_input_lock.h"
#include "launcher/game_main.h"
#include "launcher/game_start.h"
#include "ui/core/manager/window_manager_ui.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace game_test;

namespace {

struct StartRecord {
    std::wstring file, parameters, folder;
    int showState;
};

// Fails the starts whose number is in FAILING with error 2.
struct FakeStarter : ProgramStarter {
    DWORD Start(const std::wstring& file, const std::wstring& parameters, const std::wstring& folder,
                int showState) override {
        starts.push_back({file, parameters, folder, showState});
        for (size_t n : failing) {
            if (n == starts.size()) {
                SetLastError(ERROR_FILE_NOT_FOUND);
                return 0;
            }
        }
        return 1000 + static_cast<DWORD>(starts.size());
    }
    std::vector<size_t> failing;
    std::vector<StartRecord> starts;
};

// A top-level window standing in for the game window.
HWND PlainWindow() {
    return CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
}

TEST(GameStartTest, MiniClientThenGameClientEachReported) {
    const struct {
        std::vector<size_t> failing;
        DWORD pid;
        std::vector<std::string> reports;
    } cases[] = {
        {{}, 1002,
         {"Start qlnmini.exe|", "Start qlnmini.exe sucess|", "Start Client.exe|", "Start Client.exe sucess|"}},
        // A missing mini client does not stop the game client.
        {{1}, 1002,
         {"Start qlnmini.exe|", "Start qlnmini.exe fail|ShellExecuteExW  2", "Start Client.exe|",
          "Start Client.exe sucess|"}},
        {{2}, 0,
         {"Start qlnmini.exe|", "Start qlnmini.exe sucess|", "Start Client.exe|",
          "Start Client.exe fail|ShellExecuteExW  2"}},
    };
    HWND window = PlainWindow();
    ASSERT_NE(window, nullptr);
    const std::wstring handle = std::to_wstring(static_cast<int>(reinterpret_cast<intptr_t>(window)));
    for (const auto& c : cases) {
        FakeHost host;
        FakeStarter starter;
        starter.failing = c.failing;
        EXPECT_EQ(StartGameClient(starter, host, {L"C:\\game\\", L"Game.exe", L"tok"}, window), c.pid);
        EXPECT_EQ(host.calls, c.reports);
        ASSERT_EQ(starter.starts.size(), 2u);
        EXPECT_EQ(starter.starts[0].file, L"C:\\game\\Tiny\\qlnmini.exe");
        EXPECT_EQ(starter.starts[0].parameters, L"");
        EXPECT_EQ(starter.starts[0].folder, L"C:\\game\\Tiny\\");
        EXPECT_EQ(starter.starts[0].showState, SW_HIDE);
        EXPECT_EQ(starter.starts[1].file, L"C:\\game\\Game.exe");
        EXPECT_EQ(starter.starts[1].parameters, L"wnd:" + handle + L";wndoffset:2,53,2,2;token:tok");
        EXPECT_EQ(starter.starts[1].folder, L"C:\\game\\");
        EXPECT_EQ(starter.starts[1].showState, SW_SHOWNORMAL);
    }
    DestroyWindow(window);
}

TEST(GameStartTest, WithoutAGameWindowNothingStarts) {
    FakeHost host;
    FakeStarter starter;
    EXPECT_EQ(StartGameClient(starter, host, {L"C:\\game\\", L"Client.exe", L"tok"}, nullptr), 0u);
    ASSERT_EQ(GetGameMain(), nullptr);
    StartGameInCurrentWindow(starter, host, {L"C:\\game\\", L"Client.exe", L"tok"});
    EXPECT_TRUE(starter.starts.empty());
    EXPECT_TRUE(host.calls.empty());
}

// A failed start shows the starter's box, whose modal loop lets the player
// close the game window and choose again; the pid then belongs to neither.
TEST(GameStartTest, AGameWindowClosedDuringAStartGetsNoProcessId) {
    const std::wstring folder = TestFolder();
    ASSERT_TRUE(WriteText(folder + L"layout\\GameMain.xml",
                          "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Window size=\"800,572\">"
                          "<VerticalLayout name=\"mainContainer\"/></Window>\n"));
    QuillUI::CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    QuillUI::CWindowManagerUI::SetResourcePath(folder.c_str());

    struct ClosingStarter : FakeStarter {
        DWORD Start(const std::wstring& file, const std::wstring& parameters, const std::wstring& folder,
                    int showState) override {
            if (starts.size() == 1) {
                DestroyWindow(GetGameMain()->GetHWND());
                next = GameMain::Open(*host, config, L"", 0, 0);
            }
            return FakeStarter::Start(file, parameters, folder, showState);
        }
        FakeHost* host = nullptr;
        std::wstring config;
        GameMain* next = nullptr;
    };
    FakeHost host;
    ClosingStarter starter;
    starter.host = &host;
    starter.config = folder + L"LauncherConfig.ini";
    GameMain* first = GameMain::Open(host, starter.config, L"", 0, 0);
    ASSERT_NE(first, nullptr);
    HWND firstWindow = first->GetHWND();
    StartGameInCurrentWindow(starter, host, {L"C:\\game\\", L"Client.exe", L"tok"});
    EXPECT_FALSE(IsWindow(firstWindow));
    ASSERT_NE(starter.next, nullptr);
    ASSERT_EQ(GetGameMain(), starter.next);
    // The client was told of the first window, not of this one.
    EXPECT_EQ(starter.next->GetGameProcessId(), 0u);
    DestroyWindow(starter.next->GetHWND());
}

// The real start: the stand-in as both programs records its command line
// and ends at once, which the game window's watch notices.
TEST(GameStartTest, TheGameWindowWatchesTheStartedClient) {
    DesktopInputLock desktop;  // the game window opens maximised and active
    const std::wstring folder = TestFolder();
    const std::wstring client = folder + L"client\\";
    ASSERT_TRUE(CopyBeside(L"qtest_stand_in.exe", client, L"Client.exe"));
    ASSERT_TRUE(CopyBeside(L"qtest_stand_in.exe", client + L"Tiny\\", L"qlnmini.exe"));
    ASSERT_TRUE(WriteText(folder + L"layout\\GameMain.xml",
                          "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Window size=\"800,572\">"
                          "<VerticalLayout name=\"mainContainer\"/></Window>\n"));
    QuillUI::CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    QuillUI::CWindowManagerUI::SetResourcePath(folder.c_str());

    FakeHost host;
    GameMain* game = GameMain::Open(host, folder + L"LauncherConfig.ini", L"", 0, 0);
    ASSERT_NE(game, nullptr);
    HWND window = game->GetHWND();
    const std::wstring token = L"t\u00e9k-" + std::wstring(600, L'x');
    StartGameInCurrentWindow(ShellProgramStarter(), host, {client, L"Client.exe", token});
    EXPECT_NE(game->GetGameProcessId(), 0u);

    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window); }, 20000)) << "the watch never fired";
    const std::string handle = std::to_string(static_cast<int>(reinterpret_cast<intptr_t>(window)));
    const std::string clientRecord = ReadText(client + L"Client.exe.record");
    EXPECT_NE(clientRecord.find("cmd=wnd:" + handle + ";wndoffset:2,53,2,2;token:" + Narrow(token) + "\n"),
              std::string::npos)
        << clientRecord;
    // Started first, the mini client may still be on its way when the game
    // client has ended: its record is awaited, not assumed.
    std::string miniRecord;
    EXPECT_TRUE(PumpUntil([&] {
        miniRecord = ReadText(client + L"Tiny\\qlnmini.exe.record");
        return miniRecord.find('\n') != std::string::npos;
    }));
    EXPECT_NE(miniRecord.find("cmd=\n"), std::string::npos) << miniRecord;
    EXPECT_EQ(host.calls, (std::vector<std::string>{"Start qlnmini.exe|", "Start qlnmini.exe sucess|",
                                                    "Start Client.exe|", "Start Client.exe sucess|",
                                                    "show main and frame", "reset and reload",
                                                    "Click Close Game or Game Crash|"}));
}

}  // namespace
