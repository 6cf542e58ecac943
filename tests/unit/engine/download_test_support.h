// Shared pieces of the download tests: a scratch folder, fast waits and a
// recorder of what the download manager reports.
#pragma once
#include "common/code_page.h"
#include "common/file_util.h"
#include "common/win.h"
#include "engine/download_manager.h"
#include "tests/doubles/http_server/http_test_server.h"

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

inline void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring full = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                DeleteFileW(full.c_str());
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

// A fresh folder of the test's own, removed at the end.
class ScratchFolder {
public:
    ScratchFolder() {
        static LONG counter = 0;
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + L"qln_download_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                std::to_wstring(InterlockedIncrement(&counter));
        RemoveTree(path_);
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~ScratchFolder() { RemoveTree(path_); }
    // A path in the folder; "\" separated.
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

// What the manager reported, safe to read while workers run.
class DownloadRecorder {
public:
    // Installs the callbacks; done answers with accept(path), true when unset.
    void Attach(DownloadManager& manager, std::function<bool(const std::wstring&)> accept = nullptr) {
        accept_ = std::move(accept);
        manager.SetDoneCallback([this](const std::wstring& path) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                done_.push_back(path);
            }
            return accept_ ? accept_(path) : true;
        });
        manager.SetFailedCallback([this](const std::wstring& path) {
            std::lock_guard<std::mutex> lock(mutex_);
            failed_.push_back(path);
        });
        manager.SetMessageCallback([this](const char* text) {
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

inline std::string FileText(const std::wstring& path) {
    std::string contents;
    if (!ReadWholeFile(path, contents)) return "<missing>";
    return contents;
}

inline std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }
