#include "common/hash_list.h"
#include "common/path_hash.h"
#include "log_capture.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

Md5Digest DigestOf(const char* text) { return BufferMd5(text, std::strlen(text)); }

std::string Record(uint64_t key, const Md5Digest& digest) {
    std::string out;
    for (int i = 0; i < 8; ++i) out += static_cast<char>(key >> (8 * i));
    return out + std::string(reinterpret_cast<const char*>(digest.bytes), 16);
}

TEST(HashList, SavesRecordsInAscendingKeyOrderByteForByte) {
    std::wstring folder = ScratchFolder(L"hash_list_bytes");
    HashList list;
    // Set out of order; keys with the high bit set sort as unsigned.
    list.Set("skin\\main.xml", DigestOf("main"));  // 0xf494...
    list.Set("a", DigestOf("a"));                  // 0x0000006100000061
    list.Set("Brightgate.exe", DigestOf("exe"));   // 0x6926...
    ASSERT_TRUE(list.Save(folder + L"\\HashMD5.xmp"));

    std::string expected = Record(0x0000006100000061ull, DigestOf("a")) +
                           Record(0x69261939cc667769ull, DigestOf("exe")) +
                           Record(0xf4940cf1ad7e15e1ull, DigestOf("main"));
    std::string bytes = ReadFileText(folder + L"\\HashMD5.xmp");
    EXPECT_EQ(bytes.size(), 72u);
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x61\0\0\0\x61\0\0\0", 8));
    EXPECT_FALSE(FileExists(folder + L"\\HashMD5.xmp.tmp~"));

    HashList back;
    ASSERT_TRUE(back.Load(folder + L"\\HashMD5.xmp"));
    EXPECT_EQ(back.GetEntries(), list.GetEntries());
    EXPECT_EQ(HashListFile::Encode(back.GetEntries()), expected);
}

TEST(HashList, SetDiffersAndFind) {
    HashList list;
    list.Set("Skin/Main.XML", DigestOf("one"));
    EXPECT_FALSE(list.Differs("skin\\main.xml", DigestOf("one")));
    EXPECT_TRUE(list.Differs("skin\\main.xml", DigestOf("two")));
    EXPECT_TRUE(list.Differs("other.txt", DigestOf("one")));
    list.Set(PathHash(std::string("skin\\main.xml")), DigestOf("two"));
    EXPECT_EQ(list.Size(), 1u);
    ASSERT_NE(list.Find(0xf4940cf1ad7e15e1ull), nullptr);
    EXPECT_EQ(*list.Find(0xf4940cf1ad7e15e1ull), DigestOf("two"));
    EXPECT_EQ(list.Find(1), nullptr);
}

TEST(HashList, LoadKeepsWholeRecordsAndLogsATail) {
    std::wstring folder = ScratchFolder(L"hash_list_tail");
    std::string two = Record(5, DigestOf("five")) + Record(3, DigestOf("three"));
    struct Case {
        std::string bytes;
        size_t entries;
        bool logged;
    } cases[] = {
        {"", 0, false},
        {two.substr(0, 24), 1, false},
        {two.substr(0, 25), 1, true},  // one stray byte
        {two.substr(0, 30), 1, true},  // a key and part of a digest
        {two.substr(0, 47), 1, true},
        {two, 2, false},
        {two.substr(0, 7), 0, true},
    };
    for (const Case& c : cases) {
        LogCapture log;
        WriteFileText(folder + L"\\list.xmp", c.bytes);
        HashList list;
        list.Set("stale", DigestOf("stale"));
        ASSERT_TRUE(list.Load(folder + L"\\list.xmp"));
        EXPECT_EQ(list.Size(), c.entries) << c.bytes.size() << " bytes";
        EXPECT_EQ(log.Has("trailing bytes ignored"), c.logged) << c.bytes.size() << " bytes";
        if (c.entries >= 1) {
            EXPECT_EQ(*list.Find(5), DigestOf("five"));
        }
    }
}

TEST(HashList, RepeatedKeyKeepsTheLaterDigest) {
    std::wstring folder = ScratchFolder(L"hash_list_repeat");
    WriteFileText(folder + L"\\list.xmp", Record(9, DigestOf("first")) + Record(9, DigestOf("second")));
    HashList list;
    ASSERT_TRUE(list.Load(folder + L"\\list.xmp"));
    ASSERT_EQ(list.Size(), 1u);
    EXPECT_EQ(*list.Find(9), DigestOf("second"));
}

TEST(HashList, MissingFileAndEmptyList) {
    std::wstring folder = ScratchFolder(L"hash_list_empty");
    HashList list;
    list.Set("x", DigestOf("x"));
    EXPECT_FALSE(list.Load(folder + L"\\missing.xmp"));
    EXPECT_TRUE(list.Empty());

    // An empty list still replaces the file, with nothing, and says false.
    WriteFileText(folder + L"\\list.xmp", Record(1, DigestOf("old")));
    EXPECT_FALSE(list.Save(folder + L"\\list.xmp"));
    EXPECT_TRUE(FileExists(folder + L"\\list.xmp"));
    EXPECT_EQ(ReadFileText(folder + L"\\list.xmp"), "");

    // A folder that does not exist.
    list.Set("x", DigestOf("x"));
    EXPECT_FALSE(list.Save(folder + L"\\no\\such\\list.xmp"));
}

TEST(HashList, SaveOverALockedListKeepsTheOldOne) {
    std::wstring folder = ScratchFolder(L"hash_list_locked");
    std::wstring path = folder + L"\\list.xmp";
    HashList list;
    list.Set("old", DigestOf("old"));
    ASSERT_TRUE(list.Save(path));
    std::string before = ReadFileText(path);
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    list.Set("new", DigestOf("new"));
    EXPECT_FALSE(list.Save(path));
    CloseHandle(held);
    EXPECT_EQ(ReadFileText(path), before);
    EXPECT_FALSE(FileExists(path + L".tmp~"));
}

}  // namespace
