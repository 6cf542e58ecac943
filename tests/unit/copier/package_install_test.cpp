#include "copier/package_install.h"

#include "common/file_util.h"
#include "common/hash_list.h"
#include "common/md5.h"
#include "common/module_path.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Runs each test in a fresh folder of its own as the current folder, as the
// copier runs in its installation folder.
class PackageInstallTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = ExecutableFolder() + L"\\scratch_" + std::wstring(info->name(), info->name() + strlen(info->name()));
        Clear();
        ASSERT_TRUE(MakeDirectoryChain(folder_ + L"\\"));
        GetCurrentDirectoryW(MAX_PATH, previous_);
        ASSERT_TRUE(SetCurrentDirectoryW(folder_.c_str()));
        const std::string program = "program bytes";
        ASSERT_TRUE(WriteFileAtomically(L"Brightgate.exe", program.data(), program.size()));
        others_.Set("Skin\\main.xml", BufferMd5("skin", 4));
        others_.Set("Tidemill.exe", BufferMd5("engine", 6));
        ASSERT_TRUE(others_.Save(kLauncherHashList));
    }
    void TearDown() override {
        SetCurrentDirectoryW(previous_);
        Clear();
    }
    void Clear() {
        for (const wchar_t* name : {L"\\Brightgate.exe", L"\\LancherHashMD5.xmp", L"\\Log\\Ferrier.log"})
            DeleteFileW((folder_ + name).c_str());
        RemoveDirectoryW((folder_ + L"\\Log").c_str());
        RemoveDirectoryW(folder_.c_str());
    }

    std::wstring folder_;
    wchar_t previous_[MAX_PATH] = L"";
    HashList others_;
};

TEST_F(PackageInstallTest, RecordsTheDigestBesideTheOtherEntries) {
    ASSERT_TRUE(RecordProgramDigest(L"Brightgate.exe"));
    HashList list;
    ASSERT_TRUE(list.Load(kLauncherHashList));
    HashList expected = others_;
    expected.Set("Brightgate.exe", BufferMd5("program bytes", 13));
    EXPECT_EQ(list.GetEntries(), expected.GetEntries());
}

TEST_F(PackageInstallTest, AListThatCannotBeReadIsNotReplacedByOneEntry) {
    std::string before;
    ASSERT_TRUE(ReadWholeFile(kLauncherHashList, before));
    // A scanner holds the list without sharing it: reading fails. Saving
    // fails as well while it holds on, so the log tells whether the list was
    // refused for being unreadable rather than merely not saved.
    HANDLE held = CreateFileW(kLauncherHashList, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(RecordProgramDigest(L"Brightgate.exe"));
    CloseHandle(held);
    std::string after;
    ASSERT_TRUE(ReadWholeFile(kLauncherHashList, after));
    EXPECT_EQ(after, before);
    std::string log;
    ASSERT_TRUE(ReadWholeFile(L"Log\\Ferrier.log", log));
    EXPECT_NE(log.find("LancherHashMD5.xmp cannot be read: left as it is"), std::string::npos) << log;
}

TEST_F(PackageInstallTest, AMissingProgramRecordsNothing) {
    EXPECT_FALSE(RecordProgramDigest(L"Missing.exe"));
    HashList list;
    ASSERT_TRUE(list.Load(kLauncherHashList));
    EXPECT_EQ(list.GetEntries(), others_.GetEntries());
}

}  // namespace
