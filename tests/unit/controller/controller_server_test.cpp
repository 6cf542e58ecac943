// Server list, full package, patches and the choice of a server.
#include <gtest/gtest.h>

#include "common/code_page.h"
#include "common/file_util.h"
#include "common/hash_list.h"
#include "common/package_file.h"
#include "common/profile_file.h"
#include "engine/update_controller.h"
#include "tests/unit/common/test_files.h"
#include "tests/unit/controller/controller_harness.h"

namespace {

class ServerTest : public MainTreeTest {};

TEST_F(ServerTest, EmptyClientFolderGetsTheFullPackage) {
    h.UseSeparateClientFolder();
    h.Prepare(L"", L"");
    h.StartCore();
    ASSERT_TRUE(h.RunUntil([&] { return h.LaunchRequested(); }));

    EXPECT_EQ(h.Events(), (std::vector<int>{eCallBackType_DownloadServerList, eCallBackType_StartTinyPackage,
                                            eCallBackType_UnZipTinyPackage, eCallBackType_UnZipTinyPackageSuccess,
                                            eCallBackType_PreDownloadReady, eCallBackType_PrePatchVer}));
    for (const std::wstring& relative : ListFiles(FixturePath(L"clients\\1.0.1")))
        EXPECT_EQ(BytesOf(h.client + relative), BytesOf(FixturePath(L"clients\\1.0.1\\" + relative)))
            << WideToMulti(relative, CP_UTF8);
    EXPECT_FALSE(FileExists(h.root + L"Tmp\\Tiny_Package.pkg"));
    EXPECT_FALSE(FileExists(h.root + L"Client.exe"));
    EXPECT_EQ(InstalledVersion(h.client), L"1.0.1");
    EXPECT_EQ(h.Core().GetInstalledVersionText(), L"V1.0.1");
    int done = 0, total = 0;
    h.Core().GetExtractionCounters(done, total);
    EXPECT_GT(total, 0);
    EXPECT_EQ(done, total);
    // The package's list is the installed one: nothing more to fetch.
    EXPECT_EQ(h.CountGets(".pkg"), h.CountGets("/update/full/Tiny_Package.pkg"));
}

TEST_F(ServerTest, OneMarkerFileMeansInstalled) {
    h.Prepare(L"", L"");
    WriteFileText(h.client + L"binkw32.dll", "x");
    h.checkVersionOnReady = false;
    h.StartCore();
    ASSERT_TRUE(h.RunUntilEvent(eCallBackType_PreDownloadReady));
    EXPECT_EQ(h.Events(), (std::vector<int>{eCallBackType_DownloadServerList, eCallBackType_PreDownloadReady}));
    EXPECT_EQ(h.CountGets("Tiny_Package.pkg"), 0);
}

// A package that cannot be unpacked is fetched again and unpacked again; in
// the end the failure is the download's.
TEST_F(ServerTest, CorruptFullPackageIsRetriedThenReportedAsFailed) {
    h.ServeFile("update/full/Tiny_Package.pkg", std::string(5000, 'z'));
    h.Prepare(L"", L"");
    h.StartCore();
    EXPECT_FALSE(h.RunUntilEvent(eCallBackType_UnZipTinyPackageSuccess));

    EXPECT_EQ(h.Core().GetState(), kStepStopped);
    EXPECT_EQ(h.Status(), L"T75");
    std::vector<int> events = h.Events();
    ASSERT_GE(events.size(), 4u);
    EXPECT_EQ(events[0], eCallBackType_DownloadServerList);
    EXPECT_EQ(events[1], eCallBackType_StartTinyPackage);
    int unpackTries = 0, unpackFailures = 0;
    for (int value : events) {
        if (value == eCallBackType_UnZipTinyPackage) ++unpackTries;
        if (value == eCallBackType_UnZipTinyPackageFail) ++unpackFailures;
    }
    EXPECT_EQ(unpackTries, 10);
    EXPECT_EQ(unpackFailures, 10);
    EXPECT_FALSE(h.Saw(eCallBackType_PreDownloadReady));
    EXPECT_FALSE(FileExists(h.client + L"HashMD5.xmp"));
}

struct PackageMemoryLimit {
    explicit PackageMemoryLimit(size_t bytes) { SetPackageMemoryLimit(bytes); }
    ~PackageMemoryLimit() { SetPackageMemoryLimit(0); }
};

// Too little memory to unpack would fail every copy the same way: the
// package is fetched once and the step fails at once.
TEST_F(ServerTest, FullPackageLackingMemoryFailsWithoutFetchingAgain) {
    h.Prepare(L"", L"");
    PackageMemoryLimit limit(1);
    h.StartCore();
    EXPECT_FALSE(h.RunUntilEvent(eCallBackType_UnZipTinyPackageSuccess));

    EXPECT_EQ(h.Core().GetState(), kStepStopped);
    EXPECT_EQ(h.Status(), L"T75");
    EXPECT_EQ(h.CountGets("/update/full/Tiny_Package.pkg"), 1);
    EXPECT_EQ(h.Events(), (std::vector<int>{eCallBackType_DownloadServerList, eCallBackType_StartTinyPackage,
                                            eCallBackType_UnZipTinyPackage, eCallBackType_UnZipTinyPackageFail}));
    EXPECT_FALSE(FileExists(h.client + L"HashMD5.xmp"));
}

// A sound patch that cannot be unpacked for lack of memory stays for a later
// run; the client packages, failing the same way, are each fetched once.
TEST_F(ServerTest, PatchLackingMemoryIsKeptAndNothingIsFetchedAgain) {
    h.Prepare(L"clients\\1.0.0", L"1.0.0");
    WriteFileText(h.root + L"patchs\\Patch_1.0.1.pkg",
                  BytesOf(FixturePath(L"trees\\main\\patchs\\Patch_1.0.1.pkg")));
    PackageMemoryLimit limit(1);
    h.StartCore();
    EXPECT_FALSE(h.RunUntilEvent(eCallBackType_FinishClient));

    EXPECT_EQ(h.Core().GetState(), kStepStopped);
    EXPECT_EQ(h.Status(), L"T77");
    EXPECT_TRUE(FileExists(h.root + L"patchs\\Patch_1.0.1.pkg"));
    EXPECT_EQ(InstalledVersion(h.client), L"1.0.0");
    EXPECT_EQ(h.CountGets(".pkg"), 4);
    EXPECT_EQ(h.CountGets("/update/1.0.1/client/data/a.dat.pkg"), 1);
    EXPECT_EQ(BytesOf(h.client + L"data\\a.dat"), BytesOf(FixturePath(L"clients\\1.0.0\\data\\a.dat")));
}

// Patches that wait in "patchs": applied into the client folder when their
// digest matches the patch list, deleted unapplied otherwise.
TEST_F(ServerTest, MatchingPatchIsAppliedIntoTheClientFolder) {
    h.UseSeparateClientFolder();
    h.Prepare(L"clients\\1.0.0", L"1.0.0");
    WriteFileText(h.root + L"patchs\\Patch_1.0.1.pkg",
                  BytesOf(FixturePath(L"trees\\main\\patchs\\Patch_1.0.1.pkg")));
    WriteFileText(h.root + L"patchs\\Patch_1.0.0.pkg", "old patch");
    h.StartCore();
    ASSERT_TRUE(h.RunUntilEvent(eCallBackType_FinishClient));

    // The patch brought every file in line: nothing was downloaded.
    EXPECT_EQ(h.Events(), (std::vector<int>{eCallBackType_DownloadServerList, eCallBackType_PreDownloadReady,
                                            eCallBackType_PrePatchVer, eCallBackType_FinishClient}));
    EXPECT_EQ(h.CountGets(".pkg"), 0);
    for (const std::wstring& relative : ListFiles(FixturePath(L"clients\\1.0.1")))
        EXPECT_EQ(BytesOf(h.client + relative), BytesOf(FixturePath(L"clients\\1.0.1\\" + relative)))
            << WideToMulti(relative, CP_UTF8);
    EXPECT_FALSE(FileExists(h.root + L"Client.exe"));
    EXPECT_FALSE(FileExists(h.root + L"PatchHashMD5.xmp"));
    EXPECT_FALSE(FileExists(h.client + L"PatchHashMD5.xmp"));
    EXPECT_TRUE(ListFiles(h.root + L"patchs").empty());
    EXPECT_FALSE(FileExists(h.root + L"Tmp\\patchList.ini"));
    EXPECT_EQ(BytesOf(h.client + L"HashMD5.xmp"),
              BytesOf(FixturePath(L"trees\\main\\update\\1.0.1\\client\\HashMD5.xmp")));
    EXPECT_EQ(InstalledVersion(h.client), L"1.0.1");
}

TEST_F(ServerTest, PatchWithAnotherDigestIsDeletedUnapplied) {
    h.Prepare(L"clients\\1.0.0", L"1.0.0");
    std::string patch = BytesOf(FixturePath(L"trees\\main\\patchs\\Patch_1.0.1.pkg"));
    WriteFileText(h.root + L"patchs\\Patch_1.0.1.pkg", patch + "!");
    bool appliedBeforeDownload = false;
    h.onEvent = [&](int value) {
        if (value == eCallBackType_StartUpdateClientRes)
            appliedBeforeDownload = BytesOf(h.client + L"Client.exe") == BytesOf(FixturePath(L"clients\\1.0.1\\Client.exe"));
    };
    h.StartCore();
    ASSERT_TRUE(h.RunUntilEvent(eCallBackType_FinishClient));

    EXPECT_TRUE(h.Saw(eCallBackType_StartUpdateClientRes));
    EXPECT_FALSE(appliedBeforeDownload);
    EXPECT_FALSE(FileExists(h.root + L"patchs\\Patch_1.0.1.pkg"));
    EXPECT_EQ(h.CountGets(".pkg"), 4);
    EXPECT_EQ(BytesOf(h.client + L"Client.exe"), BytesOf(FixturePath(L"clients\\1.0.1\\Client.exe")));
}

// The patch list comes from the server and each entry read scans the whole
// file again: reading stops after kMaxPatches entries, so a patch listed
// beyond them is not applied and the files are fetched instead.
TEST_F(ServerTest, PatchesBeyondTheLimitAreNotRead) {
    const std::wstring fixture = FixturePath(L"trees\\main\\update\\patch\\patchList.ini");
    const std::string md5 = WideToMulti(ReadProfileString(fixture, L"patchlist", L"patch1MD5", L"", 260), 0);
    ASSERT_FALSE(md5.empty());
    std::string list = "[patchlist]\r\ncur=1.0.1\r\n";
    const int limit = UpdateController::kMaxPatches;
    for (int n = 0; n < limit; ++n) list += "patch" + std::to_string(n) + "=0.0." + std::to_string(n) + "\r\n";
    list += "patch" + std::to_string(limit) + "=1.0.0\r\n";
    list += "patch" + std::to_string(limit + 1) + "=1.0.1\r\npatch" + std::to_string(limit + 1) + "MD5=" + md5 + "\r\n";
    h.ServeFile("update/patch/patchList.ini", list);
    h.Prepare(L"clients\\1.0.0", L"1.0.0");
    WriteFileText(h.root + L"patchs\\Patch_1.0.1.pkg",
                  BytesOf(FixturePath(L"trees\\main\\patchs\\Patch_1.0.1.pkg")));
    h.StartCore();
    ASSERT_TRUE(h.RunUntilEvent(eCallBackType_FinishClient));

    EXPECT_TRUE(FileExists(h.root + L"patchs\\Patch_1.0.1.pkg"));
    EXPECT_EQ(h.CountGets(".pkg"), 4);
    EXPECT_EQ(InstalledVersion(h.client), L"1.0.1");
    std::string log;
    for (const std::wstring& file : ListFiles(h.root + L"Log")) log += BytesOf(h.root + L"Log\\" + file);
    EXPECT_NE(log.find("patchList.ini: more than 1024 patches; the rest is not read"), std::string::npos);
}

// A patch list without a target version is fetched again; failing for good
// it is the patch list's failure.
TEST_F(ServerTest, PatchListWithoutCurIsFetchedAgain) {
    h.ServeFile("update/patch/patchList.ini", "[patchlist]\r\npatch0=1.0.0\r\n");
    h.Prepare(L"clients\\1.0.0", L"1.0.0");
    h.StartCore();
    EXPECT_FALSE(h.RunUntil([] { return false; }));

    EXPECT_EQ(h.CountGets("/update/patch/patchList.ini"), 10);
    EXPECT_EQ(h.ErrorEvents(), std::vector<int>{eCallBackType_DownloadPatchVerError});
    EXPECT_FALSE(h.Saw(eCallBackType_PrePatchVer));
    EXPECT_EQ(h.Status(), L"T76");
    EXPECT_EQ(h.Core().GetState(), kStepStopped);
}

// A server ID that the list does not hold selects nothing: no version check
// against the previously selected server, and the launcher hears of it.
TEST_F(ServerTest, UnknownServerIdSelectsNoServer) {
    h.Prepare(L"clients\\1.0.0", L"1.0.0");
    h.serverId = L"99";
    h.StartCore();
    ASSERT_TRUE(h.RunUntilEvent(eCallBackType_DownloadPatchVerError));
    for (int tick = 0; tick < 20; ++tick) {
        h.Core().Continue();
        Sleep(5);
    }
    EXPECT_EQ(h.Events(), (std::vector<int>{eCallBackType_DownloadServerList, eCallBackType_PreDownloadReady,
                                            eCallBackType_DownloadPatchVerError}));
    EXPECT_EQ(h.Status(), L"T76");
    EXPECT_EQ(h.CountGets("patchList.ini"), 0);
    EXPECT_NE(h.Core().GetState(), kStepStopped);

    // A later choice of an existing server goes on as usual.
    ASSERT_TRUE(h.Core().SelectServer(L"1"));
    h.Core().CheckVersion();
    ASSERT_TRUE(h.RunUntilEvent(eCallBackType_FinishClient));
    EXPECT_EQ(InstalledVersion(h.client), L"1.0.1");
}

// An update asked for while no server is selected stops instead of asking
// again at every tick.
TEST_F(ServerTest, UpdateWithoutASelectedServerStops) {
    h.Prepare(L"clients\\1.0.0", L"1.0.0");
    h.serverId = L"99";
    h.StartCore();
    ASSERT_TRUE(h.RunUntilEvent(eCallBackType_DownloadPatchVerError));
    h.Core().SetState(kStepClientCheckRequested);
    EXPECT_FALSE(h.RunUntil([] { return false; }));
    EXPECT_EQ(h.Core().GetState(), kStepStopped);
    EXPECT_EQ(h.Status(), L"T77");
    EXPECT_EQ(h.CountGets("/client/HashMD5.xmp"), 0);
    EXPECT_EQ(InstalledVersion(h.client), L"1.0.0");
}

// A server list nested far deeper than any real one (it would overflow the
// download thread's stack in the parser) or far larger is refused unparsed,
// and fails as a bad server list does: fetched again, then event 11, Tip74
// and the stop.
TEST(HostileServerList, IsRefusedAndStopsWithTheServerListFailure) {
    std::string deep = "<?xml version=\"1.0\"?>";
    for (int n = 0; n < 60000; ++n) deep += "<a>";
    std::string big = "<ServerList><Area Areaname=\"x\">";
    while (big.size() < (5u << 20))
        big += "<Server Name=\"n\" ID=\"7\"><UpdateUrl>http://127.0.0.1/</UpdateUrl></Server>";
    big += "</Area></ServerList>";
    const std::pair<const char*, const std::string*> cases[] = {{"deep", &deep}, {"big", &big}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        ControllerHarness run;
        ASSERT_TRUE(StartOnMainTreeWith(run, "serverlist.xml", *c.second));
        EXPECT_FALSE(run.RunUntil([] { return false; }));
        EXPECT_EQ(run.ErrorEvents(), std::vector<int>{eCallBackType_DownloadServerListError});
        EXPECT_EQ(run.Status(), L"T74");
        EXPECT_EQ(run.Core().GetState(), kStepStopped);
        EXPECT_EQ(run.CountGets("/serverlist.xml"), 10);
    }
}

}  // namespace
