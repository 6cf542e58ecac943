// The module (DLL or program) that this code is linked into, and its folder.
// Inline: every module that includes it gets its own copy, whose address
// names that module.
#pragma once

#include <windows.h>

#include <string>

inline HMODULE ThisModule() {
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &self);
    return self;
}

// Ends in "\".
inline std::wstring ThisModuleFolder() {
    wchar_t path[MAX_PATH] = L"";
    DWORD n = GetModuleFileNameW(ThisModule(), path, MAX_PATH);
    std::wstring folder(path, n);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}
