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

std::wstring ExecutableFolder() {
    std::wstring path = ExecutablePath();
    size_t cut = path.find_last_of(L'\\');
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut);
}
