#include "engine/html_log.h"

#include <gtest/gtest.h>

#include <regex>
#include <thread>
#include <vector>

#include "../common/test_paths.h"
#include "common/code_page.h"
#include "common/file_util.h"

namespace {

std::wstring FreshFile(const wchar_t* name) {
    std::wstring path = TestExeFolder() + L"html_log_" + name + L".html";
    DeleteFileW(path.c_str());
    return path;
}

std::string Contents(const std::wstring& path) {
    std::string text;
    ReadWholeFile(path, text);
    return text;
}

// Splits a written file into entries and replaces each entry's date and time
// by fixed ones, so that lines can be compared byte for byte.
std::vector<std::string> Entries(const std::string& file) {
    static const std::regex stamp("\\d\\d/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d\t");
    std::vector<std::string> entries;
    size_t start = 0;
    while (start < file.size()) {
        size_t end = file.find("\n\n", start);
        if (end == std::string::npos) {
            entries.push_back("torn:" + file.substr(start));
            break;
        }
        entries.push_back(std::regex_replace(file.substr(start, end + 2 - start), stamp,
                                             "01/02/03 04:05:06\t", std::regex_constants::format_first_only));
        start = end + 2;
    }
    return entries;
}

std::string Line(const std::string& text, unsigned style = 0, int size = 2) {
    return FormatHtmlLogLine("01/02/03", "04:05:06", text, style, size);
}

TEST(HtmlLog, LineFormat) {
    struct Case {
        std::string text;
        unsigned style;
        int size;
        std::string expected;
    };
    const Case cases[] = {
        {"Start Tidemill.exe", 0, 2,
         "<li><font face=\"Arial\" size=\"2\" color=\"#000000\">01/02/03 04:05:06\tStart Tidemill.exe"
         "</font></li>\n\n"},
        {"b", 0x100, 3,
         "<li><font face=\"Arial\" size=\"3\" color=\"#000000\"><b>01/02/03 04:05:06\tb</b></font></li>\n\n"},
        {"bi", 0x300, 2,
         "<li><font face=\"Arial\" size=\"2\" color=\"#000000\"><b><i>01/02/03 04:05:06\tbi</b></i>"
         "</font></li>\n\n"},
        {"all", 0x700 | 0x1, -1,
         "<li><font face=\"Arial\" size=\"-1\" color=\"#000000\"><b><i><u>01/02/03 04:05:06\tall"
         "</b></i></u></font></li>\n\n"},
        {"u", 0x400, 2,
         "<li><font face=\"Arial\" size=\"2\" color=\"#000000\"><u>01/02/03 04:05:06\tu</u></font></li>\n\n"},
        // Markup in a text stays text; GBK and UTF-8 bytes pass unchanged.
        {"<script>a&b</script> \xcf\xc2\xd4\xd8 \xe4\xb8\x8b", 0, 2,
         "<li><font face=\"Arial\" size=\"2\" color=\"#000000\">01/02/03 04:05:06\t"
         "&lt;script&gt;a&amp;b&lt;/script&gt; \xcf\xc2\xd4\xd8 \xe4\xb8\x8b</font></li>\n\n"},
        {"", 0, 2, "<li><font face=\"Arial\" size=\"2\" color=\"#000000\">01/02/03 04:05:06\t</font></li>\n\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(Line(c.text, c.style, c.size), c.expected) << c.text;
}

TEST(HtmlLog, FileNameFromStartTime) {
    SYSTEMTIME t = {};
    t.wYear = 2024; t.wMonth = 3; t.wDay = 5; t.wHour = 7; t.wMinute = 8; t.wSecond = 9;
    EXPECT_EQ(HtmlLogFileName(t), L"Log\\Launcher-2024-3-5_7_8_9.html");
    t.wMonth = 12; t.wDay = 31; t.wHour = 23; t.wMinute = 59; t.wSecond = 0;
    EXPECT_EQ(HtmlLogFileName(t), L"Log\\Launcher-2024-12-31_23_59_0.html");
}

TEST(HtmlLog, LevelsFilterAndEntriesAppend) {
    const std::wstring path = FreshFile(L"levels");
    ASSERT_TRUE(WriteFileAtomically(path, "<ul>\n", 5));

    HtmlLog log(5);
    log.Write(1, "before open");  // the file is not open yet: dropped
    ASSERT_TRUE(log.Open(WideToMulti(path, 0)));
    log.Write(6, "above the start level");
    log.SetLevel(6);
    log.Write(7, "level 7");
    log.Write(6, "level 6");
    log.Write(4, "a<b", 0x300, 2);
    log.Close();
    log.Write(4, "after close");

    std::string file = Contents(path);
    ASSERT_EQ(file.compare(0, 5, "<ul>\n"), 0);
    EXPECT_EQ(Entries(file.substr(5)), (std::vector<std::string>{Line("level 6"), Line("a<b", 0x300, 2)}));

    // Opening again appends; a mode without append starts the file over.
    ASSERT_TRUE(log.Open(path));
    log.Write(4, "second run");
    EXPECT_EQ(Entries(Contents(path).substr(5)),
              (std::vector<std::string>{Line("level 6"), Line("a<b", 0x300, 2), Line("second run")}));
    ASSERT_TRUE(log.Open(path, std::ios_base::out | std::ios_base::trunc));
    log.Write(4, "fresh");
    EXPECT_EQ(Entries(Contents(path)), std::vector<std::string>{Line("fresh")});
}

TEST(HtmlLog, OpenFailureWritesNothing) {
    HtmlLog log(6);
    std::wstring missingFolder = TestExeFolder() + L"html_log_no_such_folder\\x.html";
    EXPECT_FALSE(log.Open(missingFolder));
    EXPECT_FALSE(log.IsOpen());
    log.Write(4, "nowhere");
    EXPECT_FALSE(FileExists(missingFolder));
}

TEST(HtmlLog, ConcurrentWritersKeepEntriesWhole) {
    const std::wstring path = FreshFile(L"threads");
    HtmlLog log(6);
    ASSERT_TRUE(log.Open(path));
    const int threads = 8, perThread = 200;
    std::vector<std::thread> writers;
    for (int t = 0; t < threads; ++t)
        writers.emplace_back([&log, t] {
            for (int i = 0; i < perThread; ++i)
                log.Write(4, "thread " + std::to_string(t) + " entry " + std::to_string(i) +
                                 std::string(100, 'x'));
        });
    for (std::thread& w : writers) w.join();

    std::vector<std::string> entries = Entries(Contents(path));
    ASSERT_EQ(entries.size(), static_cast<size_t>(threads * perThread));
    std::vector<int> next(threads, 0);
    for (const std::string& entry : entries) {
        std::smatch m;
        std::regex pattern("thread (\\d) entry (\\d+)x{100}</font>");
        ASSERT_TRUE(std::regex_search(entry, m, pattern)) << entry;
        int t = std::stoi(m[1]);
        EXPECT_EQ(entry, Line(m.str().substr(0, m.length() - 7)));
        EXPECT_EQ(std::stoi(m[2]), next[t]++);  // each writer's entries in its own order
    }
}

TEST(HtmlLog, EngineAccessorFollowsRegistration) {
    const std::wstring path = FreshFile(L"accessor");
    EngineHtmlLog().Write(1, "no log registered");  // dropped, no crash

    HtmlLog log(6);
    ASSERT_TRUE(log.Open(path));
    RegisterEngineHtmlLog(&log);
    EXPECT_EQ(&EngineHtmlLog(), &log);
    EngineHtmlLog().Write(4, "registered");
    RegisterEngineHtmlLog(nullptr);
    EXPECT_NE(&EngineHtmlLog(), &log);
    EngineHtmlLog().Write(4, "unregistered");
    EXPECT_EQ(Entries(Contents(path)), std::vector<std::string>{Line("registered")});
}

}  // namespace
