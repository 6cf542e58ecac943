// Each list or package the server cannot give: its event and its status
// text, and the controller stops (the engine then ends).
#include <gtest/gtest.h>

#include "common/code_page.h"
#include "tests/unit/controller/controller_harness.h"

namespace {

struct FailureRow {
    const char* name;
    const wchar_t* tree;
    const char* missing;  // served as 404; null for none
    bool clientInstalled;
    bool withServerBase;
    const wchar_t* launcher;  // the installed launcher's files
    int event;  // the error event raised, -1 for none
    const wchar_t* status;
};

void PrintTo(const FailureRow& row, std::ostream* out) { *out << row.name; }

class FailureTable : public ::testing::TestWithParam<FailureRow> {};

TEST_P(FailureTable, GivesItsEventTextAndState) {
    const FailureRow& row = GetParam();
    ControllerHarness h;
    ASSERT_TRUE(h.Open()) << h.Error();
    h.ServeTree(row.tree);
    if (row.missing != nullptr) h.Fault(row.missing, "kind=status&code=404");
    HarnessConfig config;
    config.withServerBase = row.withServerBase;
    h.WriteConfig(config);
    h.InstallLauncher(row.launcher);
    if (row.clientInstalled) h.InstallClient(L"clients\\1.0.0", L"1.0.0");
    h.StartCore();
    // Every failure ends in the stopped state, which ends the engine.
    EXPECT_FALSE(h.RunUntil([] { return false; }));

    EXPECT_EQ(h.ErrorEvents(), row.event < 0 ? std::vector<int>() : std::vector<int>{row.event});
    EXPECT_EQ(h.Status(), row.status);
    EXPECT_EQ(h.Core().GetState(), kStepStopped);
    EXPECT_FALSE(h.Saw(eCallBackType_FinishClient));
    EXPECT_EQ(h.CountGetsContaining("/second/"), 0) << "a failing base is not replaced by the next";
    if (row.missing != nullptr) {
        std::string suffix = std::string("/") + row.missing;
        EXPECT_EQ(h.CountGets(suffix), 1) << "a 404 is not asked again";
    } else {
        EXPECT_TRUE(h.Server().Log().empty());
    }
}

const wchar_t kOld[] = L"launcher\\old";

const FailureRow kRows[] = {
    {"LauncherList", L"trees\\main", "launcher/LancherHashMD5.xmp", true, true, kOld,
     eCallBackType_DownloadLauncherVerError, L"T70"},
    {"LauncherPathMap", L"trees\\selfupdate", "launcher/HashToFile.xmp", true, true, kOld,
     eCallBackType_DownloadLauncherHashFileError, L"T71"},
    {"LauncherFile", L"trees\\selfupdate", "launcher/Skin/Launcher/main.xml.pkg", true, true, kOld,
     eCallBackType_DownloadLauncherResError, L"T73"},
    {"LauncherProgram", L"trees\\selfupdate", "launcher/Brightgate.exe.pkg", true, true, kOld,
     eCallBackType_DownloadLauncherError, L"T72"},
    {"EngineProgram", L"trees\\engineupdate", "launcher/Tidemill.exe.pkg", true, true, L"launcher\\engine_old",
     eCallBackType_DownloadLauncherError, L"T72"},
    {"ServerList", L"trees\\main", "serverlist.xml", true, true, kOld, eCallBackType_DownloadServerListError, L"T74"},
    {"FullPackage", L"trees\\main", "update/full/Tiny_Package.pkg", false, true, kOld, -1, L"T75"},
    {"PatchList", L"trees\\main", "update/patch/patchList.ini", true, true, kOld, eCallBackType_DownloadPatchVerError,
     L"T76"},
    {"ClientList", L"trees\\main", "update/1.0.1/client/HashMD5.xmp", true, true, kOld, -1, L"T77"},
    {"ClientPathMap", L"trees\\main", "update/1.0.1/client/HashToFile.xmp", true, true, kOld, -1, L"T78"},
    {"NoServerBase", L"trees\\main", nullptr, true, false, kOld, -1, L"T70"},
};

INSTANTIATE_TEST_SUITE_P(Controller, FailureTable, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<FailureRow>& info) { return std::string(info.param.name); });

}  // namespace
