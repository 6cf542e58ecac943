// Scratch folders and file listings for tests that write files.
#pragma once
#include "common/file_util.h"
#include "test_paths.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <map>
#include <string>

// Deletes a folder and everything under it; a missing folder is fine.
inline void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring path = folder + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

// A fresh, empty folder beside the test executable. ctest runs the tests of
// one executable as parallel processes, so the folder carries a short mark of
// the running test: two tests that ask for the same name never share it.
inline std::wstring ScratchFolder(const std::wstring& name) {
    unsigned long mark = 2166136261u;
    if (const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info()) {
        const std::string full = std::string(test->test_suite_name()) + "." + test->name();
        for (unsigned char c : full) mark = ((mark ^ c) * 16777619u) & 0xFFFFFFFFu;
    }
    wchar_t suffix[16];
    swprintf(suffix, 16, L".%08lx", mark);
    std::wstring folder = TestExeFolder() + L"scratch\\" + name + suffix;
    RemoveTree(folder);
    MakeDirectoryChain(folder + L"\\");
    return folder;
}

// Every file under a folder by its relative path ("\" between folders),
// with its contents; folders themselves are listed with a trailing "\".
inline void ListTree(const std::wstring& folder, std::map<std::wstring, std::string>& out,
                     const std::wstring& prefix = L"") {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out[prefix + name + L"\\"] = std::string();
            ListTree(folder + L"\\" + name, out, prefix + name + L"\\");
        } else {
            std::string contents;
            ReadWholeFile(folder + L"\\" + name, contents);
            out[prefix + name] = contents;
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

inline std::string ReadFileText(const std::wstring& path) {
    std::string contents;
    ReadWholeFile(path, contents);
    return contents;
}

inline void WriteFileText(const std::wstring& path, const std::string& contents) {
    MakeDirectoryChain(path);
    WriteFileAtomically(path, contents.data(), contents.size());
}
