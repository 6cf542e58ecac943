// Each list or package the server cannot give: its event, its status text
// and where the controller stops.
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
    int event;  // the error event raised, -1 for none
    const wchar_t* status;
    int state;
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
    h.InstallLauncher(L"launcher\\old");
    if (row.clientInstalled) h.InstallClient(L"clients\\1.0.0", L"1.0.0");
    h.StartCore();
    if (row.state == kStepStopped) {
        EXPECT_FALSE(h.RunUntil([] { return false; }));
    } else {
        ASSERT_TRUE(h.RunUntilEvent(static_cast<eCallBackType>(row.event)));
        for (int tick = 0; tick < 20; ++tick) {
            h.Core().Continue();
            Sleep(5);
        }
    }

    EXPECT_EQ(h.ErrorEvents(), row.event < 0 ? std::vector<int>() : std::vector<int>{row.event});
    EXPECT_EQ(h.Status(), row.status);
    EXPECT_EQ(h.Core().GetState(), row.state);
    EXPECT_FALSE(h.Saw(eCallBackType_FinishClient));
    EXPECT_EQ(h.CountGetsContaining("/second/"), 0) << "a failing base is not replaced by the next";
    if (row.missing != nullptr) {
        std::string suffix = std::string("/") + row.missing;
        EXPECT_EQ(h.CountGets(suffix), 1) << "a 404 is not asked again";
    } else {
        EXPECT_TRUE(h.Server().Log().empty());
    }
}

const FailureRow kRows[] = {
    {"LauncherList", L"trees\\main", "launcher/LancherHashMD5.xmp", true, true,
     eCallBackType_DownloadLauncherVerError, L"T70", kStepStopped},
    {"LauncherPathMap", L"trees\\selfupdate", "launcher/HashToFile.xmp", true, true,
     eCallBackType_DownloadLauncherHashFileError, L"T71", kStepStopped},
    {"LauncherFile", L"trees\\selfupdate", "launcher/Skin/Launcher/main.xml.pkg", true, true,
     eCallBackType_DownloadLauncherResError, L"T73", kStepLauncherFileDownloading},
    {"LauncherProgram", L"trees\\selfupdate", "launcher/Brightgate.exe.pkg", true, true,
     eCallBackType_DownloadLauncherError, L"T72", kStepStopped},
    {"ServerList", L"trees\\main", "serverlist.xml", true, true, eCallBackType_DownloadServerListError, L"T74",
     kStepStopped},
    {"FullPackage", L"trees\\main", "update/full/Tiny_Package.pkg", false, true, -1, L"T75", kStepStopped},
    {"PatchList", L"trees\\main", "update/patch/patchList.ini", true, true, eCallBackType_DownloadPatchVerError,
     L"T76", kStepStopped},
    {"ClientList", L"trees\\main", "update/1.0.1/client/HashMD5.xmp", true, true, -1, L"T77", kStepStopped},
    {"ClientPathMap", L"trees\\main", "update/1.0.1/client/HashToFile.xmp", true, true, -1, L"T78", kStepStopped},
    {"NoServerBase", L"trees\\main", nullptr, true, false, -1, L"T70", kStepStopped},
};

INSTANTIATE_TEST_SUITE_P(Controller, FailureTable, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<FailureRow>& info) { return std::string(info.param.name); });

}  // namespace
