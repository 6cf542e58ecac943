#include "common/process_util.h"

#include "common/code_page.h"
#include "common/unique_handle.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstring>

namespace {

void DefaultErrorBox(const wchar_t* text, const wchar_t* caption) {
    MessageBoxW(nullptr, text, caption, MB_OK);
}

ErrorBoxFunction g_errorBox = DefaultErrorBox;

// Process id of the first snapshot entry whose exe name matches, or 0.
// Every entry is compared: the first one is a real process too.
DWORD FirstMatch(const char* exeName) {
    if (exeName == nullptr) return 0;
    ScopedFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return 0;
    PROCESSENTRY32W entry;
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
         more = Process32NextW(snapshot.Get(), &entry)) {
        if (WideToMulti(entry.szExeFile, 0) == exeName) return entry.th32ProcessID;
    }
    return 0;
}

}  // namespace

void SetErrorBoxFunction(ErrorBoxFunction function) {
    g_errorBox = function != nullptr ? function : DefaultErrorBox;
}

void ShowErrorBox(const wchar_t* text, const wchar_t* caption) { g_errorBox(text, caption); }

bool IsProcessRunningA(const char* exeName) { return FirstMatch(exeName) != 0; }

DWORD FindProcessIdByName(const char* exeName) { return FirstMatch(exeName); }

bool TerminateProcessByName(const char* exeName) {
    DWORD pid = FirstMatch(exeName);
    if (pid == 0) return false;
    ScopedHandle process(OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid));
    if (process) TerminateProcess(process.Get(), 0);
    return true;
}

DWORD RunProgram(const std::wstring& file, const std::wstring& parameters,
                 const std::wstring& folder, int showState, bool runas) {
    SHELLEXECUTEINFOW info;
    std::memset(&info, 0, sizeof(info));
    info.cbSize = sizeof(info);
    // No shell UI: the shell's own box would hide the error code from us.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = runas ? L"runas" : nullptr;
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = showState;
    if (!ShellExecuteExW(&info)) {
        DWORD error = GetLastError();
        wchar_t text[64];
        _snwprintf(text, 64, L"ShellExecuteExW  %lu", static_cast<unsigned long>(error));
        text[63] = L'\0';
        ShowErrorBox(text, L"error");
        // The box changes the last error; callers report the start's own.
        SetLastError(error);
        return 0;
    }
    ScopedHandle process(info.hProcess);
    return process ? GetProcessId(process.Get()) : 0;
}
