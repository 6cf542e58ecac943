#pragma once
#include "common/critical_section_lock.h"
#include "common/unique_handle.h"
#include "engine/download_task.h"
#include "engine/download_timings.h"

#include <atomic>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class DownloadWorker;

// Every callback gets the step given at Enqueue, so that a result reaches the
// handler of the step that asked for it whatever the caller does meanwhile.
// Done may reject the file (false), which fetches it again from the start.
using DownloadDoneCallback = std::function<bool(const std::wstring& path, int step)>;
// reason: what made the task fail for good (an HTTP answer, a libcurl error,
// the count of rejections), with the URL.
using DownloadFailedCallback = std::function<void(const std::wstring& path, int step, const std::string& reason)>;
using DownloadMessageCallback = std::function<void(const char* text, int step)>;
// Writes bytes to the local file and returns how many were stored.
using DownloadWriteHook = std::function<size_t(HANDLE file, const char* data, size_t size)>;

// Fetches files over HTTP with a pool of worker threads that resume after
// time-outs and errors. Callbacks run on the worker that finished the task.
class DownloadManager {
public:
    DownloadManager();
    ~DownloadManager();  // stops the workers
    DownloadManager(const DownloadManager&) = delete;
    DownloadManager& operator=(const DownloadManager&) = delete;

    // Before StartWorkers.
    void SetTimings(const DownloadTimings& timings) { timings_ = timings; }
    const DownloadTimings& Timings() const { return timings_; }
    // Replaces the disk write (tests make it fail); before StartWorkers.
    void SetWriteHook(DownloadWriteHook hook) { writeHook_ = std::move(hook); }

    void SetDoneCallback(DownloadDoneCallback callback);
    void SetFailedCallback(DownloadFailedCallback callback);
    void SetMessageCallback(DownloadMessageCallback callback);

    // The engine starts twice the number of processors.
    void StartWorkers(int count);

    // Queues a file; creates the local folder when missing. The task is the
    // manager's and lives until it is finished: do not keep the pointer.
    DownloadTask* Enqueue(const std::wstring& url, const std::wstring& path, bool probe, long timeoutMs,
                          int step = 0);
    // Hands pending tasks to workers without one, in worker order.
    void Dispatch();
    bool IsIdle();
    size_t PendingCount();
    // Adds bytes written and expected sizes of the tasks in transfer.
    void GetProgress(double& done, double& total);
    // Every byte written by any transfer.
    unsigned long long TotalReceived();
    // Ends the workers and deletes every task; callbacks are not called for them.
    void Stop();

    // Used by the workers.
    std::unique_ptr<DownloadTask> TakePending();
    bool NotifyDone(const DownloadTask& task);
    void NotifyFailed(const DownloadTask& task);
    void NotifyMessage(const DownloadTask& task);
    size_t WriteToFile(HANDLE file, const char* data, size_t size);
    void AddReceived(size_t bytes);
    bool Stopping() const { return stopping_; }
    // Raised from the start of Stop until the next StartWorkers; long steps
    // run in the callbacks (unpacking, digests) watch it.
    const std::atomic<bool>* StopFlag() const { return &stopping_; }
    // Workers that Stop had to terminate because they did not end in time.
    unsigned TerminatedWorkers() const { return terminated_; }
    // Waits ms unless the manager is stopping; false when it is.
    bool Wait(DWORD ms);

private:
    DownloadTimings timings_;
    DownloadWriteHook writeHook_;
    CriticalSectionLock pendingLock_;
    CriticalSectionLock counterLock_;
    CriticalSectionLock managerLock_;  // the worker list and the callbacks
    std::vector<std::unique_ptr<DownloadWorker>> workers_;
    std::deque<std::unique_ptr<DownloadTask>> pending_;
    DownloadDoneCallback done_;
    DownloadFailedCallback failed_;
    DownloadMessageCallback message_;
    unsigned long long received_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<unsigned> terminated_{0};
    ScopedHandle stopEvent_;
};

// The engine's download manager while one exists (the newest), else null.
DownloadManager* EngineDownloadManager();
