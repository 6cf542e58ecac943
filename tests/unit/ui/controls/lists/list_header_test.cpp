#include "ui/controls/lists/list_header_item_ui.h"
#include "ui/controls/lists/list_header_ui.h"
#include "ui/controls/lists/list_ui.h"
#include "tests/unit/ui/support/markup_window.h"

#include <gtest/gtest.h>

#include <string>

using namespace QuillUI;

namespace {

// A list whose header has two columns of 100 ("h0", "h1") and one row.
std::wstring HeaderMarkup(const wchar_t* firstItemAttributes = L"", const wchar_t* headerAttributes = L"") {
    std::wstring markup = L"<Window><List name=\"list\"><ListHeader name=\"header\" ";
    markup += headerAttributes;
    markup += L"><ListHeaderItem name=\"h0\" width=\"100\" text=\"first\" ";
    markup += firstItemAttributes;
    markup += L"/><ListHeaderItem name=\"h1\" width=\"100\" text=\"second\" /></ListHeader>"
              L"<ListTextElement name=\"row\" /></List></Window>";
    return markup;
}

int Width(const RECT& r) { return r.right - r.left; }

}  // namespace

TEST(ListHeaderItem, DefaultsAndTheHeaderHeight) {
    CListHeaderItemUI item;
    EXPECT_STREQ(L"ListHeaderItem", item.GetClass());
    EXPECT_EQ(16, item.GetMinWidth());
    EXPECT_EQ(static_cast<UINT>(DT_CENTER | DT_VCENTER | DT_SINGLELINE), item.GetTextStyle());
    const RECT padding = item.GetTextPadding();
    EXPECT_EQ(2, padding.left);
    EXPECT_EQ(0, padding.top);
    EXPECT_EQ(2, padding.right);
    EXPECT_EQ(0, padding.bottom);
    EXPECT_EQ(4, item.GetSepWidth());
    EXPECT_TRUE(item.IsDragable());
    EXPECT_EQ(static_cast<UINT>(ControlFlagSetCursor), item.GetControlFlags());
    item.SetEnabled(false);
    EXPECT_EQ(0u, item.GetControlFlags());
    // Nothing to measure with yet.
    EXPECT_EQ(0, item.EstimateSize(SIZE{100, 100}).cy);

    MarkupWindow window(300, 100);
    ASSERT_NE(nullptr, window.Build(HeaderMarkup().c_str()));
    const int textHeight = window.manager().GetDefaultFontInfo()->metrics.tmHeight;
    ASSERT_GT(textHeight, 0);
    EXPECT_EQ(textHeight + 8, window.Find<CControlUI>(L"header")->GetHeight());
    EXPECT_EQ(200, window.Find<CListHeaderUI>(L"header")->EstimateSize(SIZE{300, 100}).cx);
}

TEST(ListHeaderItem, AClickOutsideTheSeparatorSendsHeaderClickOncePerPress) {
    MarkupWindow window(300, 100);
    ASSERT_NE(nullptr, window.Build(HeaderMarkup().c_str()));
    window.Click(50, 8);
    EXPECT_EQ(L"headerclick:h0", window.notifier.Summary());
    window.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(50, 8));
    window.Up(50, 8);
    EXPECT_EQ(L"headerclick:h0 headerclick:h0", window.notifier.Summary());
    window.notifier.heard.clear();
    // The separator is the 4 pixels at the right edge.
    window.Click(98, 8);
    EXPECT_TRUE(window.notifier.heard.empty());
}

TEST(ListHeaderItem, DraggingTheSeparatorChangesOnlyThatColumnsWidth) {
    MarkupWindow window(300, 100);
    ASSERT_NE(nullptr, window.Build(HeaderMarkup().c_str()));
    auto* h0 = window.Find<CListHeaderItemUI>(L"h0");
    auto* h1 = window.Find<CListHeaderItemUI>(L"h1");
    auto* list = window.Find<CListUI>(L"list");
    // Each step is laid out, as the window does between mouse moves.
    auto dragTo = [&](int x) {
        window.Move(x, 8);
        window.Layout();
    };
    window.Move(98, 8);
    window.Down(98, 8);
    dragTo(128);
    EXPECT_EQ(130, h0->GetFixedWidth());
    EXPECT_EQ(130, h1->GetPos().left);
    EXPECT_EQ(130, list->GetListInfo()->columns[1].left);
    dragTo(68);
    EXPECT_EQ(70, h0->GetFixedWidth());
    // At the minimum (16) the move is refused and the point kept, so the
    // drag resumes from where it last took a width.
    dragTo(10);
    EXPECT_EQ(70, h0->GetFixedWidth());
    dragTo(30);
    EXPECT_EQ(32, h0->GetFixedWidth());
    window.Up(30, 8);
    window.Layout();
    EXPECT_EQ(32, Width(h0->GetPos()));
    EXPECT_EQ(100, Width(h1->GetPos()));
    EXPECT_TRUE(window.notifier.heard.empty());
}

TEST(ListHeaderItem, ALeftSeparatorMovesTheLeftEdgeAndIsNotPainted) {
    MarkupWindow window(300, 100);
    ASSERT_NE(nullptr, window.Build(HeaderMarkup(L"sepwidth=\"-4\" sepcolor=\"#FFFF0000\"").c_str()));
    auto* h0 = window.Find<CListHeaderItemUI>(L"h0");
    const RECT thumb = h0->GetThumbRect();
    EXPECT_EQ(0, thumb.left);
    EXPECT_EQ(4, thumb.right);
    window.Move(2, 8);
    window.Down(2, 8);
    window.Move(22, 8);
    window.Up(22, 8);
    EXPECT_EQ(80, h0->GetFixedWidth());
    DibSurface surface(300, 100);
    window.Paint(surface);
    for (int x = 0; x < 8; ++x) EXPECT_NE(0xFF0000u, surface.Rgb(x, 8)) << x;
}

TEST(ListHeaderItem, ASeparatorColourWithoutImageDrawsALineOfTheSeparatorWidth) {
    MarkupWindow window(300, 100);
    ASSERT_NE(nullptr, window.Build(HeaderMarkup(L"sepcolor=\"#FFFF0000\"").c_str()));
    DibSurface surface(300, 100);
    window.Paint(surface);
    int red = 0;
    for (int x = 90; x < 104; ++x) red += surface.Rgb(x, 8) == 0xFF0000u ? 1 : 0;
    EXPECT_EQ(4, red);
    EXPECT_EQ(0xFF0000u, surface.Rgb(98, 8));
    EXPECT_NE(0xFF0000u, surface.Rgb(198, 8));
}

TEST(ListHeaderItem, ClearingDragableEndsTheDragAndTheSizingCursor) {
    MarkupWindow window(300, 100);
    ASSERT_NE(nullptr, window.Build(HeaderMarkup().c_str()));
    auto* h0 = window.Find<CListHeaderItemUI>(L"h0");
    ControlEventUI cursor = MakeEvent(EventSetCursor, 98, 8);
    h0->Event(cursor);
    EXPECT_EQ(LoadCursorW(nullptr, IDC_SIZEWE), GetCursor());

    window.Move(98, 8);
    window.Down(98, 8);
    h0->SetAttribute(L"dragable", L"yes");
    window.Move(128, 8);
    window.Up(128, 8);
    EXPECT_EQ(100, h0->GetFixedWidth());
    h0->Event(cursor);
    EXPECT_EQ(LoadCursorW(nullptr, IDC_ARROW), GetCursor());
}
