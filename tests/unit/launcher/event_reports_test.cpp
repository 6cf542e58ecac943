#include "launcher/event_reports.h"
#include "report_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using EventReportsTest = ReportServerTest;

TEST_F(EventReportsTest, TheTriggerSuppressesOnlyOnALeadingIntegerOtherThanZero) {
    struct Case {
        const char* what;
        std::string body;
        const char* fault;  // null for none
        bool suppressed;
    };
    const Case cases[] = {
        {"one", "1", nullptr, true},
        {"leading blank", " 7", nullptr, true},
        {"zero byte inside", std::string("1\0xyz", 5), nullptr, true},
        {"negative", "-2 days", nullptr, true},
        {"beyond int", "99999999999", nullptr, true},
        {"zero", "0", nullptr, false},
        {"letters", "abc", nullptr, false},
        {"empty", "", nullptr, false},
        {"error page starting with digits", "1", "kind=status&code=500&body=file", false},
        {"503 page", "503 Service Unavailable", "kind=status&code=503&body=file", false},
        {"redirect to one is followed", "1", "kind=redirect&code=302&to=/trigger_target", true},
    };
    ASSERT_TRUE(server_.PutFile("trigger_target", "1"));
    int n = 0;
    for (const Case& c : cases) {
        std::string path = "trigger" + std::to_string(++n);
        ASSERT_TRUE(server_.PutFile(path, c.body));
        if (c.fault != nullptr) {
            ASSERT_TRUE(server_.SetFault(path, c.fault));
        }
        ReportSettings settings = SessionSettings(server_);
        settings.triggerUrl = server_.Url(path);
        EXPECT_EQ(EventReports(settings).QueryReportsSuppressed(), c.suppressed) << c.what;
    }

    ReportSettings settings = SessionSettings(server_);
    settings.triggerUrl = "http://127.0.0.1:1/trigger";
    EXPECT_FALSE(EventReports(settings).QueryReportsSuppressed()) << "unreachable";
    size_t before = server_.Log().size();
    settings.triggerUrl.clear();
    EXPECT_FALSE(EventReports(settings).QueryReportsSuppressed()) << "no address";
    EXPECT_EQ(server_.Log().size(), before);
}

TEST_F(EventReportsTest, ThePlatformKeyRequestIsOneGetWithTheValuesAsTheyAre) {
    ReportSettings settings = SessionSettings(server_);
    settings.key = L"a+b/c=";
    EventReports(settings).RequestPlatformKey();
    settings.platformKeyUrl.clear();
    EventReports(settings).RequestPlatformKey();  // no address: nothing

    std::vector<LoggedRequest> log = server_.Log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].method, "GET");
    EXPECT_EQ(log[0].path,
              std::string("/key?openid=10001&openkey=a+b/c=&appid=") + kPlatformAppId + "&pf=website&sDataType=api");
}

TEST_F(EventReportsTest, ReportBodiesGoOutByteForByte) {
    ReportSettings settings = SessionSettings(server_);
    EventReports reports(settings);
    reports.SendEventReport(L"Start Launcher", L"");
    reports.QueueEventReport(L"a&b", L"x=1&y");
    reports.QueueEventReport(L"Start Tidemill.exe fail", L"ShellExecuteExW  2");
    reports.QueueEventReport(L"Error Log", L"disk%20full");
    reports.FlushEventReports();
    reports.FlushEventReports();  // the queue is empty now
    reports.SendEventReport(L"Close Launcher", L"");

    const char* expected[] = {
        "openid=10001&event=Start Launcher&param=",
        "openid=10001&event=a&b&param=x=1&y",
        "openid=10001&event=Start Tidemill.exe fail&param=ShellExecuteExW  2",
        "openid=10001&event=Error Log&param=disk%20full",
        "openid=10001&event=Close Launcher&param=",
    };
    std::vector<LoggedRequest> log = server_.Log();
    ASSERT_EQ(log.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(log[i].method, "POST");
        EXPECT_EQ(log[i].path, "/report");
        EXPECT_EQ(log[i].contentType, kFormType);
        EXPECT_EQ(log[i].body, expected[i]);
    }
}

TEST_F(EventReportsTest, ValuesGoOutInTheAnsiCodePage) {
    if (GetACP() != 1252) GTEST_SKIP() << "expects code page 1252, the test prefix's";
    ReportSettings settings = SessionSettings(server_);
    settings.openId = L"J\x00E9r\x00F4me";
    EventReports(settings).SendEventReport(L"Caf\x00E9", L"\x4E2D");
    std::vector<LoggedRequest> log = server_.Log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].body, "openid=J\xE9r\xF4me&event=Caf\xE9&param=?");
}

TEST_F(EventReportsTest, SuppressedReportsAreDroppedButStartAndCloseStillGo) {
    ASSERT_TRUE(server_.PutFile("trigger", "1"));
    EventReports reports(SessionSettings(server_));
    reports.SetReportsSuppressed(reports.QueryReportsSuppressed());
    ASSERT_TRUE(reports.ReportsSuppressed());
    reports.SendEventReport(L"Start Launcher", L"");
    reports.QueueEventReport(L"Click ServerName", L"");
    reports.FlushEventReports();
    reports.SendEventReport(L"Close Launcher", L"");

    std::vector<LoggedRequest> log = server_.Log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].path, "/trigger");
    EXPECT_EQ(log[1].body, "openid=10001&event=Start Launcher&param=");
    EXPECT_EQ(log[2].body, "openid=10001&event=Close Launcher&param=");

    ReportSettings silent = SessionSettings(server_);
    silent.reportUrl.clear();
    EventReports off(silent);
    off.QueueEventReport(L"Click ServerName", L"");
    off.FlushEventReports();
    off.SendEventReport(L"Start Launcher", L"");
    EXPECT_EQ(server_.Log().size(), 3u);
}

TEST_F(EventReportsTest, AStalledReportGivesUpAtTheTimeOutAndTheNextStillGoes) {
    StallReports("&times=1");
    EventReports reports(SessionSettings(server_));
    reports.QueueEventReport(L"first", L"");
    reports.QueueEventReport(L"second", L"");
    DWORD start = GetTickCount();
    reports.FlushEventReports();
    DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 9000u);
    EXPECT_LT(elapsed, 20000u);
    std::vector<LoggedRequest> log = server_.Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1].body, "openid=10001&event=second&param=");
    EXPECT_EQ(log[1].status, 200);
}

}  // namespace
