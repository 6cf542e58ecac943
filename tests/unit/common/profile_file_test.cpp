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

TEST(ProfileFile, LineBreaksCannotAddLinesToTheFile) {
    // A value, key or section with a line break would add lines of its own
    // choosing to the file: such a write fails and the file stays as it was.
    const std::wstring path = TestExeFolder() + L"profile_line_breaks.ini";
    const std::string before = "[S]\r\nk=old\r\n[Other]\r\nkeep=1\r\n";
    ASSERT_TRUE(WriteFileAtomically(path, before.data(), before.size()));
    const std::vector<ProfileEntry> hostile[] = {
        {{L"S", L"k", L"new\r\n[Other]\r\nkeep=0"}},
        {{L"S", L"k", L"new\nkeep=0"}},
        {{L"S", L"k", L"new\rx"}},
        {{L"S", L"k", L"fine"}, {L"S", L"k2\r\nkeep", L"0"}},
        {{L"S]\r\n[Other", L"keep", L"0"}},
    };
    for (size_t i = 0; i < std::size(hostile); ++i) {
        EXPECT_FALSE(WriteProfileStringsAtomically(path, hostile[i])) << "case " << i;
        std::string bytes;
        ASSERT_TRUE(ReadWholeFile(path, bytes));
        EXPECT_EQ(bytes, before) << "case " << i;
    }
    EXPECT_FALSE(FileExists(path + L".tmp~"));
    EXPECT_TRUE(WriteProfileStringsAtomically(path, {{L"S", L"k", L"new value"}}));
    EXPECT_EQ(ReadProfileString(path, L"S", L"k"), L"new value");
    EXPECT_EQ(ReadProfileString(path, L"Other", L"keep"), L"1");
}

}  // namespace
