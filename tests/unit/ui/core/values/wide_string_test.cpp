#include "ui/core/values/wide_string.h"

#include <gtest/gtest.h>

#include <string>

using QuillUI::CWideString;

namespace {

// Every empty string points at one shared text and owns nothing.
bool OwnsNoBlock(const CWideString& s) { return s.GetData() == CWideString().GetData(); }

TEST(WideString, IsOnePointerAndEmptyStringsOwnNoBlock) {
    static_assert(sizeof(CWideString) == sizeof(void*), "a string is its text pointer");
    CWideString filled(L"x");
    EXPECT_FALSE(OwnsNoBlock(filled));
    CWideString emptied(std::wstring(500, L'e').c_str());
    emptied.Empty();
    CWideString assigned(L"text");
    assigned = L"";
    CWideString cut(L"abc");
    cut.Replace(L"abc", L"");
    CWideString formatted(L"text");
    formatted.Format(L"%s", L"");
    CWideString moved(L"moving");
    CWideString target(std::move(moved));
    EXPECT_EQ(target, L"moving");
    const CWideString empties[] = {CWideString(),         CWideString(L""),         CWideString(L'\0'),
                                   CWideString(nullptr),  CWideString(L"abc", 0),   CWideString(L"abc").Left(0),
                                   CWideString(L"abc").Mid(3), emptied,            assigned,
                                   cut,                   formatted,                moved,
                                   CWideString() + L"",   CWideString(emptied)};
    for (const CWideString& s : empties) {
        EXPECT_TRUE(s.IsEmpty());
        EXPECT_EQ(s.GetLength(), 0);
        EXPECT_TRUE(OwnsNoBlock(s));
    }
    // The shared text is never written.
    CWideString lower;
    lower.MakeLower();
    lower += L"";
    EXPECT_EQ(CWideString().GetAt(0), L'\0');
}

TEST(WideString, TextsOfAnyLengthRoundTrip) {
    // Lengths around the sizes a block may keep when it is reused.
    const int lengths[] = {1, 2, 7, 8, 9, 17, 62, 63, 64, 200, 5000, 3, 0, 40};
    CWideString s;
    for (int length : lengths) {
        const std::wstring text(static_cast<size_t>(length), static_cast<wchar_t>(L'a' + length % 26));
        s = text.c_str();
        EXPECT_EQ(s.GetLength(), length);
        EXPECT_EQ(std::wstring(s.GetData()), text);
        CWideString copy(s);
        EXPECT_EQ(copy.GetLength(), length);
        EXPECT_EQ(std::wstring(copy.GetData()), text);
        CWideString assigned;
        assigned = copy;
        EXPECT_EQ(std::wstring(assigned.GetData()), text);
    }
    // Built piece by piece, the text and its length stay what they must be.
    CWideString grown;
    std::wstring expected;
    for (int i = 0; i < 300; ++i) {
        const wchar_t ch = static_cast<wchar_t>(L'A' + i % 26);
        grown += ch;
        expected += ch;
        if (i % 50 == 0) {
            grown += L"--";
            expected += L"--";
        }
        ASSERT_EQ(grown.GetLength(), static_cast<int>(expected.size()));
    }
    EXPECT_EQ(std::wstring(grown.GetData()), expected);
    EXPECT_EQ(std::wstring((grown + L"!").GetData()), expected + L"!");
    EXPECT_EQ(std::wstring((CWideString() + grown).GetData()), expected);
    grown = L"short";
    EXPECT_EQ(grown, L"short");
    EXPECT_EQ(grown.GetLength(), 5);
    CWideString target(L"old");
    target = std::move(grown);
    EXPECT_EQ(target, L"short");
    EXPECT_TRUE(OwnsNoBlock(grown));
}

TEST(WideString, AssignsFromItsOwnText) {
    CWideString longer(std::wstring(80, L'q').c_str());
    longer += L"end";
    longer = longer.GetData() + 70;  // inside its own block
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

    // Short texts take the same paths: a tail, a middle part, an append of
    // itself into a block that has room and one that must grow.
    CWideString shortText(L"abcdef");
    shortText = shortText.GetData() + 2;
    EXPECT_EQ(shortText, L"cdef");
    shortText.Assign(shortText.GetData() + 1, 2);
    EXPECT_EQ(shortText, L"de");
    shortText += shortText.GetData() + 1;
    EXPECT_EQ(shortText, L"dee");
    shortText += shortText;
    EXPECT_EQ(shortText, L"deedee");
    shortText.Assign(shortText.GetData(), 100);
    EXPECT_EQ(shortText, L"deedee");
    CWideString& alias = shortText;
    shortText = std::move(alias);
    EXPECT_EQ(shortText, L"deedee");
    CWideString roomy(std::wstring(40, L'm').c_str());
    roomy = L"mm";  // a smaller text in a fresh block
    roomy += roomy.GetData();
    EXPECT_EQ(roomy, L"mmmm");
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
