#include "tests/unit/ui/support/container_test_support.h"

#include <gtest/gtest.h>

using namespace QuillUI;

namespace {

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

::testing::AssertionResult RectIs(const RECT& expected, const RECT& actual) {
    if (SameRect(expected, actual)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected (" << expected.left << "," << expected.top << ","
                                         << expected.right << "," << expected.bottom << "), got (" << actual.left
                                         << "," << actual.top << "," << actual.right << "," << actual.bottom << ")";
}

void Send(CScrollBarUI& bar, int kind, POINT pt = {0, 0}, WPARAM wParam = 0) {
    ControlEventUI event;
    event.kind = kind;
    event.mousePoint = pt;
    event.wParam = wParam;
    bar.DoEvent(event);
}

void Tick(CScrollBarUI& bar) { Send(bar, EventTimer, POINT{0, 0}, CScrollBarUI::kRepeatTimerId); }

}  // namespace

TEST(ScrollBarGeometry, PartsFollowTheSizeRangeAndPosition) {
    struct Case {
        const wchar_t* what;
        bool horizontal;
        int length;  // along the bar, which starts at (5, 7)
        int range;
        int position;
        bool button1;
        bool button2;
        RECT b1, b2, thumb;
    };
    // The bar starts at (5, 7) and is 16 thick.
    const Case cases[] = {
        {L"both buttons", false, 100, 100, 50, true, true, {5, 7, 21, 23}, {5, 91, 21, 107}, {5, 40, 21, 74}},
        {L"at the top", false, 100, 100, 0, true, true, {5, 7, 21, 23}, {5, 91, 21, 107}, {5, 23, 21, 57}},
        {L"at the end", false, 100, 100, 100, true, true, {5, 7, 21, 23}, {5, 91, 21, 107}, {5, 57, 21, 91}},
        {L"no first button", false, 100, 100, 50, false, true, {5, 7, 5, 7}, {5, 91, 21, 107}, {5, 28, 21, 70}},
        {L"no buttons", false, 100, 100, 100, false, false, {5, 7, 5, 7}, {5, 107, 5, 107}, {5, 57, 21, 107}},
        {L"range 0 fills the rail", false, 100, 0, 0, true, true, {5, 7, 21, 23}, {5, 91, 21, 107}, {5, 23, 21, 91}},
        {L"too short for a thumb", false, 20, 100, 50, true, true, {5, 7, 21, 17}, {5, 17, 21, 27}, {0, 0, 0, 0}},
        // (1000 - 16) x 9,000,000 does not fit in 32 bits.
        {L"large range", false, 1032, 10000000, 9000000, true, true, {5, 7, 21, 23}, {5, 1023, 21, 1039},
         {5, 908, 21, 924}},
        {L"horizontal", true, 100, 100, 50, true, true, {5, 7, 21, 23}, {89, 7, 105, 23}, {38, 7, 72, 23}},
        {L"horizontal, too short", true, 20, 100, 50, true, true, {5, 7, 15, 23}, {15, 7, 25, 23}, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        CScrollBarUI bar;
        bar.SetHorizontal(c.horizontal);
        bar.SetShowButton1(c.button1);
        bar.SetShowButton2(c.button2);
        bar.SetScrollRange(c.range);
        bar.SetScrollPos(c.position);
        if (c.horizontal)
            bar.SetPos(RECT{5, 7, 5 + c.length, 7 + 16});
        else
            bar.SetPos(RECT{5, 7, 5 + 16, 7 + c.length});
        EXPECT_TRUE(RectIs(c.b1, bar.GetButton1Rect())) << c.what;
        EXPECT_TRUE(RectIs(c.b2, bar.GetButton2Rect())) << c.what;
        EXPECT_TRUE(RectIs(c.thumb, bar.GetThumbRect())) << c.what;
    }
}

TEST(ScrollBarPosition, ClampedRoundedToTheUnitAndCutByTheRange) {
    struct Case {
        int unit;
        int range;
        int wanted;
        int expected;
    };
    const Case cases[] = {
        {10, 100, 13, 10}, {10, 100, 15, 20}, {10, 95, 99, 95}, {10, 100, -3, 0},
        {1, 100, 130, 100}, {0, 100, 13, 13}, {10, INT_MAX, INT_MAX - 2, INT_MAX},
    };
    for (const Case& c : cases) {
        CScrollBarUI bar;
        bar.SetScrollUnit(c.unit);
        bar.SetScrollRange(c.range);
        bar.SetScrollPos(c.wanted);
        EXPECT_EQ(c.expected, bar.GetScrollPos()) << c.unit << " " << c.range << " " << c.wanted;
    }

    CScrollBarUI bar;
    bar.SetScrollPos(80);
    bar.SetScrollRange(30);
    EXPECT_EQ(30, bar.GetScrollPos());
    bar.SetScrollRange(-4);
    EXPECT_EQ(0, bar.GetScrollRange());
    bar.SetLineSize(-1);
    bar.SetScrollUnit(-1);
    EXPECT_EQ(8, bar.GetLineSize());
    bar.SetScrollUnit(25);
    EXPECT_EQ(25, bar.GetLineSize());
}

TEST(ScrollBarEvents, AHeldButtonStepsAtOnceThenFromTheSixthTick) {
    CScrollBarUI bar;
    bar.SetPos(RECT{0, 0, 16, 100});
    Send(bar, EventButtonDown, POINT{8, 95});
    EXPECT_EQ(8, bar.GetScrollPos());
    EXPECT_TRUE(bar.GetButton2State() & CScrollBarUI::PartPushed);
    for (int tick = 1; tick <= 5; ++tick) Tick(bar);
    EXPECT_EQ(8, bar.GetScrollPos());
    Tick(bar);
    EXPECT_EQ(16, bar.GetScrollPos());
    Tick(bar);
    EXPECT_EQ(24, bar.GetScrollPos());
    Send(bar, EventButtonUp, POINT{8, 95});
    EXPECT_FALSE(bar.GetButton2State() & CScrollBarUI::PartPushed);
    Tick(bar);  // a late tick after the release
    EXPECT_EQ(24, bar.GetScrollPos());

    // Button 1 and the rail page by the bar's length.
    Send(bar, EventButtonDown, POINT{8, 5});
    Send(bar, EventButtonUp, POINT{8, 5});
    EXPECT_EQ(16, bar.GetScrollPos());
    Send(bar, EventButtonDown, POINT{8, 80});
    Send(bar, EventButtonUp, POINT{8, 80});
    EXPECT_EQ(100, bar.GetScrollPos());

    bar.SetEnabled(false);
    Send(bar, EventButtonDown, POINT{8, 5});
    EXPECT_EQ(100, bar.GetScrollPos());
}

TEST(ScrollBarEvents, TheThumbFollowsTheDragOnTheTimerEvenForLargeRanges) {
    struct Case {
        int length;
        int range;
        int start;
        int drag;
        int expected;
    };
    const Case cases[] = {
        {100, 100, 0, 17, 50},  // 17 x 100 / (100 - 34 - 32)
        {100, 100, 60, -100, 0},
        {1032, 10000000, 0, 492, 5000000},  // 492 x 10,000,000 overflows 32 bits
    };
    for (const Case& c : cases) {
        CScrollBarUI bar;
        bar.SetScrollRange(c.range);
        bar.SetScrollPos(c.start);
        bar.SetPos(RECT{0, 0, 16, c.length});
        const RECT thumb = bar.GetThumbRect();
        const POINT grip = {8, (thumb.top + thumb.bottom) / 2};
        Send(bar, EventButtonDown, grip);
        EXPECT_TRUE(bar.GetThumbState() & CScrollBarUI::PartCaptured);
        Send(bar, EventMouseMove, POINT{8, grip.y + c.drag});
        EXPECT_EQ(c.start, bar.GetScrollPos());  // only the timer moves it
        Tick(bar);
        EXPECT_EQ(c.expected, bar.GetScrollPos()) << c.length << " " << c.drag;
        Send(bar, EventButtonUp, grip);
        EXPECT_EQ(0u, bar.GetThumbState() & (CScrollBarUI::PartCaptured | CScrollBarUI::PartPushed));
    }
}

TEST(ScrollBarEvents, ABarWithAnOwnerAsksTheOwnerToScroll) {
    CContainerUI owner;
    auto* child = new CControlUI();
    owner.Add(child);
    owner.EnableScrollBar(true, false);
    CScrollBarUI* bar = owner.GetVerticalScrollBar();
    bar->SetScrollRange(200);
    owner.SetManager(nullptr, nullptr, false);
    owner.SetPos(RECT{0, 0, 100, 100});
    bar->SetPos(RECT{84, 0, 100, 100});

    Send(*bar, EventButtonDown, POINT{90, 95});  // the owner's line: 8 without a manager
    Send(*bar, EventButtonUp, POINT{90, 95});
    EXPECT_EQ(8, bar->GetScrollPos());
    EXPECT_EQ(-8, child->GetPos().top);
    Send(*bar, EventButtonDown, POINT{90, 80});  // the owner's page: its height
    Send(*bar, EventButtonUp, POINT{90, 80});
    EXPECT_EQ(108, bar->GetScrollPos());
    EXPECT_EQ(-108, child->GetPos().top);

    const RECT thumb = bar->GetThumbRect();
    const POINT grip = {90, (thumb.top + thumb.bottom) / 2};
    Send(*bar, EventButtonDown, grip);
    Send(*bar, EventMouseMove, POINT{90, grip.y - 100});
    Tick(*bar);
    EXPECT_EQ(0, bar->GetScrollPos());
    EXPECT_EQ(0, child->GetPos().top);
    Send(*bar, EventButtonUp, grip);
}

TEST(ScrollBarEvents, HoverLightsThePartsAndLeavingOrDisablingClearsThem) {
    CScrollBarUI bar;
    bar.SetPos(RECT{0, 0, 16, 100});  // thumb 16..50
    const UINT hot = CScrollBarUI::PartHot;
    Send(bar, EventMouseEnter, POINT{8, 30});
    EXPECT_TRUE(bar.GetButton1State() & hot);
    EXPECT_TRUE(bar.GetButton2State() & hot);
    EXPECT_TRUE(bar.GetThumbState() & hot);
    Send(bar, EventMouseMove, POINT{8, 70});
    EXPECT_FALSE(bar.GetThumbState() & hot);
    Send(bar, EventMouseMove, POINT{8, 30});
    EXPECT_TRUE(bar.GetThumbState() & hot);

    // A leave that still lies on the bar keeps the highlight.
    Send(bar, EventMouseLeave, POINT{8, 30});
    EXPECT_TRUE(bar.GetButton1State() & hot);
    // The window's leave comes with a point outside.
    Send(bar, EventMouseLeave, POINT{-1, -1});
    EXPECT_EQ(0u, bar.GetButton1State() & hot);
    EXPECT_EQ(0u, bar.GetButton2State() & hot);
    EXPECT_EQ(0u, bar.GetThumbState() & hot);

    Send(bar, EventMouseEnter, POINT{8, 30});
    Send(bar, EventButtonDown, POINT{8, 5});
    bar.SetEnabled(false);
    EXPECT_EQ(0u, bar.GetButton1State());
    EXPECT_EQ(0u, bar.GetButton2State());
    EXPECT_EQ(0u, bar.GetThumbState());
    Send(bar, EventMouseEnter, POINT{8, 30});
    EXPECT_EQ(0u, bar.GetThumbState());
}

TEST(ScrollBarAttributes, OrientationNumbersAndColours) {
    CScrollBarUI bar;
    bar.SetAttribute(L"hor", L"true");
    EXPECT_TRUE(bar.IsHorizontal());
    EXPECT_EQ(0, bar.GetFixedWidth());
    EXPECT_EQ(16, bar.GetFixedHeight());
    bar.SetAttribute(L"hor", L"True");
    EXPECT_FALSE(bar.IsHorizontal());
    EXPECT_EQ(16, bar.GetFixedWidth());
    EXPECT_EQ(0, bar.GetFixedHeight());

    bar.SetAttribute(L"range", L"300");
    bar.SetAttribute(L"scrollunit", L"20");
    bar.SetAttribute(L"value", L"75");
    bar.SetAttribute(L"linesize", L"5");
    EXPECT_EQ(300, bar.GetScrollRange());
    EXPECT_EQ(80, bar.GetScrollPos());
    EXPECT_EQ(20, bar.GetLineSize());
    bar.SetAttribute(L"showbutton1", L"false");
    EXPECT_FALSE(bar.GetShowButton1());
    bar.SetAttribute(L"thumbcolor", L" \t#FF00FF00");
    bar.SetAttribute(L"button1color", L"80112233");
    EXPECT_EQ(0xFF00FF00u, bar.GetThumbColor());
    EXPECT_EQ(0x80112233u, bar.GetButton1Color());
    bar.SetAttribute(L"width", L"12");
    EXPECT_EQ(12, bar.GetFixedWidth());
}
