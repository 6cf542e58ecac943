#include "common/path_hash.h"

#include "common/win.h"

#include <gtest/gtest.h>

namespace {

TEST(PathHash, KnownKeys) {
    struct Case {
        std::string path;
        uint64_t key;
    } cases[] = {
        {"", 0},
        {"a", 0x0000006100000061ull},
        {"skin\\main.xml", 0xf4940cf1ad7e15e1ull},
        {"Skin/Main.XML", 0xf4940cf1ad7e15e1ull},  // separators and case do not count
        {"Brightgate.exe", 0x69261939cc667769ull},
        {"Config\\localconfig.xml", 0xce4b8b241ac11c7cull},
        // Bytes above 0x7F count as negative and are not folded.
        {"\xE4", 0xffffffe4ffffffe4ull},
        {"\xC4", 0xffffffc4ffffffc4ull},
        {"Gr\xFC\xDF" "e.txt", 0x28f13bb1e38bbc99ull},
    };
    for (const Case& c : cases) EXPECT_EQ(PathHash(c.path), c.key) << c.path;
}

TEST(PathHash, WidePathsGoThroughTheAnsiCodePage) {
    EXPECT_EQ(PathHash(std::wstring(L"Skin/Main.XML")), 0xf4940cf1ad7e15e1ull);
    EXPECT_EQ(PathHash(std::wstring()), 0u);
    if (GetACP() == 1252) {
        EXPECT_EQ(PathHash(std::wstring(L"Gr\u00FC\u00DFe.txt")), 0x28f13bb1e38bbc99ull);
    }
}

}  // namespace
