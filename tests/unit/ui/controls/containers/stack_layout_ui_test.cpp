#include "ui/controls/buttons/button_ui.h"
#include "ui/controls/containers/horizontal_layout_ui.h"
#include "ui/controls/text/label_ui.h"
#include "ui/controls/containers/scroll_bar_ui.h"
#include "ui/controls/containers/vertical_layout_ui.h"
#include "tests/unit/ui/support/widget_test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace QuillUI;

namespace {

struct PlacementCase {
    const char* what;
    bool horizontal;
    const wchar_t* layout;  // attributes of the layout
    int width;
    int height;
    std::vector<const wchar_t*> children;  // attributes of each plain child
    std::vector<RECT> expected;
};

}  // namespace

TEST(StackLayoutPlacement, PlacesChildrenByTheTwoPassArithmetic) {
    const PlacementCase cases[] = {
        {"fixed and shared widths", true, L"childpadding=\"10\"", 300, 50, {L"width=\"100\"", L"", L""},
         {{0, 0, 100, 50}, {110, 0, 200, 50}, {210, 0, 300, 50}}},
        {"the last shared child takes the remainder", true, L"childpadding=\"10\"", 301, 50,
         {L"width=\"100\"", L"", L""}, {{0, 0, 100, 50}, {110, 0, 200, 50}, {210, 0, 301, 50}}},
        {"a maximum width gives the rest to the last", true, L"", 300, 50, {L"maxwidth=\"50\"", L""},
         {{0, 0, 50, 50}, {50, 0, 300, 50}}},
        {"a minimum width takes from the last", true, L"", 200, 50, {L"minwidth=\"120\"", L""},
         {{0, 0, 120, 50}, {120, 0, 200, 50}}},
        {"float children take no part", true, L"childpadding=\"10\"", 300, 50,
         {L"width=\"100\"", L"float=\"true\" pos=\"5,5,25,25\"", L""},
         {{0, 0, 100, 50}, {5, 5, 25, 25}, {110, 0, 300, 50}}},
        {"the child's own padding", true, L"", 300, 50, {L"width=\"100\" padding=\"5,3,5,3\"", L""},
         {{5, 3, 105, 47}, {110, 0, 300, 50}}},
        {"valign top", true, L"childvalign=\"top\"", 100, 101, {L"width=\"30\" height=\"20\""}, {{0, 0, 30, 20}}},
        {"valign centre", true, L"childvalign=\"vcenter\"", 100, 101, {L"width=\"30\" height=\"20\""},
         {{0, 40, 30, 60}}},
        {"valign bottom", true, L"childvalign=\"bottom\"", 100, 101, {L"width=\"30\" height=\"20\""},
         {{0, 81, 30, 101}}},
        {"a minimum height across", true, L"", 100, 50, {L"width=\"30\" maxheight=\"10\" minheight=\"20\""},
         {{0, 0, 30, 20}}},
        {"vertical: fixed and shared heights", false, L"childpadding=\"10\"", 50, 300, {L"height=\"100\"", L"", L""},
         {{0, 0, 50, 100}, {0, 110, 50, 200}, {0, 210, 50, 300}}},
        {"vertical: the remainder", false, L"childpadding=\"10\"", 50, 301, {L"height=\"100\"", L"", L""},
         {{0, 0, 50, 100}, {0, 110, 50, 200}, {0, 210, 50, 301}}},
        {"vertical: a maximum height", false, L"", 50, 300, {L"maxheight=\"40\"", L""},
         {{0, 0, 50, 40}, {0, 40, 50, 300}}},
        {"vertical: align left", false, L"childalign=\"left\"", 101, 50, {L"width=\"20\" height=\"10\""},
         {{0, 0, 20, 10}}},
        {"vertical: align centre", false, L"childalign=\"center\"", 101, 50, {L"width=\"20\" height=\"10\""},
         {{40, 0, 60, 10}}},
        {"vertical: align right", false, L"childalign=\"right\"", 101, 50, {L"width=\"20\" height=\"10\""},
         {{81, 0, 101, 10}}},
        {"vertical: padding and float", false, L"", 50, 300,
         {L"height=\"100\" padding=\"2,5,3,5\"", L"float=\"true\" pos=\"1,1,9,9\"", L""},
         {{2, 5, 47, 105}, {1, 1, 9, 9}, {0, 110, 50, 300}}},
    };
    for (const PlacementCase& c : cases) {
        const std::wstring tag = c.horizontal ? L"HorizontalLayout" : L"VerticalLayout";
        std::wstring markup = L"<Window><" + tag + L" " + c.layout + L">";
        for (size_t i = 0; i < c.children.size(); ++i) {
            markup += L"<Control name=\"c" + std::to_wstring(i) + L"\" " + c.children[i] + L" />";
        }
        markup += L"</" + tag + L"></Window>";
        WidgetWindow window(c.width, c.height);
        ASSERT_NE(nullptr, window.Build(markup.c_str())) << c.what;
        ASSERT_EQ(c.children.size(), c.expected.size()) << c.what;
        for (size_t i = 0; i < c.children.size(); ++i) {
            CControlUI* child = window.Find<CControlUI>((L"c" + std::to_wstring(i)).c_str());
            ASSERT_NE(nullptr, child) << c.what;
            EXPECT_EQ(RectText(c.expected[i]), RectText(child->GetPos())) << c.what << ", child " << i;
        }
    }
}

TEST(StackLayoutPlacement, ControlsThatMeasureTextLayOutWithoutAWindow) {
    // Nothing to measure with: the label and the button answer their fixed
    // sizes and become shared children.
    CVerticalLayoutUI layout;
    auto* label = new CLabelUI();
    label->SetText(L"no window yet");
    auto* button = new CButtonUI();
    button->SetText(L"nor here");
    layout.Add(label);
    layout.Add(button);
    layout.SetPos(RECT{0, 0, 100, 100}, false);
    EXPECT_EQ(L"0,0,100,50", RectText(label->GetPos()));
    EXPECT_EQ(L"0,50,100,100", RectText(button->GetPos()));
    EXPECT_EQ(0, label->EstimateSize(SIZE{100, 100}).cy);
}

TEST(StackLayoutPlacement, AChildWiderThanTheLayoutKeepsItsWidthAndTheBarGetsTheDifference) {
    WidgetWindow window(300, 200);
    ASSERT_NE(nullptr, window.Build(L"<Window><HorizontalLayout name=\"row\" hscrollbar=\"true\">"
                                    L"<Control name=\"wide\" width=\"450\" /></HorizontalLayout></Window>"));
    auto* row = window.Find<CHorizontalLayoutUI>(L"row");
    CScrollBarUI* bar = row->GetHorizontalScrollBar();
    ASSERT_NE(nullptr, bar);
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_EQ(150, bar->GetScrollRange());
    const RECT wide = window.Find<CControlUI>(L"wide")->GetPos();
    EXPECT_EQ(450, wide.right - wide.left);
    // Scrolling moves the child by the bar's position.
    row->SetScrollPos(SIZE{40, 0});
    EXPECT_EQ(-40, window.Find<CControlUI>(L"wide")->GetPos().left);
}

TEST(StackLayoutPlacement, TagsAndInterfaces) {
    WidgetWindow window;
    ASSERT_NE(nullptr, window.Build(L"<Window><VBox name=\"v\"><HBox name=\"h\" /><HorizontalLayout name=\"h2\" />"
                                    L"<VerticalLayout name=\"v2\" /></VBox></Window>"));
    EXPECT_STREQ(L"VerticalLayout", window.Find<CControlUI>(L"v")->GetClass());
    EXPECT_STREQ(L"HorizontalLayout", window.Find<CControlUI>(L"h")->GetClass());
    EXPECT_STREQ(L"HorizontalLayout", window.Find<CControlUI>(L"h2")->GetClass());
    EXPECT_STREQ(L"VerticalLayout", window.Find<CControlUI>(L"v2")->GetClass());
    CControlUI* h = window.Find<CControlUI>(L"h");
    EXPECT_EQ(static_cast<void*>(h), h->GetInterface(L"HorizontalLayout"));
    EXPECT_EQ(nullptr, h->GetInterface(L"VerticalLayout"));
    EXPECT_NE(nullptr, h->GetInterface(L"IContainer"));
}

namespace {

// A row of a draggable layout and a filler, 400 wide.
class SeparatorDrag : public ::testing::Test {
protected:
    void Build(const wchar_t* dragged) {
        std::wstring markup = L"<Window><HorizontalLayout>";
        markup += dragged;
        markup += L"<Control name=\"filler\" /></HorizontalLayout></Window>";
        ASSERT_NE(nullptr, window.Build(markup.c_str()));
        pane = window.Find<CHorizontalLayoutUI>(L"pane");
    }
    void Send(int kind, int x, int y) {
        ControlEventUI event = MakeEvent(kind, x, y);
        pane->Event(event);
    }

    WidgetWindow window{400, 100};
    CHorizontalLayoutUI* pane = nullptr;
};

}  // namespace

TEST_F(SeparatorDrag, ImmediateModeResizesLiveAndStopsAtTheMinimum) {
    Build(L"<HorizontalLayout name=\"pane\" width=\"200\" minwidth=\"150\" sepwidth=\"4\" sepimm=\"true\" />");
    EXPECT_EQ(static_cast<UINT>(ControlFlagSetCursor), pane->GetControlFlags());
    EXPECT_EQ(L"196,0,200,100", RectText(pane->GetThumbRect()));

    Send(EventButtonDown, 198, 50);
    Send(EventMouseMove, 158, 50);
    EXPECT_EQ(L"0,0,160,100", RectText(pane->GetPos()));
    EXPECT_EQ(160, pane->GetFixedWidth());
    Send(EventMouseMove, 118, 50);
    EXPECT_EQ(L"0,0,150,100", RectText(pane->GetPos()));
    // Further left changes nothing; coming back right starts only once the
    // pointer is back over the strip.
    Send(EventMouseMove, 100, 50);
    Send(EventMouseMove, 120, 50);
    EXPECT_EQ(150, pane->GetFixedWidth());
    Send(EventMouseMove, 148, 50);
    EXPECT_EQ(178, pane->GetFixedWidth());
    Send(EventButtonUp, 148, 50);
    window.Layout();
    EXPECT_EQ(L"0,0,178,100", RectText(pane->GetPos()));
    EXPECT_EQ(L"178,0,400,100", RectText(window.Find<CControlUI>(L"filler")->GetPos()));
}

TEST_F(SeparatorDrag, PreviewModeMovesOnlyTheStripUntilRelease) {
    Build(L"<HorizontalLayout name=\"pane\" width=\"200\" maxwidth=\"260\" sepwidth=\"4\" />");
    Send(EventButtonDown, 198, 50);
    // In the manager's post-paint list: adding it again is refused.
    EXPECT_FALSE(window.manager.AddPostPaint(pane));
    Send(EventMouseMove, 298, 50);
    EXPECT_EQ(L"0,0,200,100", RectText(pane->GetPos()));
    EXPECT_EQ(200, pane->GetFixedWidth());
    EXPECT_EQ(L"256,0,260,100", RectText(pane->GetThumbRect(true)));
    // A parent's layout pass during the drag keeps the old size.
    window.Layout();
    EXPECT_EQ(L"0,0,200,100", RectText(pane->GetPos()));

    DibSurface surface(400, 100);
    window.Paint(surface);
    pane->DoPostPaint(surface.Dc(), RECT{0, 0, 400, 100});
    EXPECT_TRUE(Near(0x555555, surface.Rgb(258, 50), 2));
    EXPECT_EQ(0xFFFFFFu, surface.Rgb(254, 50));
    EXPECT_EQ(0xFFFFFFu, surface.Rgb(198, 50));

    Send(EventButtonUp, 298, 50);
    EXPECT_EQ(260, pane->GetFixedWidth());
    EXPECT_TRUE(window.manager.AddPostPaint(pane));
    window.manager.RemovePostPaint(pane);
    window.Layout();
    EXPECT_EQ(L"0,0,260,100", RectText(pane->GetPos()));

    // Switching to immediate mode during a drag takes the preview away.
    Send(EventButtonDown, 258, 50);
    EXPECT_FALSE(window.manager.AddPostPaint(pane));
    pane->SetSepImmMode(true);
    EXPECT_TRUE(window.manager.AddPostPaint(pane));
    window.manager.RemovePostPaint(pane);
    Send(EventMouseMove, 238, 50);
    EXPECT_EQ(L"0,0,240,100", RectText(pane->GetPos()));
    Send(EventButtonUp, 238, 50);
}

TEST_F(SeparatorDrag, APressWithoutAMoveLeavesAFlexibleLayoutFlexible) {
    Build(L"<HorizontalLayout name=\"pane\" sepwidth=\"-4\" />");
    EXPECT_EQ(L"0,0,4,100", RectText(pane->GetThumbRect()));
    Send(EventButtonDown, 1, 50);
    Send(EventButtonUp, 1, 50);
    EXPECT_EQ(0, pane->GetFixedWidth());
}

TEST(SeparatorDragVertical, ATopStripMovesTheTopEdgeUpToTheMaximum) {
    WidgetWindow window(100, 400);
    ASSERT_NE(nullptr, window.Build(L"<Window><VerticalLayout><Control height=\"100\" />"
                                    L"<VerticalLayout name=\"pane\" height=\"100\" maxheight=\"110\" "
                                    L"sepheight=\"-4\" sepimm=\"true\" /><Control /></VerticalLayout></Window>"));
    auto* pane = window.Find<CVerticalLayoutUI>(L"pane");
    EXPECT_EQ(L"0,100,100,104", RectText(pane->GetThumbRect()));
    ControlEventUI down = MakeEvent(EventButtonDown, 50, 101);
    pane->Event(down);
    ControlEventUI move = MakeEvent(EventMouseMove, 50, 81);
    pane->Event(move);
    EXPECT_EQ(L"0,90,100,200", RectText(pane->GetPos()));
    EXPECT_EQ(110, pane->GetFixedHeight());
    ControlEventUI cursor = MakeEvent(EventSetCursor, 50, 91);
    pane->Event(cursor);
    EXPECT_EQ(LoadCursorW(nullptr, IDC_SIZENS), GetCursor());
    ControlEventUI up = MakeEvent(EventButtonUp, 50, 81);
    pane->Event(up);
    pane->SetEnabled(false);
    EXPECT_EQ(0u, pane->GetControlFlags());
}
