#include "launcher/report_worker.h"

#include "launcher/event_reports.h"

#include <process.h>

bool ReportWorker::Start() {
    if (thread_) return false;
    wake_.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!wake_) return false;
    stopping_.store(false);
    running_.store(true);
    // _beginthreadex, not _beginthread: its handle stays ours until closed,
    // so the wait in Stop never meets a closed or reused handle.
    uintptr_t thread = _beginthreadex(nullptr, 0, &ReportWorker::LauncherWorkerProc, this, 0, nullptr);
    if (thread == 0) {
        running_.store(false);
        return false;
    }
    thread_.Reset(reinterpret_cast<HANDLE>(thread));
    return true;
}

void ReportWorker::Stop() {
    if (!thread_) {
        running_.store(false);
        return;
    }
    stopping_.store(true);
    SetEvent(wake_.Get());
    // Every transfer of the worker gives up soon after running_ turns false
    // and none lasts longer than its time-out, so the second wait ends. The
    // thread is never terminated: killed inside the HTTP library or the heap
    // it could leave either locked.
    if (WaitForSingleObject(thread_.Get(), kFinalFlushMs) != WAIT_OBJECT_0) {
        running_.store(false);
        WaitForSingleObject(thread_.Get(), INFINITE);
    }
    running_.store(false);
    thread_.Reset();
}

unsigned __stdcall ReportWorker::LauncherWorkerProc(void* worker) {
    static_cast<ReportWorker*>(worker)->Run();
    return 0;
}

void ReportWorker::Run() {
    while (running_.load() && !stopping_.load()) {
        if (request_.exchange(0) == kRequestPlatformKey) reports_.RequestPlatformKey(&running_);
        reports_.FlushEventReports(&running_);
        WaitForSingleObject(wake_.Get(), kPassIntervalMs);
    }
    // What the last moments queued, while the stop allows it.
    reports_.FlushEventReports(&running_);
}
