#include "common/code_page.h"
#include "common/registry_util.h"
#include "common/unique_handle.h"

#include <gtest/gtest.h>

namespace {

const wchar_t* kKey = L"Software\\QuillonTests\\registry_util";

TEST(RegistryUtil, WrittenStringsReadBackEqual) {
    const std::wstring values[] = {L"C:\\Games\\Client", L"", L"\x4E2D\x6587 text", std::wstring(600, L'v')};
    for (const std::wstring& v : values) {
        ASSERT_TRUE(WriteRegistryString(1, kKey, L"value", v));
        EXPECT_EQ(ReadRegistryString(1, kKey, L"value"), v);
    }
}

TEST(RegistryUtil, MissingOtherTypesAndBadRootsGiveEmptyOrFalse) {
    ASSERT_TRUE(WriteRegistryString(1, kKey, L"present", L"x"));
    ScopedRegKey key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_ALL_ACCESS, key.Put()), ERROR_SUCCESS);
    const wchar_t multi[] = L"one\0two\0";
    RegSetValueExW(key.Get(), L"multi", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi), sizeof(multi));
    DWORD number = 5;
    RegSetValueExW(key.Get(), L"number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));

    EXPECT_EQ(ReadRegistryString(1, kKey, L"multi"), L"");
    EXPECT_EQ(ReadRegistryString(1, kKey, L"number"), L"");
    EXPECT_EQ(ReadRegistryString(1, kKey, L"absent"), L"");
    EXPECT_EQ(ReadRegistryString(1, L"Software\\QuillonTests\\no_such_key", L"present"), L"");
    EXPECT_EQ(ReadRegistryString(9, kKey, L"present"), L"");
    EXPECT_EQ(ReadRegistryString(-1, kKey, L"present"), L"");
    EXPECT_FALSE(WriteRegistryString(9, kKey, L"present", L"y"));
    EXPECT_EQ(ReadRegistryString(1, kKey, L"present"), L"x");
}

TEST(CodePage, ConvertsUtf8AndAnsi) {
    EXPECT_EQ(MultiToWide("\xE4\xB8\xAD\xE6\x96\x87", 65001), L"\x4E2D\x6587");
    EXPECT_EQ(WideToMulti(L"\x4E2D\x6587", 65001), "\xE4\xB8\xAD\xE6\x96\x87");
    EXPECT_EQ(MultiToWide("", 65001), L"");
    EXPECT_EQ(WideToMulti(L"", 0), "");
    EXPECT_EQ(WideToMulti(MultiToWide("plain ascii", 0), 0), "plain ascii");
    // Both directions agree for every character the ANSI code page holds.
    std::string ansi;
    for (int c = 0x20; c < 0x7F; ++c) ansi.push_back(static_cast<char>(c));
    EXPECT_EQ(WideToMulti(MultiToWide(ansi, 0), 0), ansi);
}

}  // namespace
