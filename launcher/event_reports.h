#pragma once
// The launcher's HTTP event reports, its platform-key request and the
// trigger that can suppress the queued reports. Values are inserted into
// addresses and form bodies as they are, without percent-encoding.
#include "common/critical_section_lock.h"

#include <atomic>
#include <cstddef>
#include <deque>
#include <string>

// Identifier of the application at the platform; fixed for a deployment.
extern const char kPlatformAppId[];

struct ReportSettings {
    // [platform] addresses in the ANSI code page; an empty one switches its
    // transfer off.
    std::string platformKeyUrl;  // GetPfkeyByOpenid
    std::string reportUrl;       // ReportEventUrl
    std::string triggerUrl;      // TriggerEventUrl
    // The launcher parameters "ID" and "Key".
    std::wstring openId;
    std::wstring key;
};

struct EventReport {
    std::wstring event;
    std::wstring parameter;
};

class EventReports {
public:
    // Reports waiting for the worker beyond this many push out the oldest:
    // every frame from any process can become a report, and a stalled report
    // server must not let them grow without end.
    static constexpr size_t kMaxPendingReports = 1000;

    explicit EventReports(const ReportSettings& settings) : settings_(settings) {}
    EventReports(const EventReports&) = delete;
    EventReports& operator=(const EventReports&) = delete;

    // Asks the trigger address whether queued reports are to be suppressed:
    // true only for a successful answer whose body starts with an integer
    // other than 0. An error page never suppresses.
    bool QueryReportsSuppressed() const;
    void SetReportsSuppressed(bool suppressed) { suppressed_ = suppressed; }
    bool ReportsSuppressed() const { return suppressed_; }

    // Appends a report for the worker (UI thread); dropped when reports are
    // suppressed or there is no report address. With kMaxPendingReports
    // waiting, the oldest goes.
    void QueueEventReport(const std::wstring& event, const std::wstring& parameter);
    // One log line for the reports pushed out since the last call, if any
    // (UI thread, once a timer tick).
    void LogDroppedReports();
    size_t PendingCount();

    // One blocking report, sent even when reports are suppressed.
    void SendEventReport(const std::wstring& event, const std::wstring& parameter) const {
        PostReport(event, parameter, nullptr);
    }

    // The worker's transfers; each gives up soon after keepGoing reads false.
    void RequestPlatformKey(const std::atomic<bool>* keepGoing = nullptr) const;
    // Sends every queued report in queue order; those not yet sent when
    // keepGoing turns false are dropped.
    void FlushEventReports(const std::atomic<bool>* keepGoing = nullptr);

    // The transfers' addresses and bodies, as sent.
    std::string PlatformKeyAddress() const;
    std::string ReportBody(const std::wstring& event, const std::wstring& parameter) const;

private:
    void PostReport(const std::wstring& event, const std::wstring& parameter,
                    const std::atomic<bool>* keepGoing) const;

    const ReportSettings settings_;
    bool suppressed_ = false;  // UI thread only
    size_t dropped_ = 0;       // UI thread only
    CriticalSectionLock lock_;
    std::deque<EventReport> pending_;  // under lock_
};
