#pragma once
#include "common/critical_section_lock.h"
#include "common/unique_handle.h"
#include "engine/download_task.h"

#include <atomic>
#include <memory>
#include <string>

class DownloadManager;

// One download thread: takes a task, runs attempts until it is done or has
// failed, and reports the outcome through the manager's callbacks.
class DownloadWorker {
public:
    // Outcome of one attempt.
    enum Result { kDone = 0, kRetryLater = 1, kFailed = 2, kTimedOut = 3 };

    explicit DownloadWorker(DownloadManager& manager);
    ~DownloadWorker();
    DownloadWorker(const DownloadWorker&) = delete;
    DownloadWorker& operator=(const DownloadWorker&) = delete;

    bool Start();

    // One transfer attempt of a task (the worker's thread runs it; tests may
    // call it on a worker that was never started).
    int Perform(DownloadTask& task);

    bool HasTask();
    // Gives the worker the front pending task when it has none.
    void TakePendingTask();
    // Adds the current task's bytes written and expected size.
    void AddProgress(double& done, double& total);

    // Stopping, in this order: clear the run flag, wait for the thread
    // (terminating it when it does not end in time), then drop the task.
    void ClearRunFlag() { run_ = false; }
    // Waits waitMs, or callbackWaitMs when the thread is inside a done or
    // failed callback; a thread still running then is stuck and is
    // terminated. True when it was.
    bool Join(DWORD waitMs, DWORD callbackWaitMs);
    void DropTask();

    // The manager's done and failed callbacks, marked as running.
    bool CallDone(const DownloadTask& task);
    void CallFailed(const DownloadTask& task);

private:
    static unsigned __stdcall ThreadProc(void* self);
    void Run();
    void FinishTask();
    void PostFailure(DownloadTask& task);

    // Parts of Perform (download_transfer.cpp).
    bool OpenLocalFile(DownloadTask& task, long long& offset);
    void ProbeSize(DownloadTask& task, const std::string& url);
    int AskDone(DownloadTask& task, long code, const std::string& url);
    static void* FreshHandle(void*& handle);
    void ReleaseHandles();

    DownloadManager& manager_;
    ScopedHandle thread_;
    std::atomic<bool> run_{false};
    CriticalSectionLock taskLock_;    // guards task_
    CriticalSectionLock deleteLock_;  // held while a finished task is deleted
    std::unique_ptr<DownloadTask> task_;
    void* transferHandle_ = nullptr;  // libcurl easy handles, used by Perform only
    void* probeHandle_ = nullptr;
    bool terminated_ = false;
    std::atomic<bool> inCallback_{false};
};
