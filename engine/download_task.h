#pragma once
#include "common/unique_handle.h"
#include "common/win.h"

#include <atomic>
#include <cstdint>
#include <string>

// One file to fetch, from queueing until its worker finishes it or the
// manager is stopped.
struct DownloadTask {
    DownloadTask(const std::wstring& preparedUrl, const std::wstring& localPath, bool probeFirst, long timeoutMs,
                 int queuedStep = 0)
        : url(preparedUrl), path(localPath), timeout(timeoutMs), probe(probeFirst), probed(probeFirst),
          step(queuedStep) {}
    DownloadTask(const DownloadTask&) = delete;
    DownloadTask& operator=(const DownloadTask&) = delete;

    std::wstring url;   // prepared; replaced by a redirect target
    std::wstring path;  // local file
    ScopedFileHandle file;  // open during an attempt
    uint32_t retries = 0;   // counted retries; the task fails at 10
    long timeout;           // ms for a whole attempt; doubled after a silent time-out
    bool append = false;    // later attempts resume from the file's length
    char message[512] = {};
    bool probe;             // ask the size with HEAD before the next attempt
    bool probed;            // queued with a probe: the size is asked again when the file changed
    int step;               // the caller's mark, handed back with every callback
    // If-Range value for resumes: the strong ETag or the Last-Modified date
    // of the file whose bytes the local file holds; empty when unknown.
    std::string validator;
    std::string failure;    // why the task failed for good, for the failed callback
    std::atomic<long long> total{0};     // expected size, 0 unless probed
    std::atomic<long long> received{0};  // bytes written by this task
};
