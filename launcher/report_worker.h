#pragma once
// The launcher's one worker thread: every 100 ms it makes the platform-key
// request when asked, then sends the queued event reports. It touches no
// window.
#include "common/unique_handle.h"

#include <atomic>

class EventReports;

class ReportWorker {
public:
    // Request value that makes the next pass ask for the platform key.
    static const int kRequestPlatformKey = 1;
    static const unsigned kPassIntervalMs = 100;
    // How long a stop lets the worker send what was queued before it.
    static const unsigned kFinalFlushMs = 1000;

    // The reports, and the HTTP library's initialisation, must outlive the
    // worker.
    explicit ReportWorker(EventReports& reports) : reports_(reports) {}
    ~ReportWorker() { Stop(); }
    ReportWorker(const ReportWorker&) = delete;
    ReportWorker& operator=(const ReportWorker&) = delete;

    // Taken, and reset to 0, by the worker's next pass.
    void SetWorkerRequest(int value) { request_.store(value); }

    // Starts the thread; false when it cannot be created or already runs.
    bool Start();
    // Ends the thread and waits for it. Reports queued before the stop still
    // go out for up to kFinalFlushMs; then a transfer under way is aborted
    // and what is left is dropped. Safe to call more than once.
    void Stop();
    bool Running() const { return thread_.IsValid(); }

private:
    static unsigned __stdcall LauncherWorkerProc(void* worker);
    void Run();

    EventReports& reports_;
    std::atomic<bool> running_{false};   // false aborts every transfer
    std::atomic<bool> stopping_{false};  // the last pass is the final flush
    std::atomic<int> request_{0};
    ScopedHandle thread_;
    ScopedHandle wake_;  // set by Stop, cuts the pause between passes short
};
