// Shared pieces of the download tests: a scratch folder, fast waits and a
// recorder of what the download manager reports.
#pragma once
#include "common/code_page.h"
#include "common/file_util.h"
#include "common/win.h"
#include "engine/download_manager.h"
#include "tests/doubles/http_server/http_test_server.h"
#include "tests/unit/common/test_files.h"

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

// The engine's waits, cut to what keeps a test quick.
inline DownloadTimings FastDownloadTimings() {
    DownloadTimings t;
    t.retryWaitMs = 20;
    t.timeoutWaitMs = 10;
    t.afterTaskWaitMs = 1;
    t.openRetryWaitMs = 5;
    t.openAttempts = 4;
    t.stopWaitMs = 5000;
    t.probeTimeoutSeconds = 20;
    return t;
}

// A fresh scratch folder of the test's own, removed at the end.
class DownloadFolder {
public:
    DownloadFolder() {
        static LONG counter = 0;
        path_ = ScratchFolder(L"download_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                              std::to_wstring(InterlockedIncrement(&counter)));
    }
    ~DownloadFolder() { RemoveTree(path_); }
    DownloadFolder(const DownloadFolder&) = delete;
    DownloadFolder& operator=(const DownloadFolder&) = delete;
    // A path in the folder; "\" separated.
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

// What the manager reported, safe to read while workers run.
class DownloadRecorder {
public:
    // Installs the callbacks; done answers with accept(path), true when unset.
    void Attach(DownloadManager& manager, std::function<bool(const std::wstring&)> accept = nullptr) {
        accept_ = std::move(accept);
        manager.SetDoneCallback([this](const std::wstring& path, int) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                done_.push_back(path);
            }
            return accept_ ? accept_(path) : true;
        });
        manager.SetFailedCallback([this](const std::wstring& path, int, const std::string& reason) {
            std::lock_guard<std::mutex> lock(mutex_);
            failed_.push_back(path);
            reasons_.push_back(reason);
        });
        manager.SetMessageCallback([this](const char* text, int) {
            std::lock_guard<std::mutex> lock(mutex_);
            messages_.push_back(text);
        });
    }
    std::vector<std::wstring> Done() {
        std::lock_guard<std::mutex> lock(mutex_);
        return done_;
    }
    std::vector<std::wstring> Failed() {
        std::lock_guard<std::mutex> lock(mutex_);
        return failed_;
    }
    // Why each failed task failed, in the order of Failed().
    std::vector<std::string> Reasons() {
        std::lock_guard<std::mutex> lock(mutex_);
        return reasons_;
    }
    std::vector<std::string> Messages() {
        std::lock_guard<std::mutex> lock(mutex_);
        return messages_;
    }
    size_t Finished() {
        std::lock_guard<std::mutex> lock(mutex_);
        return failed_.size() + done_.size();
    }

private:
    std::function<bool(const std::wstring&)> accept_;
    std::mutex mutex_;
    std::vector<std::wstring> done_;
    std::vector<std::wstring> failed_;
    std::vector<std::string> reasons_;
    std::vector<std::string> messages_;
};

// Polls until the condition holds; the bound only keeps a broken build from
// hanging, it is not a speed requirement.
inline bool WaitFor(const std::function<bool()>& condition, DWORD boundMs = 120000) {
    for (DWORD waited = 0; waited < boundMs; waited += 5) {
        if (condition()) return true;
        Sleep(5);
    }
    return condition();
}

inline std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// The local server, a scratch folder and a manager with fast waits whose
// reports are recorded.
class DownloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Open()) << server.Error();
        manager.SetTimings(FastDownloadTimings());
    }

    HttpTestServer server;
    DownloadFolder folder;
    DownloadRecorder recorder;  // outlives the manager's workers
    DownloadManager manager;
};
