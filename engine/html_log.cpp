#include "engine/html_log.h"

#include <time.h>

#include <cstdio>

#include "common/code_page.h"

namespace {

// Written in place of the date or time when the runtime cannot give them (GBK).
const char kDateFailed[] = "\xbb\xf1\xc8\xa1\xcf\xb5\xcd\xb3\xc8\xd5\xc6\xda\xb3\xf6\xb4\xed\xa3\xa1";
const char kTimeFailed[] = "\xbb\xf1\xc8\xa1\xcf\xb5\xcd\xb3\xca\xb1\xbc\xe4\xb3\xf6\xb4\xed\xa3\xa1";

std::atomic<HtmlLog*> g_engineLog{nullptr};

}  // namespace

HtmlLog::HtmlLog(int level) : level_(level) {}

bool HtmlLog::Open(const std::string& path, std::ios_base::openmode mode) {
    return Open(MultiToWide(path, 0), mode);
}

bool HtmlLog::Open(const std::wstring& path, std::ios_base::openmode mode) {
    const bool append = (mode & std::ios_base::app) != 0;
    // Append-only access keeps every entry whole at the end of the file, also
    // when a second engine writes into the same file.
    HANDLE file = CreateFileW(path.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ScopedCriticalSection hold(lock_);
    file_.Reset(file);
    return file_.IsValid();
}

bool HtmlLog::IsOpen() const {
    ScopedCriticalSection hold(lock_);
    return file_.IsValid();
}

void HtmlLog::Close() {
    ScopedCriticalSection hold(lock_);
    file_.Reset();
}

void HtmlLog::Write(int level, const std::string& text, unsigned style, int size) {
    if (level > level_) return;
    char date[16];
    char time[16];
    const char* dateText = _strdate_s(date, sizeof date) == 0 ? date : kDateFailed;
    const char* timeText = _strtime_s(time, sizeof time) == 0 ? time : kTimeFailed;
    const std::string line = FormatHtmlLogLine(dateText, timeText, text, style, size);

    ScopedCriticalSection hold(lock_);
    if (!file_) return;
    // The handle is unbuffered: a finished write is already in the file.
    DWORD written = 0;
    WriteFile(file_.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

std::string EscapeHtmlText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c; break;
        }
    }
    return out;
}

std::string FormatHtmlLogLine(const std::string& date, const std::string& time,
                              const std::string& text, unsigned style, int size) {
    std::string open;
    std::string close;
    if (style & kHtmlLogBold) {
        open += "<b>";
        close += "</b>";
    }
    if (style & kHtmlLogItalic) {
        open += "<i>";
        close += "</i>";
    }
    if (style & kHtmlLogUnderline) {
        open += "<u>";
        close += "</u>";
    }
    std::string line = "<li><font face=\"Arial\" size=\"";
    line += std::to_string(size);
    line += "\" color=\"#000000\">";
    line += open;
    line += date;
    line += ' ';
    line += time;
    line += '\t';
    line += EscapeHtmlText(text);
    line += close;
    line += "</font></li>\n\n";
    return line;
}

std::wstring HtmlLogFileName(const SYSTEMTIME& t) {
    wchar_t name[96];
    swprintf(name, sizeof name / sizeof name[0], L"Log\\Launcher-%d-%d-%d_%d_%d_%d.html",
             static_cast<int>(t.wYear), static_cast<int>(t.wMonth), static_cast<int>(t.wDay),
             static_cast<int>(t.wHour), static_cast<int>(t.wMinute), static_cast<int>(t.wSecond));
    return name;
}

HtmlLog& EngineHtmlLog() {
    static HtmlLog closed;
    HtmlLog* log = g_engineLog.load();
    return log ? *log : closed;
}

void RegisterEngineHtmlLog(HtmlLog* log) { g_engineLog.store(log); }
