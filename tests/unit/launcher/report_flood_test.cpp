// Every frame any process sends may become an event report: a flood of core
// texts while the report server stalls must not take the launcher's memory.
#include "common/protocol_deal.h"
#include "launcher/engine_conversation.h"
#include "launcher/report_worker.h"
#include "report_test_support.h"
#include "tests/unit/common/log_capture.h"

#include <gtest/gtest.h>
#include <psapi.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// The conversation's reports go where the main window sends them.
class ReportingHost final : public EngineConversationHost {
public:
    explicit ReportingHost(EventReports& reports) : reports_(reports) {}
    void QueueEventReport(const std::wstring& event, const std::wstring& parameter) override {
        reports_.QueueEventReport(event, parameter);
    }
    void ShowGameText(const std::wstring&) override {}
    void ShowGameProgress(int32_t, int32_t) override {}
    void StartGame() override {}
    void StopPageReloads() override {}
    bool OpenGameWindow() override { return true; }
    void HideMainAndFrame() override {}
    void QuitMessageLoop() override {}

private:
    EventReports& reports_;
};

// The process's committed private memory (Wine leaves PrivateUsage 0; the
// commit charge is the same figure).
size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PagefileUsage;
}

using ReportFloodTest = ReportServerTest;

TEST_F(ReportFloodTest, CoreTextsFloodingAStalledReportServerKeepTheMemoryFlat) {
    StallReports();
    EventReports reports(SessionSettings(server_));
    ReportWorker worker(reports);
    ASSERT_TRUE(worker.Start());
    ReportingHost host(reports);
    EngineConversation* conversation = new EngineConversation(host, L"C:\\games");  // large tables
    ProtocolDeal* encoder = new ProtocolDeal;
    ChannelTextRecord text = {};
    std::memset(text.text, '%', kChannelTextCapacity - 1);  // three bytes each once escaped
    std::vector<uint8_t> frame;
    ASSERT_GT(encoder->EncodeFrame(CF_CORE_TEXT, &text, frame), 0);
    COPYDATASTRUCT data = {kChannelCopyDataId, static_cast<DWORD>(frame.size()), frame.data()};

    LogCapture log;
    size_t frames = 0;
    size_t warm = 0;
    const int kTicks = 20;
    for (int tick = 0; tick < kTicks; ++tick) {
        // As many as the inbound queue lets wait for one timer.
        while (conversation->QueueCopyData(&data)) ++frames;
        conversation->OnTimer();
        reports.LogDroppedReports();
        EXPECT_LE(reports.PendingCount(), EventReports::kMaxPendingReports);
        if (tick == 1) warm = PrivateBytes();
    }
    // The charge may also drop below the warm figure.
    const size_t now = PrivateBytes();
    const size_t grown = now > warm ? now - warm : 0;
    // Unbounded, each timer would keep some 90 MB of reports.
    EXPECT_GT(frames, static_cast<size_t>(kTicks) * 10000);
    EXPECT_LT(grown, static_cast<size_t>(32) << 20) << grown;
    // One line a timer says how many went.
    size_t dropLines = 0;
    for (const std::string& line : log.Lines())
        if (line.find("event reports dropped") != std::string::npos) ++dropLines;
    EXPECT_EQ(dropLines, static_cast<size_t>(kTicks));
    reports.LogDroppedReports();
    worker.Stop();
    delete encoder;
    delete conversation;
}

TEST(EventReportsQueue, BeyondTheCapTheOldestGoAndTheDropsAreLoggedOnce) {
    ReportSettings settings;
    settings.reportUrl = "http://127.0.0.1:1/report";  // never flushed here
    EventReports reports(settings);
    LogCapture log;
    reports.LogDroppedReports();
    EXPECT_TRUE(log.Lines().empty());
    for (size_t n = 0; n < EventReports::kMaxPendingReports + 5; ++n) reports.QueueEventReport(L"e", L"");
    EXPECT_EQ(reports.PendingCount(), EventReports::kMaxPendingReports);
    reports.LogDroppedReports();
    reports.LogDroppedReports();
    ASSERT_EQ(log.Lines().size(), 1u);
    EXPECT_EQ(log.Lines()[0].compare(0, 24, "5 event reports dropped:"), 0) << log.Lines()[0];
}

}  // namespace
