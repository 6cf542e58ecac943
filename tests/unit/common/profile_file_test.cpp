#include "common/profile_file.h"

#include <gtest/gtest.h>

#include "common/file_util.h"
#include "test_paths.h"

namespace {

TEST(ProfileFile, BareNamesStayInTheCurrentFolder) {
    EXPECT_EQ(ProfileFilePath(L"a.ini"), L".\\a.ini");
    EXPECT_EQ(ProfileFilePath(L"./a.ini"), L"./a.ini");
    EXPECT_EQ(ProfileFilePath(L"C:\\x\\a.ini"), L"C:\\x\\a.ini");

    const std::wstring folder = TestExeFolder() + L"profile_bare\\";
    ASSERT_TRUE(MakeDirectoryChain(folder));
    DeleteFileW((folder + L"profile_bare.ini").c_str());
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));
    EXPECT_TRUE(WriteProfileStringsAtomically(L"profile_bare.ini", {{L"S", L"k", L"value"}}));
    EXPECT_EQ(ReadProfileString(L"profile_bare.ini", L"S", L"k"), L"value");
    SetCurrentDirectoryW(previous);

    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(folder + L"profile_bare.ini", bytes));
    EXPECT_EQ(bytes, "[S]\r\nk=value\r\n");
    EXPECT_FALSE(FileExists(folder + L"profile_bare.ini.tmp~"));
}

TEST(ProfileFile, ReadsAreBoundedByTheBuffer) {
    const std::wstring path = TestExeFolder() + L"profile_bounded.ini";
    const std::string text = "[S]\r\nk=" + std::string(40, 'v') + "\r\n";
    ASSERT_TRUE(WriteFileAtomically(path, text.data(), text.size()));
    EXPECT_EQ(ReadProfileString(path, L"S", L"k", L"", 8), L"vvvvvvv");
    EXPECT_EQ(ReadProfileString(path, L"S", L"k", L"", 512), std::wstring(40, L'v'));
    EXPECT_EQ(ReadProfileString(path, L"S", L"missing", L"fallback", 512), L"fallback");
    EXPECT_EQ(ReadProfileString(path, L"S", L"k", L"", 1), L"");
}

}  // namespace
