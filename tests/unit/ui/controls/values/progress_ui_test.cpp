#include "ui/controls/values/progress_ui.h"
#include "tests/unit/ui/support/widget_test_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

using namespace QuillUI;

namespace {

std::wstring OneProgress(const std::wstring& attributes) {
    return L"<Window><VerticalLayout><Progress name=\"p\" " + attributes +
           L" /><Control /></VerticalLayout></Window>";
}

}  // namespace

TEST(ProgressValues, MarkupAndThePaintKeepTheValueInItsRange) {
    struct Case {
        const wchar_t* attributes;
        int min, max, value;
    };
    const Case cases[] = {
        {L"value=\"150\"", 0, 100, 100},
        {L"value=\"-5\"", 0, 100, 0},
        {L"min=\"10\" max=\"10\"", 10, 11, 10},
        // Attributes apply in markup order.
        {L"value=\"150\" max=\"200\"", 0, 200, 100},
        {L"max=\"200\" value=\"150\"", 0, 200, 150},
        {L"min=\"50\" max=\"20\" value=\"30\"", 50, 51, 50},
        // No room above the minimum: the range stays empty and paints as one.
        {L"min=\"2147483647\"", INT_MAX, INT_MAX, INT_MAX},
    };
    for (const Case& c : cases) {
        WidgetWindow window(300, 50);
        ASSERT_NE(nullptr, window.Build(OneProgress(c.attributes).c_str()));
        auto* progress = window.Find<CProgressUI>(L"p");
        DibSurface surface(300, 50);
        window.Paint(surface);
        const std::string what(c.attributes, c.attributes + wcslen(c.attributes));
        EXPECT_EQ(c.min, progress->GetMin()) << what;
        EXPECT_EQ(c.max, progress->GetMax()) << what;
        EXPECT_EQ(c.value, progress->GetValue()) << what;
    }
}

TEST(ProgressPaint, TheForeImageShowsTheValueFromTheLeftOrFromTheBottom) {
    struct Case {
        const wchar_t* attributes;
        POINT lastFilled;
        POINT firstEmpty;
    };
    const Case cases[] = {
        {L"width=\"200\" value=\"37\"", {73, 6}, {74, 6}},
        {L"width=\"12\" height=\"200\" hor=\"false\" value=\"37\"", {6, 126}, {6, 125}},
        // The range and the products pass 32 bits.
        {L"width=\"200\" min=\"-2000000000\" max=\"2000000000\" value=\"1000000000\"", {149, 6}, {150, 6}},
        {L"width=\"200\" value=\"100\"", {199, 6}, {200, 6}},
    };
    for (const Case& c : cases) {
        WidgetWindow window(300, 250);
        const std::wstring attributes =
            std::wstring(c.attributes) + L" foreimage=\"file='ffff0000' restype='*COLOR*'\"";
        ASSERT_NE(nullptr, window.Build(OneProgress(attributes).c_str()));
        DibSurface surface(300, 250);
        window.Paint(surface);
        const std::string what(c.attributes, c.attributes + wcslen(c.attributes));
        EXPECT_EQ(0xFF0000u, surface.Rgb(c.lastFilled.x, c.lastFilled.y)) << what;
        EXPECT_EQ(0xFFFFFFu, surface.Rgb(c.firstEmpty.x, c.firstEmpty.y)) << what;
    }
}
