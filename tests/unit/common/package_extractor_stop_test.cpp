// Entries held back until the rest of a package is in place, and the stop
// flag of the extraction and of the file digest.
#include "common/md5.h"
#include "common/package_extractor.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

namespace {

std::wstring Packages() { return TestExeFolder() + L"packages\\"; }

// lzma2_solid.pkg holds a/b/c.txt early and top.txt near the end.
TEST(PackageExtractor, HeldBackEntryReplacesItsTargetOnlyOnceAllOthersHave) {
    for (bool laterEntryFails : {false, true}) {
        SCOPED_TRACE(laterEntryFails ? "a later entry fails" : "all entries land");
        std::wstring destination = ScratchFolder(laterEntryFails ? L"held_back_fail" : L"held_back");
        const std::wstring held = destination + L"\\a\\b\\c.txt";
        WriteFileText(held, "stale");
        PackageExtractor extractor;
        extractor.SetDeferredEntries([](const std::wstring& name) { return name == L"a/b/c.txt"; });
        int checked = 0;
        extractor.SetEntryCheck([&](const std::wstring& output, const std::wstring&) {
            if (output == held) return true;
            ++checked;
            EXPECT_EQ(ReadFileText(held), "stale") << "before " << checked << " entries were checked";
            return !(laterEntryFails && output == destination + L"\\top.txt");
        });
        int result = extractor.Extract(Packages() + L"lzma2_solid.pkg", destination);
        EXPECT_GT(checked, 3);
        EXPECT_FALSE(FileExists(held + L".tmp~"));
        if (laterEntryFails) {
            EXPECT_EQ(result, kExtractFailed);
            EXPECT_EQ(ReadFileText(held), "stale");
        } else {
            EXPECT_EQ(result, kExtractOk);
            EXPECT_EQ(ReadFileText(held), "hello from a/b\n");
        }
    }
}

TEST(PackageExtractor, RaisedStopFlagEndsTheExtractionAndDropsTheUnfinishedFile) {
    std::atomic<bool> stop{true};
    std::wstring destination = ScratchFolder(L"stop_at_once");
    EXPECT_EQ(ExtractAll(Packages() + L"lzma2_solid.pkg", destination, &stop), kExtractStopped);
    EXPECT_FALSE(FileExists(destination + L"\\empty.bin"));

    // Raised while big.bin is complete but not yet in place: it stays out,
    // and so does every entry after it.
    stop = false;
    destination = ScratchFolder(L"stop_midway");
    PackageExtractor extractor;
    extractor.SetStopFlag(&stop);
    extractor.SetEntryCheck([&](const std::wstring& output, const std::wstring&) {
        if (output == destination + L"\\big.bin") stop = true;
        return !stop;
    });
    EXPECT_EQ(extractor.Extract(Packages() + L"lzma2_solid.pkg", destination), kExtractStopped);
    EXPECT_EQ(ReadFileText(destination + L"\\a\\b\\c.txt"), "hello from a/b\n");
    EXPECT_FALSE(FileExists(destination + L"\\big.bin"));
    EXPECT_FALSE(FileExists(destination + L"\\big.bin.tmp~"));
    EXPECT_FALSE(FileExists(destination + L"\\top.txt"));
}

TEST(FileMd5, RaisedStopFlagGivesNoDigest) {
    const std::wstring file = Packages() + L"src\\big.bin";
    std::atomic<bool> stop{false};
    Md5Digest digest;
    ASSERT_TRUE(FileMd5(file, digest, &stop));
    EXPECT_TRUE(digest == FileMd5(file));
    stop = true;
    EXPECT_FALSE(FileMd5(file, digest, &stop));
    EXPECT_TRUE(digest == Md5Digest());
}

}  // namespace
