#include "common/process_util.h"
#include "launcher/process_alive.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <string>

namespace {

TEST(IsProcessAliveById, FindsLiveProcessesOnly) {
    EXPECT_TRUE(IsProcessAliveById(GetCurrentProcessId()));
    EXPECT_FALSE(IsProcessAliveById(0));

    // The first entry of a snapshot is a process like any other.
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    ASSERT_NE(snapshot, INVALID_HANDLE_VALUE);
    PROCESSENTRY32W entry;
    entry.dwSize = sizeof(entry);
    ASSERT_TRUE(Process32FirstW(snapshot, &entry));
    CloseHandle(snapshot);
    if (entry.th32ProcessID != 0) {
        EXPECT_TRUE(IsProcessAliveById(entry.th32ProcessID));
    }

    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(system) + L"\\cmd.exe\" /c exit";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION child = {};
    ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                               &startup, &child));
    ASSERT_EQ(WaitForSingleObject(child.hProcess, 20000), WAIT_OBJECT_0);
    DWORD pid = child.dwProcessId;
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);  // the id is free once the last handle is gone
    EXPECT_FALSE(IsProcessAliveById(pid));
}

TEST(RunProgram, TheStartsErrorCodeOutlivesTheBox) {
    // A real box changes the last error, as this one does.
    SetErrorBoxFunction([](const wchar_t*, const wchar_t*) { SetLastError(ERROR_INVALID_WINDOW_HANDLE); });
    SetLastError(0);
    DWORD pid = RunProgram(L"C:\\no_such_folder\\Tidemill.exe", L"1", L"", SW_HIDE, false);
    DWORD error = GetLastError();
    SetErrorBoxFunction(nullptr);
    EXPECT_EQ(pid, 0u);
    EXPECT_TRUE(error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) << error;
}

}  // namespace
