// Client repair: the client brought from 1.0.0 to the server's 1.0.1 file by
// file, and what happens when a file cannot be brought in line.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "common/code_page.h"
#include "common/file_util.h"
#include "common/hash_list.h"
#include "common/md5.h"
#include "common/path_hash.h"
#include "common/profile_file.h"
#include "common/unique_handle.h"
#include "tests/unit/common/test_files.h"
#include "tests/unit/controller/controller_harness.h"

namespace {

// The installed list holds, for each of its files, the digest of what is on disk.
void ExpectListTrueToDisk(const std::wstring& client) {
    HashList list;
    ASSERT_TRUE(list.Load(client + L"HashMD5.xmp"));
    for (const std::wstring& relative : ListFiles(FixturePath(L"clients\\1.0.1"))) {
        Md5Digest onDisk;
        FileMd5(client + relative, onDisk);
        const Md5Digest* listed = list.Find(PathHash(relative));
        if (listed != nullptr) {
            EXPECT_TRUE(*listed == onDisk) << WideToMulti(relative, CP_UTF8) << " listed with another digest";
        }
    }
}

// The engine's log of the run, in its own encoding.
std::string EngineLog(const std::wstring& root) {
    std::vector<std::wstring> logs = ListFiles(root + L"Log");
    return logs.size() == 1 ? BytesOf(root + L"Log\\" + logs[0]) : std::string();
}

// Stopped in state 46 with the old version: the update did not finish, and
// the installed list says what is really on disk.
void ExpectStoppedWithTheOldVersion(ControllerHarness& h) {
    EXPECT_EQ(h.Core().GetState(), kStepStopped);
    EXPECT_EQ(h.Status(), L"T77");
    EXPECT_FALSE(h.Saw(eCallBackType_FinishClient));
    EXPECT_EQ(InstalledVersion(h.client), L"1.0.0");
    ExpectListTrueToDisk(h.client);
}

class RepairTest : public MainTreeTest {};

TEST_F(RepairTest, BringsChangedAndNewFilesInLineAndRecordsTheVersion) {
    h.UseSeparateClientFolder();
    h.Prepare(L"clients\\1.0.0", L"1.0.0");
    h.StartCore();
    ASSERT_TRUE(h.RunUntilEvent(eCallBackType_FinishClient)) << WideToMulti(h.Status(), CP_UTF8);

    EXPECT_EQ(h.Events(), (std::vector<int>{eCallBackType_DownloadServerList, eCallBackType_PreDownloadReady,
                                            eCallBackType_PrePatchVer, eCallBackType_StartUpdateClientRes,
                                            eCallBackType_FinishClient}));
    EXPECT_EQ(h.Core().GetState(), kStepClientUpToDate);
    EXPECT_EQ(h.Core().GetInstalledVersionText(), L"V1.0.1");

    // Every file byte-equal; nothing else left behind (no package, no
    // half-written file) beside what the engine writes on purpose.
    std::set<std::wstring> expected;
    for (const std::wstring& relative : ListFiles(FixturePath(L"clients\\1.0.1"))) {
        expected.insert(relative);
        EXPECT_EQ(BytesOf(h.client + relative), BytesOf(FixturePath(L"clients\\1.0.1\\" + relative)))
            << WideToMulti(relative, CP_UTF8);
    }
    for (const wchar_t* engineFile :
         {L"HashMD5.xmp", L"version.ini", L"Tiny\\HashMD5.xmp", L"Tiny\\HashToFile.xmp", L"Tiny\\HashVersion.xmp",
          L"Tiny\\config.ini", L"Config\\Preference.ini", L"Config\\serverconfig.xml"})
        expected.insert(engineFile);
    std::vector<std::wstring> present = ListFiles(h.client);
    EXPECT_EQ(std::set<std::wstring>(present.begin(), present.end()), expected);

    // The installed list is the server's, "version.ini" at the target, and
    // the mini client has the server's lists.
    EXPECT_EQ(BytesOf(h.client + L"HashMD5.xmp"), BytesOf(FixturePath(L"trees\\main\\update\\1.0.1\\client\\HashMD5.xmp")));
    for (const wchar_t* list : {L"HashMD5.xmp", L"HashToFile.xmp", L"HashVersion.xmp"})
        EXPECT_EQ(BytesOf(h.client + L"Tiny\\" + list),
                  BytesOf(FixturePath(std::wstring(L"trees\\main\\update\\1.0.1\\client\\") + list)));
    EXPECT_EQ(InstalledVersion(h.client), L"1.0.1");

    // Only the four changed files were fetched, each from its version folder,
    // the one without a version entry from none.
    EXPECT_EQ(h.CountGets(".pkg"), 4);
    EXPECT_EQ(h.CountGets("/update/1.0.1/client/Client.exe.pkg"), 1);
    EXPECT_EQ(h.CountGets("/update/1.0.1/client/data/a.dat.pkg"), 1);
    EXPECT_EQ(h.CountGets("/update/1.0.1/client/data/new/c.dat.pkg"), 1);
    EXPECT_EQ(h.CountGets("/update/client/readme.txt.pkg"), 1);
    EXPECT_EQ(h.Core().GetPosition(), h.Core().GetRangeMax());
    EXPECT_EQ(h.Core().GetRangeMax(), 4);
}

TEST_F(RepairTest, ClientAlreadyMatchingFetchesNoFileAndRewritesTheVersion) {
    h.Prepare(L"clients\\1.0.1", L"1.0.0");
    h.StartCore();
    ASSERT_TRUE(h.RunUntilEvent(eCallBackType_FinishClient));

    EXPECT_EQ(h.Events(), (std::vector<int>{eCallBackType_DownloadServerList, eCallBackType_PreDownloadReady,
                                            eCallBackType_PrePatchVer, eCallBackType_FinishClient}));
    EXPECT_EQ(h.CountGets(".pkg"), 0);
    EXPECT_EQ(h.CountGets("/client/HashToFile.xmp"), 0);
    // The launcher list matched: its downloaded copy is gone.
    EXPECT_FALSE(FileExists(h.root + L"Tmp\\LancherHashMD5.xmp"));
    EXPECT_EQ(InstalledVersion(h.client), L"1.0.1");
    EXPECT_EQ(h.Core().GetState(), kStepClientUpToDate);
    h.Core().Continue();
    EXPECT_EQ(h.Status(), L"T19");
}

TEST_F(RepairTest, RunningGameKeepsTheCheckWaiting) {
    h.Prepare(L"clients\\1.0.0", L"1.0.0");
    ScopedHandle game(CreateMutexA(nullptr, FALSE, "Qln_Game"));
    ASSERT_TRUE(game);
    h.StartCore();
    ASSERT_TRUE(h.RunUntilEvent(eCallBackType_PrePatchVer));
    for (int tick = 0; tick < 20; ++tick) {
        h.Core().Continue();
        Sleep(5);
    }
    EXPECT_EQ(h.Core().GetState(), kStepClientCheckRequested);
    EXPECT_EQ(h.Status(), L"T12");
    EXPECT_EQ(h.CountGets("/client/HashMD5.xmp"), 0);

    game.Reset();
    ASSERT_TRUE(h.RunUntilEvent(eCallBackType_FinishClient));
    EXPECT_EQ(InstalledVersion(h.client), L"1.0.1");
}

// A file that fails for good keeps the old version and the old bytes of the
// file, and the installed list says what is really there.
TEST(RepairFailure, FileFailingForGoodStopsWithoutTheNewVersion) {
    struct Case {
        const char* name;
        const char* path;
        const wchar_t* fixture;  // served in place of the package; empty: garbage
    } cases[] = {
        {"corrupt", "update/1.0.1/client/data/a.dat.pkg", L""},
        {"wrong file", "update/1.0.1/client/data/a.dat.pkg", L"extra\\wrong_Brightgate.exe.pkg"},
        {"hostile entry", "update/1.0.1/client/data/a.dat.pkg", L"extra\\hostile.pkg"},
        {"missing", "update/1.0.1/client/data/a.dat.pkg", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ControllerHarness run;
        ASSERT_TRUE(run.Open()) << run.Error();
        run.ServeTree(L"trees\\main");
        if (c.fixture == nullptr)
            run.Fault(c.path, "kind=status&code=404");
        else if (*c.fixture == L'\0')
            run.ServeFile(c.path, std::string(3000, 'x'));
        else
            run.ServeFile(c.path, BytesOf(FixturePath(c.fixture)));
        run.Prepare(L"clients\\1.0.0", L"1.0.0");
        run.StartCore();
        EXPECT_FALSE(run.RunUntilEvent(eCallBackType_FinishClient));

        ExpectStoppedWithTheOldVersion(run);
        EXPECT_EQ(BytesOf(run.client + L"data\\a.dat"), BytesOf(FixturePath(L"clients\\1.0.0\\data\\a.dat")));
        EXPECT_EQ(BytesOf(run.client + L"Client.exe"), BytesOf(FixturePath(L"clients\\1.0.1\\Client.exe")));
        EXPECT_FALSE(FileExists(run.client + L"data\\a.dat.pkg"));
        EXPECT_FALSE(FileExists(run.client + L"evil.txt"));
        HashList list;
        ASSERT_TRUE(list.Load(run.client + L"HashMD5.xmp"));
        HashList server;
        ASSERT_TRUE(server.Load(FixturePath(L"trees\\main\\update\\1.0.1\\client\\HashMD5.xmp")));
        EXPECT_TRUE(list.Differs(PathHash(std::wstring(L"data\\a.dat")),
                                 *server.Find(PathHash(std::wstring(L"data\\a.dat")))));
        if (c.fixture != nullptr) {
            EXPECT_EQ(run.CountGets("/update/1.0.1/client/data/a.dat.pkg"), 10);
        } else {
            // The log names the file's key, its path and why, for whoever mends the server tree.
            char line[160];
            std::snprintf(line, sizeof(line),
                          "client file not brought in line: key %llu \"data\\a.dat\": HTTP 404: http://",
                          static_cast<unsigned long long>(PathHash(std::wstring(L"data\\a.dat"))));
            EXPECT_NE(EngineLog(run.root).find(line), std::string::npos) << line;
        }
        if (std::string(c.name) == "wrong file") {
            // A package without the right file is logged with the line as it stands.
            const std::string line = "\t" + WideToMulti(L"下载客户端端资源失败，重新下载", 936) + "</font></li>";
            EXPECT_NE(EngineLog(run.root).find(line), std::string::npos);
        }
    }
}

// A server list that is empty or cut is fetched again and, failing for good,
// stops the update: it never makes the client look up to date.
TEST(RepairFailure, EmptyOrCutServerListIsNeverTakenAsUpToDate) {
    const std::string list = BytesOf(FixturePath(L"trees\\main\\update\\1.0.1\\client\\HashMD5.xmp"));
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty", std::string()},
        {"cut", list.substr(0, list.size() - 5)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ControllerHarness run;
        ASSERT_TRUE(StartOnMainTreeWith(run, "update/1.0.1/client/HashMD5.xmp", c.bytes));
        const std::string installedList = BytesOf(run.client + L"HashMD5.xmp");
        EXPECT_FALSE(run.RunUntilEvent(eCallBackType_FinishClient));

        EXPECT_EQ(run.Core().GetState(), kStepStopped);
        EXPECT_EQ(run.Status(), L"T77");
        EXPECT_EQ(InstalledVersion(run.client), L"1.0.0");
        EXPECT_EQ(BytesOf(run.client + L"HashMD5.xmp"), installedList);
        EXPECT_FALSE(FileExists(run.client + L"Tiny\\HashMD5.xmp"));
        EXPECT_EQ(run.CountGets("/update/1.0.1/client/HashMD5.xmp"), 10);
    }
}

// A path map entry that would leave the client folder is never followed.
TEST_F(RepairTest, PathLeavingTheClientFolderIsRefused) {
    std::string map = BytesOf(FixturePath(L"trees\\main\\update\\1.0.1\\client\\HashToFile.xmp"));
    const std::string readme = "=readme.txt";
    size_t at = map.find(readme);
    ASSERT_NE(at, std::string::npos);
    map.replace(at, readme.size(), "=..\\..\\evil.txt");
    h.ServeFile("update/1.0.1/client/HashToFile.xmp", map);
    h.Prepare(L"clients\\1.0.0", L"1.0.0");
    h.StartCore();
    EXPECT_FALSE(h.RunUntilEvent(eCallBackType_FinishClient));

    ExpectStoppedWithTheOldVersion(h);
    EXPECT_EQ(h.CountGetsContaining("evil"), 0);
    EXPECT_FALSE(FileExists(h.work + L"evil.txt"));
    // The other files did arrive.
    EXPECT_EQ(BytesOf(h.client + L"data\\a.dat"), BytesOf(FixturePath(L"clients\\1.0.1\\data\\a.dat")));
}

// Without the version list every file is asked for without a version folder,
// and the mini client keeps the version list it had.
TEST_F(RepairTest, MissingVersionListFetchesWithoutVersionFolders) {
    h.Fault("update/1.0.1/client/HashVersion.xmp", "kind=status&code=404");
    h.ServeFile("update/client/Client.exe.pkg", BytesOf(FixturePath(L"trees\\main\\update\\1.0.1\\client\\Client.exe.pkg")));
    h.ServeFile("update/client/data/a.dat.pkg", BytesOf(FixturePath(L"trees\\main\\update\\1.0.1\\client\\data\\a.dat.pkg")));
    h.ServeFile("update/client/data/new/c.dat.pkg",
                BytesOf(FixturePath(L"trees\\main\\update\\1.0.1\\client\\data\\new\\c.dat.pkg")));
    h.Prepare(L"clients\\1.0.0", L"1.0.0");
    const std::string miniClientCopy = BytesOf(FixturePath(L"trees\\main\\update\\1.0.0\\client\\HashVersion.xmp"));
    WriteFileText(h.client + L"Tiny\\HashVersion.xmp", miniClientCopy);
    h.StartCore();
    ASSERT_TRUE(h.RunUntilEvent(eCallBackType_FinishClient));
    EXPECT_EQ(BytesOf(h.client + L"Tiny\\HashVersion.xmp"), miniClientCopy);
    EXPECT_EQ(h.CountGetsContaining("/update/1.0.1/client/") - h.CountGetsContaining("/update/1.0.1/client/Hash"), 0);
    EXPECT_EQ(h.CountGets("/update/client/Client.exe.pkg"), 1);
    EXPECT_EQ(BytesOf(h.client + L"Client.exe"), BytesOf(FixturePath(L"clients\\1.0.1\\Client.exe")));
    EXPECT_EQ(InstalledVersion(h.client), L"1.0.1");
}

// A changed key the path map gives no path for, or a path no folder could
// hold (100,000 characters, or nested absurdly deep), creates nothing and
// stops the update; the log names the key and the reason.
TEST(RepairFailure, KeyWithoutAUsablePathStopsAndIsNamedInTheLog) {
    const std::string map = BytesOf(FixturePath(L"trees\\main\\update\\1.0.1\\client\\HashToFile.xmp"));
    const std::string readme = "=readme.txt\n";
    const size_t at = map.find(readme);
    ASSERT_NE(at, std::string::npos);
    const size_t start = map.rfind('\n', at) + 1;
    std::string longPath;
    while (longPath.size() < 100000) longPath += "abcd\\";
    longPath += "readme.txt";
    std::string deepPath;
    for (int n = 0; n < 40; ++n) deepPath += "abcd\\";
    deepPath += "readme.txt";
    struct Case {
        const char* name;
        std::string map;
        const char* reason;
    } cases[] = {
        {"no entry", map.substr(0, start) + map.substr(at + readme.size()), "HashToFile.xmp has no path for it"},
        {"long", std::string(map).replace(at, readme.size(), "=" + longPath + "\n"), "was refused"},
        {"deep", std::string(map).replace(at, readme.size(), "=" + deepPath + "\n"), "was refused"},
    };
    const uint64_t key = PathHash(std::wstring(L"readme.txt"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ControllerHarness run;
        ASSERT_TRUE(StartOnMainTreeWith(run, "update/1.0.1/client/HashToFile.xmp", c.map));
        EXPECT_FALSE(run.RunUntilEvent(eCallBackType_FinishClient));

        ExpectStoppedWithTheOldVersion(run);
        EXPECT_FALSE(FileExists(run.client + L"abcd"));
        EXPECT_EQ(run.CountGetsContaining("abcd"), 0);
        const std::string log = EngineLog(run.root);
        const std::string line = "client file not brought in line: key " + std::to_string(key) + ": ";
        const size_t found = log.find(line);
        ASSERT_NE(found, std::string::npos) << line;
        EXPECT_NE(log.substr(found, log.find('<', found) - found).find(c.reason), std::string::npos);
        // The other files did arrive.
        EXPECT_EQ(BytesOf(run.client + L"data\\a.dat"), BytesOf(FixturePath(L"clients\\1.0.1\\data\\a.dat")));
    }
}

// A launcher that asks for a version check while client files are in flight
// (it became the current one when the first went away) moves the step on;
// each file still reaches the client-file handler, none is fetched twice.
TEST_F(RepairTest, VersionCheckWhileFilesAreInFlightKeepsEachResultWithItsStep) {
    h.Fault("update/1.0.1/client/Client.exe.pkg", "kind=trickle&chunk=20000&delay=100&times=1");
    h.Prepare(L"clients\\1.0.0", L"1.0.0");
    h.StartCore();
    ASSERT_TRUE(h.RunUntil([&] {
        return h.Core().GetState() == kStepClientFilesDownloading && h.CountGets("/Client.exe.pkg") == 1;
    }));
    ASSERT_TRUE(h.Core().SelectServer(L"1"));
    ASSERT_TRUE(h.Core().CheckVersion());
    EXPECT_EQ(h.Core().GetState(), kStepPatchListDownloading);
    ASSERT_TRUE(h.RunUntilEvent(eCallBackType_FinishClient)) << WideToMulti(h.Status(), CP_UTF8);

    EXPECT_EQ(h.CountGets("/update/patch/patchList.ini"), 2);
    EXPECT_EQ(h.CountGets(".pkg"), 4);
    for (const std::wstring& relative : ListFiles(FixturePath(L"clients\\1.0.1")))
        EXPECT_EQ(BytesOf(h.client + relative), BytesOf(FixturePath(L"clients\\1.0.1\\" + relative)))
            << WideToMulti(relative, CP_UTF8);
    for (const std::wstring& relative : ListFiles(h.client))
        EXPECT_EQ(relative.find(L".pkg"), std::wstring::npos) << WideToMulti(relative, CP_UTF8);
    EXPECT_EQ(InstalledVersion(h.client), L"1.0.1");
    ExpectListTrueToDisk(h.client);
}

}  // namespace
