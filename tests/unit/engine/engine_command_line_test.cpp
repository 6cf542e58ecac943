#include "engine/engine_command_line.h"

#include "engine/restart_windows.h"
#include "launcher_window_stub.h"
#include "test_folder.h"

#include <gtest/gtest.h>

namespace {

TEST(EngineCommandLineTest, CommandLineNamesOneLauncherWindow) {
    LauncherWindowStub launcher;
    std::wstring handle = std::to_wstring(WindowToChannel(launcher.Handle()));
    EXPECT_EQ(LauncherWindowsFromCommandLine(handle), (std::vector<HWND>{launcher.Handle()}));
    EXPECT_EQ(LauncherWindowsFromCommandLine(L" " + handle + L" "), (std::vector<HWND>{launcher.Handle()}));
    for (const wchar_t* line : {L"", L"1", L"abc", L"-5", L"Restart"}) {
        EXPECT_TRUE(LauncherWindowsFromCommandLine(line).empty()) << line;
    }
}

TEST(EngineCommandLineTest, RestartReadsTheWindowsBesideTheEngine) {
    TestFolder folder;
    LauncherWindowStub launcher;
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(folder.Path().c_str()));
    WriteRestartWindows(kRestartWindowsFile, {launcher.Handle()});
    std::vector<HWND> windows = LauncherWindowsFromCommandLine(L"restart");
    SetCurrentDirectoryW(previous);
    EXPECT_EQ(windows, (std::vector<HWND>{launcher.Handle()}));
}

}  // namespace
