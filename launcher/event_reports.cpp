#include "launcher/event_reports.h"

#include "common/code_page.h"
#include "common/common_log.h"
#include "launcher/http_transfer.h"

#include <cstdlib>
#include <string>
#include <utility>

const char kPlatformAppId[] = "1000001";

namespace {

const unsigned kAnsi = 0;

bool LeadingIntegerIsNotZero(const std::string& body) {
    // strtol, not atoi: an integer too large for int still counts as not 0.
    return std::strtol(body.c_str(), nullptr, 10) != 0;
}

}  // namespace

bool EventReports::QueryReportsSuppressed() const {
    if (settings_.triggerUrl.empty()) return false;
    HttpRequest request;
    request.url = settings_.triggerUrl;
    HttpAnswer answer = PerformHttpRequest(request);
    if (!answer.completed || answer.status < 200 || answer.status > 299) return false;
    return LeadingIntegerIsNotZero(answer.body);
}

void EventReports::QueueEventReport(const std::wstring& event, const std::wstring& parameter) {
    if (suppressed_ || settings_.reportUrl.empty()) return;
    ScopedCriticalSection guard(lock_);
    if (pending_.size() >= kMaxPendingReports) {
        pending_.pop_front();
        ++dropped_;
    }
    pending_.push_back(EventReport{event, parameter});
}

void EventReports::LogDroppedReports() {
    if (dropped_ == 0) return;
    CommonLog(std::to_string(dropped_) + " event reports dropped: more than " + std::to_string(kMaxPendingReports) +
              " waited for the report server");
    dropped_ = 0;
}

size_t EventReports::PendingCount() {
    ScopedCriticalSection guard(lock_);
    return pending_.size();
}

std::string EventReports::PlatformKeyAddress() const {
    return settings_.platformKeyUrl + "?" + "openid=" + WideToMulti(settings_.openId, kAnsi) + "&" +
           "openkey=" + WideToMulti(settings_.key, kAnsi) + "&" + "appid=" + kPlatformAppId + "&" +
           "pf=website" + "&" + "sDataType=api";
}

std::string EventReports::ReportBody(const std::wstring& event, const std::wstring& parameter) const {
    return "openid=" + WideToMulti(settings_.openId, kAnsi) + "&" + "event=" + WideToMulti(event, kAnsi) + "&" +
           "param=" + WideToMulti(parameter, kAnsi);
}

void EventReports::RequestPlatformKey(const std::atomic<bool>* keepGoing) const {
    if (settings_.platformKeyUrl.empty()) return;
    HttpRequest request;
    request.url = PlatformKeyAddress();
    request.keepGoing = keepGoing;
    PerformHttpRequest(request);  // the answer is not used
}

void EventReports::PostReport(const std::wstring& event, const std::wstring& parameter,
                              const std::atomic<bool>* keepGoing) const {
    if (settings_.reportUrl.empty()) return;
    HttpRequest request;
    request.url = settings_.reportUrl;
    request.post = true;
    request.body = ReportBody(event, parameter);
    request.keepGoing = keepGoing;
    PerformHttpRequest(request);  // a failed report is not retried
}

void EventReports::FlushEventReports(const std::atomic<bool>* keepGoing) {
    std::deque<EventReport> taken;
    {
        ScopedCriticalSection guard(lock_);
        taken.swap(pending_);
    }
    for (const EventReport& report : taken) {
        if (keepGoing != nullptr && !keepGoing->load()) return;
        PostReport(report.event, report.parameter, keepGoing);
    }
}
