#include "launcher/close_flag.h"
#include "tests/unit/common/test_files.h"

#include <gtest/gtest.h>

namespace {

TEST(CloseFlagTest, IsKeptPerPlayerInTheCacheFile) {
    const std::wstring folder = ScratchFolder(L"close_flag");
    EXPECT_FALSE(ReadCloseAllowed(folder, L"7"));  // no file yet

    WriteFileText(folder + L"\\LancherCache.ini", "[Flag]\r\n8=1\r\n9=0\r\n10=x\r\n");
    EXPECT_TRUE(ReadCloseAllowed(folder, L"8"));
    EXPECT_FALSE(ReadCloseAllowed(folder, L"9"));
    EXPECT_FALSE(ReadCloseAllowed(folder, L"10"));
    EXPECT_FALSE(ReadCloseAllowed(folder, L"7"));

    ASSERT_TRUE(WriteCloseAllowed(folder, L"7"));
    EXPECT_TRUE(ReadCloseAllowed(folder, L"7"));
    EXPECT_TRUE(ReadCloseAllowed(folder, L"8"));
    EXPECT_FALSE(ReadCloseAllowed(folder, L"9"));
}

TEST(CloseFlagTest, WithoutAnOpenIdTheFlagIsStillKept) {
    const std::wstring folder = ScratchFolder(L"close_flag_no_id");
    EXPECT_FALSE(ReadCloseAllowed(folder, L""));
    ASSERT_TRUE(WriteCloseAllowed(folder, L""));
    EXPECT_TRUE(ReadCloseAllowed(folder, L""));
    EXPECT_FALSE(ReadCloseAllowed(folder, L"7"));
}

}  // namespace
