// One transfer attempt of a download task, its size probe and its writer.
#include "common/code_page.h"
#include "engine/download_manager.h"
#include "engine/download_worker.h"

#include <curl/curl.h>

#include <climits>
#include <cstdio>

namespace {

const uint32_t kMaxRetries = 10;
const long kMaxRedirects = 30;

// What the libcurl callbacks of one attempt work on.
struct Transfer {
    DownloadManager* manager;
    DownloadTask* task;
    CURL* curl;
};

bool IsSuccess(long code) { return code >= 200 && code <= 299; }

// Stores what the disk took and reports exactly that, so a failed write ends
// the attempt instead of leaving a hole in the file. A body that is not the
// file (an error page, a redirect) is read and dropped.
size_t WriteBody(char* data, size_t size, size_t count, void* user) {
    Transfer* transfer = static_cast<Transfer*>(user);
    if (!transfer || !transfer->task) return 0;
    if (transfer->manager->Stopping()) return 0;
    size_t bytes = size * count;
    long code = 0;
    curl_easy_getinfo(transfer->curl, CURLINFO_RESPONSE_CODE, &code);
    if (!IsSuccess(code)) return bytes;
    size_t written = transfer->manager->WriteToFile(transfer->task->file.Get(), data, bytes);
    if (written > 0) {
        transfer->task->received += static_cast<long long>(written);
        transfer->manager->AddReceived(written);
    }
    return written;
}

void FormatFinish(DownloadTask& task, long code, const std::string& url) {
    std::snprintf(task.message, sizeof(task.message), "PostFinish() retcode = %ld; file=%s\n", code, url.c_str());
}

size_t AcceptHeader(char*, size_t size, size_t count, void*) { return size * count; }

// Lets Stop end a transfer that receives nothing.
int AbortWhenStopping(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<DownloadManager*>(user)->Stopping() ? 1 : 0;
}

}  // namespace

// A worker keeps its easy handles and resets them for every attempt: a new
// handle costs a new internal event loop each time, which dominates small
// files. Connections are still never reused (CURLOPT_FORBID_REUSE).
CURL* DownloadWorker::FreshHandle(CURL*& handle) {
    if (handle)
        curl_easy_reset(handle);
    else
        handle = curl_easy_init();
    return handle;
}

void DownloadWorker::ReleaseHandles() {
    if (transferHandle_) curl_easy_cleanup(transferHandle_);
    if (probeHandle_) curl_easy_cleanup(probeHandle_);
    transferHandle_ = probeHandle_ = nullptr;
}

int DownloadWorker::Perform(DownloadTask& task) {
    std::string url = WideToMulti(task.url, CP_ACP);
    if (task.probe) {
        ProbeSize(task, url);
        task.probe = false;
    }
    CURL* h = FreshHandle(transferHandle_);
    if (!h) return kRetryLater;

    long long offset = 0;
    if (!OpenLocalFile(task, offset)) {
        if (manager_.Stopping()) return kRetryLater;
        std::snprintf(task.message, sizeof(task.message), "OpenLocalFile() failed:%lu; path=%s\n",
                      static_cast<unsigned long>(GetLastError()), WideToMulti(task.path, CP_ACP).c_str());
        manager_.NotifyMessage(task.message);
        return kFailed;
    }
    long long total = task.total;
    if (total > 0 && total <= offset) {  // already complete
        task.file.Reset();
        return AskDone(task, 0, url);
    }

    task.append = true;
    long long start = task.received;
    Transfer transfer = {&manager_, &task, h};
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(offset));
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, task.timeout);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, 0L);
    curl_easy_setopt(h, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &AbortWhenStopping);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &manager_);
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, kMaxRedirects);  // a redirect loop fails instead of spinning
    curl_easy_setopt(h, CURLOPT_USERAGENT, "libcurl-agent/1.0");
    curl_easy_setopt(h, CURLOPT_BUFFERSIZE, 512L * 1024);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &WriteBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &transfer);
    CURLcode rc = curl_easy_perform(h);
    task.file.Reset();
    if (manager_.Stopping()) return kRetryLater;

    if (rc != CURLE_OK) {
        bool silent = task.received == start;
        if (rc == CURLE_OPERATION_TIMEDOUT && silent) {
            task.timeout = task.timeout > LONG_MAX / 2 ? LONG_MAX : task.timeout * 2;
            task.retries = 1;
        } else if (rc != CURLE_RECV_ERROR && rc != CURLE_COULDNT_CONNECT && rc != CURLE_OPERATION_TIMEDOUT) {
            ++task.retries;
        }
        // A server that ignores the range cannot resume: start over.
        if (rc == CURLE_RANGE_ERROR) task.append = false;
        if (rc != CURLE_OPERATION_TIMEDOUT) {
            std::snprintf(task.message, sizeof(task.message),
                          "curl_easy_perform() failed:%d: %s\n file=%s; offset=%lld; total=%lf", static_cast<int>(rc),
                          curl_easy_strerror(rc), url.c_str(), offset, static_cast<double>(total));
            manager_.NotifyMessage(task.message);
        }
        if (rc == CURLE_OPERATION_TIMEDOUT) return kTimedOut;
        return task.retries < kMaxRetries ? kRetryLater : kFailed;
    }

    long code = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &code);
    if (code == 404) {
        std::snprintf(task.message, sizeof(task.message), "curl_easy_getinfo() retcode = %ld; file=%s\n", code,
                      url.c_str());
        manager_.NotifyMessage(task.message);
        return kFailed;
    }
    if (code == 301 || code == 302 || code == 303) {
        task.append = false;
        char* target = nullptr;
        curl_easy_getinfo(h, CURLINFO_REDIRECT_URL, &target);
        if (target && *target) {
            task.url = MultiToWide(target, CP_UTF8);
            std::snprintf(task.message, sizeof(task.message), "PostFinish() retcode = %ld; redirect_url=%s\n", code,
                          target);
            manager_.NotifyMessage(task.message);
            return kRetryLater;
        }
        std::snprintf(task.message, sizeof(task.message), "curl_easy_perform retcode=302; redirect_url is null!");
        manager_.NotifyMessage(task.message);
        return kFailed;
    }
    if (!IsSuccess(code)) {
        // An error answer is never the file: count it and start afresh.
        task.append = false;
        ++task.retries;
        FormatFinish(task, code, url);
        manager_.NotifyMessage(task.message);
        return task.retries < kMaxRetries ? kRetryLater : kFailed;
    }
    return AskDone(task, code, url);
}

int DownloadWorker::AskDone(DownloadTask& task, long code, const std::string& url) {
    if (CallDone(task.path)) return kDone;
    task.append = false;
    FormatFinish(task, code, url);
    manager_.NotifyMessage(task.message);
    ++task.retries;
    return task.retries < kMaxRetries ? kRetryLater : kFailed;
}

bool DownloadWorker::OpenLocalFile(DownloadTask& task, long long& offset) {
    const DownloadTimings& timings = manager_.Timings();
    for (int attempt = 1;; ++attempt) {
        HANDLE file = CreateFileW(task.path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  task.append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            task.file.Reset(file);
            offset = 0;
            if (task.append) {
                LARGE_INTEGER size = {};
                LARGE_INTEGER zero = {};
                if (!GetFileSizeEx(file, &size) || !SetFilePointerEx(file, zero, nullptr, FILE_END)) {
                    task.file.Reset();
                    return false;
                }
                offset = size.QuadPart;
            }
            // The task's count follows what its file holds.
            task.received = offset;
            return true;
        }
        DWORD error = GetLastError();
        if (attempt >= timings.openAttempts || !manager_.Wait(timings.openRetryWaitMs)) {
            SetLastError(error);
            return false;
        }
    }
}

void DownloadWorker::ProbeSize(DownloadTask& task, const std::string& url) {
    CURL* h = FreshHandle(probeHandle_);
    if (!h) return;
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_TIMEOUT, manager_.Timings().probeTimeoutSeconds);
    curl_easy_setopt(h, CURLOPT_HEADER, 1L);
    curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &AcceptHeader);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &AcceptHeader);
    // The size is the file's, not that of a redirect or an error page.
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &AbortWhenStopping);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &manager_);
    if (curl_easy_perform(h) != CURLE_OK) return;
    long code = 0;
    curl_off_t length = -1;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &code);
    curl_easy_getinfo(h, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    if (IsSuccess(code) && length >= 0) task.total = static_cast<long long>(length);
}
