#pragma once
#include "common/win.h"

#include <string>

// The folder of the running test executable, with a trailing separator.
inline std::wstring TestExeFolder() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    return s.substr(0, s.find_last_of(L"\\/") + 1);
}
