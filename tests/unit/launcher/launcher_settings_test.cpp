#include "launcher/launcher_settings.h"
#include "tests/unit/common/test_files.h"

#include <gtest/gtest.h>

namespace {

TEST(LauncherSettingsTest, MissingValuesTakeTheirDefaults) {
    const std::wstring folder = ScratchFolder(L"settings_defaults");
    MainWindowSettings s = ReadMainWindowSettings(folder);
    EXPECT_EQ(s.platformKeyUrl, "");
    EXPECT_EQ(s.reportUrl, "");
    EXPECT_EQ(s.triggerUrl, "");
    EXPECT_EQ(s.exeName, L"Client.exe");
    EXPECT_TRUE(s.refreshPage);
    EXPECT_EQ(s.frameOffsetX, 265);
    EXPECT_EQ(s.frameOffsetY, 125);
    EXPECT_EQ(ReadPlatform(folder), L"");
    EXPECT_EQ(ReadAppName(folder), L"");
}

TEST(LauncherSettingsTest, ReadsTheTableFromTheProgramFolder) {
    const std::wstring folder = ScratchFolder(L"settings_values");
    WriteFileText(folder + L"\\LauncherConfig.ini",
                  "[platform]\r\nPlatform=1\r\nGetPfkeyByOpenid=http://k/a\r\nReportEventUrl=http://r/b?x=1\r\n"
                  "TriggerEventUrl=http://t/c\r\nExeName=Game.exe\r\nRefreshPage=0\r\n"
                  "[Display]\r\nWindowOffset_X=10\r\nWindowOffset_Y=-4\r\n[Launcher]\r\nAppName=Quillon Test\r\n");
    MainWindowSettings s = ReadMainWindowSettings(folder);
    EXPECT_EQ(s.platformKeyUrl, "http://k/a");
    EXPECT_EQ(s.reportUrl, "http://r/b?x=1");
    EXPECT_EQ(s.triggerUrl, "http://t/c");
    EXPECT_EQ(s.exeName, L"Game.exe");
    EXPECT_FALSE(s.refreshPage);
    EXPECT_EQ(s.frameOffsetX, 10);
    EXPECT_EQ(s.frameOffsetY, -4);
    EXPECT_EQ(ReadPlatform(folder), L"1");
    EXPECT_EQ(ReadAppName(folder), L"Quillon Test");
}

}  // namespace
