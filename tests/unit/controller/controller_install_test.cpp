// The full package as one step that may be cut anywhere, and a stop while a
// large file is being unpacked.
#include <gtest/gtest.h>

#include "common/code_page.h"
#include "common/file_util.h"
#include "engine/download_manager.h"
#include "tests/unit/common/test_files.h"
#include "tests/unit/controller/controller_harness.h"

namespace {

const wchar_t kMarker[] = L"Tiny_Package.unfinished";

// Half-written files and packages in the client (the root's "Tmp" aside,
// where the download manager keeps the full package).
std::vector<std::wstring> Leftovers(const std::wstring& client) {
    std::vector<std::wstring> found;
    for (const std::wstring& relative : ListFiles(client)) {
        if (relative.compare(0, 4, L"Tmp\\") == 0) continue;
        bool staged = relative.size() > 5 && relative.compare(relative.size() - 5, 5, L".tmp~") == 0;
        bool package = relative.size() > 4 && relative.compare(relative.size() - 4, 4, L".pkg") == 0;
        if (staged || package) found.push_back(relative);
    }
    return found;
}

class InstallTest : public MainTreeTest {};

// What a kill part-way through an unpacking left: some files, the package's
// list and version (which come early in the package) and the marker.
TEST_F(InstallTest, InterruptedInstallCountsAsMissingAndIsInstalledAgain) {
    h.Prepare(L"", L"");
    const std::wstring release = FixturePath(L"clients\\1.0.1\\");
    MakeDirectoryChain(h.client + L"Config\\");
    for (const wchar_t* landed : {L"Client.exe", L"Config\\localconfig.xml"})
        CopyFileW((release + landed).c_str(), (h.client + landed).c_str(), FALSE);
    WriteFileText(h.client + L"HashMD5.xmp",
                  BytesOf(FixturePath(L"trees\\main\\update\\1.0.1\\client\\HashMD5.xmp")));
    WriteFileText(h.client + L"version.ini", "[version]\r\ncur=1.0.1\r\n");
    WriteFileText(h.client + kMarker, "");
    h.StartCore();
    ASSERT_TRUE(h.RunUntil([&] { return h.LaunchRequested(); }));

    EXPECT_TRUE(h.Saw(eCallBackType_StartTinyPackage));
    EXPECT_TRUE(h.Saw(eCallBackType_UnZipTinyPackageSuccess));
    for (const std::wstring& relative : ListFiles(release))
        EXPECT_EQ(BytesOf(h.client + relative), BytesOf(release + relative)) << WideToMulti(relative, CP_UTF8);
    EXPECT_FALSE(FileExists(h.client + kMarker));
    EXPECT_EQ(InstalledVersion(h.client), L"1.0.1");
    EXPECT_EQ(Leftovers(h.client), std::vector<std::wstring>());
}

// An entry after the package's list that cannot be written (a full disk, a
// damaged block) must not leave that list claiming the files behind it.
TEST_F(InstallTest, FailureAfterThePackageListLeavesNeitherListNorVersion) {
    h.Prepare(L"", L"");
    // A file where the package needs the folder of data\new\c.dat.
    WriteFileText(h.client + L"data\\new", "in the way");
    WriteFileText(h.client + L"HashMD5.xmp", std::string(24, '\x01'));  // an older client's
    WriteFileText(h.client + L"version.ini", "[version]\r\ncur=1.0.0\r\n");
    h.StartCore();
    EXPECT_FALSE(h.RunUntilEvent(eCallBackType_UnZipTinyPackageSuccess));

    EXPECT_EQ(h.Core().GetState(), kStepStopped);
    EXPECT_TRUE(h.Saw(eCallBackType_UnZipTinyPackageFail));
    // Entries before the failing one landed; the client still counts as missing.
    EXPECT_EQ(BytesOf(h.client + L"Config\\localconfig.xml"),
              BytesOf(FixturePath(L"clients\\1.0.1\\Config\\localconfig.xml")));
    EXPECT_TRUE(FileExists(h.client + kMarker));
    EXPECT_FALSE(FileExists(h.client + L"HashMD5.xmp"));
    EXPECT_FALSE(FileExists(h.client + L"version.ini"));
    std::vector<std::wstring> left = Leftovers(h.client);
    EXPECT_TRUE(left.empty()) << WideToMulti(left.empty() ? L"" : left[0], CP_UTF8);
}

// A package whose list names a file it lacks: the file is fetched by the
// client check instead of being taken as installed.
TEST_F(InstallTest, PackageListClaimsOnlyWhatThePackageBrought) {
    h.ServeFile("update/full/Tiny_Package.pkg", BytesOf(FixturePath(L"extra\\short_Tiny_Package.pkg")));
    h.Prepare(L"", L"");
    h.StartCore();
    ASSERT_TRUE(h.RunUntilEvent(eCallBackType_FinishClient)) << WideToMulti(h.Status(), CP_UTF8);

    EXPECT_EQ(BytesOf(h.client + L"HashMD5.xmp"),
              BytesOf(FixturePath(L"trees\\main\\update\\1.0.1\\client\\HashMD5.xmp")));
    const std::wstring release = FixturePath(L"clients\\1.0.1\\");
    for (const std::wstring& relative : ListFiles(release))
        EXPECT_EQ(BytesOf(h.client + relative), BytesOf(release + relative)) << WideToMulti(relative, CP_UTF8);
    EXPECT_EQ(h.CountGetsContaining(".pkg"), 2);  // the full package and data\b.dat's
    EXPECT_EQ(h.CountGets("data/b.dat.pkg"), 1);
    EXPECT_EQ(InstalledVersion(h.client), L"1.0.1");
}

TEST(StopTest, StopWhileALargeFileIsUnpackedEndsAtOnceAndLeavesItOld) {
    ControllerHarness h;
    ASSERT_TRUE(h.Open()) << h.Error();
    h.ServeTree(L"trees\\bigfile");
    h.Prepare(L"clients\\1.0.0", L"1.0.0");
    const std::string oldList = BytesOf(h.client + L"HashMD5.xmp");
    const std::wstring target = h.client + L"data\\big.dat";
    h.StartCore();
    // The unpacking is under way: part of the file is written beside it.
    ASSERT_TRUE(h.RunUntil([&] {
        WIN32_FILE_ATTRIBUTE_DATA data;
        return GetFileAttributesExW((target + L".tmp~").c_str(), GetFileExInfoStandard, &data) &&
               data.nFileSizeLow > (1u << 20);
    }));

    DWORD start = GetTickCount();
    h.Core().Stop();
    DWORD elapsed = GetTickCount() - start;

    EXPECT_LT(elapsed, DownloadTimings().stopWaitMs);
    EXPECT_EQ(h.Core().GetDownloadManager().TerminatedWorkers(), 0u);
    EXPECT_FALSE(FileExists(target));
    EXPECT_EQ(Leftovers(h.client), std::vector<std::wstring>());
    EXPECT_EQ(BytesOf(h.client + L"HashMD5.xmp"), oldList);
    EXPECT_EQ(InstalledVersion(h.client), L"1.0.0");
    EXPECT_FALSE(h.Saw(eCallBackType_FinishClient));
}

}  // namespace
