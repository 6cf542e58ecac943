#include "engine/restart_windows.h"

#include "launcher_window_stub.h"
#include "test_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

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

// Each key costs a look through the whole file: a file of endless keys
// would hold the start-up, and every engine waiting behind it, for hours.
// The engine itself never writes more than kMaxRestartKeys.
TEST(RestartWindowsTest, ReadingStopsAfterTheLongestListAnEngineWrites) {
    TestFolder folder;
    std::wstring ini = folder.Path() + L"Tidemill.ini";
    LauncherWindowStub late, last;
    std::string text = "[Tidemill]\r\n";
    for (size_t n = 0; n + 1 < kMaxRestartKeys; ++n) text += "fwnd" + std::to_string(n) + "=5\r\n";
    text += "fwnd" + std::to_string(kMaxRestartKeys - 1) + "=" + std::to_string(WindowToChannel(last.Handle())) + "\r\n";
    text += "fwnd" + std::to_string(kMaxRestartKeys) + "=" + std::to_string(WindowToChannel(late.Handle())) + "\r\n";
    FILE* file = _wfopen(ini.c_str(), L"wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    EXPECT_EQ(ReadRestartWindows(ini), (std::vector<HWND>{last.Handle()}));
}

}  // namespace
