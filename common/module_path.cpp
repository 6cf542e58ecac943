#include "common/module_path.h"

#include "common/win.h"

std::wstring ExecutablePath() {
    // Long paths: grow the buffer until the name fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0) return std::wstring();
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        if (path.size() >= 32768) return std::wstring();
        path.resize(path.size() * 2);
    }
}

std::wstring ExecutableFolder() { return FolderOfPath(ExecutablePath()); }

std::wstring FolderOfPath(const std::wstring& path) {
    size_t cut = path.find_last_of(L'\\');
    if (cut == std::wstring::npos) return std::wstring();
    const bool driveRoot = cut == 2 && path[1] == L':';
    return path.substr(0, driveRoot ? cut + 1 : cut);
}

std::wstring CurrentFolder() {
    // The first call gives the size; another thread may change the folder
    // between the calls, so size again until it fits.
    DWORD needed = GetCurrentDirectoryW(0, nullptr);
    while (needed != 0) {
        std::wstring folder(needed, L'\0');
        DWORD n = GetCurrentDirectoryW(needed, &folder[0]);
        if (n == 0) break;
        if (n < needed) {
            folder.resize(n);
            return folder;
        }
        needed = n;
    }
    return std::wstring();
}
