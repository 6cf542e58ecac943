#include "ui/core/values/pointer_array.h"
#include "ui/core/values/rect_ui.h"
#include "ui/core/values/resource_name_or_id.h"
#include "ui/core/values/size_ui.h"
#include "ui/core/values/string_hash_map.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace QuillUI;

namespace {

void* P(intptr_t v) { return reinterpret_cast<void*>(v); }

TEST(PointerArray, AddInsertRemoveFind) {
    CPointerArray a;
    EXPECT_TRUE(a.IsEmpty());
    for (intptr_t i = 1; i <= 30; ++i) ASSERT_TRUE(a.Add(P(i)));
    EXPECT_EQ(a.GetSize(), 30);
    EXPECT_EQ(a.GetAt(-1), nullptr);
    EXPECT_EQ(a.GetAt(30), nullptr);
    EXPECT_EQ(a[29], P(30));
    EXPECT_TRUE(a.InsertAt(30, P(31)));  // index = count appends
    EXPECT_EQ(a.GetAt(30), P(31));
    EXPECT_TRUE(a.InsertAt(0, P(100)));
    EXPECT_EQ(a.GetAt(0), P(100));
    EXPECT_EQ(a.GetAt(1), P(1));
    EXPECT_FALSE(a.InsertAt(33, P(1)));
    EXPECT_FALSE(a.InsertAt(-1, P(1)));
    EXPECT_EQ(a.Find(P(5)), 5);
    EXPECT_EQ(a.Find(P(999)), -1);

    EXPECT_FALSE(a.Remove(0, 0));
    EXPECT_FALSE(a.Remove(-1, 1));
    EXPECT_FALSE(a.Remove(30, 3));
    EXPECT_TRUE(a.Remove(1, 4));  // 1..4 go
    EXPECT_EQ(a.GetSize(), 28);
    EXPECT_EQ(a.GetAt(1), P(5));
    EXPECT_TRUE(a.Remove(27, 1));
    EXPECT_EQ(a.GetSize(), 27);

    CPointerArray copy(a);
    EXPECT_EQ(copy.GetSize(), 27);
    EXPECT_EQ(copy.GetAt(26), a.GetAt(26));
    a.Empty();
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_TRUE(a.Add(P(7)));
    EXPECT_EQ(a.GetAt(0), P(7));
}

TEST(PointerArray, ResizeHoldsNullPointers) {
    CPointerArray a(6);
    a.Add(P(1));
    a.Resize(4);
    EXPECT_EQ(a.GetSize(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(a.GetAt(i), nullptr);
    EXPECT_TRUE(a.Add(P(9)));
    EXPECT_EQ(a.GetAt(4), P(9));
    a.Resize(-3);
    EXPECT_TRUE(a.IsEmpty());
}

// The framework's hash: h = h * 33 + character, from the last character.
unsigned Bucket(const wchar_t* key, unsigned buckets) {
    uint32_t h = 0;
    for (size_t i = wcslen(key); i > 0; --i) h = h * 33u + key[i - 1];
    return h % buckets;
}

std::vector<std::wstring> Keys(const CStringHashMap& map) {
    std::vector<std::wstring> keys;
    for (int i = 0; map.GetAt(i) != nullptr; ++i) keys.push_back(map.GetAt(i));
    return keys;
}

TEST(StringHashMap, InsertSetFindRemove) {
    CStringHashMap map;
    int a = 1, b = 2, c = 3;
    EXPECT_TRUE(map.Insert(L"name", &a));
    EXPECT_FALSE(map.Insert(L"name", &b));
    EXPECT_EQ(map.Find(L"name"), &a);
    EXPECT_EQ(map.Find(L"Name"), nullptr);  // keys are case-sensitive
    EXPECT_EQ(map.Set(L"other", &c), nullptr);
    EXPECT_EQ(map.Set(L"name", &b), &a);
    EXPECT_EQ(map.Find(L"name"), &b);
    EXPECT_EQ(map.GetSize(), 2);
    EXPECT_TRUE(map.Remove(L"name"));
    EXPECT_FALSE(map.Remove(L"name"));
    EXPECT_EQ(map.GetSize(), 1);
    EXPECT_EQ(map.Find(nullptr), nullptr);
    map.RemoveAll();
    EXPECT_EQ(map.GetSize(), 0);
    EXPECT_TRUE(map.Insert(L"again", &a));
}

TEST(StringHashMap, IteratesBucketsDownwardWithAtLeastSixteen) {
    // With 16 buckets "a" (97 % 16 = 1) and "b" (98 % 16 = 2): "b" comes first.
    CStringHashMap map(5);
    int x = 0;
    map.Insert(L"a", &x);
    map.Insert(L"b", &x);
    ASSERT_EQ(Bucket(L"a", 16), 1u);
    EXPECT_EQ(Keys(map), (std::vector<std::wstring>{L"b", L"a"}));
    EXPECT_EQ(map.GetAt(2), nullptr);
    EXPECT_EQ(map.GetAt(-1), nullptr);
}

TEST(StringHashMap, FoundEntriesMoveToTheFrontOfTheirChain) {
    CStringHashMap map(16);
    // "a" (97) and "q" (113) share bucket 1 of 16.
    ASSERT_EQ(Bucket(L"a", 16), Bucket(L"q", 16));
    int x = 0;
    map.Insert(L"a", &x);
    map.Insert(L"q", &x);  // the newest is the head
    EXPECT_EQ(Keys(map), (std::vector<std::wstring>{L"q", L"a"}));
    map.Find(L"a", false);
    EXPECT_EQ(Keys(map), (std::vector<std::wstring>{L"q", L"a"}));
    map.Find(L"a", true);
    EXPECT_EQ(Keys(map), (std::vector<std::wstring>{L"a", L"q"}));
    EXPECT_TRUE(map.Remove(L"a"));
    EXPECT_EQ(Keys(map), (std::vector<std::wstring>{L"q"}));
}

TEST(StringHashMap, WithoutBucketsHoldsNothing) {
    CStringHashMap map;
    int x = 0;
    map.Insert(L"k", &x);
    map.Resize(0);
    EXPECT_EQ(map.GetSize(), 0);
    EXPECT_FALSE(map.Insert(L"k", &x));
    EXPECT_EQ(map.Set(L"k", &x), nullptr);
    EXPECT_EQ(map.Find(L"k"), nullptr);
    EXPECT_FALSE(map.Remove(L"k"));
    EXPECT_EQ(map.GetAt(0), nullptr);
    map.RemoveAll();
    map.Resize(-4);
    EXPECT_FALSE(map.Insert(L"k", &x));
}

TEST(StringHashMap, TheBucketCountLastGivenHoldsWhenTheFirstEntryArrives) {
    CStringHashMap map;
    // Before any entry every look-up and walk has nothing to find.
    EXPECT_EQ(map.Find(L"a"), nullptr);
    EXPECT_FALSE(map.Remove(L"a"));
    EXPECT_EQ(map.GetAt(0), nullptr);
    int visits = 0;
    map.ForEach([&](const wchar_t*, void*) { return ++visits > 0; });
    EXPECT_EQ(visits, 0);
    map.RemoveAll();
    // "q" (113) and "a" (97) share a bucket of 16 but not of 83, so the
    // order tells which count the entries went into.
    ASSERT_EQ(Bucket(L"q", 16), Bucket(L"a", 16));
    ASSERT_GT(Bucket(L"q", 83), Bucket(L"a", 83));
    int x = 0;
    map.Resize(16);
    map.Insert(L"q", &x);
    map.Insert(L"a", &x);
    EXPECT_EQ(Keys(map), (std::vector<std::wstring>{L"a", L"q"}));
    map.RemoveAll();
    map.Insert(L"q", &x);
    map.Insert(L"a", &x);
    EXPECT_EQ(Keys(map), (std::vector<std::wstring>{L"a", L"q"}));
    CStringHashMap wide;
    wide.Insert(L"q", &x);
    wide.Insert(L"a", &x);
    EXPECT_EQ(Keys(wide), (std::vector<std::wstring>{L"q", L"a"}));
}

TEST(RectAndSize, Geometry) {
    CRectUI r(10, 20, 110, 70);
    EXPECT_EQ(r.GetWidth(), 100);
    EXPECT_EQ(r.GetHeight(), 50);
    r.Offset(-5, 5);
    EXPECT_EQ(CRectUI(r).left, 5);
    EXPECT_EQ(r.bottom, 75);
    r.Join(CRectUI(0, 30, 50, 200));
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 25);
    EXPECT_EQ(r.right, 105);
    EXPECT_EQ(r.bottom, 200);
    r.ResetOffset();
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 105);
    EXPECT_EQ(r.bottom, 175);
    RECT plain = {1, 2, 3, 4};
    CRectUI fromPlain(plain);
    EXPECT_TRUE(EqualRect(&fromPlain, &plain));  // passes where a RECT is expected
    EXPECT_EQ(CRectUI().GetWidth(), 0);
    CRectUI wide(INT32_MIN, 0, INT32_MAX, 0);
    EXPECT_EQ(wide.GetWidth(), -1);  // wraps instead of overflowing

    CSizeUI size(3, 4);
    EXPECT_EQ(size.cx, 3);
    EXPECT_EQ(size.cy, 4);
    EXPECT_EQ(CSizeUI().cx, 0);
    static_assert(sizeof(CRectUI) == sizeof(RECT) && sizeof(CSizeUI) == sizeof(SIZE), "layouts");
}

TEST(ResourceNameOrIdTest, NameOrNumber) {
    ResourceNameOrId byId(static_cast<WORD>(123));
    EXPECT_TRUE(byId.IsId());
    EXPECT_EQ(byId.GetId(), 123);
    EXPECT_EQ(byId.Get(), MAKEINTRESOURCEW(123));
    ResourceNameOrId byName(L"a123");
    EXPECT_FALSE(byName.IsId());
    EXPECT_STREQ(byName.Get(), L"a123");
}

}  // namespace
