#include "engine/notify_wnd.h"

#include "common/channel_types.h"
#include "fake_notify_core.h"
#include "launcher_window_stub.h"

#include <gtest/gtest.h>

namespace {

class NotifyWndTest : public ::testing::Test {
protected:
    NotifyWnd::Sender Sender() {
        return [this](HWND window, uint32_t type, const void* record) {
            return deal_->SendCopyData(window, type, record, 0);
        };
    }

    FakeNotifyCore core_;
    LauncherWindowStub launcher_;
    std::unique_ptr<ProtocolDeal> deal_{new ProtocolDeal};
};

TEST_F(NotifyWndTest, SlotTextsAreSentOnlyWhenTheyChange) {
    NotifyWnd record(launcher_.Handle(), core_, Sender());
    record.SetSlotText2(L"fetching");
    record.SetSlotText2(L"fetching");
    record.SetSlotText0(L"fetching");  // another slot keeps its own last text
    record.SetSlotText2(L"caf\u00e9");
    record.SetSlotText(4, L"no such slot");
    EXPECT_EQ(launcher_.Texts(2), (std::vector<std::string>{"fetching", "caf\xC3\xA9"}));
    EXPECT_EQ(launcher_.Texts(0), (std::vector<std::string>{"fetching"}));
    EXPECT_EQ(launcher_.frames.size(), 3u);
}

TEST_F(NotifyWndTest, LongSlotTextArrivesCutTo1023Bytes) {
    NotifyWnd record(launcher_.Handle(), core_, Sender());
    record.SetSlotText3(std::wstring(1500, L'x'));
    ASSERT_EQ(launcher_.Texts(3).size(), 1u);
    EXPECT_EQ(launcher_.Texts(3)[0], std::string(1023, 'x'));
}

TEST_F(NotifyWndTest, ProgressIsAPercentageSentOnChange) {
    NotifyWnd record(launcher_.Handle(), core_, Sender());
    struct Case {
        double done, total;
    } cases[] = {{0, 0}, {1, 3}, {1, 3}, {5, 0}, {2, 3}, {3, 3}, {1e12, 1}};
    for (const Case& c : cases) record.SetProgress(c.done, c.total);
    // (0, 0) is the starting pair and is never sent; repeats are not sent.
    EXPECT_EQ(launcher_.Progress(), (std::vector<int>{33, 0, 66, 100, 2147483647}));
    for (const auto& frame : launcher_.frames) EXPECT_EQ(frame.second, 100);
}

TEST_F(NotifyWndTest, StartGameIsTakenOnceAndManualUpdateAlways) {
    NotifyWnd record(launcher_.Handle(), core_, Sender());
    record.RequestUpdate(false);
    EXPECT_EQ(record.GetState(), eNotifyWndState_WaitUpdateClient);
    EXPECT_FALSE(record.IsStartGame());
    record.SetState(eNotifyWndState_Idle);
    record.RequestUpdate(false);
    EXPECT_EQ(record.GetState(), eNotifyWndState_WaitUpdateClient);

    record.RequestUpdate(true);
    EXPECT_TRUE(record.IsStartGame());
    record.SetState(eNotifyWndState_UpdatintClient);
    record.RequestUpdate(true);
    record.RequestUpdate(false);
    EXPECT_EQ(record.GetState(), eNotifyWndState_UpdatintClient);
    EXPECT_TRUE(core_.Logged("m_kState = eNotifyWndState_UpdatintClient"));
}

TEST_F(NotifyWndTest, CheckVerPassesTheServerIdAsUtf16) {
    NotifyWnd record(launcher_.Handle(), core_, Sender());
    record.WaitCheckVer("caf\xC3\xA9-7");
    EXPECT_EQ(record.GetState(), eNotifyWndState_WaitCheckVer);
    record.StartCheckVer();
    EXPECT_EQ(record.GetState(), eNotifyWndState_CheckingVer);
    EXPECT_EQ(core_.checkedServers, (std::vector<std::wstring>{L"caf\u00e9-7"}));
}

TEST_F(NotifyWndTest, StartGameAtTheTargetVersionLaunchesWithoutAnUpdate) {
    core_.atTarget = true;
    NotifyWnd record(launcher_.Handle(), core_, Sender());
    record.RequestUpdate(true);
    record.StartCheckClient();
    EXPECT_EQ(launcher_.Callbacks(), (std::vector<int>{eCallBackType_LaunchClient}));
    EXPECT_EQ(record.GetState(), eNotifyWndState_WaitClose);
    EXPECT_FALSE(record.IsStartGame());
    EXPECT_EQ(launcher_.Texts(2), (std::vector<std::string>{"starting"}));
    EXPECT_EQ(core_.clientChecks, 0);
    EXPECT_TRUE(core_.Logged("NotifyCallBackType  :  eCallBackType_LaunchClient"));
}

TEST_F(NotifyWndTest, OtherwiseTheClientCheckStarts) {
    for (bool startGame : {false, true}) {
        FakeNotifyCore core;
        core.atTarget = !startGame;  // at the target, but only a manual update
        NotifyWnd record(launcher_.Handle(), core, Sender());
        record.RequestUpdate(startGame);
        record.StartCheckClient();
        EXPECT_EQ(record.GetState(), eNotifyWndState_UpdatintClient);
        EXPECT_EQ(core.clientChecks, 1);
        EXPECT_TRUE(core.Logged("StartCheckClient 2"));
    }
    EXPECT_TRUE(launcher_.Callbacks().empty());
}

}  // namespace
