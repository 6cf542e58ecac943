// The launcher road: the launcher's own files from the first [Server] base,
// the launcher program handed to the copier, a restart after resources.
#include <gtest/gtest.h>

#include "common/code_page.h"
#include "common/file_util.h"
#include "common/hash_list.h"
#include "common/md5.h"
#include "common/package_extractor.h"
#include "common/path_hash.h"
#include "common/process_util.h"
#include "common/unique_handle.h"
#include "tests/unit/common/test_paths.h"
#include "tests/unit/controller/controller_harness.h"

namespace {

// A process named "Brightgate.exe" for as long as the object lives.
class FakeLauncher {
public:
    FakeLauncher() {
        std::wstring program = TestExeFolder() + L"fake_launcher\\Brightgate.exe";
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info = {};
        if (CreateProcessW(program.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
            process_.Reset(info.hProcess);
            CloseHandle(info.hThread);
            id_ = info.dwProcessId;
        }
    }
    ~FakeLauncher() { End(); }
    void End() {
        if (process_) {
            TerminateProcess(process_.Get(), 0);
            WaitForSingleObject(process_.Get(), 5000);
            process_.Reset();
        }
    }
    DWORD Id() const { return id_; }

private:
    ScopedHandle process_;
    DWORD id_ = 0;
};

const wchar_t kServedLauncher[] = L"trees\\selfupdate\\launcher\\";

// The self-update tree served with one file replaced, the client current and
// the old launcher installed.
::testing::AssertionResult ServeSelfUpdate(ControllerHarness& h, const std::string& path, const std::string& bytes) {
    if (!h.Open()) return ::testing::AssertionFailure() << h.Error();
    h.ServeTree(L"trees\\selfupdate");
    h.ServeFile(path, bytes);
    h.WriteConfig();
    h.InstallClient(L"clients\\1.0.1", L"1.0.1");
    h.InstallLauncher(L"launcher\\old");
    return ::testing::AssertionSuccess();
}

class LauncherTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(h.Open()) << h.Error();
        h.ServeTree(L"trees\\selfupdate");
        h.WriteConfig();
        h.InstallClient(L"clients\\1.0.1", L"1.0.1");
        h.checkVersionOnReady = false;
    }
    ControllerHarness h;
};

// With a launcher running, the program stays packed for the copier; the
// engine records what is on disk once the new launcher has started.
TEST_F(LauncherTest, ChangedResourceAndProgramWithLauncherRunning) {
    h.InstallLauncher(L"launcher\\old");
    FakeLauncher oldLauncher;
    ASSERT_NE(oldLauncher.Id(), 0u);
    std::unique_ptr<FakeLauncher> newLauncher;
    ScopedHandle launcherOk;
    bool leftPacked = false, programUntouched = false, resourceInstalled = false;
    h.onEvent = [&](int value) {
        if (value != eCallBackType_WaitRelaunch) return;
        leftPacked = BytesOf(h.root + L"Tmp\\DownloadTmp.xmp") ==
                     BytesOf(FixturePath(std::wstring(kServedLauncher) + L"Brightgate.exe.pkg"));
        programUntouched = BytesOf(h.root + L"Brightgate.exe") == BytesOf(FixturePath(L"launcher\\old\\Brightgate.exe"));
        resourceInstalled = BytesOf(h.root + L"Skin\\Launcher\\main.xml") ==
                            BytesOf(FixturePath(L"launcher\\new\\Skin\\Launcher\\main.xml"));
        // What the launcher and the copier do meanwhile.
        oldLauncher.End();
        EXPECT_EQ(ExtractAll(h.root + L"Tmp\\DownloadTmp.xmp", h.root), kExtractOk);
        newLauncher.reset(new FakeLauncher());
        launcherOk.Reset(CreateMutexW(nullptr, TRUE, L"qln_launcher_ok"));
    };
    h.StartCore();
    ASSERT_TRUE(h.RunUntilEvent(eCallBackType_PreDownloadReady));

    EXPECT_EQ(h.Events(), (std::vector<int>{eCallBackType_WaitRelaunch, eCallBackType_DownloadServerList,
                                            eCallBackType_PreDownloadReady}));
    EXPECT_TRUE(leftPacked);
    EXPECT_TRUE(programUntouched);
    EXPECT_TRUE(resourceInstalled);
    EXPECT_EQ(BytesOf(h.root + L"LancherHashMD5.xmp"), BytesOf(FixturePath(std::wstring(kServedLauncher) + L"LancherHashMD5.xmp")));
    EXPECT_EQ(h.CountGets("/launcher/Brightgate.exe.pkg"), 1);
    EXPECT_EQ(h.CountGets("/launcher/Skin/Launcher/main.xml.pkg"), 1);
    EXPECT_EQ(h.CountGets("/launcher/Skin/Launcher/bg.png.pkg"), 0);
}

TEST_F(LauncherTest, ProgramIsInstalledAtOnceWhenNoLauncherRuns) {
    h.InstallLauncher(L"launcher\\old");
    h.StartCore();
    ASSERT_TRUE(h.RunUntilEvent(eCallBackType_PreDownloadReady));

    EXPECT_EQ(h.Events(), (std::vector<int>{eCallBackType_WaitRelaunch, eCallBackType_DownloadServerList,
                                            eCallBackType_PreDownloadReady}));
    for (const std::wstring& relative : ListFiles(FixturePath(L"launcher\\new")))
        EXPECT_EQ(BytesOf(h.root + relative), BytesOf(FixturePath(L"launcher\\new\\" + relative)))
            << WideToMulti(relative, CP_UTF8);
    EXPECT_EQ(BytesOf(h.root + L"LancherHashMD5.xmp"), BytesOf(FixturePath(std::wstring(kServedLauncher) + L"LancherHashMD5.xmp")));
}

TEST_F(LauncherTest, OnlyResourcesChangedAsksForARestart) {
    h.InstallLauncher(L"launcher\\old");
    ASSERT_TRUE(CopyFileW(FixturePath(L"launcher\\new\\Brightgate.exe").c_str(), (h.root + L"Brightgate.exe").c_str(), FALSE));
    HashList installed;
    for (const std::wstring& relative : ListFiles(FixturePath(L"launcher\\old"))) {
        Md5Digest digest;
        ASSERT_TRUE(FileMd5(h.root + relative, digest));
        installed.Set(WideToMulti(relative, 0), digest);
    }
    ASSERT_TRUE(installed.Save(h.root + L"LancherHashMD5.xmp"));
    h.StartCore();
    ASSERT_TRUE(h.RunUntilEvent(eCallBackType_PreDownloadReady));

    EXPECT_EQ(h.Events(), (std::vector<int>{eCallBackType_WaitReStartLaunch, eCallBackType_DownloadServerList,
                                            eCallBackType_PreDownloadReady}));
    EXPECT_EQ(BytesOf(h.root + L"Skin\\Launcher\\main.xml"), BytesOf(FixturePath(L"launcher\\new\\Skin\\Launcher\\main.xml")));
    EXPECT_EQ(h.CountGets("/launcher/Brightgate.exe.pkg"), 0);
    EXPECT_EQ(BytesOf(h.root + L"LancherHashMD5.xmp"), BytesOf(FixturePath(std::wstring(kServedLauncher) + L"LancherHashMD5.xmp")));
}

// A changed resource whose key the path map lacks, or maps out of the root,
// is left alone; the rest of the launcher road goes on.
TEST(LauncherPathMap, MissingOrLeavingPathIsSkipped) {
    const std::string map = BytesOf(FixturePath(L"trees\\selfupdate\\launcher\\HashToFile.xmp"));
    const std::string line = "=Skin\\Launcher\\main.xml\n";
    const size_t at = map.find(line);
    ASSERT_NE(at, std::string::npos);
    const size_t start = map.rfind('\n', at) + 1;
    struct Case {
        const char* name;
        std::string map;
    } cases[] = {
        {"missing", map.substr(0, start) + map.substr(at + line.size())},
        {"leaving", std::string(map).replace(at, line.size(), "=..\\..\\evil.xml\n")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ControllerHarness h;
        ASSERT_TRUE(ServeSelfUpdate(h, "launcher/HashToFile.xmp", c.map));
        h.checkVersionOnReady = false;
        h.StartCore();
        ASSERT_TRUE(h.RunUntilEvent(eCallBackType_PreDownloadReady));

        EXPECT_EQ(h.Events(), (std::vector<int>{eCallBackType_WaitRelaunch, eCallBackType_DownloadServerList,
                                                eCallBackType_PreDownloadReady}));
        EXPECT_EQ(h.CountGets("main.xml.pkg"), 0);
        EXPECT_EQ(h.CountGetsContaining("evil"), 0);
        EXPECT_FALSE(FileExists(h.root + L"..\\..\\evil.xml"));
        EXPECT_EQ(BytesOf(h.root + L"Skin\\Launcher\\main.xml"), BytesOf(FixturePath(L"launcher\\old\\Skin\\Launcher\\main.xml")));
        EXPECT_EQ(BytesOf(h.root + L"Brightgate.exe"), BytesOf(FixturePath(L"launcher\\new\\Brightgate.exe")));
        // The skipped file keeps its old digest, so a later run asks again.
        HashList installed;
        ASSERT_TRUE(installed.Load(h.root + L"LancherHashMD5.xmp"));
        Md5Digest oldDigest;
        ASSERT_TRUE(FileMd5(FixturePath(L"launcher\\old\\Skin\\Launcher\\main.xml"), oldDigest));
        EXPECT_FALSE(installed.Differs(PathHash(std::wstring(L"Skin\\Launcher\\main.xml")), oldDigest));
    }
}

// The tree with a new engine program; the launcher and the client current.
class EngineProgram : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(h.Open()) << h.Error();
        h.ServeTree(L"trees\\engineupdate");
        h.WriteConfig();
        h.InstallClient(L"clients\\1.0.1", L"1.0.1");
        h.InstallLauncher(L"launcher\\engine_old");
    }
    ControllerHarness h;
};

// A new engine program goes to the copier packed, and the engine asks for its
// own restart.
TEST_F(EngineProgram, ChangedEngineStartsTheCopierAndAsksForARestart) {
    // Any program will do as the copier: it only has to start.
    ASSERT_TRUE(CopyFileW((TestExeFolder() + L"fake_launcher\\Brightgate.exe").c_str(), (h.root + L"Ferrier.exe").c_str(), FALSE));
    // The copier runs by the time the engine is told to end.
    bool copierRunning = false;
    h.onEvent = [&](int value) {
        if (value == eCallBackType_WaitReStartCore) copierRunning = FindProcessIdByName("Ferrier.exe") != 0;
    };
    h.StartCore();
    EXPECT_TRUE(h.RunUntilEvent(eCallBackType_WaitReStartCore));
    TerminateProcessByName("Ferrier.exe");
    EXPECT_TRUE(copierRunning);

    EXPECT_EQ(h.Events(), std::vector<int>{eCallBackType_WaitReStartCore});
    EXPECT_EQ(h.Core().GetState(), kStepEngineProgramDownloading);
    EXPECT_EQ(BytesOf(h.root + L"Tmp\\DownloadTmp.xmp"),
              BytesOf(FixturePath(L"trees\\engineupdate\\launcher\\Tidemill.exe.pkg")));
    EXPECT_EQ(BytesOf(h.root + L"Tidemill.exe"), BytesOf(FixturePath(L"launcher\\engine_old\\Tidemill.exe")));
}

// Without a copier to start, no restart is announced: the engine stops.
TEST_F(EngineProgram, MissingCopierStopsWithoutARestart) {
    h.StartCore();
    EXPECT_FALSE(h.RunUntilEvent(eCallBackType_WaitReStartCore));

    EXPECT_TRUE(h.Events().empty());
    EXPECT_EQ(h.Core().GetState(), kStepStopped);
    EXPECT_EQ(h.CountGets("/launcher/Tidemill.exe.pkg"), 1);
    EXPECT_EQ(BytesOf(h.root + L"Tidemill.exe"), BytesOf(FixturePath(L"launcher\\engine_old\\Tidemill.exe")));
}

// The launcher is told to hand over only a package that opens and holds the
// program the new launcher list names.
TEST(LauncherPackage, BadProgramPackageIsNeverHandedOver) {
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"another program", BytesOf(FixturePath(L"extra\\wrong_Brightgate.exe.pkg"))},
        {"no package", std::string(4000, 'q')},
        // The right bytes, but not where the copier would install them.
        {"program in a subfolder", BytesOf(FixturePath(L"extra\\nested_Brightgate.exe.pkg"))},
        // The right program beside a name the copier's unpacking refuses.
        {"entry leaving the folder", BytesOf(FixturePath(L"extra\\climbing_Brightgate.exe.pkg"))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ControllerHarness h;
        ASSERT_TRUE(ServeSelfUpdate(h, "launcher/Brightgate.exe.pkg", c.bytes));
        FakeLauncher running;
        h.StartCore();
        EXPECT_FALSE(h.RunUntilEvent(eCallBackType_PreDownloadReady));

        EXPECT_FALSE(h.Saw(eCallBackType_WaitRelaunch));
        EXPECT_EQ(h.ErrorEvents(), std::vector<int>{eCallBackType_DownloadLauncherError});
        EXPECT_EQ(h.Status(), L"T72");
        EXPECT_EQ(h.Core().GetState(), kStepStopped);
        EXPECT_EQ(h.CountGets("/launcher/Brightgate.exe.pkg"), 10);
        EXPECT_EQ(BytesOf(h.root + L"Brightgate.exe"), BytesOf(FixturePath(L"launcher\\old\\Brightgate.exe")));
    }
}

}  // namespace
