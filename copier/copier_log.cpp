#include "copier/copier_log.h"

#include "common/code_page.h"
#include "common/file_util.h"
#include "common/unique_handle.h"

#include <cstdarg>
#include <cwchar>
#include <string>

namespace {

const wchar_t kLogPath[] = L"Log\\Ferrier.log";

}  // namespace

void CopierLog(const wchar_t* format, ...) {
    wchar_t text[2048];
    va_list args;
    va_start(args, format);
    int n = _vsnwprintf(text, 2047, format, args);
    va_end(args);
    text[n < 0 ? 2047 : n] = L'\0';

    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t stamp[32];
    _snwprintf(stamp, 32, L"%04u-%02u-%02u %02u:%02u:%02u ", now.wYear, now.wMonth, now.wDay, now.wHour,
               now.wMinute, now.wSecond);
    stamp[31] = L'\0';
    std::string line = WideToMulti(std::wstring(stamp) + text + L"\r\n", CP_UTF8);
    OutputDebugStringW(text);

    MakeDirectoryChain(kLogPath);
    ScopedFileHandle file(CreateFileW(kLogPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    DWORD written = 0;
    WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}
