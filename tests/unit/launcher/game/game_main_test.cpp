// The game window with the Flash double as its movie: the requests of its
// timer, the game's messages, the buttons and the tray.
#include "game_test_support.h"
#include "tests/support/desktop_input_lock.h"
#include "launcher/game_main.h"
#include "launcher/process_alive.h"
#include "tests/unit/launcher/ended_process.h"
#include "ui/core/control/control_ui.h"
#include "ui/core/manager/notify_message_ui.h"
#include "ui/core/manager/window_manager_ui.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace game_test;

namespace {

// A skin whose game layout holds the eight controls, the movie being the
// Flash double; and the configuration with the title and Tip79.
class GameSkin {
public:
    GameSkin() : folder_(TestFolder()) {
        EXPECT_TRUE(CopyBeside(L"flash_double.dll", folder_, L"flash_double.dll"));
        EXPECT_TRUE(WriteText(folder_ + L"flash_scenario.txt", ""));
        const std::string layout =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<Window size=\"800,572\">\n"
            "  <VerticalLayout name=\"mainContainer\" inset=\"9,9,9,9\">\n"
            "    <HorizontalLayout height=\"20\">\n"
            "      <Button name=\"menubtn\" width=\"20\"/><Button name=\"minbtn\" width=\"20\"/>\n"
            "      <Button name=\"maxbtn\" width=\"20\"/><Button name=\"restorebtn\" width=\"20\" visible=\"false\"/>\n"
            "      <Button name=\"closebtn\" width=\"20\"/><Button name=\"freshbtn\" width=\"20\"/>\n"
            "    </HorizontalLayout>\n"
            "    <Flash name=\"flash\" swf=\"progress.swf\" modulename=\"" + Narrow(folder_) + "flash_double.dll\"/>\n"
            "  </VerticalLayout>\n"
            "</Window>\n";
        EXPECT_TRUE(WriteText(folder_ + L"layout\\GameMain.xml", layout));
        EXPECT_TRUE(WriteText(Config(), "[Launcher]\r\nAppName=Game Title\r\nTip79=Step\r\n"));
        QuillUI::CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
        QuillUI::CWindowManagerUI::SetResourcePath(folder_.c_str());
    }
    std::wstring Config() const { return folder_ + L"LauncherConfig.ini"; }
    std::string Log() const { return ReadText(folder_ + L"flash_calls.log"); }
    // Waits for REQUEST to be made once more than it was made so far.
    bool AwaitCall(const std::string& request) const {
        const std::string line = "CallFunction " + request;
        const int before = Occurrences(Log(), line);
        return PumpUntil([&] { return Occurrences(Log(), line) > before; });
    }

private:
    std::wstring folder_;
};

std::string NumberCall(const char* name, int n) {
    return std::string("<invoke name='") + name + "'><arguments><number>" + std::to_string(n) +
           "</number></arguments></invoke>";
}
std::string TextCall(const char* name, const std::string& text) {
    return std::string("<invoke name='") + name + "'><arguments><string>" + text + "</string></arguments></invoke>";
}

void Click(GameMain& game, const wchar_t* name) {
    QuillUI::NotifyMessageUI message = {};
    message.sender = game.GetManager().FindControl(name);
    ASSERT_NE(message.sender, nullptr);
    game.OnClick(message);
}

class GameMainTest : public ::testing::Test {
protected:
    GameMain* Open(const wchar_t* text = L"") { return GameMain::Open(host, skin.Config(), text, 0, 0); }

    // The game window opens maximised and active, over the desktop that all
    // tests share.
    DesktopInputLock desktop;
    GameSkin skin;
    FakeHost host;
};

TEST_F(GameMainTest, MovieShowsTheEnginesProgressAndTheGamesMessages) {
    GameMain* game = Open(L"Updating");
    ASSERT_NE(game, nullptr);
    HWND window = game->GetHWND();
    EXPECT_EQ(GetGameMain(), game);
    wchar_t title[64] = L"";
    GetWindowTextW(window, title, 64);
    EXPECT_STREQ(title, L"Game Title");
    EXPECT_TRUE(IsZoomed(window));

    // One timer round: both bars with their texts, in this order.
    ASSERT_TRUE(skin.AwaitCall(TextCall("setTextTwo", "Step  1/6"))) << skin.Log();
    EXPECT_TRUE(InOrder(skin.Log(), {NumberCall("setProValOne", 0), TextCall("setTextOne", "Updating  0%"),
                                     NumberCall("setProValTwo", 16), TextCall("setTextTwo", "Step  1/6")}))
        << skin.Log();

    SendMessageW(window, GameMain::kProgressOneMessage, 40, 80);
    ASSERT_TRUE(skin.AwaitCall(TextCall("setTextOne", "Updating  50%"))) << skin.Log();
    EXPECT_NE(skin.Log().find(NumberCall("setProValOne", 50)), std::string::npos);
    SendMessageW(window, GameMain::kProgressOneMessage, 0, 999);  // a zero value keeps the total
    EXPECT_EQ(game->ProgressOneTotal(), 80u);
    SendMessageW(window, GameMain::kProgressOneMessage, 20, 0);
    ASSERT_TRUE(skin.AwaitCall(TextCall("setTextOne", "Updating  0%"))) << skin.Log();

    SendMessageW(window, GameMain::kProgressTwoMessage, 3, 0);
    ASSERT_TRUE(skin.AwaitCall(TextCall("setTextTwo", "Step  3/6"))) << skin.Log();
    EXPECT_NE(skin.Log().find(NumberCall("setProValTwo", 50)), std::string::npos);

    SendMessageW(window, GameMain::kProgressOneMessage, 1, 2);
    const struct {
        std::string bytes;
        std::string shown;
    } texts[] = {
        {std::string("abc\0def", 7), "abc"},  // up to the first zero
        {"a<b>&c", "a&lt;b&gt;&amp;c"},         // escaped in the request
        {std::string(300, 'y'), std::string(300, 'y')},  // whole, however long
        {"\xE2\x82\xAC" "5", "\xE2\x82\xAC" "5"},
    };
    for (const auto& t : texts) {
        COPYDATASTRUCT data = {0, static_cast<DWORD>(t.bytes.size()), const_cast<char*>(t.bytes.data())};
        EXPECT_EQ(SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), TRUE);
        EXPECT_TRUE(skin.AwaitCall(TextCall("setTextOne", t.shown + "  50%"))) << skin.Log();
    }
    // A text larger than any progress line is cut, back to a whole character.
    std::string euros;
    for (int i = 0; i < 2000; ++i) euros += "\xE2\x82\xAC";
    COPYDATASTRUCT big = {0, static_cast<DWORD>(euros.size()), const_cast<char*>(euros.data())};
    SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&big));
    EXPECT_EQ(game->TextOne(), std::wstring(GameMain::kMaxTextBytes / 3, L'\u20AC'));
    // The bytes end where the copy ends, without a terminator of their own.
    const char unterminated[] = {'x', 'y', 'z', 'w', 'v', 'Q', 'Q'};
    COPYDATASTRUCT five = {0, 5, const_cast<char*>(unterminated)};
    SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&five));
    EXPECT_EQ(game->TextOne(), L"xyzwv");

    // Released, the movie gets no further calls, while the watch goes on.
    SendMessageW(window, GameMain::kReleaseMessage, 0, 0);
    Pump(50);
    EXPECT_EQ(game->GetManager().FindControl(L"flash"), nullptr);
    const int calls = Occurrences(skin.Log(), "CallFunction");
    game->SetGameProcessId(0x7FFFFFF0);  // no such process
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window); }));
    EXPECT_EQ(Occurrences(skin.Log(), "CallFunction"), calls);
    EXPECT_EQ(GetGameMain(), nullptr);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"show main and frame", "reset and reload",
                                                    "Click Close Game or Game Crash|"}));
}

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == GameMain::kTrayMessage) SetWindowLongPtrW(window, GWLP_USERDATA, GetWindowLongPtrW(window, GWLP_USERDATA) + 1);
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(GameMainTest, ButtonsTrayAndClosing) {
    GameMain* game = Open();
    ASSERT_NE(game, nullptr);
    HWND window = game->GetHWND();
    EXPECT_FALSE(game->GetManager().FindControl(L"maxbtn")->IsVisible());
    EXPECT_TRUE(game->GetManager().FindControl(L"restorebtn")->IsVisible());

    // The movie is windowless: its window is the game window, which the
    // maximise button must not touch.
    ASSERT_TRUE(PumpUntil([&] { return skin.Log().find("CallFunction") != std::string::npos; })) << skin.Log();
    Click(*game, L"maxbtn");
    EXPECT_TRUE(IsWindowVisible(window));

    // Without a notification area the window must not vanish with no way back.
    Click(*game, L"menubtn");
    EXPECT_EQ(game->HasTrayIcon(), false);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(host.calls.empty());

    // A double click on the icon shows the game window, and only that.
    ShowWindow(window, SW_HIDE);
    PostMessageW(window, GameMain::kTrayMessage, 99, WM_LBUTTONDBLCLK);
    PostMessageW(window, GameMain::kTrayMessage, GameMain::kTrayIconId, WM_RBUTTONUP);
    Pump(50);
    EXPECT_FALSE(IsWindowVisible(window));
    PostMessageW(window, GameMain::kTrayMessage, GameMain::kTrayIconId, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(window) != FALSE; }));
    EXPECT_TRUE(host.calls.empty());

    // Escape is swallowed; closing tells every embedded window.
    PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
    Pump(100);
    EXPECT_TRUE(IsWindow(window));
    WNDCLASSW probeClass = {};
    probeClass.lpfnWndProc = &ProbeProc;
    probeClass.hInstance = GetModuleHandleW(nullptr);
    probeClass.lpszClassName = L"GameChildProbe";
    RegisterClassW(&probeClass);
    HWND child = CreateWindowExW(0, L"GameChildProbe", L"", WS_CHILD, 2, 53, 10, 10, window, nullptr, nullptr, nullptr);
    HWND grandchild = CreateWindowExW(0, L"GameChildProbe", L"", WS_CHILD, 0, 0, 5, 5, child, nullptr, nullptr, nullptr);
    bool handled = false;
    game->HandleCustomMessage(WM_CLOSE, 0, 0, handled);
    EXPECT_FALSE(handled);
    Pump(50);
    EXPECT_EQ(GetWindowLongPtrW(child, GWLP_USERDATA), 1);
    EXPECT_EQ(GetWindowLongPtrW(grandchild, GWLP_USERDATA), 1);

    Click(*game, L"closebtn");
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window); }));
    EXPECT_EQ(host.calls, (std::vector<std::string>{"show main and frame", "reset and reload", "Close Game|"}));
}

TEST_F(GameMainTest, TheNewestWindowIsCurrentUntilItCloses) {
    GameMain* first = Open();
    GameMain* second = Open();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    HWND firstWindow = first->GetHWND(), secondWindow = second->GetHWND();
    EXPECT_EQ(GetGameMain(), second);
    DestroyWindow(firstWindow);
    EXPECT_EQ(GetGameMain(), second);
    DestroyWindow(secondWindow);
    EXPECT_EQ(GetGameMain(), nullptr);
}

// Refuses the creation of game windows on this thread while it lives.
class RefusedGameWindows {
public:
    RefusedGameWindows() : hook_(SetWindowsHookExW(WH_CBT, &Refuse, nullptr, GetCurrentThreadId())) {}
    ~RefusedGameWindows() { UnhookWindowsHookEx(hook_); }
    bool Active() const { return hook_ != nullptr; }

private:
    static LRESULT CALLBACK Refuse(int code, WPARAM wParam, LPARAM lParam) {
        wchar_t name[64] = L"";
        if (code == HCBT_CREATEWND) GetClassNameW(reinterpret_cast<HWND>(wParam), name, 64);
        if (wcscmp(name, L"ql_launcher_gamemain") == 0) return 1;
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK hook_;
};

TEST_F(GameMainTest, AWindowThatCannotBeCreatedLeavesTheShownOneCurrent) {
    GameMain* first = Open();
    ASSERT_NE(first, nullptr);
    {
        RefusedGameWindows refused;
        ASSERT_TRUE(refused.Active());
        EXPECT_EQ(Open(), nullptr);
    }
    EXPECT_EQ(GetGameMain(), first);
    DestroyWindow(first->GetHWND());
    EXPECT_EQ(GetGameMain(), nullptr);
}

TEST_F(GameMainTest, AtTheEndEveryGameWindowGoesTheOlderOnesToo) {
    GameMain* first = Open();
    GameMain* second = Open();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    HWND firstWindow = first->GetHWND(), secondWindow = second->GetHWND();
    DestroyGameWindows();
    EXPECT_FALSE(IsWindow(firstWindow));
    EXPECT_FALSE(IsWindow(secondWindow));
    EXPECT_EQ(GetGameMain(), nullptr);
    DestroyGameWindows();  // nothing left: nothing happens
}

HANDLE WINAPI FailingSnapshot(DWORD, DWORD) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return INVALID_HANDLE_VALUE;
}

// A snapshot that cannot be taken says nothing of the game: the window stays,
// and the next look that works closes it.
TEST_F(GameMainTest, AFailedProcessSnapshotKeepsTheGameWindow) {
    GameMain* game = Open();
    ASSERT_NE(game, nullptr);
    HWND window = game->GetHWND();
    const DWORD pid = EndedProcessId();
    ASSERT_NE(pid, 0u);
    SetProcessSnapshotFunction(&FailingSnapshot);
    game->SetGameProcessId(pid);
    Pump(6 * GameMain::kTimerMs);
    SetProcessSnapshotFunction(nullptr);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(host.calls.empty());
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window); }));
    EXPECT_EQ(host.calls.back(), "Click Close Game or Game Crash|");
}

TEST_F(GameMainTest, SystemCloseEndsTheLauncherAndTheZoomedLookFollows) {
    GameMain* game = Open();
    ASSERT_NE(game, nullptr);
    HWND window = game->GetHWND();
    QuillUI::CControlUI* maxButton = game->GetManager().FindControl(L"maxbtn");
    SendMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(IsZoomed(window));
    EXPECT_TRUE(maxButton->IsVisible());
    SendMessageW(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_FALSE(maxButton->IsVisible());
    const int quits = QuitsSeen();
    SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump(50);
    EXPECT_EQ(QuitsSeen(), quits + 1);
    EXPECT_TRUE(IsWindow(window));
    DestroyWindow(window);
}

// A close from outside (a task list's "end task") would leave the launcher
// running with every window hidden: it ends the launcher as SC_CLOSE does.
// The window's own close, after the game, does not.
TEST_F(GameMainTest, ACloseFromOutsideEndsTheLauncherItsOwnCloseDoesNot) {
    GameMain* game = Open();
    ASSERT_NE(game, nullptr);
    HWND window = game->GetHWND();
    int quits = QuitsSeen();
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window); }));
    EXPECT_EQ(QuitsSeen(), quits + 1);
    EXPECT_TRUE(host.calls.empty());

    game = Open();
    ASSERT_NE(game, nullptr);
    window = game->GetHWND();
    quits = QuitsSeen();
    Click(*game, L"closebtn");
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window); }));
    Pump(50);
    EXPECT_EQ(QuitsSeen(), quits);
}

}  // namespace
