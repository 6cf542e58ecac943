#include "common/process_util.h"
#include "test_paths.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <string>

namespace {

std::wstring g_boxText;
std::wstring g_boxCaption;
void RecordBox(const wchar_t* text, const wchar_t* caption) {
    g_boxText = text;
    g_boxCaption = caption;
}

bool WaitUntilGone(DWORD pid, DWORD timeoutMs) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (process == nullptr) return true;
    bool gone = WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
    CloseHandle(process);
    return gone;
}

TEST(ProcessUtil, RunFindAndTerminateByName) {
    const char* name = "qtest_sleeper.exe";
    // Earlier runs may have left one behind.
    while (TerminateProcessByName(name)) Sleep(50);

    DWORD pid = RunProgram(TestExeFolder() + L"qtest_sleeper.exe", L"sleep", TestExeFolder(), SW_HIDE, false);
    ASSERT_NE(pid, 0u);
    DWORD found = 0;
    for (int i = 0; i < 200 && found == 0; ++i) {
        found = FindProcessIdByName(name);
        if (found == 0) Sleep(25);
    }
    EXPECT_EQ(found, pid);
    EXPECT_TRUE(IsProcessRunningA(name));
    // Names compare exactly: case counts.
    EXPECT_EQ(FindProcessIdByName("QTEST_sleeper.exe"), 0u);
    EXPECT_FALSE(IsProcessRunningA("qtest_sleeper"));

    EXPECT_TRUE(TerminateProcessByName(name));
    EXPECT_TRUE(WaitUntilGone(pid, 20000));
    EXPECT_FALSE(IsProcessRunningA(name));
    EXPECT_FALSE(TerminateProcessByName(name));
}

TEST(ProcessUtil, TheFirstSnapshotEntryIsComparedToo) {
    // Whatever process comes first in a snapshot must be findable by its name.
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    ASSERT_NE(snapshot, INVALID_HANDLE_VALUE);
    PROCESSENTRY32W entry;
    entry.dwSize = sizeof(entry);
    ASSERT_TRUE(Process32FirstW(snapshot, &entry));
    CloseHandle(snapshot);
    char narrow[MAX_PATH];
    WideCharToMultiByte(CP_ACP, 0, entry.szExeFile, -1, narrow, MAX_PATH, nullptr, nullptr);
    EXPECT_TRUE(IsProcessRunningA(narrow)) << narrow;
}

TEST(ProcessUtil, RunProgramReportsAMissingFileWithItsErrorCode) {
    SetErrorBoxFunction(RecordBox);
    g_boxText.clear();
    DWORD pid = RunProgram(TestExeFolder() + L"no_such_program.exe", L"", L"", SW_HIDE, false);
    SetErrorBoxFunction(nullptr);
    EXPECT_EQ(pid, 0u);
    EXPECT_EQ(g_boxText, L"ShellExecuteExW  2");
    EXPECT_EQ(g_boxCaption, L"error");
}

}  // namespace
