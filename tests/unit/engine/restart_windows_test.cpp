#include "engine/restart_windows.h"

#include "launcher_window_stub.h"
#include "test_folder.h"

#include <gtest/gtest.h>

namespace {

TEST(RestartWindowsTest, DeadWindowsAreSkippedAndLiveOnesKept) {
    TestFolder folder;
    std::wstring ini = folder.Path() + L"Tidemill.ini";
    LauncherWindowStub dead;
    LauncherWindowStub live;
    HWND deadHandle = dead.Handle();
    ASSERT_TRUE(WriteRestartWindows(ini, {deadHandle, live.Handle()}));
    dead.Destroy();
    EXPECT_EQ(ReadRestartWindows(ini), (std::vector<HWND>{live.Handle()}));
}

TEST(RestartWindowsTest, AShorterListHidesTheKeysOfALongerOne) {
    TestFolder folder;
    std::wstring ini = folder.Path() + L"Tidemill.ini";
    LauncherWindowStub a, b, c;
    ASSERT_TRUE(WriteRestartWindows(ini, {a.Handle(), b.Handle(), c.Handle()}));
    ASSERT_TRUE(WriteRestartWindows(ini, {c.Handle()}));
    EXPECT_EQ(ReadRestartWindows(ini), (std::vector<HWND>{c.Handle()}));
    ASSERT_TRUE(WriteRestartWindows(ini, {}));
    EXPECT_TRUE(ReadRestartWindows(ini).empty());
}

TEST(RestartWindowsTest, MissingFileOrZeroGivesNoWindows) {
    TestFolder folder;
    EXPECT_TRUE(ReadRestartWindows(folder.Path() + L"none.ini").empty());
    std::wstring ini = folder.Path() + L"Tidemill.ini";
    WritePrivateProfileStringW(L"Tidemill", L"fwnd0", L"0", ini.c_str());
    WritePrivateProfileStringW(L"Tidemill", L"fwnd1", L"12", ini.c_str());
    EXPECT_TRUE(ReadRestartWindows(ini).empty());
}

}  // namespace
