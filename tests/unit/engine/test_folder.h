#pragma once
// A fresh folder under the temporary folder, removed with its files.
#include "common/win.h"

#include <string>

class TestFolder {
public:
    TestFolder() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        static int counter = 0;
        path_ = std::wstring(temp) + L"qln_engine_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                std::to_wstring(++counter) + L"\\";
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TestFolder() {
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((path_ + L"*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((path_ + data.cFileName).c_str());
            } while (FindNextFileW(find, &data));
            FindClose(find);
        }
        RemoveDirectoryW(path_.c_str());
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    // With a trailing "\".
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};
