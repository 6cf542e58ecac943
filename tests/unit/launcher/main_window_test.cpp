// A real main window in the test process, with the launcher's test skin and
// a stand-in named "Tidemill.exe" in its program folder.
#include "common/code_page.h"
#include "common/process_util.h"
#include "launcher/frame_window.h"
#include "launcher/main_window.h"
#include "report_test_support.h"
#include "tests/support/desktop_input_lock.h"
#include "tests/unit/common/hung_window.h"
#include "tests/unit/common/test_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::wstring WinePath(const char* hostPath) {
    std::wstring path = L"Z:" + MultiToWide(hostPath, CP_UTF8);
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

std::vector<std::wstring> g_boxes;
void RecordBox(const wchar_t* text, const wchar_t*) { g_boxes.push_back(text); }

// Pumps the thread's messages until the condition holds or the time is up.
template <class Condition>
bool PumpUntil(Condition condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= timeoutMs) return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(10);
    }
    return true;
}

std::vector<std::string> Events(const std::vector<LoggedRequest>& log) {
    std::vector<std::string> events;
    for (const LoggedRequest& r : log) {
        if (r.method == "POST") events.push_back(r.body);
        else events.push_back(r.method + " " + r.path.substr(0, r.path.find('?')));
    }
    return events;
}

class MainWindowTest : public ReportServerTest {
protected:
    void SetUp() override {
        ReportServerTest::SetUp();
        ASSERT_TRUE(server_.PutFile("trigger", "0"));
        // A folder of each test's own: ctest runs them side by side.
        folder_ = ScratchFolder(L"main_window_" +
                                MultiToWide(::testing::UnitTest::GetInstance()->current_test_info()->name(), CP_UTF8));
        WriteFileText(folder_ + L"\\LauncherConfig.ini",
                      "[platform]\r\nGetPfkeyByOpenid=" + server_.Url("key") + "\r\nReportEventUrl=" +
                          server_.Url("report") + "\r\nTriggerEventUrl=" + server_.Url("trigger") + "\r\n");
        engine_ = folder_ + L"\\Tidemill.exe";
        ASSERT_TRUE(CopyFileW(WinePath(QTEST_STAND_IN).c_str(), engine_.c_str(), FALSE));
        QuillUI::CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
        QuillUI::CWindowManagerUI::SetResourcePath(WinePath(QTEST_LAUNCHER_SKIN).c_str());
        SetErrorBoxFunction(&RecordBox);
        g_boxes.clear();
    }
    void TearDown() override {
        while (GetGameMain() != nullptr) DestroyWindow(GetGameMain()->GetHWND());
        if (GetMainWindow() != nullptr) DestroyWindow(GetMainWindow()->GetHWND());
        SetErrorBoxFunction(nullptr);
    }

    // The main, frame and game windows show on the desktop that all tests share.
    DesktopInputLock desktop_;
    std::wstring folder_;
    std::wstring engine_;
};

TEST_F(MainWindowTest, AChoiceStartsTheEngineWithItsHandleAndReportsHowItWent) {
    MainWindow* window = new MainWindow(folder_);
    window->ParseCommandLine(L"ID=5,Key=kk");
    HWND handle = window->Create(nullptr, L"main", MainWindow::kStyle, 0, 0, 0, MainWindow::kWidth,
                                 MainWindow::kHeight);
    ASSERT_NE(handle, nullptr);

    window->OnServerChosen(L"3", L"tok");
    // The choice swaps the launcher's windows for a game window.
    ASSERT_NE(GetGameMain(), nullptr);
    EXPECT_TRUE(IsWindowVisible(GetGameMain()->GetHWND()));
    EXPECT_FALSE(IsWindowVisible(handle));
    const std::wstring record = engine_ + L".record";
    ASSERT_TRUE(PumpUntil([&] { return !ReadFileText(record).empty(); }, 10000));
    EXPECT_EQ(ReadFileText(record).substr(ReadFileText(record).find(" cmd=")),
              " cmd=" + std::to_string(WindowToChannel(handle)) + "\n");

    // The stand-in may still be ending: its image stays locked, or its
    // deletion pending with the file still there, until then.
    ASSERT_TRUE(PumpUntil(
        [&] {
            DeleteFileW(engine_.c_str());
            return GetFileAttributesW(engine_.c_str()) == INVALID_FILE_ATTRIBUTES;
        },
        10000));
    DestroyWindow(GetGameMain()->GetHWND());
    window->OnServerChosen(L"3", L"tok");  // now there is nothing to start
    ASSERT_TRUE(PumpUntil([&] { return server_.Log().size() >= 9; }, 10000));
    EXPECT_EQ(Events(server_.Log()),
              (std::vector<std::string>{"GET /trigger", "openid=5&event=Start Launcher&param=", "GET /key",
                                        "openid=5&event=Click ServerName&param=",
                                        "openid=5&event=Start Tidemill.exe&param=",
                                        "openid=5&event=Start Tidemill.exe success&param=",
                                        "openid=5&event=Click ServerName&param=",
                                        "openid=5&event=Start Tidemill.exe&param=",
                                        "openid=5&event=Start Tidemill.exe fail&param=ShellExecuteExW  2"}));
    EXPECT_EQ(g_boxes, (std::vector<std::wstring>{L"ShellExecuteExW  2"}));

    DestroyWindow(handle);
    EXPECT_EQ(GetMainWindow(), nullptr);  // the object went with its window
}

}  // namespace

namespace {

HWND g_closeOnBox = nullptr;
void CloseOnBox(const wchar_t* text, const wchar_t* caption) {
    RecordBox(text, caption);
    SendMessageW(g_closeOnBox, WM_CLOSE, 0, 0);
}

// A close that arrives while a handler's box is up, from another process or
// the hall, ends the launcher without pulling the window from under it.
TEST_F(MainWindowTest, ACloseDuringAHandlersBoxQuitsButKeepsTheWindow) {
    ASSERT_TRUE(DeleteFileW(engine_.c_str()));
    MainWindow* window = new MainWindow(folder_);
    window->ParseCommandLine(L"ID=5");
    HWND handle = window->Create(nullptr, L"main", MainWindow::kStyle, 0, 0, 0, MainWindow::kWidth,
                                 MainWindow::kHeight);
    ASSERT_NE(handle, nullptr);
    g_closeOnBox = handle;
    SetErrorBoxFunction(&CloseOnBox);

    window->OnServerChosen(L"3", L"tok");
    bool quit = false;
    const DWORD start = GetTickCount();
    while (!(quit && server_.Log().size() >= 6) && GetTickCount() - start < 10000) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) quit = true;
            DispatchMessageW(&message);
        }
        Sleep(10);
    }
    EXPECT_TRUE(quit);
    EXPECT_EQ(g_boxes, (std::vector<std::wstring>{L"ShellExecuteExW  2"}));
    EXPECT_TRUE(IsWindow(handle));
    EXPECT_EQ(GetMainWindow(), window);
    ASSERT_EQ(server_.Log().size(), 6u);
    EXPECT_EQ(Events(server_.Log()).back(), "openid=5&event=Start Tidemill.exe fail&param=ShellExecuteExW  2");
    DestroyWindow(handle);
    EXPECT_EQ(GetMainWindow(), nullptr);
}

RECT WindowRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

TEST_F(MainWindowTest, TheFrameFollowsAtItsOffsetAndIsShownAndHiddenWithTheMainWindow) {
    WriteFileText(folder_ + L"\\LauncherConfig.ini", "[Display]\r\nWindowOffset_X=10\r\nWindowOffset_Y=20\r\n");
    MainWindow* window = new MainWindow(folder_);
    HWND main = window->Create(nullptr, L"main", MainWindow::kStyle, 0, 0, 0, MainWindow::kWidth, MainWindow::kHeight);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(window->OpenFrameWindow());
    ASSERT_NE(GetFrameWindow(), nullptr);
    HWND frame = GetFrameWindow()->GetHWND();
    EXPECT_EQ(GetWindow(frame, GW_OWNER), main);
    EXPECT_TRUE(IsWindowVisible(frame));

    // From the start at the configured offset, not centred; then dragged along.
    RECT place = WindowRect(main);
    EXPECT_EQ(WindowRect(frame).left, place.left + 10);
    EXPECT_EQ(WindowRect(frame).top, place.top + 20);
    SetWindowPos(main, nullptr, place.left + 40, place.top + 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(WindowRect(frame).left, place.left + 50);
    EXPECT_EQ(WindowRect(frame).top, place.top + 50);

    // Hidden, a move of the main window does not show the frame again.
    window->HideMainAndFrame();
    SetWindowPos(main, nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_FALSE(IsWindowVisible(frame));
    EXPECT_EQ(WindowRect(frame).left, place.left + 10);

    window->HideMainShowFrame();
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_TRUE(IsWindowVisible(frame));
    window->ShowMainAndFrame();
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_TRUE(IsWindowVisible(frame));

    DestroyWindow(main);  // the frame goes with its owner
    EXPECT_EQ(GetFrameWindow(), nullptr);
    EXPECT_EQ(GetMainWindow(), nullptr);
}

// Sends a channel frame to the main window, as another process would.
void SendFrame(HWND window, uint32_t type, const void* record) {
    static ProtocolDeal* encoder = new ProtocolDeal;  // large tables: never on the stack
    std::vector<uint8_t> frame;
    ASSERT_GT(encoder->EncodeFrame(type, record, frame), 0);
    COPYDATASTRUCT data = {kChannelCopyDataId, static_cast<DWORD>(frame.size()), frame.data()};
    SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

// A hello naming a window whose thread takes no message: the answer gives
// up, and the launcher goes on painting and taking frames.
TEST_F(MainWindowTest, AHelloNamingAHungWindowDoesNotStopTheLauncher) {
    HungWindow hung;
    ASSERT_NE(hung.window(), nullptr);
    MainWindow* window = new MainWindow(folder_);
    window->ParseCommandLine(L"ID=5");
    HWND handle = window->Create(nullptr, L"main", MainWindow::kStyle, 0, 0, 0, MainWindow::kWidth,
                                 MainWindow::kHeight);
    ASSERT_NE(handle, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return server_.Log().size() >= 3; }, 10000));  // set up

    ChannelIntRecord hello = {WindowToChannel(hung.window())};
    SendFrame(handle, CF_NOTIFY_WND, &hello);
    ChannelIntRecord callback = {eCallBackType_StartUpdateClientRes};
    SendFrame(handle, CF_CALLBACK_TYPE, &callback);
    const DWORD start = GetTickCount();
    ASSERT_TRUE(PumpUntil([&] { return server_.Log().size() >= 4; }, HungWindow::kReleaseMs / 2));
    EXPECT_LT(GetTickCount() - start, HungWindow::kReleaseMs / 2);
    EXPECT_EQ(Events(server_.Log()).back(), "openid=5&event=StartUpdateClientRes&param=");
    EXPECT_EQ(window->Conversation().engineWindow(), hung.window());

    InvalidateRect(handle, nullptr, FALSE);
    EXPECT_TRUE(PumpUntil([&] { return !GetUpdateRect(handle, nullptr, FALSE); }, 10000));
    DestroyWindow(handle);
}

}  // namespace
