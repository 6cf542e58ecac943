#pragma once
#include "launcher/event_reports.h"
#include "launcher/http_transfer.h"
#include "tests/doubles/http_server/http_test_server.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Report settings whose addresses lie in the test's own server session.
inline ReportSettings SessionSettings(const HttpTestServer& server) {
    ReportSettings s;
    s.platformKeyUrl = server.Url("key");
    s.reportUrl = server.Url("report");
    s.triggerUrl = server.Url("trigger");
    s.openId = L"10001";
    s.key = L"k3y";
    return s;
}

// The session's log once it holds at least `count` requests, or as it is
// after the time-out.
inline std::vector<LoggedRequest> WaitForRequests(HttpTestServer& server, size_t count, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    std::vector<LoggedRequest> log = server.Log();
    while (log.size() < count && GetTickCount() - start < timeoutMs) {
        Sleep(20);
        log = server.Log();
    }
    return log;
}

inline const char* kFormType = "application/x-www-form-urlencoded";

// A test with the HTTP library set up and a server session of its own.
class ReportServerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server_.Open()) << server_.Error(); }

    // Report transfers stall for 30 s after the headers; "&times=N" limits
    // it to the next N.
    void StallReports(const std::string& times = std::string()) {
        ASSERT_TRUE(server_.PutFile("report", "ok"));
        ASSERT_TRUE(server_.SetFault("report", "kind=stall&after=0&secs=30" + times));
    }

    ScopedHttpLibrary library_;
    HttpTestServer server_;
};
