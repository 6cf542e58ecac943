#include "ui/controls/containers/scroll_bar_ui.h"
#include "ui/controls/lists/list_body_ui.h"
#include "ui/controls/lists/list_header_ui.h"
#include "ui/controls/lists/list_label_element_ui.h"
#include "ui/controls/lists/list_ui.h"
#include "tests/unit/ui/support/markup_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace QuillUI;

namespace {

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Two columns of 150 in a 200-wide list that scrolls both ways, 8 rows of 20.
const wchar_t kWideList[] =
    L"<Window><List name=\"list\" vscrollbar=\"true\" hscrollbar=\"true\">"
    L"<ListHeader height=\"20\"><ListHeaderItem name=\"h0\" width=\"150\" />"
    L"<ListHeaderItem name=\"h1\" width=\"150\" /></ListHeader>"
    L"<ListTextElement name=\"r0\" height=\"20\" /><ListTextElement height=\"20\" />"
    L"<ListTextElement height=\"20\" /><ListTextElement height=\"20\" /><ListTextElement height=\"20\" />"
    L"<ListTextElement height=\"20\" /><ListTextElement height=\"20\" /><ListTextElement height=\"20\" />"
    L"</List></Window>";

}  // namespace

TEST(ListBody, AHorizontalScrollMovesTheHeaderAndTheColumnsWithTheRows) {
    MarkupWindow window(200, 100);
    ASSERT_NE(nullptr, window.Build(kWideList));
    auto* list = window.Find<CListUI>(L"list");
    CControlUI* h0 = window.Find<CControlUI>(L"h0");
    CControlUI* h1 = window.Find<CControlUI>(L"h1");
    CControlUI* row = window.Find<CControlUI>(L"r0");
    const ListInfoUI& info = *list->GetListInfo();
    const int bar = list->GetVerticalScrollBar()->GetFixedWidth();
    // The header's width decides the range: 300 less the client width.
    EXPECT_EQ(300 - (200 - bar), list->GetScrollRange().cx);

    list->SetScrollPos(SIZE{40, 0});
    EXPECT_EQ(-40, h0->GetPos().left);
    EXPECT_EQ(110, h1->GetPos().left);
    EXPECT_EQ(-40, row->GetPos().left);
    EXPECT_TRUE(SameRect(h0->GetPos(), info.columns[0]));
    EXPECT_TRUE(SameRect(h1->GetPos(), info.columns[1]));
    // A layout at the scrolled position keeps them in step.
    window.Layout();
    EXPECT_EQ(-40, h0->GetPos().left);
    EXPECT_EQ(-40, info.columns[0].left);
    EXPECT_EQ(-40, row->GetPos().left);

    const int rowTop = row->GetPos().top;
    list->SetScrollPos(SIZE{40, 30});
    EXPECT_EQ(rowTop - 30, row->GetPos().top);
    EXPECT_EQ(-40, h0->GetPos().left);
    EXPECT_EQ(0, h0->GetPos().top);
    EXPECT_EQ(-40, info.columns[0].left);
}

TEST(ListBody, TheWheelOverTheHorizontalBarScrollsSideways) {
    MarkupWindow window(200, 100);
    ASSERT_NE(nullptr, window.Build(kWideList));
    auto* list = window.Find<CListUI>(L"list");
    const RECT bar = list->GetHorizontalScrollBar()->GetPos();
    window.Wheel((bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2, true);
    EXPECT_EQ(8, list->GetScrollPos().cx);
    EXPECT_EQ(0, list->GetScrollPos().cy);
    window.Wheel(50, 50, true);
    EXPECT_EQ(8, list->GetScrollPos().cx);
    EXPECT_GT(list->GetScrollPos().cy, 0);
}

TEST(ListBody, WithoutHeaderItemsTheWidestItemDecidesTheRange) {
    MarkupWindow window(200, 100);
    ASSERT_NE(nullptr, window.Build(L"<Window><List name=\"list\" header=\"hidden\" hscrollbar=\"true\">"
                                    L"<ListLabelElement height=\"20\" width=\"350\" />"
                                    L"<ListLabelElement height=\"20\" width=\"120\" /></List></Window>"));
    EXPECT_EQ(150, window.Find<CListUI>(L"list")->GetScrollRange().cx);
}

TEST(ListBody, HorizontalLinesWidenTheGapAndAreDrawnUnderEachRow) {
    MarkupWindow window(200, 100);
    ASSERT_NE(nullptr, window.Build(L"<Window><List name=\"list\" header=\"hidden\" itemhlinesize=\"2\" "
                                    L"itemhlinecolor=\"#FF0000FF\"><ListLabelElement name=\"a\" height=\"20\" />"
                                    L"<ListLabelElement name=\"b\" height=\"20\" /></List></Window>"));
    EXPECT_EQ(22, window.Find<CControlUI>(L"b")->GetPos().top);
    DibSurface surface(200, 100);
    window.Paint(surface);
    std::wstring rows;
    for (int y = 18; y < 26; ++y) rows += surface.Rgb(100, y) == 0x0000FFu ? L'L' : L'.';
    // Centred one pixel below the row's bottom (20): the pixels 20 and 21.
    EXPECT_EQ(L"..LL....", rows);
}

TEST(ListBody, AlternateRowsSkipInvisibleItemsAndStateColoursStillShow) {
    MarkupWindow window(200, 120);
    std::wstring markup = L"<Window><List name=\"list\" header=\"hidden\" itemaltbk=\"true\" "
                          L"itembkcolor=\"#FF00FF00\" itemdisabledbkcolor=\"#FFFF0000\" "
                          L"itemselectedbkcolor=\"#FF0000FF\" itemhotbkcolor=\"#FFFFFF00\">";
    for (int i = 0; i < 6; ++i) markup += L"<ListLabelElement name=\"e" + std::to_wstring(i) + L"\" height=\"20\" />";
    markup += L"</List></Window>";
    ASSERT_NE(nullptr, window.Build(markup.c_str()));
    auto* list = window.Find<CListUI>(L"list");
    window.Find<CControlUI>(L"e1")->SetVisible(false);
    window.Layout();
    DibSurface surface(200, 120);
    window.Paint(surface);
    // Painted order: e0 e2 e3 e4 e5.
    const uint32_t plain[] = {0x00FF00, 0xFFFFFF, 0x00FF00, 0xFFFFFF, 0x00FF00};
    for (int row = 0; row < 5; ++row) EXPECT_EQ(plain[row], surface.Rgb(150, row * 20 + 10)) << row;

    // State colours show on plain rows too: e2 and e4 are rows 1 and 3.
    window.Find<CControlUI>(L"e2")->SetEnabled(false);
    ASSERT_TRUE(list->SelectItem(3));
    window.Move(150, 70);
    window.Paint(surface);
    EXPECT_EQ(0xFF0000u, surface.Rgb(150, 30));  // disabled
    EXPECT_EQ(0x0000FFu, surface.Rgb(150, 50));  // selected
    EXPECT_EQ(0xFFFF00u, surface.Rgb(150, 70));  // hot
}

namespace {

// Rows of 20 named r0, r1, ... in a list 100 high with a vertical bar: five
// show at a time.
std::wstring TallList(int rows, const wchar_t* attributes = L"") {
    std::wstring markup = L"<Window><List name=\"list\" header=\"hidden\" vscrollbar=\"true\" ";
    markup += attributes;
    markup += L">";
    for (int i = 0; i < rows; ++i) markup += L"<ListLabelElement name=\"r" + std::to_wstring(i) + L"\" height=\"20\" />";
    return markup + L"</List></Window>";
}

CListBodyUI* BodyOf(CListUI* list) { return static_cast<CListBodyUI*>(list->GetList()); }

// A row that counts how often the layout measures it.
class CountedRow : public CListLabelElementUI {
public:
    SIZE EstimateSize(SIZE available) override {
        ++estimates;
        return CListLabelElementUI::EstimateSize(available);
    }
    int estimates = 0;
};

}  // namespace

TEST(ListBody, AScrolledListFindsPaintsAndTellsTheRowsWhereTheyLie) {
    MarkupWindow window(200, 100);
    ASSERT_NE(nullptr, window.Build(TallList(200, L"itemaltbk=\"true\" itembkcolor=\"#FF00FF00\"").c_str()));
    auto* list = window.Find<CListUI>(L"list");
    CControlUI* first = window.Find<CControlUI>(L"r0");
    list->SetScrollPos(SIZE{0, 1000});
    EXPECT_EQ(0, window.Find<CControlUI>(L"r50")->GetPos().top);
    EXPECT_EQ(window.Find<CControlUI>(L"r51"), window.manager().FindControlAt(POINT{50, 30}));
    // The rows that left the view lie where they are now, above it.
    EXPECT_EQ(-1000, first->GetPos().top);
    // A row never shown yet is told where it lies, and selecting it brings
    // it into view.
    EXPECT_EQ(150 * 20 - 1000, BodyOf(list)->GetRowPos(150).top);
    ASSERT_TRUE(list->SelectItem(150));
    const RECT shown = window.Find<CControlUI>(L"r150")->GetPos();
    EXPECT_GE(shown.top, 0);
    EXPECT_LE(shown.bottom, 100);
    EXPECT_EQ(window.Find<CControlUI>(L"r150"),
              window.manager().FindControlAt(POINT{50, static_cast<LONG>((shown.top + shown.bottom) / 2)}));
    // Alternate rows are numbered from the top of the list: r148 is even,
    // r149 odd.
    DibSurface surface(200, 100);
    window.Paint(surface);
    EXPECT_EQ(0x00FF00u, surface.Rgb(50, shown.top - 30));
    EXPECT_EQ(0xFFFFFFu, surface.Rgb(50, shown.top - 10));
}

TEST(ListBody, HidingRowsMeasuresThemAndTheRowsInViewOnly) {
    MarkupWindow window(200, 100);
    ASSERT_NE(nullptr, window.Build(L"<Window><List name=\"list\" header=\"hidden\" vscrollbar=\"true\" /></Window>"));
    auto* list = window.Find<CListUI>(L"list");
    std::vector<CountedRow*> rows;
    for (int i = 0; i < 1000; ++i) {
        auto* row = new CountedRow;
        row->SetFixedHeight(20);
        ASSERT_TRUE(list->Add(row));
        rows.push_back(row);
    }
    window.Layout();
    const int range = list->GetScrollRange().cy;
    for (CountedRow* row : rows) row->estimates = 0;

    for (int i = 1; i <= 10; ++i) rows[i]->SetVisible(false);
    window.Layout();
    int measured = 0;
    for (CountedRow* row : rows) measured += row->estimates > 0 ? 1 : 0;
    // The ten hidden rows and the few in view, not the thousand.
    EXPECT_LE(measured, 20);
    EXPECT_EQ(0, rows[500]->estimates);
    EXPECT_EQ(20, rows[11]->GetPos().top);
    EXPECT_EQ(range - 200, list->GetScrollRange().cy);
    EXPECT_EQ(rows[12], window.manager().FindControlAt(POINT{50, 50}));

    // A row out of view that grows moves the rows after it.
    rows[900]->SetFixedHeight(60);
    window.Layout();
    EXPECT_EQ(range - 200 + 40, list->GetScrollRange().cy);
    EXPECT_EQ(60, BodyOf(list)->GetRowPos(901).top - BodyOf(list)->GetRowPos(900).top);

    for (int i = 1; i <= 10; ++i) rows[i]->SetVisible(true);
    window.Layout();
    EXPECT_EQ(20, rows[1]->GetPos().top);
    EXPECT_EQ(rows[2], window.manager().FindControlAt(POINT{50, 50}));
}
