#pragma once
// The engine's diagnostic log: one HTML list item per entry, appended to one
// file per run, written from the main thread and the download threads.
#include "common/critical_section_lock.h"
#include "common/unique_handle.h"
#include "common/win.h"

#include <atomic>
#include <ios>
#include <string>

// Style flags of an entry.
constexpr unsigned kHtmlLogBold = 0x100;
constexpr unsigned kHtmlLogItalic = 0x200;
constexpr unsigned kHtmlLogUnderline = 0x400;

// Level, style and size of every entry the engine writes.
constexpr int kEngineLogLevel = 4;
constexpr int kEngineLogSize = 2;

class HtmlLog {
public:
    // Entries with a level above the given one are dropped.
    explicit HtmlLog(int level = 5);
    HtmlLog(const HtmlLog&) = delete;
    HtmlLog& operator=(const HtmlLog&) = delete;

    // Opens the file (path in the ANSI code page), shared for reading and
    // writing. With app in the mode entries go after what the file holds;
    // without it the file starts empty. True when open.
    bool Open(const std::string& path,
              std::ios_base::openmode mode = std::ios_base::out | std::ios_base::app);
    // The same for a UTF-16 path, which reaches folders the ANSI code page
    // cannot name.
    bool Open(const std::wstring& path,
              std::ios_base::openmode mode = std::ios_base::out | std::ios_base::app);
    bool IsOpen() const;
    void Close();

    void SetLevel(int level) { level_ = level; }
    int GetLevel() const { return level_; }

    // Writes one entry with the current local date and time. Nothing happens
    // when the level is above the configured one or the file is not open.
    void Write(int level, const std::string& text, unsigned style = 0, int size = kEngineLogSize);

private:
    std::atomic<int> level_;
    ScopedFileHandle file_;
    mutable CriticalSectionLock lock_;
};

// One entry as it stands in the file, both line feeds included. The text is
// escaped for HTML; date and time are taken as given.
std::string FormatHtmlLogLine(const std::string& date, const std::string& time,
                              const std::string& text, unsigned style, int size);

// "&", "<" and ">" as entities; every other byte (ASCII, GBK, UTF-8) unchanged.
std::string EscapeHtmlText(const std::string& text);

// The log file of a run started at the given local time, relative to the
// engine's root: "Log\Launcher-<year>-<month>-<day>_<hour>_<minute>_<second>.html".
std::wstring HtmlLogFileName(const SYSTEMTIME& localTime);

// The engine's log, reachable from every thread. The update core registers
// the log it owns for as long as it lives; while none is registered a closed
// log is returned, which drops every entry.
HtmlLog& EngineHtmlLog();
void RegisterEngineHtmlLog(HtmlLog* log);
