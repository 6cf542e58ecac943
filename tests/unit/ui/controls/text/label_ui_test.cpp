#include "ui/controls/text/gdiplus_starter_ui.h"
#include "ui/controls/text/label_ui.h"
#include "ui/controls/text/text_ui.h"
#include "ui/core/render/font_info_ui.h"
#include "tests/unit/ui/support/widget_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace QuillUI;

namespace {

struct StyleCase {
    std::vector<std::pair<const wchar_t*, const wchar_t*>> attributes;
    UINT expected;
};

struct OffsetCase {
    const wchar_t* value;
    float x;
    float y;
};

// Pixels that are not background white.
bool IsInk(uint32_t rgb) { return ((rgb >> 16) & 0xFF) < 200 || ((rgb >> 8) & 0xFF) < 200 || (rgb & 0xFF) < 200; }

int Red(uint32_t rgb) { return (rgb >> 16) & 0xFF; }
int Green(uint32_t rgb) { return (rgb >> 8) & 0xFF; }
int Blue(uint32_t rgb) { return rgb & 0xFF; }

int CountInk(const DibSurface& surface, const RECT& area) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) count += IsInk(surface.Rgb(x, y)) ? 1 : 0;
    return count;
}

// The first and the last row holding ink, and the darkest pixel of each.
struct InkRows {
    int top = -1;
    int bottom = -1;
    uint32_t topPixel = 0xFFFFFF;
    uint32_t bottomPixel = 0xFFFFFF;
};

InkRows FindInkRows(const DibSurface& surface, const RECT& area) {
    InkRows rows;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (!IsInk(surface.Rgb(x, y))) continue;
            if (rows.top < 0) rows.top = y;
            rows.bottom = y;
        }
    }
    if (rows.top >= 0) {
        rows.topPixel = DarkestPixel(surface, RECT{area.left, rows.top, area.right, rows.top + 1});
        rows.bottomPixel = DarkestPixel(surface, RECT{area.left, rows.bottom, area.right, rows.bottom + 1});
    }
    return rows;
}

const wchar_t kBigFont[] = L"<Font id=\"1\" name=\"Arial\" size=\"40\" />";

// Where the label of PaintEffectLabel lies.
const RECT kLabelArea = {0, 0, 300, 60};

// A 60-high label of "HHHH" in a 40-pixel font, drawn with the effects and
// the given attributes, top pixels below the window's top.
void PaintEffectLabel(const wchar_t* attributes, DibSurface& surface, int top = 0) {
    const std::wstring above = top > 0 ? L"<Control height=\"" + std::to_wstring(top) + L"\" />" : L"";
    const std::wstring markup = std::wstring(L"<Window>") + kBigFont + L"<VerticalLayout>" + above +
                                L"<Label name=\"l\" height=\"60\" font=\"1\" text=\"HHHH\" enabledeffect=\"true\" " +
                                attributes + L" /><Control /></VerticalLayout></Window>";
    WidgetWindow window(300, 240);
    ASSERT_NE(nullptr, window.Build(markup.c_str()));
    window.Paint(surface);
}

}  // namespace

TEST(LabelAttributes, AlignmentsAreSubstringTestsAppliedInOrder) {
    const UINT base = DT_VCENTER | DT_SINGLELINE;
    const StyleCase cases[] = {
        {{{L"align", L"center"}}, base | DT_CENTER},
        {{{L"align", L"center"}, {L"align", L"left"}}, base},
        {{{L"align", L"left right"}}, base | DT_RIGHT},
        {{{L"align", L"right"}, {L"align", L"center"}}, base | DT_CENTER},
        {{{L"valign", L"top"}}, DT_SINGLELINE},
        {{{L"valign", L"bottom"}}, DT_SINGLELINE | DT_BOTTOM},
        {{{L"valign", L"bottom"}, {L"valign", L"vcenter"}}, base},
        {{{L"endellipsis", L"true"}}, base | DT_END_ELLIPSIS},
        {{{L"endellipsis", L"true"}, {L"endellipsis", L"TRUE"}}, base},
        {{{L"multiline", L"true"}}, DT_VCENTER | DT_WORDBREAK},
        {{{L"multiline", L"true"}, {L"multiline", L"false"}}, base | DT_WORDBREAK},
    };
    for (const StyleCase& c : cases) {
        CLabelUI label;
        std::wstring shown;
        for (const auto& attribute : c.attributes) {
            label.SetAttribute(attribute.first, attribute.second);
            shown += std::wstring(attribute.first) + L"=" + attribute.second + L" ";
        }
        EXPECT_EQ(c.expected, label.GetTextStyle()) << std::string(shown.begin(), shown.end());
    }
}

TEST(LabelAttributes, NumberListsStopAtTheEndOfTheValue) {
    GuardedBytes memory(64);
    const struct {
        const wchar_t* value;
        RECT padding;
    } cases[] = {
        {L"", {0, 0, 0, 0}},
        {L"4", {4, 0, 0, 0}},
        {L"4,5", {4, 5, 0, 0}},
        {L"4,5,6,", {4, 5, 6, 0}},
        {L"1,2,3,4,5,6", {1, 2, 3, 4}},
    };
    for (const auto& c : cases) {
        CLabelUI label;
        label.SetAttribute(L"textpadding", memory.PlaceText(c.value));
        const RECT padding = label.GetTextPadding();
        EXPECT_TRUE(EqualRect(&padding, &c.padding)) << "textpadding " << std::wstring(c.value).size();
        label.SetAttribute(L"shadowoffset", memory.PlaceText(L"2"));
        EXPECT_EQ(-2.0f, label.GetShadowOffsetX());
    }
}

TEST(LabelAttributes, ShadowOffsetFollowsTheAngleWhereverTheLabelIs) {
    const OffsetCase cases[] = {
        {L"2,45", -2, -2}, {L"2,135", -2, 2}, {L"2,-45", 2, -2}, {L"2,90", -2, -2},
        {L"2,-90", 2, 0},  {L"2,-180", 0, 2}, {L"2,180", -2, 2},
    };
    for (const OffsetCase& c : cases) {
        CLabelUI fresh;
        fresh.SetAttribute(L"shadowoffset", c.value);
        EXPECT_EQ(c.x, fresh.GetShadowOffsetX()) << c.value[2] << c.value[3];
        EXPECT_EQ(c.y, fresh.GetShadowOffsetY()) << c.value[2] << c.value[3];
        // The same on a label that is already placed somewhere.
        CLabelUI placed;
        placed.SetPos(RECT{100, 300, 200, 340}, false);
        placed.SetAttribute(L"shadowoffset", c.value);
        EXPECT_EQ(c.x, placed.GetShadowOffsetX());
        EXPECT_EQ(c.y, placed.GetShadowOffsetY());
    }
    CLabelUI label;
    label.SetShadowOffset(2, 45);
    label.SetAttribute(L"shadowoffset", L"5,200");
    EXPECT_EQ(-2.0f, label.GetShadowOffsetX());
    EXPECT_EQ(-2.0f, label.GetShadowOffsetY());
}

TEST(LabelAttributes, DefaultsAndValuesThatDoNotChangeThem) {
    CLabelUI label;
    EXPECT_EQ(-1, label.GetFont());
    EXPECT_EQ(0xFFFFFFFFu, label.GetTextColor1());
    EXPECT_EQ(0xFF000000u, label.GetTextShadowColorA());
    EXPECT_EQ(0xFFFFFFFFu, label.GetTextShadowColorB());
    EXPECT_EQ(3.0f, label.GetLuminousFuzzy());
    label.SetAttribute(L"luminousfuzzy", L"0");
    EXPECT_EQ(3.0f, label.GetLuminousFuzzy());
    label.SetAttribute(L"luminousfuzzy", L"1.5");
    EXPECT_EQ(1.5f, label.GetLuminousFuzzy());
    label.SetAttribute(L"textcolor", L"#FF112233");
    EXPECT_EQ(0xFF112233u, label.GetTextColor());
    label.SetAttribute(L"strokecolor", L"80FF0000");
    EXPECT_EQ(0x80FF0000u, label.GetStrokeColor());
    // Unknown names end up as custom attributes of the control.
    label.SetAttribute(L"Align", L"center");
    EXPECT_STREQ(L"center", label.GetCustomAttribute(L"Align"));
}

TEST(LabelGdiplus, EveryLabelHoldsGdiplusForItsLife) {
    const int before = CGdiplusStarterUI::GetReferenceCount();
    {
        CLabelUI a;
        CTextUI b;
        EXPECT_EQ(before + 2, CGdiplusStarterUI::GetReferenceCount());
    }
    EXPECT_EQ(before, CGdiplusStarterUI::GetReferenceCount());
    CGdiplusStarterUI reference;
    EXPECT_TRUE(reference.IsStarted());
}

TEST(LabelEstimate, WithoutAWindowTheFixedSizeIsTheAnswer) {
    CLabelUI label;
    label.SetText(L"nothing measures this");
    EXPECT_EQ(0, label.EstimateSize(SIZE{100, 100}).cx);
    label.SetFixedWidth(30);
    EXPECT_EQ(30, label.EstimateSize(SIZE{100, 100}).cx);
    EXPECT_EQ(0, label.EstimateSize(SIZE{100, 100}).cy);
    // A manager that has no window yet has nothing to measure with either.
    CWindowManagerUI unbound;
    label.SetManager(&unbound, nullptr, false);
    label.SetFixedWidth(0);
    EXPECT_EQ(0, label.EstimateSize(SIZE{100, 100}).cx);
    label.SetManager(nullptr, nullptr, false);
}

TEST(LabelEstimate, SingleLineAsksForTheTextAndTheFontHeight) {
    WidgetWindow window;
    ASSERT_NE(nullptr, window.Build(L"<Window><VerticalLayout><Label name=\"l\" text=\"Hello there\" "
                                    L"textpadding=\"3,4,5,6\" /><Label name=\"empty\" textpadding=\"3,4,5,6\" />"
                                    L"</VerticalLayout></Window>"));
    auto* label = window.Find<CLabelUI>(L"l");
    FontInfoUI* font = window.manager.GetFontInfo(-1);
    ASSERT_GT(font->metrics.tmHeight, 0);
    SIZE text = {};
    HDC dc = window.manager.GetPaintDC();
    HGDIOBJ old = SelectObject(dc, font->GetHandle());
    GetTextExtentPoint32W(dc, L"Hello there", 11, &text);
    SelectObject(dc, old);
    const SIZE size = label->EstimateSize(SIZE{300, 200});
    EXPECT_EQ(text.cx + 8, size.cx);
    EXPECT_EQ(font->metrics.tmHeight + 8 + 10, size.cy);
    EXPECT_EQ(8, window.Find<CLabelUI>(L"empty")->EstimateSize(SIZE{300, 200}).cx);
    // The layout gave the label the height it asked for.
    EXPECT_EQ(size.cy, label->GetHeight());

    // Single-line: a change of the available width alone does not measure.
    label->CControlUI::SetText(L"Hi");
    EXPECT_EQ(size.cx, label->EstimateSize(SIZE{100, 200}).cx);
    label->SetText(L"Hi");
    EXPECT_LT(label->EstimateSize(SIZE{100, 200}).cx, size.cx);
}

TEST(LabelEstimate, MultiLineMeasuresAgainOnlyWhenTheAvailableSizeChanges) {
    WidgetWindow window;
    ASSERT_NE(nullptr, window.Build(L"<Window><VerticalLayout><Label name=\"l\" multiline=\"true\" "
                                    L"text=\"one two three four five six seven eight\" /></VerticalLayout></Window>"));
    auto* label = window.Find<CLabelUI>(L"l");
    const SIZE wide = label->EstimateSize(SIZE{1000, 500});
    const SIZE narrow = label->EstimateSize(SIZE{60, 500});
    EXPECT_EQ(1000, wide.cx);
    EXPECT_EQ(60, narrow.cx);
    EXPECT_GT(narrow.cy, wide.cy);
    // A text changed behind the label's back shows only once the size changes.
    label->CControlUI::SetText(L"one");
    EXPECT_EQ(narrow.cy, label->EstimateSize(SIZE{60, 500}).cy);
    EXPECT_EQ(wide.cy, label->EstimateSize(SIZE{61, 500}).cy);
}

TEST(LabelPaint, AMissingTextColourBecomesTheWindowsDefaultForGood) {
    WidgetWindow window;
    window.manager.SetDefaultFontColor(0xFF00C000);
    ASSERT_NE(nullptr, window.Build(L"<Window><VerticalLayout><Label name=\"l\" text=\"MMMM\" height=\"40\" />"
                                    L"<Control /></VerticalLayout></Window>"));
    DibSurface surface(300, 200);
    window.Paint(surface);
    auto* label = window.Find<CLabelUI>(L"l");
    EXPECT_EQ(0xFF00C000u, label->GetTextColor());
    const InkRows ink = FindInkRows(surface, RECT{0, 0, 300, 40});
    ASSERT_GE(ink.top, 0);
    EXPECT_TRUE(Near(0x00C000, ink.topPixel, 40));
    window.manager.SetDefaultFontColor(0xFF0000FF);
    window.Paint(surface);
    EXPECT_EQ(0xFF00C000u, label->GetTextColor());
}

TEST(LabelEffects, TheGradientRunsFromTheTextColourToTheSecondColourWhereverTheLabelIs) {
    for (const int top : {0, 150}) {
        DibSurface surface(300, 240);
        PaintEffectLabel(L"textcolor=\"#FFFF0000\" textcolor1=\"#FF0000FF\"", surface, top);
        const InkRows ink = FindInkRows(surface, RECT{0, top, 300, top + 60});
        ASSERT_GE(ink.top, 0) << top;
        EXPECT_GT(ink.bottom - ink.top, 15) << top;
        EXPECT_GT(Red(ink.topPixel), Blue(ink.topPixel) + 40) << top;
        EXPECT_GT(Blue(ink.bottomPixel), Red(ink.bottomPixel) + 40) << top;
    }
}

TEST(LabelEffects, TheOutlineNeedsAColourAndTheShadowWithoutColourBIsColourAAlone) {
    DibSurface plain(300, 240), unstroked(300, 240), stroked(300, 240), shadowed(300, 240);
    PaintEffectLabel(L"textcolor=\"#FF000000\"", plain);
    PaintEffectLabel(L"textcolor=\"#FF000000\" enabledstroke=\"true\"", unstroked);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 300; ++x) ASSERT_EQ(plain.Rgb(x, y), unstroked.Rgb(x, y)) << x << "," << y;
    PaintEffectLabel(L"textcolor=\"#FF000000\" enabledstroke=\"true\" strokecolor=\"#FF00FF00\"", stroked);
    int green = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 300; ++x) {
            const uint32_t p = stroked.Rgb(x, y);
            if (Green(p) > 150 && Red(p) < 100 && Blue(p) < 100) ++green;
        }
    EXPECT_GT(green, 20);

    // White text over white: only the shadow shows.
    PaintEffectLabel(L"textcolor=\"#FFFFFFFF\" enabledshadow=\"true\" shadowoffset=\"3,-135\" "
                     L"textshadowcolora=\"#FFFF0000\"",
                     shadowed);
    const InkRows ink = FindInkRows(shadowed, kLabelArea);
    ASSERT_GE(ink.top, 0);
    for (const uint32_t pixel : {ink.topPixel, ink.bottomPixel}) {
        EXPECT_GT(Red(pixel), 200);
        EXPECT_LT(Green(pixel), 100);
        EXPECT_NEAR(Green(pixel), Blue(pixel), 8);
    }
    EXPECT_GT(CountInk(shadowed, kLabelArea), 20);
}

TEST(LabelEffects, TheGlowBlursAroundTheTextAndAnEmptyTextAreaDrawsNothing) {
    DibSurface without(300, 240), with(300, 240), empty(300, 240);
    PaintEffectLabel(L"textcolor=\"#FFFF0000\"", without);
    PaintEffectLabel(L"textcolor=\"#FFFF0000\" enabledluminous=\"true\"", with);
    EXPECT_GT(CountInk(with, kLabelArea), CountInk(without, kLabelArea));
    PaintEffectLabel(L"textcolor=\"#FFFF0000\" enabledluminous=\"true\" enabledshadow=\"true\" "
                     L"textpadding=\"160,0,160,0\"",
                     empty);
    EXPECT_EQ(0, CountInk(empty, kLabelArea));
}

TEST(TextLinks, AReleaseOverALinkSendsItsIndex) {
    WidgetWindow window;
    ASSERT_NE(nullptr, window.Build(L"<Window><VerticalLayout><Text name=\"t\" showhtml=\"true\" height=\"60\" "
                                    L"text=\"{a one}first{/a} and {a two}second{/a}\" /><Control />"
                                    L"</VerticalLayout></Window>"));
    auto* text = window.Find<CTextUI>(L"t");
    EXPECT_EQ(0u, text->GetControlFlags());
    DibSurface surface(300, 200);
    window.Paint(surface);
    ASSERT_EQ(2, text->GetLinkCount());
    EXPECT_EQ(static_cast<UINT>(ControlFlagSetCursor), text->GetControlFlags());
    EXPECT_STREQ(L"two", text->GetLinkText(1).GetData());
    const RECT second = text->GetLinkRect(1);
    const int x = (second.left + second.right) / 2, y = (second.top + second.bottom) / 2;

    ControlEventUI outside = MakeEvent(EventButtonUp, second.right + 40, 50);
    text->Event(outside);
    EXPECT_TRUE(window.notifier.heard.empty());
    ControlEventUI hover = MakeEvent(EventMouseMove, x, y);
    text->Event(hover);
    EXPECT_EQ(1, text->GetHoveredLink());
    ControlEventUI up = MakeEvent(EventButtonUp, x, y);
    text->Event(up);
    ASSERT_EQ(1u, window.notifier.heard.size());
    EXPECT_EQ(L"link", window.notifier.heard[0].type);
    EXPECT_EQ(L"t", window.notifier.heard[0].sender);
    EXPECT_EQ(1u, window.notifier.heard[0].wParam);

    ControlEventUI cursor = MakeEvent(EventSetCursor, x, y);
    text->Event(cursor);
    EXPECT_EQ(LoadCursorW(nullptr, IDC_HAND), GetCursor());
    text->SetEnabled(false);
    text->Event(up);
    EXPECT_EQ(1u, window.notifier.heard.size());
}
