#include "common/process_util.h"
#include "launcher/process_alive.h"
#include "tests/unit/launcher/ended_process.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <string>
#include <vector>

namespace {

TEST(IsProcessAliveById, FindsLiveProcessesOnly) {
    EXPECT_TRUE(IsProcessAliveById(GetCurrentProcessId()));
    EXPECT_FALSE(IsProcessAliveById(0));

    // Every process of a snapshot is found, the first entry too.
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    ASSERT_NE(snapshot, INVALID_HANDLE_VALUE);
    PROCESSENTRY32W entry;
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        ids.push_back(entry.th32ProcessID);
    CloseHandle(snapshot);
    ASSERT_FALSE(ids.empty());
    int checked = 0;
    for (DWORD id : ids) {
        // Only a process that runs before and after the test counts: others
        // may end meanwhile. The open handle keeps its id from being reused.
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
        if (process == nullptr) continue;
        bool before = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
        bool alive = IsProcessAliveById(id);
        bool after = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
        CloseHandle(process);
        if (before && after) {
            EXPECT_TRUE(alive) << id << (id == ids.front() ? " (the first entry)" : "");
            ++checked;
        }
    }
    EXPECT_GT(checked, 0);

    const DWORD pid = EndedProcessId();
    ASSERT_NE(pid, 0u);
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
