#include "common/file_util.h"
#include <algorithm>

#include "common/staged_file.h"
#include "common/unique_handle.h"

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool CreateOneDirectory(const std::wstring& path) {
    if (CreateDirectoryW(path.c_str(), nullptr)) return true;
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// "NUL", "com1.txt", "Con .log": Windows opens the device, whatever the
// folder or extension, so writing such a name leaves the folder.
bool IsDeviceName(const std::wstring& part) {
    std::wstring base = part.substr(0, part.find(L'.'));
    while (!base.empty() && base.back() == L' ') base.pop_back();
    for (wchar_t& c : base)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    if (base == L"CON" || base == L"PRN" || base == L"AUX" || base == L"NUL" || base == L"CONIN$" ||
        base == L"CONOUT$")
        return true;
    return base.size() == 4 && (base.compare(0, 3, L"COM") == 0 || base.compare(0, 3, L"LPT") == 0) &&
           ((base[3] >= L'1' && base[3] <= L'9') || base[3] == L'\u00b9' || base[3] == L'\u00b2' ||
            base[3] == L'\u00b3');
}

}  // namespace

bool MakeDirectoryChain(const std::wstring& path) {
    size_t last = std::wstring::npos;
    for (size_t i = 0; i < path.size(); ++i) {
        if (!IsSeparator(path[i])) continue;
        last = i;
        // "C:" and a leading separator are not folders to create.
        if (i == 0 || (i == 2 && path[1] == L':')) continue;
        if (IsSeparator(path[i - 1])) continue;
        CreateOneDirectory(path.substr(0, i));
    }
    if (last == std::wstring::npos || last == 0) return true;
    DWORD attributes = GetFileAttributesW(path.substr(0, last).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsSafeRelativePath(const std::wstring& path) {
    if (path.empty() || IsSeparator(path[0])) return false;
    if (path.find(L':') != std::wstring::npos) return false;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = start;
        while (end < path.size() && !IsSeparator(path[end])) ++end;
        std::wstring part = path.substr(start, end - start);
        // ".." climbs out; Windows also drops trailing dots and blanks, so
        // ". ." or "..." name the parent or this folder as well.
        if (!part.empty() && part.find_first_not_of(L". ") == std::wstring::npos && part != L".")
            return false;
        if (IsDeviceName(part)) return false;
        start = end + 1;
    }
    return true;
}

bool IsSafeRelativePath(const std::string& path) {
    return IsSafeRelativePath(std::wstring(path.begin(), path.end()));
}

bool ReplaceFileAtomically(const std::wstring& source, const std::wstring& target) {
    for (int attempt = 0; attempt < 40; ++attempt) {
        if (MoveFileExW(source.c_str(), target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        DWORD error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED &&
            error != ERROR_LOCK_VIOLATION)
            return false;
        Sleep(50);
    }
    return false;
}

bool WriteFileAtomically(const std::wstring& path, const void* data, size_t size) {
    StagedFile file(path);
    return file.Open() && file.Write(data, size) && file.Commit();
}

bool ReadWholeFile(const std::wstring& path, std::string& contents) {
    contents.clear();
    ScopedFileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > 0x40000000) return false;
    contents.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < contents.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(contents.size() - done, 1 << 20));
        DWORD read = 0;
        if (!ReadFile(file.Get(), &contents[done], chunk, &read, nullptr) || read == 0) {
            contents.clear();
            return false;
        }
        done += read;
    }
    return true;
}

bool FileExists(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
