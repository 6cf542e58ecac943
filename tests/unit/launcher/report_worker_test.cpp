#include "launcher/report_worker.h"
#include "report_test_support.h"

#include <gtest/gtest.h>

namespace {

using ReportWorkerTest = ReportServerTest;

TEST_F(ReportWorkerTest, AsksForThePlatformKeyOnceThenSendsTheQueueInOrder) {
    EventReports reports(SessionSettings(server_));
    ReportWorker worker(reports);
    worker.SetWorkerRequest(ReportWorker::kRequestPlatformKey);
    reports.QueueEventReport(L"Click ServerName", L"");
    reports.QueueEventReport(L"Start Tidemill.exe", L"");
    reports.QueueEventReport(L"Start Tidemill.exe success", L"");
    ASSERT_TRUE(worker.Start());
    EXPECT_FALSE(worker.Start());
    WaitForRequests(server_, 4, 10000);
    reports.QueueEventReport(L"DownloadServerList_Sucess", L"");  // a later pass takes it
    std::vector<LoggedRequest> log = WaitForRequests(server_, 5, 10000);
    Sleep(3 * ReportWorker::kPassIntervalMs);
    worker.Stop();
    EXPECT_FALSE(worker.Running());

    log = server_.Log();
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[0].method, "GET");
    EXPECT_EQ(log[0].path, std::string("/key?openid=10001&openkey=k3y&appid=") + kPlatformAppId +
                               "&pf=website&sDataType=api");
    const char* events[] = {"Click ServerName", "Start Tidemill.exe", "Start Tidemill.exe success",
                            "DownloadServerList_Sucess"};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(log[i + 1].method, "POST");
        EXPECT_EQ(log[i + 1].path, "/report");
        EXPECT_EQ(log[i + 1].contentType, kFormType);
        EXPECT_EQ(log[i + 1].body, std::string("openid=10001&event=") + events[i] + "&param=");
    }
}

// What the last moments queue (the engine's last callbacks before a restart,
// the game's end before the close) still goes out when the server answers.
TEST_F(ReportWorkerTest, StopSendsWhatWasQueuedBeforeIt) {
    EventReports reports(SessionSettings(server_));
    ReportWorker worker(reports);
    ASSERT_TRUE(worker.Start());
    Sleep(3 * ReportWorker::kPassIntervalMs);  // the worker idles between passes
    reports.QueueEventReport(L"PreDownloadReady", L"");
    reports.QueueEventReport(L"Close Game", L"");
    worker.Stop();
    std::vector<LoggedRequest> log = server_.Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].body, "openid=10001&event=PreDownloadReady&param=");
    EXPECT_EQ(log[1].body, "openid=10001&event=Close Game&param=");
}

TEST_F(ReportWorkerTest, StopAbortsAStalledTransferPromptly) {
    StallReports();
    EventReports reports(SessionSettings(server_));
    reports.QueueEventReport(L"stalled", L"");
    reports.QueueEventReport(L"never sent", L"");
    ReportWorker worker(reports);
    ASSERT_TRUE(worker.Start());
    ASSERT_EQ(WaitForRequests(server_, 1, 10000).size(), 1u);
    Sleep(300);  // well inside the stalled transfer

    DWORD start = GetTickCount();
    worker.Stop();
    DWORD elapsed = GetTickCount() - start;
    // The last chance, then the abort, which the HTTP library notices at its
    // next progress call; far below the transfer's own 10 s time-out.
    EXPECT_LT(elapsed, ReportWorker::kFinalFlushMs + 4000u);
    worker.Stop();  // a second stop is harmless

    Sleep(300);
    std::vector<LoggedRequest> log = server_.Log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].body, "openid=10001&event=stalled&param=");
}

}  // namespace
