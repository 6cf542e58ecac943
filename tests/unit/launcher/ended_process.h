// The id of a process that has ended, for tests of what watches processes.
#pragma once
#include "common/win.h"

#include <string>

// 0 when the process cannot be started. The id is free once this returns:
// every handle to the process is closed.
inline DWORD EndedProcessId() {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(system) + L"\\cmd.exe\" /c exit";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION child = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &child))
        return 0;
    const bool ended = WaitForSingleObject(child.hProcess, 20000) == WAIT_OBJECT_0;
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return ended ? child.dwProcessId : 0;
}
