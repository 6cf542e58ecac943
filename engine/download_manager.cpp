#include "engine/download_manager.h"

#include "common/file_util.h"
#include "engine/download_url.h"
#include "engine/download_worker.h"

#include <curl/curl.h>

namespace {

std::atomic<DownloadManager*> g_instance{nullptr};

// The local file's folder is created when it cannot be listed.
void PrepareFolder(const std::wstring& path) {
    size_t cut = path.rfind(L'\\');
    if (cut == std::wstring::npos) return;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((path.substr(0, cut) + L"\\*.*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        FindClose(find);
        return;
    }
    MakeDirectoryChain(path);
}

}  // namespace

DownloadManager* EngineDownloadManager() { return g_instance; }

DownloadManager::DownloadManager() : stopEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    curl_global_init(CURL_GLOBAL_ALL);
    g_instance = this;
}

DownloadManager::~DownloadManager() {
    Stop();
    DownloadManager* self = this;
    g_instance.compare_exchange_strong(self, nullptr);
    curl_global_cleanup();
}

void DownloadManager::SetDoneCallback(DownloadDoneCallback callback) {
    ScopedCriticalSection lock(managerLock_);
    done_ = std::move(callback);
}

void DownloadManager::SetFailedCallback(DownloadFailedCallback callback) {
    ScopedCriticalSection lock(managerLock_);
    failed_ = std::move(callback);
}

void DownloadManager::SetMessageCallback(DownloadMessageCallback callback) {
    ScopedCriticalSection lock(managerLock_);
    message_ = std::move(callback);
}

void DownloadManager::StartWorkers(int count) {
    stopping_ = false;
    ResetEvent(stopEvent_.Get());
    ScopedCriticalSection lock(managerLock_);
    for (int i = 0; i < count; ++i) {
        std::unique_ptr<DownloadWorker> worker(new DownloadWorker(*this));
        if (worker->Start()) workers_.push_back(std::move(worker));
    }
}

DownloadTask* DownloadManager::Enqueue(const std::wstring& url, const std::wstring& path, bool probe,
                                       long timeoutMs, int step) {
    std::unique_ptr<DownloadTask> task(new DownloadTask(PrepareDownloadUrl(url), path, probe, timeoutMs, step));
    PrepareFolder(path);
    DownloadTask* raw = task.get();
    ScopedCriticalSection lock(pendingLock_);
    pending_.push_back(std::move(task));
    return raw;
}

void DownloadManager::Dispatch() {
    ScopedCriticalSection lock(managerLock_);
    for (auto& worker : workers_) {
        {
            ScopedCriticalSection pending(pendingLock_);
            if (pending_.empty()) return;
        }
        worker->TakePendingTask();
    }
}

std::unique_ptr<DownloadTask> DownloadManager::TakePending() {
    ScopedCriticalSection lock(pendingLock_);
    if (pending_.empty()) return nullptr;
    std::unique_ptr<DownloadTask> task = std::move(pending_.front());
    pending_.pop_front();
    return task;
}

bool DownloadManager::IsIdle() {
    if (PendingCount() != 0) return false;
    ScopedCriticalSection lock(managerLock_);
    for (auto& worker : workers_)
        if (worker->HasTask()) return false;
    return true;
}

size_t DownloadManager::PendingCount() {
    ScopedCriticalSection lock(pendingLock_);
    return pending_.size();
}

void DownloadManager::GetProgress(double& done, double& total) {
    ScopedCriticalSection lock(managerLock_);
    for (auto& worker : workers_) worker->AddProgress(done, total);
}

unsigned long long DownloadManager::TotalReceived() {
    ScopedCriticalSection lock(counterLock_);
    return received_;
}

void DownloadManager::AddReceived(size_t bytes) {
    ScopedCriticalSection lock(counterLock_);
    received_ += bytes;
}

void DownloadManager::Stop() {
    stopping_ = true;
    SetEvent(stopEvent_.Get());
    std::vector<std::unique_ptr<DownloadWorker>> workers;
    {
        ScopedCriticalSection lock(managerLock_);
        workers.swap(workers_);
    }
    // Every worker winds down at once; each is then waited for in turn.
    for (auto& worker : workers) worker->ClearRunFlag();
    for (auto& worker : workers) {
        if (worker->Join(timings_.stopWaitMs, timings_.callbackStopWaitMs)) ++terminated_;
        worker->DropTask();
    }
    workers.clear();
    ScopedCriticalSection lock(pendingLock_);
    pending_.clear();
}

bool DownloadManager::Wait(DWORD ms) {
    if (stopping_) return false;
    return WaitForSingleObject(stopEvent_.Get(), ms) == WAIT_TIMEOUT;
}

bool DownloadManager::NotifyDone(const DownloadTask& task) {
    DownloadDoneCallback callback;
    {
        ScopedCriticalSection lock(managerLock_);
        callback = done_;
    }
    return callback ? callback(task.path, task.step) : true;
}

void DownloadManager::NotifyFailed(const DownloadTask& task) {
    DownloadFailedCallback callback;
    {
        ScopedCriticalSection lock(managerLock_);
        callback = failed_;
    }
    if (callback) callback(task.path, task.step, task.failure);
}

void DownloadManager::NotifyMessage(const DownloadTask& task) {
    DownloadMessageCallback callback;
    {
        ScopedCriticalSection lock(managerLock_);
        callback = message_;
    }
    if (callback) callback(task.message, task.step);
}

size_t DownloadManager::WriteToFile(HANDLE file, const char* data, size_t size) {
    if (writeHook_) return writeHook_(file, data, size);
    size_t done = 0;
    while (done < size) {
        DWORD chunk = static_cast<DWORD>(size - done > 0x40000000u ? 0x40000000u : size - done);
        DWORD written = 0;
        if (!WriteFile(file, data + done, chunk, &written, nullptr) || written == 0) break;
        done += written;
    }
    return done;
}
