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

// Paths become folders and files on disk: one no Windows path could hold, or
// nested deeper than any client, is refused like an unsafe one.
TEST(PathMap, PathsTooLongOrTooDeepAreRefused) {
    std::wstring folder = ScratchFolder(L"path_map_long");
    std::wstring path = folder + L"\\HashToFile.xmp";
    auto nested = [](size_t depth) {
        std::string text;
        for (size_t n = 1; n < depth; ++n) text += "d\\";
        return text + "f";
    };
    const std::string longest(PathMap::kMaxPathLength, 'x');
    WriteFileText(path, "1=" + longest + "\n2=" + longest + "x\n3=" + nested(PathMap::kMaxPathDepth) + "\n4=" +
                            nested(PathMap::kMaxPathDepth + 1) + "\n5=" + std::string(100000, 'y') + "\n");
    LogCapture log;
    PathMap map;
    ASSERT_TRUE(map.Load(path));
    EXPECT_EQ(map.PathOf(1), longest);
    EXPECT_EQ(map.PathOf(3), nested(PathMap::kMaxPathDepth));
    for (uint64_t key : {2, 4, 5}) {
        EXPECT_EQ(map.PathOf(key), "") << key;
        EXPECT_TRUE(map.IsRefused(key)) << key;
    }
    EXPECT_FALSE(map.IsRefused(1));
    EXPECT_FALSE(map.IsRefused(6));  // no line at all
    EXPECT_TRUE(log.Has("path too long for key 2 "));
    EXPECT_TRUE(log.Has("path too deep for key 4 "));
}

TEST(PathMap, MissingFile) {
    PathMap map;
    EXPECT_FALSE(map.Load(ScratchFolder(L"path_map_missing") + L"\\none.xmp"));
    EXPECT_EQ(map.Size(), 0u);
    EXPECT_EQ(map.PathOf(1), "");
}

}  // namespace
