// Appends one whole line to a log that several test processes may write at
// the same moment. Wine's append-only handles do not append atomically across
// processes (two writers can land on one offset and a line is lost), so every
// append is taken under one named mutex.
#pragma once

#include <windows.h>

#include <string>

inline void AppendLineToLog(const std::wstring& path, const std::string& line) {
    HANDLE lock = CreateMutexW(nullptr, FALSE, L"qtest_double_log_append");
    const bool held = lock != nullptr && WaitForSingleObject(lock, 10000) != WAIT_TIMEOUT;
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        const std::string text = line + "\n";
        DWORD written = 0;
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(file);
    }
    if (held) ReleaseMutex(lock);
    if (lock != nullptr) CloseHandle(lock);
}
