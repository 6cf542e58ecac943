#include "common/file_util.h"
#include "test_paths.h"

#include <gtest/gtest.h>

namespace {

TEST(FileUtil, SafeRelativePaths) {
    struct Case { const wchar_t* path; bool safe; };
    const Case cases[] = {
        {L"a.txt", true}, {L"Config\\serverconfig.xml", true}, {L"a/b/c.txt", true},
        {L"./a.txt", true}, {L"a..b", true}, {L"..a", true},
        {L"", false}, {L"\\a.txt", false}, {L"/a.txt", false}, {L"C:\\a.txt", false},
        {L"C:a.txt", false}, {L"..", false}, {L"..\\a.txt", false}, {L"a/../../b", false},
        {L"a\\..", false}, {L"a\\...\\b", false}, {L"a\\. .\\b", false}, {L"a:stream", false},
        {L"\\\\server\\share\\a", false},
        // Device names open the device in any folder and with any extension.
        {L"NUL", false}, {L"Skin\\con.txt", false}, {L"a/Com1/b", false}, {L"LPT9.dll", false},
        {L"aux .log", false}, {L"CONOUT$", false}, {L"prn", false}, {L"com\u00b9.txt", false},
        {L"COM0", true}, {L"COM10", true}, {L"NULL", true}, {L"console.txt", true}, {L"Skin\\nul_x", true},
    };
    for (const Case& c : cases) EXPECT_EQ(IsSafeRelativePath(std::wstring(c.path)), c.safe) << c.path;
    EXPECT_FALSE(IsSafeRelativePath(std::string("../x")));
    EXPECT_TRUE(IsSafeRelativePath(std::string("x/y")));
}

TEST(FileUtil, DirectoryChainAndAtomicWrite) {
    std::wstring root = TestExeFolder() + L"file_util_tmp\\";
    std::wstring target = root + L"one/two\\three\\file.bin";
    DeleteFileW(target.c_str());  // left by an earlier run
    ASSERT_TRUE(MakeDirectoryChain(target));
    EXPECT_FALSE(FileExists(target));
    EXPECT_TRUE(GetFileAttributesW((root + L"one\\two\\three").c_str()) & FILE_ATTRIBUTE_DIRECTORY);

    const std::string first = "old contents", second(3 << 20, 'n');
    ASSERT_TRUE(WriteFileAtomically(target, first.data(), first.size()));
    ASSERT_TRUE(WriteFileAtomically(target, second.data(), second.size()));
    std::string read;
    ASSERT_TRUE(ReadWholeFile(target, read));
    EXPECT_EQ(read, second);
    EXPECT_FALSE(FileExists(target + L".tmp~"));
    EXPECT_FALSE(ReadWholeFile(root + L"missing", read));
}

TEST(FileUtil, LockedTargetKeepsOldContents) {
    std::wstring target = TestExeFolder() + L"file_util_locked.bin";
    ASSERT_TRUE(WriteFileAtomically(target, "old", 3));
    HANDLE held = CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WriteFileAtomically(target, "new", 3));
    CloseHandle(held);
    std::string read;
    ASSERT_TRUE(ReadWholeFile(target, read));
    EXPECT_EQ(read, "old");
    EXPECT_FALSE(FileExists(target + L".tmp~"));
}

}  // namespace
