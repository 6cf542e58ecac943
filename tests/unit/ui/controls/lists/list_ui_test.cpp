#include "ui/controls/containers/scroll_bar_ui.h"
#include "ui/controls/lists/list_body_ui.h"
#include "ui/controls/lists/list_container_element_ui.h"
#include "ui/controls/lists/list_header_item_ui.h"
#include "ui/controls/lists/list_header_ui.h"
#include "ui/controls/lists/list_label_element_ui.h"
#include "ui/controls/lists/list_ui.h"
#include "ui/core/markup/dialog_builder_tags.h"
#include "tests/unit/ui/support/markup_window.h"
#include "tests/unit/ui/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <string>

using namespace QuillUI;

namespace {

// A list of labels e0..e(count-1), 20 high each, with its header hidden.
std::wstring ListMarkup(int count, const wchar_t* listAttributes = L"", const wchar_t* itemAttributes = L"") {
    std::wstring markup = L"<Window><List name=\"list\" header=\"hidden\" ";
    markup += listAttributes;
    markup += L">";
    for (int i = 0; i < count; ++i) {
        markup += L"<ListLabelElement name=\"e" + std::to_wstring(i) + L"\" text=\"row " + std::to_wstring(i) +
                  L"\" height=\"20\" " + itemAttributes + L"/>";
    }
    return markup + L"</List></Window>";
}

IListItemUI* AsItem(CControlUI* control) { return static_cast<IListItemUI*>(control->GetInterface(L"IListItem")); }

std::wstring Selections(CListUI* list) {
    std::wstring out;
    for (int i = 0; i < list->GetCount(); ++i) {
        if (AsItem(list->GetItemAt(i))->IsSelected()) out += (out.empty() ? L"" : L",") + std::to_wstring(i);
    }
    return out;
}

}  // namespace

TEST(ListStructure, HeaderAndBodyStackAndTheScrollBarsLiveInTheBody) {
    MarkupWindow window(200, 100);
    ASSERT_NE(nullptr, window.Build(L"<Window><List name=\"list\" vscrollbar=\"true\" hscrollbar=\"true\">"
                                    L"<ListHeader height=\"24\"><ListHeaderItem width=\"120\" text=\"A\" />"
                                    L"<ListHeaderItem width=\"120\" text=\"B\" /></ListHeader>"
                                    L"<ListLabelElement name=\"e0\" height=\"20\" />"
                                    L"<ListLabelElement name=\"e1\" height=\"20\" /></List></Window>"));
    auto* list = window.Find<CListUI>(L"list");
    ASSERT_NE(nullptr, list);
    CListHeaderUI* header = list->GetHeader();
    CContainerUI* body = list->GetList();
    ASSERT_NE(nullptr, header);
    ASSERT_NE(nullptr, body);

    // Both attributes reached the body; the list keeps no bar of its own.
    ASSERT_NE(nullptr, body->GetVerticalScrollBar());
    ASSERT_NE(nullptr, body->GetHorizontalScrollBar());
    EXPECT_EQ(body->GetVerticalScrollBar(), list->GetVerticalScrollBar());
    EXPECT_EQ(body->GetHorizontalScrollBar(), list->GetHorizontalScrollBar());
    EXPECT_EQ(nullptr, list->CContainerUI::GetVerticalScrollBar());
    EXPECT_EQ(nullptr, list->CContainerUI::GetHorizontalScrollBar());

    // The items are the body's; the list's own children are header and body.
    EXPECT_EQ(2, list->GetCount());
    EXPECT_EQ(window.Find<CControlUI>(L"e0"), list->GetItemAt(0));
    EXPECT_EQ(body, window.Find<CControlUI>(L"e0")->GetParent());
    EXPECT_EQ(2, header->GetCount());

    // Header over the body, the body down to the list's bottom.
    EXPECT_EQ(0, header->GetPos().top);
    EXPECT_EQ(24, header->GetPos().bottom);
    EXPECT_EQ(24, body->GetPos().top);
    EXPECT_EQ(100, body->GetPos().bottom);
    EXPECT_EQ(24, window.Find<CControlUI>(L"e0")->GetPos().top);
    // The columns are wider than the list: the body scrolls sideways.
    EXPECT_TRUE(body->GetHorizontalScrollBar()->IsVisible());
    EXPECT_EQ(2, list->GetListInfo()->columnCount);
}

TEST(ListNavigation, DownSelectsTheNextItem) {
    MarkupWindow window(200, 100);
    ASSERT_NE(nullptr, window.Build(ListMarkup(3).c_str()));
    auto* list = window.Find<CListUI>(L"list");
    window.Click(50, 10);
    EXPECT_EQ(0, list->GetCurSel());
    window.notifier.heard.clear();
    window.Key(VK_DOWN);
    EXPECT_EQ(1, list->GetCurSel());
    EXPECT_EQ(L"1", Selections(list));
    ASSERT_EQ(1u, window.notifier.heard.size());
    EXPECT_EQ(L"itemselect", window.notifier.heard[0].type);
    EXPECT_EQ(1u, window.notifier.heard[0].wParam);
    EXPECT_EQ(0, window.notifier.heard[0].lParam);
}

TEST(ListStructure, EachListTagMakesItsControl) {
    const wchar_t* const tags[] = {L"List", L"ListHeader", L"ListHeaderItem", L"ListLabelElement",
                                   L"ListTextElement", L"ListHBoxElement", L"ListContainerElement"};
    for (const wchar_t* tag : tags) {
        CControlUI* control = CreateControlForTag(tag);
        ASSERT_NE(nullptr, control) << std::string(tag, tag + wcslen(tag));
        EXPECT_STREQ(tag, control->GetClass());
        control->Delete();
    }
}

TEST(ListStructure, ANewListStartsEmptyWithTheDefaultItemLook) {
    CListUI list;
    EXPECT_STREQ(L"List", list.GetClass());
    EXPECT_EQ(static_cast<UINT>(ControlFlagTabStop), list.GetControlFlags());
    EXPECT_EQ(static_cast<IListUI*>(&list), list.GetInterface(L"IList"));
    EXPECT_EQ(static_cast<IListOwnerUI*>(&list), list.GetInterface(L"IListOwner"));
    EXPECT_EQ(-1, list.GetCurSel());
    EXPECT_EQ(-1, list.GetExpandedItem());
    EXPECT_EQ(0, list.GetCount());
    EXPECT_EQ(nullptr, list.GetTextCallback());
    const ListInfoUI& info = *list.GetListInfo();
    EXPECT_EQ(0, info.columnCount);
    EXPECT_EQ(static_cast<UINT>(DT_VCENTER | DT_SINGLELINE), info.textStyle);
    EXPECT_EQ(-1, info.font);
    EXPECT_EQ(0xFF000000u, info.textColor);
    EXPECT_EQ(0u, info.bkColor);
    EXPECT_EQ(0xFFC1E3FFu, info.selectedBkColor);
    EXPECT_EQ(0xFFE9F5FFu, info.hotBkColor);
    EXPECT_EQ(0xFFCCCCCCu, info.disabledTextColor);
    EXPECT_EQ(0xFFFFFFFFu, info.disabledBkColor);
    EXPECT_EQ(0xFF3C3C3Cu, info.hLineColor);
    EXPECT_EQ(0xFF3C3C3Cu, info.vLineColor);
}

TEST(ListSelection, SelectItemTable) {
    struct Step {
        int index;
        bool expected;
        int selection;
        const wchar_t* notified;  // "new,old" of "itemselect", or empty
    };
    const Step steps[] = {
        {1, true, 1, L"1,-1"},
        {1, true, 1, L""},   // the same index: nothing happens
        {-1, false, -1, L""},
        {0, true, 0, L"0,-1"},
        {2, false, -1, L""},  // disabled: the old selection is dropped all the same
        {0, true, 0, L"0,-1"},
        {3, false, -1, L""},  // invisible
        {4, true, 4, L"4,-1"},
        {9, false, -1, L""},  // past the end
    };
    MarkupWindow window(200, 200);
    ASSERT_NE(nullptr, window.Build(ListMarkup(5).c_str()));
    auto* list = window.Find<CListUI>(L"list");
    window.Find<CControlUI>(L"e2")->SetEnabled(false);
    window.Find<CControlUI>(L"e3")->SetVisible(false);
    for (const Step& step : steps) {
        window.notifier.heard.clear();
        EXPECT_EQ(step.expected, list->SelectItem(step.index, false, true)) << step.index;
        EXPECT_EQ(step.selection, list->GetCurSel()) << step.index;
        EXPECT_EQ(step.selection < 0 ? L"" : std::to_wstring(step.selection), Selections(list)) << step.index;
        std::wstring notified;
        for (const HeardNotify& h : window.notifier.heard) {
            if (h.type == L"itemselect")
                notified += std::to_wstring(h.wParam) + L"," + std::to_wstring(static_cast<int>(h.lParam));
        }
        EXPECT_EQ(step.notified, notified) << step.index;
    }
}

TEST(ListSelection, InsertsAndRemovesAboveKeepTheSelectionAndExpansionOnTheirItems) {
    MarkupWindow window(200, 300);
    ASSERT_NE(nullptr, window.Build(L"<Window><List name=\"list\" header=\"hidden\" multiexpanding=\"true\">"
                                    L"<ListContainerElement name=\"c0\" height=\"20\" expandable=\"true\" />"
                                    L"<ListContainerElement name=\"c1\" height=\"20\" expandable=\"true\" />"
                                    L"<ListContainerElement name=\"c2\" height=\"20\" expandable=\"true\" />"
                                    L"<ListContainerElement name=\"c3\" height=\"20\" expandable=\"true\" />"
                                    L"</List></Window>"));
    auto* list = window.Find<CListUI>(L"list");
    CControlUI* selected = window.Find<CControlUI>(L"c2");
    CControlUI* expanded = window.Find<CControlUI>(L"c3");
    ASSERT_TRUE(list->SelectItem(2));
    ASSERT_TRUE(list->ExpandItem(3, true));
    auto check = [&](const char* what) {
        EXPECT_EQ(list->GetItemIndex(selected), list->GetCurSel()) << what;
        EXPECT_EQ(list->GetItemIndex(expanded), list->GetExpandedItem()) << what;
        for (int i = 0; i < list->GetCount(); ++i) EXPECT_EQ(i, AsItem(list->GetItemAt(i))->GetIndex()) << what;
    };

    ASSERT_TRUE(list->AddAt(new CListLabelElementUI(), 0));
    check("insert above both");
    ASSERT_TRUE(list->AddAt(new CListLabelElementUI(), list->GetCurSel()));
    check("insert at the selection");
    ASSERT_TRUE(list->RemoveAt(0));
    check("remove above both");
    ASSERT_TRUE(list->SetItemIndex(expanded, 0));
    check("move the expanded item to the top");
    ASSERT_TRUE(list->MoveItems(list->GetItemAt(1), 2, 3));
    check("move a run");
    ASSERT_TRUE(list->Remove(expanded));
    EXPECT_EQ(-1, list->GetExpandedItem());
    EXPECT_EQ(list->GetItemIndex(selected), list->GetCurSel());
}

TEST(ListSelection, RemovingTheSelectedItemSelectsItsReplacement) {
    struct Case {
        const char* what;
        int selected;
        int disabled;  // -1: none
        int expectedName;  // the name's number of the new selection
    };
    const Case cases[] = {
        {"the next item takes its place", 2, -1, 3},
        {"the one in its place is disabled: the nearest above", 2, 3, 1},
        {"the first removed, the next disabled: the first selectable", 0, 1, 2},
        {"the last removed: the one above", 4, -1, 3},
    };
    for (const Case& c : cases) {
        MarkupWindow window(200, 200);
        ASSERT_NE(nullptr, window.Build(ListMarkup(5).c_str()));
        auto* list = window.Find<CListUI>(L"list");
        if (c.disabled >= 0) window.Find<CControlUI>((L"e" + std::to_wstring(c.disabled)).c_str())->SetEnabled(false);
        ASSERT_TRUE(list->SelectItem(c.selected));
        window.notifier.heard.clear();
        ASSERT_TRUE(list->RemoveAt(c.selected)) << c.what;
        CControlUI* now = list->GetItemAt(list->GetCurSel());
        ASSERT_NE(nullptr, now) << c.what;
        EXPECT_EQ(L"e" + std::to_wstring(c.expectedName), std::wstring(now->GetName().GetData())) << c.what;
        EXPECT_TRUE(AsItem(now)->IsSelected()) << c.what;
        ASSERT_EQ(1u, window.notifier.heard.size()) << c.what;
        EXPECT_EQ(L"itemselect", window.notifier.heard[0].type);
        EXPECT_EQ(static_cast<WPARAM>(list->GetCurSel()), window.notifier.heard[0].wParam) << c.what;
        EXPECT_EQ(-1, window.notifier.heard[0].lParam) << c.what;
    }
}

TEST(ListSelection, AnItemTakenOutAndKeptLeavesTheListBehind) {
    MarkupWindow window(200, 100);
    ASSERT_NE(nullptr, window.Build(L"<Window><HorizontalLayout name=\"root\">"
                                    L"<List name=\"list\" header=\"hidden\" width=\"100\">"
                                    L"<ListLabelElement name=\"e0\" height=\"20\" />"
                                    L"<ListLabelElement name=\"e1\" height=\"20\" />"
                                    L"<ListLabelElement name=\"e2\" height=\"20\" /></List>"
                                    L"<VerticalLayout name=\"other\" /></HorizontalLayout></Window>"));
    auto* list = window.Find<CListUI>(L"list");
    CControlUI* e1 = window.Find<CControlUI>(L"e1");
    ASSERT_TRUE(list->SelectItem(1));
    ASSERT_TRUE(list->Remove(e1, true));
    EXPECT_FALSE(AsItem(e1)->IsSelected());
    EXPECT_EQ(nullptr, AsItem(e1)->GetOwner());
    ASSERT_TRUE(window.Find<CContainerUI>(L"other")->Add(e1));
    window.Layout();

    // Its old index is no order to the list it left.
    ASSERT_TRUE(list->SelectItem(0));
    window.notifier.heard.clear();
    window.Click(150, 10);
    EXPECT_EQ(0, list->GetCurSel());
    EXPECT_EQ(L"itemclick:e1", window.notifier.Summary());

    // Nor does it reach the list once that is gone.
    ASSERT_TRUE(window.Find<CContainerUI>(L"root")->Remove(list));
    window.Send(WM_APP + 1);
    window.Click(150, 10);
    window.Key(VK_DOWN);
    e1->SetVisible(false);
}

TEST(ListNavigation, KeyboardAndWheelTable) {
    struct Case {
        const char* what;
        const wchar_t* listAttributes;
        int start;  // selection before the input, -1 for none
        WPARAM key;  // 0: the wheel
        bool wheelDown;
        int expected;
    };
    // Rows 0 and 1 and the last row are disabled; 6 rows of 20 in a 60-high list.
    const Case cases[] = {
        {"home skips the disabled first rows", L"", 4, VK_HOME, false, 2},
        {"up stops at the first selectable row", L"", 2, VK_UP, false, 2},
        {"down moves on", L"", 2, VK_DOWN, false, 3},
        {"down before a disabled last row clears", L"", 4, VK_DOWN, false, -1},
        {"end on a disabled last row clears", L"", 3, VK_END, false, -1},
        {"other keys do nothing", L"", 3, VK_LEFT, false, 3},
        {"the wheel without scrollselect scrolls", L"", 3, 0, true, 3},
        {"the wheel with scrollselect selects down", L"scrollselect=\"true\"", 3, 0, true, 4},
        {"the wheel with scrollselect selects up", L"scrollselect=\"true\"", 3, 0, false, 2},
    };
    for (const Case& c : cases) {
        MarkupWindow window(200, 60);
        std::wstring attributes = std::wstring(L"vscrollbar=\"true\" ") + c.listAttributes;
        ASSERT_NE(nullptr, window.Build(ListMarkup(6, attributes.c_str()).c_str()));
        auto* list = window.Find<CListUI>(L"list");
        for (int disabled : {0, 1, 5})
            window.Find<CControlUI>((L"e" + std::to_wstring(disabled)).c_str())->SetEnabled(false);
        ASSERT_TRUE(list->SelectItem(c.start, true)) << c.what;
        list->SetScrollPos(SIZE{0, 0});
        if (c.key != 0)
            window.Key(c.key);
        else
            window.Wheel(50, 30, c.wheelDown);
        EXPECT_EQ(c.expected, list->GetCurSel()) << c.what;
    }
}

TEST(ListNavigation, PagesScrollTheBodyAndEnterActivatesTheSelection) {
    MarkupWindow window(200, 60);
    ASSERT_NE(nullptr, window.Build(ListMarkup(10, L"vscrollbar=\"true\"").c_str()));
    auto* list = window.Find<CListUI>(L"list");
    ASSERT_TRUE(list->SelectItem(0, true));
    EXPECT_EQ(140, list->GetScrollRange().cy);
    window.Key(VK_NEXT);
    EXPECT_EQ(60, list->GetScrollPos().cy);
    EXPECT_EQ(0, list->GetCurSel());
    window.Key(VK_PRIOR);
    EXPECT_EQ(0, list->GetScrollPos().cy);
    window.Wheel(50, 30, true);
    EXPECT_GT(list->GetScrollPos().cy, 0);
    window.notifier.heard.clear();
    window.Key(VK_RETURN);
    EXPECT_EQ(L"itemactivate:e0", window.notifier.Summary());
}

TEST(ListColumns, SeventyHeaderItemsGiveSixtyFourColumns) {
    std::wstring markup = L"<Window><List name=\"list\"><ListHeader>";
    for (int i = 0; i < 70; ++i) markup += L"<ListHeaderItem width=\"20\" />";
    markup += L"</ListHeader><ListTextElement name=\"row\" /></List></Window>";
    MarkupWindow window(300, 100);
    ASSERT_NE(nullptr, window.Build(markup.c_str()));
    auto* list = window.Find<CListUI>(L"list");
    EXPECT_EQ(70, list->GetHeader()->GetCount());
    EXPECT_EQ(kMaxListColumns, list->GetListInfo()->columnCount);
    EXPECT_EQ(63 * 20, list->GetListInfo()->columns[63].left);
    // Header items given to the list go into its header.
    ASSERT_TRUE(list->Add(new CListHeaderItemUI()));
    EXPECT_EQ(71, list->GetHeader()->GetCount());
}

TEST(ListColumns, TheCurrentHeaderCannotBeRemovedAndAHeaderWithItemsStays) {
    MarkupWindow window(200, 100);
    ASSERT_NE(nullptr, window.Build(L"<Window><List name=\"list\"><ListHeader name=\"first\">"
                                    L"<ListHeaderItem width=\"80\" /></ListHeader>"
                                    L"<ListLabelElement name=\"e0\" height=\"20\" /></List></Window>"));
    auto* list = window.Find<CListUI>(L"list");
    CListHeaderUI* header = list->GetHeader();
    EXPECT_EQ(window.Find<CControlUI>(L"first"), header);
    EXPECT_FALSE(list->Remove(header));
    EXPECT_EQ(0, list->CContainerUI::GetItemIndex(header));
    // Nor can it become a child twice.
    EXPECT_FALSE(list->Add(header));
    EXPECT_EQ(1, list->CContainerUI::GetItemIndex(list->GetList()));
    window.Layout();
    EXPECT_EQ(80, list->GetListInfo()->columns[0].right);
    // The columns move with the list.
    list->Move(10, 0, false);
    EXPECT_EQ(90, list->GetListInfo()->columns[0].right);
    EXPECT_EQ(90, header->GetItemAt(0)->GetPos().right);
    window.Layout();

    // A second header while the first has items is a plain child.
    auto* second = new CListHeaderUI();
    ASSERT_TRUE(list->Add(second));
    EXPECT_EQ(header, list->GetHeader());
    EXPECT_EQ(0, list->CContainerUI::GetItemIndex(second));
    EXPECT_TRUE(list->Remove(second));
    EXPECT_EQ(-1, list->CContainerUI::GetItemIndex(second));

    // Hidden, it still defines the columns; shown again, it takes its row.
    list->SetAttribute(L"header", L"hidden");
    window.Layout();
    EXPECT_EQ(0, window.Find<CControlUI>(L"e0")->GetPos().top);
    EXPECT_EQ(80, list->GetListInfo()->columns[0].right);
    list->SetAttribute(L"header", L"visible");
    window.Layout();
    EXPECT_TRUE(header->IsVisible());
    EXPECT_GT(window.Find<CControlUI>(L"e0")->GetPos().top, 0);
}

TEST(ListScrolling, EnsureVisibleScrollsOnlyWhatLiesOutside) {
    MarkupWindow window(200, 60);
    ASSERT_NE(nullptr, window.Build(ListMarkup(10, L"vscrollbar=\"true\"").c_str()));
    auto* list = window.Find<CListUI>(L"list");
    // Nothing while nothing is selected.
    list->EnsureVisible(9);
    EXPECT_EQ(0, list->GetScrollPos().cy);
    ASSERT_TRUE(list->SelectItem(0));
    // Row 2 ends exactly at the bottom: counted as outside, but dy is 0.
    list->EnsureVisible(2);
    EXPECT_EQ(0, list->GetScrollPos().cy);
    list->EnsureVisible(5);
    EXPECT_EQ(60, list->GetScrollPos().cy);
    list->EnsureVisible(1);
    EXPECT_EQ(20, list->GetScrollPos().cy);
    // Outside the items: nothing.
    list->EnsureVisible(10);
    list->EnsureVisible(-3);
    EXPECT_EQ(20, list->GetScrollPos().cy);
    // Selecting scrolls the new selection into view.
    ASSERT_TRUE(list->SelectItem(9));
    EXPECT_EQ(140, list->GetScrollPos().cy);
}

TEST(ListExpansion, ExpandingCollapsesThePreviousItemUnlessMultiExpanding) {
    for (bool multi : {false, true}) {
        MarkupWindow window(200, 200);
        std::wstring markup = L"<Window><List name=\"list\" header=\"hidden\" multiexpanding=\"";
        markup += multi ? L"true" : L"false";
        markup += L"\"><ListContainerElement name=\"c0\" height=\"20\" expandable=\"true\" />"
                  L"<ListContainerElement name=\"c1\" height=\"20\" expandable=\"true\" />"
                  L"<ListContainerElement name=\"c2\" height=\"20\" /></List></Window>";
        ASSERT_NE(nullptr, window.Build(markup.c_str()));
        auto* list = window.Find<CListUI>(L"list");
        auto* c0 = window.Find<CListContainerElementUI>(L"c0");
        auto* c1 = window.Find<CListContainerElementUI>(L"c1");
        auto* c2 = window.Find<CListContainerElementUI>(L"c2");

        // From the list and from the element alike; expanding the expanded
        // one again changes nothing.
        ASSERT_TRUE(list->ExpandItem(0, true));
        ASSERT_TRUE(list->ExpandItem(0, true));
        ASSERT_TRUE(c1->Expand(true));
        EXPECT_EQ(1, list->GetExpandedItem());
        EXPECT_TRUE(c1->IsExpanded());
        EXPECT_EQ(multi, c0->IsExpanded());
        EXPECT_EQ(multi ? L"itemexpand:c0 itemexpand:c1" : L"itemexpand:c0 itemcollapse:c0 itemexpand:c1",
                  window.notifier.Summary());

        // A non-expandable element keeps its flag to itself.
        window.notifier.heard.clear();
        ASSERT_TRUE(c2->Expand(true));
        EXPECT_TRUE(c2->IsExpanded());
        EXPECT_EQ(1, list->GetExpandedItem());
        EXPECT_TRUE(window.notifier.heard.empty());
        EXPECT_FALSE(list->ExpandItem(7, true));
    }
}

TEST(ListAttributes, ItemTextStyleWords) {
    struct Case {
        const wchar_t* name;
        const wchar_t* value;
        UINT before;
        UINT expected;
    };
    const UINT base = DT_VCENTER | DT_SINGLELINE;
    const Case cases[] = {
        {L"itemalign", L"center", base | DT_RIGHT, base | DT_CENTER},
        {L"itemalign", L"left", base | DT_CENTER | DT_RIGHT, base},
        {L"itemalign", L"left right", base | DT_CENTER, base | DT_RIGHT},
        {L"itemvalign", L"bottom", base, DT_SINGLELINE | DT_BOTTOM},
        {L"itemvalign", L"top", base, DT_SINGLELINE},
        {L"itemendellipsis", L"true", base, base | DT_END_ELLIPSIS},
        {L"itemmultiline", L"true", base, DT_VCENTER | DT_WORDBREAK},
        // Off again: single line, the word break left as it was.
        {L"itemmultiline", L"TRUE", DT_VCENTER | DT_WORDBREAK, base | DT_WORDBREAK},
    };
    for (const Case& c : cases) {
        CListUI list;
        list.GetListInfo()->textStyle = c.before;
        list.SetAttribute(c.name, c.value);
        EXPECT_EQ(c.expected, list.GetListInfo()->textStyle) << std::string(c.name, c.name + wcslen(c.name));
    }
    CListUI list;
    list.SetAttribute(L"itemhotbkcolor", L"#FF112233");
    EXPECT_EQ(0xFF112233u, list.GetListInfo()->hotBkColor);
    list.SetAttribute(L"itemhotbkcolor", L"FF445566");
    EXPECT_EQ(0xFF445566u, list.GetListInfo()->hotBkColor);
    list.SetAttribute(L"itemheight", L"24px");
    EXPECT_EQ(24, list.GetListInfo()->itemHeight);
}

TEST(ListAttributes, PaddingListsStopAtTheEndOfTheirValue) {
    struct Case {
        std::wstring value;
        RECT expected;
    };
    const Case cases[] = {
        {L"1,2,3,4", {1, 2, 3, 4}},
        {L"5", {5, 0, 0, 0}},
        {L"7,8,", {7, 8, 0, 0}},
        {L"", {0, 0, 0, 0}},
        {L"1,2,3,4,5,6", {1, 2, 3, 4}},
    };
    GuardedBytes guarded(64);
    for (const Case& c : cases) {
        const std::string what(c.value.begin(), c.value.end());
        CListUI list;
        list.SetAttribute(L"itemtextpadding", guarded.PlaceText(c.value));
        const RECT padding = list.GetListInfo()->textPadding;
        EXPECT_EQ(c.expected.left, padding.left) << what;
        EXPECT_EQ(c.expected.top, padding.top) << what;
        EXPECT_EQ(c.expected.right, padding.right) << what;
        EXPECT_EQ(c.expected.bottom, padding.bottom) << what;

        CListHeaderItemUI item;
        item.SetAttribute(L"textpadding", guarded.PlaceText(c.value));
        EXPECT_EQ(c.expected.left, item.GetTextPadding().left) << what;
        EXPECT_EQ(c.expected.bottom, item.GetTextPadding().bottom) << what;
    }
}
