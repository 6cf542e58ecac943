#include "common/profile_file.h"

#include "common/file_util.h"
#include "common/unique_handle.h"
#include "common/win.h"

std::wstring ProfileFilePath(const std::wstring& file) {
    if (file.empty() || file.find_first_of(L"\\/") != std::wstring::npos) return file;
    return L".\\" + file;
}

std::wstring ReadProfileString(const std::wstring& file, const wchar_t* section,
                               const wchar_t* key, const wchar_t* defaultValue,
                               unsigned capacity) {
    if (capacity == 0) return std::wstring();
    std::vector<wchar_t> buffer(capacity, L'\0');
    DWORD length = GetPrivateProfileStringW(section, key, defaultValue, buffer.data(),
                                            capacity, ProfileFilePath(file).c_str());
    if (length >= capacity) length = capacity - 1;
    return std::wstring(buffer.data(), length);
}

bool WriteProfileStringsAtomically(const std::wstring& file, const std::vector<ProfileEntry>& entries) {
    if (entries.empty()) return true;
    const std::wstring path = ProfileFilePath(file);
    const std::wstring temporary = path + L".tmp~";
    DeleteFileW(temporary.c_str());
    if (FileExists(path) && !CopyFileW(path.c_str(), temporary.c_str(), FALSE)) return false;

    bool ok = true;
    for (const ProfileEntry& entry : entries) {
        if (!WritePrivateProfileStringW(entry.section.c_str(), entry.key.c_str(),
                                        entry.value.c_str(), temporary.c_str())) {
            ok = false;
            break;
        }
    }
    // Hands the platform's cached copy to the disk before the rename.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, temporary.c_str());
    if (ok) {
        ScopedFileHandle written(CreateFileW(temporary.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ok = written && FlushFileBuffers(written.Get());
    }
    if (ok) ok = ReplaceFileAtomically(temporary, path);
    if (!ok) DeleteFileW(temporary.c_str());
    return ok;
}
