#include "engine/download_worker.h"

#include "common/code_page.h"
#include "engine/download_manager.h"

#include <process.h>

#include <cstdio>

DownloadWorker::DownloadWorker(DownloadManager& manager) : manager_(manager) {}

DownloadWorker::~DownloadWorker() {
    ClearRunFlag();
    Join(manager_.Timings().stopWaitMs);
    // A terminated thread may have left its handles mid-call: leave them.
    if (!terminated_) ReleaseHandles();
}

bool DownloadWorker::Start() {
    run_ = true;
    // _beginthreadex keeps the handle ours, so Stop can wait on it safely.
    uintptr_t handle = _beginthreadex(nullptr, 0, &DownloadWorker::ThreadProc, this, 0, nullptr);
    if (handle == 0) {
        run_ = false;
        return false;
    }
    thread_.Reset(reinterpret_cast<HANDLE>(handle));
    return true;
}

unsigned __stdcall DownloadWorker::ThreadProc(void* self) {
    try {
        static_cast<DownloadWorker*>(self)->Run();
    } catch (...) {
        // Nothing leaves a thread procedure; the worker simply ends.
    }
    return 0;
}

void DownloadWorker::Run() {
    const DownloadTimings& timings = manager_.Timings();
    while (run_) {
        TakePendingTask();
        DownloadTask* task;
        {
            ScopedCriticalSection lock(taskLock_);
            task = task_.get();
        }
        if (!task) {
            manager_.Wait(timings.idleWaitMs);
            continue;
        }
        int result = Perform(*task);
        if (!run_ || manager_.Stopping()) break;
        if (result == kRetryLater) {
            manager_.Wait(timings.retryWaitMs);
            continue;
        }
        if (result == kTimedOut) {
            manager_.Wait(timings.timeoutWaitMs);
            continue;
        }
        if (result == kFailed) PostFailure(*task);
        FinishTask();
        manager_.Wait(timings.afterTaskWaitMs);
    }
}

void DownloadWorker::FinishTask() {
    std::unique_ptr<DownloadTask> finished;
    {
        ScopedCriticalSection lock(taskLock_);
        finished = std::move(task_);
    }
    ScopedCriticalSection lock(deleteLock_);
    finished.reset();
}

void DownloadWorker::PostFailure(DownloadTask& task) {
    manager_.NotifyFailed(task);
    std::snprintf(task.message, sizeof(task.message), "PostFailure() file=%s\n",
                  WideToMulti(task.url, CP_ACP).c_str());
    manager_.NotifyMessage(task);
}

bool DownloadWorker::HasTask() {
    ScopedCriticalSection lock(taskLock_);
    return task_ != nullptr;
}

void DownloadWorker::TakePendingTask() {
    ScopedCriticalSection lock(taskLock_);
    if (!task_) task_ = manager_.TakePending();
}

void DownloadWorker::AddProgress(double& done, double& total) {
    ScopedCriticalSection lock(taskLock_);
    if (!task_) return;
    done += static_cast<double>(task_->received.load());
    total += static_cast<double>(task_->total.load());
}

void DownloadWorker::Join(DWORD waitMs) {
    if (!thread_) return;
    if (WaitForSingleObject(thread_.Get(), waitMs) == WAIT_TIMEOUT) {
        // Last resort: the thread is stuck beyond what the stop signal reaches
        // (a callback that blocks).
        TerminateThread(thread_.Get(), 1);
        WaitForSingleObject(thread_.Get(), INFINITE);
        terminated_ = true;
    }
    thread_.Reset();
}

void DownloadWorker::DropTask() {
    std::unique_ptr<DownloadTask> task;
    {
        ScopedCriticalSection lock(taskLock_);
        task = std::move(task_);
    }
    ScopedCriticalSection lock(deleteLock_);
    task.reset();  // closes its file
}
