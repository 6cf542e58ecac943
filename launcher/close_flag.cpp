#include "launcher/close_flag.h"

#include "common/profile_file.h"

#include <cwchar>

const wchar_t kCloseFlagFile[] = L"LancherCache.ini";

namespace {

const wchar_t kFlagSection[] = L"Flag";

std::wstring CacheFile(const std::wstring& programFolder) { return programFolder + L"\\" + kCloseFlagFile; }

}  // namespace

bool ReadCloseAllowed(const std::wstring& programFolder, const std::wstring& openId) {
    const std::wstring value = ReadProfileString(CacheFile(programFolder), kFlagSection, openId.c_str(), L"0");
    return std::wcstol(value.c_str(), nullptr, 10) != 0;
}

bool WriteCloseAllowed(const std::wstring& programFolder, const std::wstring& openId) {
    return WriteProfileStringsAtomically(CacheFile(programFolder), {{kFlagSection, openId, L"1"}});
}
