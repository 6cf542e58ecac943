// Folders of a test's own beside the test program.
#pragma once
#include "common/file_util.h"
#include "test_files.h"
#include "test_paths.h"

#include <gtest/gtest.h>

#include <string>

// A new, empty folder under PARENT beside the test program, named after the
// running test, the process and a count, so that no two live runs share one;
// ends in "\". Wine reuses process ids, so what an earlier run left under
// the same name is removed first.
inline std::wstring TestRunFolder(const wchar_t* parent) {
    static int made = 0;
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string tag = std::string(test->test_suite_name()) + "_" + test->name() + "_" +
                      std::to_string(GetCurrentProcessId()) + "_" + std::to_string(made++);
    for (char& c : tag)
        if (c == '/') c = '_';
    std::wstring folder = TestExeFolder() + parent + L"\\" + std::wstring(tag.begin(), tag.end()) + L"\\";
    RemoveTree(folder.substr(0, folder.size() - 1));
    MakeDirectoryChain(folder);
    return folder;
}
