#include "common/registry_util.h"
#include "common/unique_handle.h"

#include <gtest/gtest.h>

namespace {

const wchar_t* kKey = L"Software\\QuillonTests\\launcher_registry";

ScopedRegKey OpenTestKey() {
    ScopedRegKey key;
    RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Put(), nullptr);
    return key;
}

TEST(LauncherRegistry, WritesWithTerminatorAndReadsBackEqual) {
    const std::wstring values[] = {L"D:\\Games\\Game", L"\x4E2D\x6587", L""};
    for (const std::wstring& v : values) {
        ASSERT_TRUE(LauncherWriteRegistryString(1, kKey, L"ClientPath", v));
        EXPECT_EQ(LauncherReadRegistryString(1, kKey, L"ClientPath"), v);
        EXPECT_EQ(ReadRegistryString(1, kKey, L"ClientPath"), v);  // the engine reads it the same
        ScopedRegKey key = OpenTestKey();
        DWORD type = 0, size = 0;
        ASSERT_EQ(RegQueryValueExW(key.Get(), L"ClientPath", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(size, (v.size() + 1) * sizeof(wchar_t));
    }
}

TEST(LauncherRegistry, MultiStringsOtherTypesAndTheRootTable) {
    ScopedRegKey key = OpenTestKey();
    ASSERT_TRUE(key);
    const wchar_t multi[] = L"first\0second\0";
    ASSERT_EQ(RegSetValueExW(key.Get(), L"multi", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi),
                             sizeof(multi)),
              ERROR_SUCCESS);
    DWORD number = 5;
    RegSetValueExW(key.Get(), L"number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
    ASSERT_TRUE(LauncherWriteRegistryString(1, kKey, L"present", L"x"));

    EXPECT_EQ(LauncherReadRegistryString(1, kKey, L"multi"), L"first");
    EXPECT_EQ(LauncherReadRegistryString(1, kKey, L"number"), L"");
    EXPECT_EQ(LauncherReadRegistryString(1, kKey, L"absent"), L"");
    EXPECT_EQ(LauncherReadRegistryString(1, L"Software\\QuillonTests\\no_such_key", L"present"), L"");
    // 7 and anything past 9 are no root: nothing is read or written.
    for (int index : {7, 10, -1}) {
        EXPECT_EQ(LauncherReadRegistryString(index, kKey, L"present"), L"") << index;
        EXPECT_FALSE(LauncherWriteRegistryString(index, kKey, L"present", L"y")) << index;
    }
    EXPECT_EQ(LauncherReadRegistryString(1, kKey, L"present"), L"x");
}

}  // namespace
