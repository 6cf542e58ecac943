#include "tests/unit/ui/support/render_test_support.h"
#include "ui/core/render/renderer_ui.h"
#include "ui/core/manager/window_manager_ui.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

using namespace QuillUI;

namespace {

// Measured in a DC: text is checked by its extent, never by its pixels.
class HtmlText : public ::testing::Test {
protected:
    void SetUp() override {
        skin_.reset(new ScopedSkinFolder(L"text"));
        skin_->Write(L"tall.png", EncodePng(6, 60, std::vector<uint32_t>(6 * 60, 0xFF0000FF)));
        skin_->Write(L"strip.png", EncodePng(40, 8, std::vector<uint32_t>(40 * 8, 0xFF00FF00)));
        skin_->Write(L"wide.png", EncodePng(500, 4, std::vector<uint32_t>(500 * 4, 0xFF00FF00)));
        manager_.reset(new CWindowManagerUI);
        ASSERT_NE(manager_->AddFont(0, L"Arial", 14, false, false, false), nullptr);
        TEXTMETRICW metrics = {};
        ScopedSelectObject select(surface_.Dc(), manager_->GetFont(0));
        GetTextMetricsW(surface_.Dc(), &metrics);
        lineHeight_ = metrics.tmHeight + metrics.tmExternalLeading;
        ASSERT_GT(lineHeight_, 0);
    }
    void TearDown() override {
        manager_.reset();
        skin_.reset();
    }

    LONG Width(const wchar_t* text, HFONT font = nullptr) {
        ScopedSelectObject select(surface_.Dc(), font != nullptr ? font : manager_->GetFont(0));
        SIZE size = {};
        GetTextExtentPoint32W(surface_.Dc(), text, static_cast<int>(wcslen(text)), &size);
        return size.cx;
    }

    // The measured extent, relative to the rectangle's corner.
    SIZE Measure(const wchar_t* text, LONG width = 1000, UINT style = 0, RECT* links = nullptr,
                 CWideString* texts = nullptr, int* linkCount = nullptr) {
        RECT rect = {10, 20, 10 + width, 20 + 500};
        int none = 0;
        CRendererUI::DrawHtmlText(surface_.Dc(), manager_.get(), rect, text, 0xFF000000, links, texts,
                                  linkCount != nullptr ? *linkCount : none, 0, style | DT_CALCRECT);
        return SIZE{rect.right - 10, rect.bottom - 20};
    }

    DibSurface surface_{400, 300};
    std::unique_ptr<ScopedSkinFolder> skin_;
    std::unique_ptr<CWindowManagerUI> manager_;
    LONG lineHeight_ = 0;
};

TEST_F(HtmlText, LinesBreaksAndWrapping) {
    SIZE one = Measure(L"abc");
    EXPECT_EQ(one.cx, Width(L"abc"));
    EXPECT_EQ(one.cy, lineHeight_);
    EXPECT_EQ(Measure(L"a\nb\r\nc").cy, 3 * lineHeight_);
    EXPECT_EQ(Measure(L"a<n>b{n}c").cy, 3 * lineHeight_);
    EXPECT_EQ(Measure(L"a<n>b\nc", 1000, DT_SINGLELINE).cy, lineHeight_);
    EXPECT_EQ(Measure(L"").cy, 0);

    // Words wrap at blanks: two words fit on the first line, the third goes on.
    const LONG room = Width(L"aaa bbb") + 2;
    SIZE wrapped = Measure(L"aaa bbb ccc", room, DT_WORDBREAK);
    EXPECT_EQ(wrapped.cy, 2 * lineHeight_);
    EXPECT_LE(wrapped.cx, room);
    EXPECT_EQ(Measure(L"aaa bbb ccc", room, DT_WORDBREAK | DT_SINGLELINE).cy, lineHeight_);
    // With word-break a word is cut after its last character that is no letter.
    SIZE cut = Measure(L"aaa-bb", Width(L"aaa-b"), DT_WORDBREAK);
    EXPECT_EQ(cut.cx, Width(L"aaa-"));
    EXPECT_EQ(cut.cy, 2 * lineHeight_);
}

// Runs the call on a thread of its own and gives it ten seconds.
template <typename F>
bool Returns(F call) {
    struct Box {
        F call;
        static DWORD WINAPI Run(void* self) {
            static_cast<Box*>(self)->call();
            return 0;
        }
    } box{call};
    HANDLE thread = CreateThread(nullptr, 0, &Box::Run, &box, 0, nullptr);
    if (thread == nullptr) return false;
    const bool done = WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0;
    if (!done) {
        // A hung layout holds objects of this frame: nothing can continue.
        fprintf(stderr, "DrawHtmlText did not return\n");
        fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
    }
    CloseHandle(thread);
    return done;
}

TEST_F(HtmlText, TextThatFitsNowhereStillEnds) {
    const struct {
        const wchar_t* text;
        LONG width;
        UINT style;
    } cases[] = {
        {L"hello world", 0, DT_WORDBREAK},                  // no room at all, before layout
        {L"hello world", 0, 0},
        {L"abcdefghijklmnopqrstuvwxyz", 30, DT_WORDBREAK},  // one word longer than the line
        {L"x <i wide.png> y", 100, DT_WORDBREAK},           // an image wider than the line
        {L"<x 5000>a b", 100, DT_WORDBREAK},                // moved past the edge
        {L"abcdefghijklmnop", 20, DT_SINGLELINE | DT_END_ELLIPSIS},
    };
    for (const auto& c : cases) {
        SIZE size = {};
        EXPECT_TRUE(Returns([&] { size = Measure(c.text, c.width, c.style); })) << c.text;
        EXPECT_GT(size.cy, 0) << c.text;
        // And drawing it, bounded by the rectangle's bottom.
        RECT rect = {0, 0, c.width, 200};
        int none = 0;
        EXPECT_TRUE(Returns([&] {
            CRendererUI::DrawHtmlText(surface_.Dc(), manager_.get(), rect, c.text, 0xFF000000, nullptr, nullptr, none,
                                      0, c.style);
        })) << c.text;
    }
    // A letter a line when nothing fits.
    EXPECT_EQ(Measure(L"abc", 0, DT_WORDBREAK).cy, 3 * lineHeight_);
}

TEST_F(HtmlText, LinksGiveRectanglesAndTextsWithinTheCapacity) {
    RECT links[4] = {};
    CWideString texts[4];
    int count = 4;
    SIZE size = Measure(L"<a one>first</a> and {a two}second{/a}", 1000, 0, links, texts, &count);
    ASSERT_EQ(count, 2);
    EXPECT_STREQ(texts[0].GetData(), L"one");
    EXPECT_STREQ(texts[1].GetData(), L"two");
    HFONT underlined = manager_->FindFont(L"Arial", 14, false, true, false);
    ASSERT_NE(underlined, nullptr);
    EXPECT_EQ(links[0].left, 10);
    EXPECT_EQ(links[0].right, 10 + Width(L"first", underlined));
    EXPECT_EQ(links[0].top, 20);
    EXPECT_EQ(links[0].bottom, 20 + lineHeight_);
    EXPECT_EQ(links[1].left, 10 + Width(L"first", underlined) + Width(L" and "));
    EXPECT_EQ(links[1].right, 10 + size.cx);

    count = 1;
    Measure(L"<a one>first</a> <a two>second</a>", 1000, 0, links, texts, &count);
    EXPECT_EQ(count, 1);
    // A link that wraps has a rectangle on each line.
    count = 4;
    Measure(L"<a both>aaa bbb</a>", Width(L"aaa") + 2, DT_WORDBREAK, links, texts, &count);
    ASSERT_EQ(count, 2);
    EXPECT_STREQ(texts[1].GetData(), L"both");
    EXPECT_EQ(links[1].top, links[0].bottom);
    // No arrays: nothing is stored and the count is 0.
    count = 4;
    Measure(L"<a x>y</a>", 1000, 0, nullptr, nullptr, &count);
    EXPECT_EQ(count, 0);
}

TEST_F(HtmlText, TagsEscapesAndUnmatchedClosings) {
    // Unmatched closings leave the base font, colour and alignment in place.
    EXPECT_EQ(Measure(L"</b></c></a>{/f}</i></p></v></u></y>text").cx, Width(L"text"));
    EXPECT_EQ(Measure(L"</b></c>text").cy, lineHeight_);
    EXPECT_EQ(Measure(L"<{>x<}>").cx, Width(L"{x}"));
    EXPECT_EQ(Measure(L"{<}b{>}").cx, Width(L"<b>"));
    EXPECT_EQ(Measure(L"<r><b>x</b>{n}</r>").cx, Width(L"<b>x</b>{n}"));
    EXPECT_EQ(Measure(L"a <q> b").cx, Measure(L"a  b").cx);  // unknown tags are read and ignored
    EXPECT_EQ(Measure(L"a<bc").cx, Width(L"a<bc"));  // not tags
    EXPECT_EQ(Measure(L"a<b").cx, Width(L"a<b"));
    EXPECT_EQ(Measure(L"a{b x").cx, Width(L"a{b") + Measure(L" x").cx);
    EXPECT_EQ(Measure(L"<x 25>a").cx, 25 + Width(L"a"));
    EXPECT_EQ(Measure(L"<y 40>a").cy, 40);
    EXPECT_EQ(Measure(L"a<p 6>b").cy, 2 * lineHeight_ + 6);
    const LONG bold = Measure(L"<b>abc</b>").cx;
    HFONT boldFont = manager_->FindFont(L"Arial", 14, true, false, false);
    ASSERT_NE(boldFont, nullptr);
    EXPECT_EQ(bold, Width(L"abc", boldFont));
    EXPECT_GT(bold, Width(L"abc"));

    // "f" fonts: by index, or made once from a description and then reused.
    ASSERT_NE(manager_->AddFont(5, L"Arial", 30, false, false, false), nullptr);
    EXPECT_GT(Measure(L"<f 5>a</f>").cy, lineHeight_);
    SIZE big = Measure(L"<f Arial 24 bold>a</f>");
    HFONT made = manager_->FindFont(L"Arial", 24, true, false, false);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(big.cx, Width(L"a", made));
    Measure(L"<f Arial 24 bold>a</f>");
    EXPECT_EQ(manager_->FindFont(L"Arial", 24, true, false, false), made);
    // The layout's own fonts stay where they were.
    EXPECT_EQ(manager_->GetFont(0), manager_->FindFont(L"Arial", 14, false, false, false));
    EXPECT_EQ(manager_->GetFont(5), manager_->FindFont(L"Arial", 30, false, false, false));
}

TEST_F(HtmlText, ImagesTakeTheirFrameAndGrowTheLine) {
    SIZE tall = Measure(L"a<i tall.png>b");
    EXPECT_EQ(tall.cx, Width(L"ab") + 6);
    EXPECT_EQ(tall.cy, 60);
    EXPECT_EQ(Measure(L"<i strip.png 4 1>").cx, 10);
    EXPECT_EQ(Measure(L"<i file='strip.png' 5 9>").cx, 8);  // index out of range: the first frame
    EXPECT_EQ(Measure(L"<i nothere.png>a").cx, Width(L"a"));
    const LONG italicWidth = Measure(L"<i>a</i>").cx;
    HFONT italic = manager_->FindFont(L"Arial", 14, false, false, true);
    ASSERT_NE(italic, nullptr);
    EXPECT_EQ(italicWidth, Width(L"a", italic));
    // An image tag inside italics closes without ending the italics.
    EXPECT_EQ(Measure(L"<i>a<i strip.png 4></i>b</i>").cx, Width(L"a", italic) + 10 + Width(L"b", italic));
}

TEST_F(HtmlText, AlignmentMovesTheRectangle) {
    const LONG width = Width(L"abc");
    RECT rect = {0, 0, 200, 50};
    int none = 0;
    CRendererUI::DrawHtmlText(surface_.Dc(), manager_.get(), rect, L"abc", 0xFF000000, nullptr, nullptr, none, 0,
                              DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    EXPECT_EQ(rect.left, (200 - width) / 2);
    EXPECT_EQ(rect.top, (50 - lineHeight_) / 2);
    EXPECT_EQ(rect.right, rect.left + width);

    rect = RECT{0, 0, 200, 50};
    CRendererUI::DrawHtmlText(surface_.Dc(), manager_.get(), rect, L"abc", 0xFF000000, nullptr, nullptr, none, 0,
                              DT_SINGLELINE | DT_RIGHT | DT_BOTTOM);
    EXPECT_EQ(rect.left, 200 - width);
    EXPECT_EQ(rect.top, 50 - lineHeight_);

    // Horizontal alignment is for a single line only.
    rect = RECT{0, 0, 200, 50};
    CRendererUI::DrawHtmlText(surface_.Dc(), manager_.get(), rect, L"abc", 0xFF000000, nullptr, nullptr, none, 0,
                              DT_CENTER);
    EXPECT_EQ(rect.left, 0);
    // Every font the tags selected is replaced by the DC's own.
    CRendererUI::DrawHtmlText(surface_.Dc(), manager_.get(), rect, L"<b>a</b><f Arial 20>b", 0xFF000000, nullptr,
                              nullptr, none, 0, 0);
    EXPECT_EQ(GetCurrentObject(surface_.Dc(), OBJ_FONT), GetStockObject(SYSTEM_FONT));
}

TEST_F(HtmlText, PlainTextReplacesMultiLanguageTokens) {
    CWindowManagerUI::AddMultiLanguageString(7, L"a much longer text");
    RECT rect = {0, 0, 1000, 100};
    CRendererUI::DrawText(surface_.Dc(), manager_.get(), rect, L"%{7}", 0xFF000000, 0, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(rect.right, Width(L"a much longer text"));
    CWindowManagerUI::RemoveAllMultiLanguageString();
    // The DC keeps its own font.
    EXPECT_EQ(GetCurrentObject(surface_.Dc(), OBJ_FONT), GetStockObject(SYSTEM_FONT));
}

}  // namespace

namespace {

// Whether the strongest ink in the area leans to red (true) or to blue.
bool InkLeansRed(const DibSurface& surface, const RECT& area) {
    int best = 3 * 255;
    uint32_t ink = 0xFFFFFF;
    for (LONG y = area.top; y < area.bottom; ++y) {
        for (LONG x = area.left; x < area.right; ++x) {
            const uint32_t c = surface.Rgb(x, y);
            const int sum = static_cast<int>((c >> 16) + ((c >> 8) & 0xFF) + (c & 0xFF));
            if (sum < best) {
                best = sum;
                ink = c;
            }
        }
    }
    return (ink >> 16) > (ink & 0xFF);
}

TEST_F(HtmlText, LinksWithTheHoveredTextTakeTheHoverColour) {
    ASSERT_NE(manager_->AddFont(1, L"Arial", 28, true, false, false), nullptr);
    manager_->SetDefaultLinkFontColor(0xFF0000FF);
    manager_->SetDefaultLinkHoverFontColor(0xFFFF0000);
    // The previous pass left link "one" under the mouse, which has not moved yet.
    const POINT mouse = manager_->GetMousePos();
    RECT links[3] = {{mouse.x - 1, mouse.y - 1, mouse.x + 1, mouse.y + 1}};
    CWideString texts[3] = {L"one"};
    int count = 3;
    RECT rect = {0, 0, 400, 100};
    CRendererUI::DrawHtmlText(surface_.Dc(), manager_.get(), rect, L"<a one>MM</a> <a two>MM</a> <a one>MM</a>",
                              0xFF000000, links, texts, count, 1, DT_SINGLELINE);
    ASSERT_EQ(count, 3);
    EXPECT_TRUE(InkLeansRed(surface_, links[0]));
    EXPECT_FALSE(InkLeansRed(surface_, links[1]));
    EXPECT_TRUE(InkLeansRed(surface_, links[2]));
}

}  // namespace
