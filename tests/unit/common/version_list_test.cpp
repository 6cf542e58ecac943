#include "common/path_hash.h"
#include "common/version_list.h"
#include "common/version_triple.h"
#include "log_capture.h"
#include "test_files.h"

#include <gtest/gtest.h>

namespace {

std::string Le64(uint64_t value) {
    std::string out;
    for (int i = 0; i < 8; ++i) out += static_cast<char>(value >> (8 * i));
    return out;
}

TEST(VersionTriple, PackingAndText) {
    struct Case {
        uint64_t packed;
        const char* text;
    } cases[] = {
        {10203004, "1.2.3004"}, {20000000, "2.0.0"}, {0, "0.0.0"}, {99999, "0.0.99999"},
        {100000, "0.1.0"},      {123456789, "12.34.56789"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PackedVersionText(c.packed), c.text);
        VersionTriple v = VersionTriple::FromPacked(c.packed);
        EXPECT_EQ(v.ToText(), c.text);
        EXPECT_EQ(v.Packed(), c.packed);
    }
    EXPECT_EQ(VersionTriple(1, 2, 3004).Packed(), 10203004u);
    // A value far past any real version keeps its leading part whole.
    EXPECT_EQ(PackedVersionText(0xFFFFFFFFFFFFFFFFull), "1844674407370.95.51615");
}

TEST(VersionTriple, ParseCompareAndWideText) {
    VersionTriple v;
    ASSERT_TRUE(VersionTriple::Parse(std::string("1.10.3"), v));
    EXPECT_EQ(v, VersionTriple(1, 10, 3));
    ASSERT_TRUE(VersionTriple::Parse(std::wstring(L"-1.0.7"), v));
    EXPECT_EQ(v, VersionTriple(-1, 0, 7));
    EXPECT_EQ(v.ToWideText(), L"-1.0.7");
    for (const char* bad : {"", "1.2", "a.b.c", "1..2"}) {
        VersionTriple kept(4, 5, 6);
        EXPECT_FALSE(VersionTriple::Parse(std::string(bad), kept)) << bad;
        EXPECT_EQ(kept, VersionTriple(4, 5, 6));
    }
    // Lexicographic: major, then minor, then build.
    const VersionTriple ordered[] = {{0, 9, 9}, {1, 0, 0}, {1, 0, 1}, {1, 2, 0}, {2, 0, 0}};
    for (size_t i = 0; i < 5; ++i)
        for (size_t j = 0; j < 5; ++j) {
            EXPECT_EQ(ordered[i] < ordered[j], i < j);
            EXPECT_EQ(ordered[i] == ordered[j], i == j);
            EXPECT_EQ(ordered[i] <= ordered[j], i <= j);
        }
}

TEST(VersionList, RoundTripBytesAndVersionText) {
    std::wstring folder = ScratchFolder(L"version_list");
    std::wstring path = folder + L"\\HashVersion.xmp";
    uint64_t main = PathHash(std::string("skin\\main.xml"));
    uint64_t exe = PathHash(std::string("Client.exe"));
    WriteFileText(path, Le64(main) + Le64(10203004) + Le64(exe) + Le64(20000000));

    VersionList list;
    ASSERT_TRUE(list.Load(path));
    EXPECT_EQ(list.Size(), 2u);
    EXPECT_EQ(list.VersionText(L"Skin/Main.XML"), L"1.2.3004");
    EXPECT_EQ(list.VersionText(L"client.exe"), L"2.0.0");
    EXPECT_EQ(list.VersionText(L"absent.dat"), L"");

    // Saved in ascending key order, whatever the order read.
    std::wstring copy = folder + L"\\copy.xmp";
    ASSERT_TRUE(list.Save(copy));
    EXPECT_EQ(ReadFileText(copy), Le64(exe) + Le64(20000000) + Le64(main) + Le64(10203004));
    VersionList back;
    ASSERT_TRUE(back.Load(copy));
    EXPECT_EQ(back.GetEntries(), list.GetEntries());
    EXPECT_FALSE(back.Load(folder + L"\\missing.xmp"));
    EXPECT_EQ(back.Size(), 0u);
}

TEST(VersionList, LoadKeepsWholeRecordsAndLogsATail) {
    std::wstring folder = ScratchFolder(L"version_list_tail");
    std::string one = Le64(7) + Le64(10203004);
    for (size_t extra : {1u, 8u, 15u}) {
        LogCapture log;
        WriteFileText(folder + L"\\list.xmp", one + std::string(extra, '\x01'));
        VersionList list;
        ASSERT_TRUE(list.Load(folder + L"\\list.xmp"));
        EXPECT_EQ(list.Size(), 1u) << extra;
        uint64_t packed = 0;
        EXPECT_TRUE(list.Find(7, packed));
        EXPECT_EQ(packed, 10203004u);
        EXPECT_TRUE(log.Has("trailing bytes ignored")) << extra;
    }
}

}  // namespace
