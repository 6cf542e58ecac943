#include "common/path_map.h"
#include "log_capture.h"
#include "test_files.h"

#include <gtest/gtest.h>

namespace {

TEST(PathMap, LinesAndTheirPaths) {
    std::wstring folder = ScratchFolder(L"path_map");
    std::wstring path = folder + L"\\HashToFile.xmp";
    WriteFileText(path,
                  "123=a=b\n"                              // three parts: ignored
                  "124=a\\b\r\n"                           // carriage return ends the path
                  "\n\n"                                   // empty lines
                  "125=Skin\\\xE7\x95\x8C\xE9\x9D\xA2.xml\n"  // UTF-8 kept as it is
                  "=126=lead.txt\n"                         // empty parts are skipped
                  "127\n"                                  // no path
                  "128=first.txt\n128=second.txt\n"        // the later line wins
                  "129=x\ry\n"
                  "130=last.txt");                         // no final newline
    PathMap map;
    ASSERT_TRUE(map.Load(path));
    EXPECT_EQ(map.FileName(), path);
    struct Case {
        uint64_t key;
        const char* path;
    } cases[] = {
        {123, ""}, {124, "a\\b"}, {125, "Skin\\\xE7\x95\x8C\xE9\x9D\xA2.xml"}, {126, "lead.txt"},
        {127, ""}, {128, "second.txt"}, {129, "x"}, {130, "last.txt"}, {131, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(map.PathOf(c.key), c.path) << c.key;
}

TEST(PathMap, PathsThatLeaveTheFolderAreRefused) {
    std::wstring folder = ScratchFolder(L"path_map_unsafe");
    std::wstring path = folder + L"\\HashToFile.xmp";
    WriteFileText(path,
                  "1=..\\..\\Windows\\evil.dll\n"
                  "2=C:\\evil.dll\n"
                  "3=\\evil.dll\n"
                  "4=/evil.dll\n"
                  "5=Data\\..\\..\\evil.dll\n"
                  "6=Data\\ok.dll\n"
                  "7=fine.txt\n7=..\\later.txt\n");  // a later unsafe line drops the key
    LogCapture log;
    PathMap map;
    ASSERT_TRUE(map.Load(path));
    for (uint64_t key = 1; key <= 5; ++key) EXPECT_EQ(map.PathOf(key), "") << key;
    EXPECT_EQ(map.PathOf(6), "Data\\ok.dll");
    EXPECT_EQ(map.PathOf(7), "");
    EXPECT_TRUE(log.Has("unsafe path for key 1 "));
    EXPECT_TRUE(log.Has("unsafe path for key 5 "));
    EXPECT_FALSE(log.Has("key 6"));
}

TEST(PathMap, MissingFile) {
    PathMap map;
    EXPECT_FALSE(map.Load(ScratchFolder(L"path_map_missing") + L"\\none.xmp"));
    EXPECT_EQ(map.Size(), 0u);
    EXPECT_EQ(map.PathOf(1), "");
}

}  // namespace
