#pragma once
#include "launcher/event_reports.h"
#include "tests/doubles/http_server/http_test_server.h"

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
