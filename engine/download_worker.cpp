#include "engine/download_worker.h"

#include "common/code_page.h"
#include "common/common_log.h"
#include "engine/download_manager.h"

#include <process.h>

#include <cstdio>

DownloadWorker::DownloadWorker(DownloadManager& manager) : manager_(manager) {}

DownloadWorker::~DownloadWorker() {
    ClearRunFlag();
    Join(manager_.Timings().stopWaitMs, manager_.Timings().callbackStopWaitMs);
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

namespace {

class CallbackScope {
public:
    explicit CallbackScope(std::atomic<bool>& flag) : flag_(flag) { flag_ = true; }
    ~CallbackScope() { flag_ = false; }
    CallbackScope(const CallbackScope&) = delete;
    CallbackScope& operator=(const CallbackScope&) = delete;

private:
    std::atomic<bool>& flag_;
};

}  // namespace

bool DownloadWorker::CallDone(const DownloadTask& task) {
    CallbackScope scope(inCallback_);
    return manager_.NotifyDone(task);
}

void DownloadWorker::CallFailed(const DownloadTask& task) {
    CallbackScope scope(inCallback_);
    manager_.NotifyFailed(task);
}

void DownloadWorker::PostFailure(DownloadTask& task) {
    CallFailed(task);
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

bool DownloadWorker::Join(DWORD waitMs, DWORD callbackWaitMs) {
    if (!thread_) return false;
    DWORD waited = WaitForSingleObject(thread_.Get(), waitMs);
    // A step handler (unpacking, a digest) ends soon after the stop request.
    if (waited == WAIT_TIMEOUT && inCallback_ && callbackWaitMs > waitMs)
        waited = WaitForSingleObject(thread_.Get(), callbackWaitMs - waitMs);
    bool terminated = false;
    if (waited == WAIT_TIMEOUT) {
        // Last resort: the thread is stuck beyond what the stop request
        // reaches (a call that blocks). What it held stays held.
        CommonLog(std::string("download worker did not end within ") +
                  std::to_string(inCallback_ ? callbackWaitMs : waitMs) + " ms" +
                  (inCallback_ ? " inside a callback" : "") + "; terminated");
        TerminateThread(thread_.Get(), 1);
        WaitForSingleObject(thread_.Get(), INFINITE);
        terminated_ = terminated = true;
    }
    thread_.Reset();
    return terminated;
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
