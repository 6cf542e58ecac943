#pragma once
#include "common/unique_handle.h"
#include "common/win.h"

#include <atomic>
#include <cstdint>
#include <string>

// One file to fetch, from queueing until its worker finishes it or the
// manager is stopped.
struct DownloadTask {
    DownloadTask(const std::wstring& preparedUrl, const std::wstring& localPath, bool probeFirst, long timeoutMs)
        : url(preparedUrl), path(localPath), timeout(timeoutMs), probe(probeFirst) {}
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
    std::atomic<long long> total{0};     // expected size, 0 unless probed
    std::atomic<long long> received{0};  // bytes written by this task
};
