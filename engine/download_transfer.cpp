// One transfer attempt of a download task, its size probe and its writer.
#include "common/code_page.h"
#include "engine/download_manager.h"
#include "engine/download_worker.h"

#include <curl/curl.h>

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const uint32_t kMaxRetries = 10;
const long kMaxRedirects = 30;

bool IsSuccess(long code) { return code >= 200 && code <= 299; }

// What the headers of one response say about the file behind it.
struct ResponseHeaders {
    long status = 0;
    std::string etag;
    std::string lastModified;
    long long length = -1;      // Content-Length
    long long rangeTotal = -1;  // the total of a Content-Range

    // The If-Range value that names this version of the file: a strong ETag,
    // else the date; empty when the server gives neither.
    std::string Validator() const {
        if (!etag.empty() && etag.compare(0, 2, "W/") != 0) return etag;
        return lastModified;
    }
};

std::string Trimmed(const std::string& text) {
    size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) return std::string();
    size_t end = text.find_last_not_of(" \t\r\n");
    return text.substr(start, end - start + 1);
}

bool HasName(const std::string& line, const char* name) {
    size_t n = std::strlen(name);
    if (line.size() <= n || line[n] != ':') return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(line[i])) != std::tolower(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

long long ParseCount(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 18) return -1;
    return std::strtoll(text.c_str(), nullptr, 10);
}

// Takes one header line into the response's record; a status line starts a
// new response (each redirect brings one). True at the empty line that ends
// the headers.
bool ReadHeaderLine(const char* data, size_t size, ResponseHeaders& response) {
    std::string line(data, size);
    if (line.compare(0, 5, "HTTP/") == 0) {
        response = ResponseHeaders();
        size_t space = line.find(' ');
        if (space != std::string::npos) response.status = std::strtol(line.c_str() + space + 1, nullptr, 10);
        return false;
    }
    if (Trimmed(line).empty()) return true;
    std::string value = Trimmed(line.substr(line.find(':') + 1));
    if (HasName(line, "ETag")) {
        response.etag = value;
    } else if (HasName(line, "Last-Modified")) {
        response.lastModified = value;
    } else if (HasName(line, "Content-Length")) {
        response.length = ParseCount(value);
    } else if (HasName(line, "Content-Range")) {
        size_t slash = value.rfind('/');
        if (slash != std::string::npos) response.rangeTotal = ParseCount(value.substr(slash + 1));
    }
    return false;
}

// What the libcurl callbacks of one attempt work on.
struct Transfer {
    DownloadManager* manager;
    DownloadTask* task;
    CURL* curl;
    long long offset;  // where the attempt resumes
    ResponseHeaders response;
    bool changed = false;  // the server's file is not the one the local file began
};

// A resume is only taken when it continues the file the local bytes came
// from: a Content-Range total other than the probed size means the server
// holds another file now, and the attempt ends before a byte is written.
size_t ReadTransferHeader(char* data, size_t size, size_t count, void* user) {
    Transfer* transfer = static_cast<Transfer*>(user);
    size_t bytes = size * count;
    if (!transfer || !transfer->task) return bytes;
    if (!ReadHeaderLine(data, bytes, transfer->response)) return bytes;
    const ResponseHeaders& response = transfer->response;
    DownloadTask& task = *transfer->task;
    if (response.status == 206) {
        long long total = task.total;
        if (total > 0 && response.rangeTotal >= 0 && response.rangeTotal != total) {
            transfer->changed = true;
            return 0;
        }
    } else if (response.status == 200 && transfer->offset == 0) {
        // The whole file from its first byte: its validator guards the resumes.
        task.validator = response.Validator();
        if (task.probed && response.length >= 0) task.total = response.length;
    }
    return bytes;
}

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

size_t ReadProbeHeader(char* data, size_t size, size_t count, void* user) {
    ReadHeaderLine(data, size * count, *static_cast<ResponseHeaders*>(user));
    return size * count;
}

int Fail(DownloadTask& task, const std::string& reason) {
    task.failure = reason;
    return DownloadWorker::kFailed;
}

// The local file is not a head of the server's file: the next attempt
// starts afresh, and a probed task asks the size again.
void Restart(DownloadTask& task) {
    task.append = false;
    task.validator.clear();
    if (task.probed) task.probe = true;
}

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
    bool opened = OpenLocalFile(task, offset);
    long long total = task.total;
    if (opened && total > 0 && offset > total) {
        // Longer than the file on the server: these bytes are not its head.
        task.file.Reset();
        Restart(task);
        if (task.probe) {
            ProbeSize(task, url);
            task.probe = false;
        }
        total = task.total;
        opened = OpenLocalFile(task, offset);
    }
    if (!opened) {
        if (manager_.Stopping()) return kRetryLater;
        unsigned long error = static_cast<unsigned long>(GetLastError());
        std::snprintf(task.message, sizeof(task.message), "OpenLocalFile() failed:%lu; path=%s\n", error,
                      WideToMulti(task.path, CP_ACP).c_str());
        manager_.NotifyMessage(task);
        return Fail(task, "the local file cannot be opened (error " + std::to_string(error) + ")");
    }
    if (total > 0 && total == offset) {  // already complete
        task.file.Reset();
        return AskDone(task, 0, url);
    }

    task.append = true;
    long long start = task.received;
    Transfer transfer = {&manager_, &task, h, offset};
    curl_slist* headers = nullptr;
    if (offset > 0 && !task.validator.empty())
        headers = curl_slist_append(nullptr, ("If-Range: " + task.validator).c_str());
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(offset));
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers);
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
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &ReadTransferHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &WriteBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &transfer);
    CURLcode rc = curl_easy_perform(h);
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, static_cast<curl_slist*>(nullptr));
    curl_slist_free_all(headers);
    task.file.Reset();
    if (manager_.Stopping()) return kRetryLater;

    if (transfer.changed) {
        Restart(task);
        ++task.retries;
        std::snprintf(task.message, sizeof(task.message),
                      "PostFinish() file changed on the server; file=%s; offset=%lld; total=%lld\n", url.c_str(),
                      offset, total);
        manager_.NotifyMessage(task);
        return task.retries < kMaxRetries ? kRetryLater : Fail(task, "the file kept changing on the server: " + url);
    }
    if (rc != CURLE_OK) {
        bool silent = task.received == start;
        if (rc == CURLE_OPERATION_TIMEDOUT && silent) {
            task.timeout = task.timeout > LONG_MAX / 2 ? LONG_MAX : task.timeout * 2;
            task.retries = 1;
        } else if (rc != CURLE_RECV_ERROR && rc != CURLE_COULDNT_CONNECT && rc != CURLE_OPERATION_TIMEDOUT) {
            ++task.retries;
        }
        // The whole file where the rest was asked for: the server ignores the
        // range, or the If-Range validator says the file is another now.
        if (rc == CURLE_RANGE_ERROR) Restart(task);
        if (rc != CURLE_OPERATION_TIMEDOUT) {
            std::snprintf(task.message, sizeof(task.message),
                          "curl_easy_perform() failed:%d: %s\n file=%s; offset=%lld; total=%lf", static_cast<int>(rc),
                          curl_easy_strerror(rc), url.c_str(), offset, static_cast<double>(total));
            manager_.NotifyMessage(task);
        }
        if (rc == CURLE_OPERATION_TIMEDOUT) return kTimedOut;
        if (task.retries < kMaxRetries) return kRetryLater;
        return Fail(task, "libcurl error " + std::to_string(static_cast<int>(rc)) + " (" + curl_easy_strerror(rc) +
                              "): " + url);
    }

    long code = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &code);
    if (code == 404) {
        std::snprintf(task.message, sizeof(task.message), "curl_easy_getinfo() retcode = %ld; file=%s\n", code,
                      url.c_str());
        manager_.NotifyMessage(task);
        return Fail(task, "HTTP 404: " + url);
    }
    if (code == 301 || code == 302 || code == 303) {
        task.append = false;
        char* target = nullptr;
        curl_easy_getinfo(h, CURLINFO_REDIRECT_URL, &target);
        if (target && *target) {
            task.url = MultiToWide(target, CP_UTF8);
            std::snprintf(task.message, sizeof(task.message), "PostFinish() retcode = %ld; redirect_url=%s\n", code,
                          target);
            manager_.NotifyMessage(task);
            return kRetryLater;
        }
        std::snprintf(task.message, sizeof(task.message), "curl_easy_perform retcode=302; redirect_url is null!");
        manager_.NotifyMessage(task);
        return Fail(task, "HTTP " + std::to_string(code) + " without a redirect target: " + url);
    }
    if (!IsSuccess(code)) {
        // An error answer is never the file: count it and start afresh.
        task.append = false;
        ++task.retries;
        FormatFinish(task, code, url);
        manager_.NotifyMessage(task);
        if (task.retries < kMaxRetries) return kRetryLater;
        return Fail(task, "HTTP " + std::to_string(code) + " " + std::to_string(task.retries) + " times: " + url);
    }
    return AskDone(task, code, url);
}

int DownloadWorker::AskDone(DownloadTask& task, long code, const std::string& url) {
    if (CallDone(task)) return kDone;
    Restart(task);
    FormatFinish(task, code, url);
    manager_.NotifyMessage(task);
    ++task.retries;
    if (task.retries < kMaxRetries) return kRetryLater;
    return Fail(task, "the file was rejected " + std::to_string(task.retries) + " times: " + url);
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
    ResponseHeaders response;
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &ReadProbeHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &response);
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
    if (!IsSuccess(code)) return;
    if (length >= 0) task.total = static_cast<long long>(length);
    // A fresh attempt follows; its own answer replaces this validator.
    if (!task.append) task.validator = response.Validator();
}
