#include "ui/core/values/wide_string.h"

#include <gtest/gtest.h>

#include <string>

using QuillUI::CWideString;

namespace {

bool IsInline(const CWideString& s) {
    const char* data = reinterpret_cast<const char*>(s.GetData());
    const char* self = reinterpret_cast<const char*>(&s);
    return data >= self && data < self + sizeof(s);
}

TEST(WideString, ShortTextsStayInlineLongOnesMoveToTheHeap) {
    CWideString s(std::wstring(62, L'a').c_str());
    EXPECT_TRUE(IsInline(s));
    EXPECT_EQ(s.GetLength(), 62);
    s = std::wstring(63, L'b').c_str();
    EXPECT_FALSE(IsInline(s));
    EXPECT_EQ(s.GetLength(), 63);
    s = L"short";
    EXPECT_TRUE(IsInline(s));
    EXPECT_EQ(s, L"short");

    // Appending across the threshold moves the text; appending to a heap
    // text grows the block.
    CWideString grown(std::wstring(60, L'x').c_str());
    grown += L"yyy";
    EXPECT_FALSE(IsInline(grown));
    grown += std::wstring(100, L'z').c_str();
    EXPECT_EQ(std::wstring(grown.GetData()), std::wstring(60, L'x') + L"yyy" + std::wstring(100, L'z'));
    grown.Empty();
    EXPECT_TRUE(grown.IsEmpty());
    EXPECT_TRUE(IsInline(grown));
}

TEST(WideString, AssignsFromItsOwnText) {
    CWideString longer(std::wstring(80, L'q').c_str());
    longer += L"end";
    longer = longer.GetData() + 70;  // inside its own heap block
    EXPECT_EQ(longer, L"qqqqqqqqqqend");
    longer += longer.GetData();
    EXPECT_EQ(longer, L"qqqqqqqqqqendqqqqqqqqqqend");
    CWideString big(std::wstring(70, L'r').c_str());
    big += big.GetData();
    EXPECT_EQ(std::wstring(big.GetData()), std::wstring(140, L'r'));
    big = big;
    EXPECT_EQ(big.GetLength(), 140);
    CWideString copy(big);
    EXPECT_EQ(copy.Compare(big.GetData()), 0);
}

TEST(WideString, ConstructionAndNullTexts) {
    EXPECT_EQ(CWideString(L'x'), L"x");
    EXPECT_EQ(CWideString(L"abcdef", 3), L"abc");
    EXPECT_EQ(CWideString(L"ab", 10), L"ab");  // a length past the terminator stops there
    CWideString s(L"text");
    s = static_cast<const wchar_t*>(nullptr);
    EXPECT_TRUE(s.IsEmpty());
    s = L"text";
    s += static_cast<const wchar_t*>(nullptr);
    EXPECT_EQ(s, L"text");
    EXPECT_EQ(s + static_cast<const wchar_t*>(nullptr), L"text");
    EXPECT_EQ(s + L"s", L"texts");
    EXPECT_EQ(s + CWideString(L"!"), L"text!");
    s += L'?';
    EXPECT_EQ(s, L"text?");
    EXPECT_EQ(s.GetAt(4), L'?');
}

TEST(WideString, Comparisons) {
    CWideString s(L"Beta");
    EXPECT_EQ(s.Compare(L"Beta"), 0);
    EXPECT_EQ(s.Compare(L"Alpha"), 1);
    EXPECT_EQ(s.Compare(L"Gamma"), -1);
    EXPECT_EQ(s.Compare(nullptr), 1);
    EXPECT_EQ(s.CompareNoCase(L"bETA"), 0);
    EXPECT_TRUE(s != L"beta");
    s.MakeLower();
    EXPECT_TRUE(s == L"beta");
}

TEST(WideString, LeftMidAndFind) {
    CWideString s(L"abcdef");
    EXPECT_EQ(s.Mid(2, -1), L"cdef");
    EXPECT_EQ(s.Mid(2, 100), L"cdef");
    EXPECT_EQ(s.Mid(1, 2), L"bc");
    EXPECT_EQ(s.Mid(-3, 2), L"ab");  // a negative position counts from 0
    EXPECT_EQ(s.Mid(6, 1), L"");
    EXPECT_EQ(s.Mid(2, 0), L"");
    EXPECT_EQ(s.Left(-1), L"");
    EXPECT_EQ(s.Left(100), L"abcdef");
    EXPECT_EQ(s.Left(2), L"ab");

    struct Case { wchar_t ch; int start; int expected; };
    const Case chars[] = {{L'c', 0, 2}, {L'c', 3, -1}, {L'f', 5, 5}, {L'a', 6, -1}, {L'a', -1, -1}, {L'z', 0, -1}};
    for (const Case& c : chars) EXPECT_EQ(s.Find(c.ch, c.start), c.expected) << c.ch << " " << c.start;
    EXPECT_EQ(CWideString().Find(L'a', 0), -1);
    EXPECT_EQ(s.Find(L"", 6), 6);  // the text search accepts start = length
    EXPECT_EQ(s.Find(L"de", 1), 3);
    EXPECT_EQ(s.Find(L"de", 7), -1);
    EXPECT_EQ(s.Find(L"de", -2), -1);
    EXPECT_EQ(s.Find(static_cast<const wchar_t*>(nullptr), 0), -1);
    EXPECT_EQ(CWideString(L"a/b/c").ReverseFind(L'/'), 3);
    EXPECT_EQ(s.ReverseFind(L'/'), -1);
}

TEST(WideString, Replace) {
    CWideString s(L"aba");
    EXPECT_EQ(s.Replace(L"a", L"aa"), 2);  // inserted copies are not replaced again
    EXPECT_EQ(s, L"aabaa");
    EXPECT_EQ(s.Replace(L"", L"x"), 0);
    EXPECT_EQ(s.Replace(L"q", L"x"), 0);
    EXPECT_EQ(s, L"aabaa");
    EXPECT_EQ(s.Replace(L"aa", nullptr), 2);
    EXPECT_EQ(s, L"b");
    CWideString self(L"xyx");
    EXPECT_EQ(self.Replace(self.GetData(), L"z"), 1);
    EXPECT_EQ(self, L"z");
    CWideString longer(std::wstring(100, L'.').c_str());
    EXPECT_EQ(longer.Replace(L".", L""), 100);
    EXPECT_TRUE(longer.IsEmpty());
}

TEST(WideString, FormatIsCutAndTerminated) {
    CWideString s;
    EXPECT_EQ(s.Format(L"%4d-%02d-%02d", 2024, 3, 7), 10);
    EXPECT_EQ(s, L"2024-03-07");
    std::wstring wide(300, L'w');
    EXPECT_EQ(s.Format(L"<%s>", wide.c_str()), 63);
    EXPECT_EQ(std::wstring(s.GetData()), L"<" + std::wstring(62, L'w'));
}

TEST(WideString, DeleteFreesAHeapString) {
    CWideString* s = new CWideString(std::wstring(100, L'h').c_str());
    s->Delete();  // a leak or double free shows up under a checker; here it must not crash
}

}  // namespace
