#include "ui/controls/lists/list_container_element_ui.h"
#include "ui/controls/lists/list_hbox_element_ui.h"
#include "ui/controls/lists/list_label_element_ui.h"
#include "ui/controls/lists/list_text_element_ui.h"
#include "ui/controls/lists/list_ui.h"
#include "ui/core/window/window_impl_base.h"
#include "tests/support/desktop_input_lock.h"
#include "tests/unit/ui/support/markup_window.h"
#include "tests/unit/ui/support/row_remover.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace QuillUI;

namespace {

std::wstring Image(const wchar_t* argb) { return std::wstring(L"file='") + argb + L"' restype='*COLOR*'"; }

// An owner that is no list, as a combo box is: items get IListOwnerUI and
// no "IList".
class PlainOwner : public CContainerUI, public IListOwnerUI {
public:
    void* GetInterface(const wchar_t* name) override {
        if (name != nullptr && wcscmp(name, L"IListOwner") == 0) return static_cast<IListOwnerUI*>(this);
        return CContainerUI::GetInterface(name);
    }
    ListInfoUI* GetListInfo() override { return &info; }
    int GetCurSel() const override { return selected; }
    bool SelectItem(int index, bool, bool) override {
        selected = index;
        return true;
    }
    void DoEvent(ControlEventUI& event) override { CContainerUI::DoEvent(event); }
    bool ExpandItem(int, bool) override { return false; }
    int GetExpandedItem() const override { return -1; }

    ListInfoUI info;
    int selected = -1;
};

// A provider that has no text for some cells.
class SparseTexts : public IListTextCallbackUI {
public:
    const wchar_t* GetItemText(CControlUI*, int index, int column) override {
        ++calls;
        if ((index + column) % 2 != 0) return nullptr;
        return L"cell";
    }
    int calls = 0;
};

}  // namespace

TEST(ListElementInput, AClickSendsItemClickThenSelectsThroughTheList) {
    MarkupWindow window(200, 100);
    ASSERT_NE(nullptr, window.Build(L"<Window><List name=\"list\" header=\"hidden\">"
                                    L"<ListLabelElement name=\"e0\" height=\"20\" />"
                                    L"<ListTextElement name=\"e1\" height=\"20\" />"
                                    L"<ListContainerElement name=\"e2\" height=\"20\" /></List></Window>"));
    auto* list = window.Find<CListUI>(L"list");
    window.Click(50, 30);
    EXPECT_EQ(L"itemclick:e1 itemselect:list", window.notifier.Summary());
    EXPECT_EQ(window.Find<CControlUI>(L"e1"), window.manager().GetFocus());
    window.notifier.heard.clear();
    window.Click(50, 50);
    EXPECT_EQ(L"itemclick:e2 itemselect:list", window.notifier.Summary());
    EXPECT_EQ(2, list->GetCurSel());
    window.notifier.heard.clear();
    window.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(50, 10));
    EXPECT_EQ(L"itemactivate:e0", window.notifier.Summary());
}

// Rows e0..e2 of one tag, 20 high, in a list across the window.
std::wstring RowsOf(const wchar_t* tag) {
    std::wstring markup = L"<Window><List name=\"list\" header=\"hidden\">";
    for (int i = 0; i < 3; ++i)
        markup += std::wstring(L"<") + tag + L" name=\"e" + std::to_wstring(i) + L"\" height=\"20\" />";
    return markup + L"</List></Window>";
}

const wchar_t* const kRowTags[] = {L"ListLabelElement", L"ListTextElement", L"ListContainerElement"};
const RowRemoval kRemovals[] = {RowRemoval::Kept, RowRemoval::Delayed, RowRemoval::AtOnce};

int SelectedRows(CListUI* list) {
    int count = 0;
    for (int i = 0; i < list->GetCount(); ++i)
        count += static_cast<IListItemUI*>(list->GetItemAt(i)->GetInterface(L"IListItem"))->IsSelected() ? 1 : 0;
    return count;
}

// The row that moves into the removed row's index was not clicked: nothing
// is selected and no "itemselect" goes out, and the list goes on working.
TEST(ListElementInput, ARowRemovedInItsOwnClickLeavesNoRowSelected) {
    for (const wchar_t* tag : kRowTags) {
        for (RowRemoval how : kRemovals) {
            SCOPED_TRACE(testing::Message() << tag << ", " << RowRemovalName(how));
            MarkupWindow window(200, 100);
            ASSERT_NE(nullptr, window.Build(RowsOf(tag).c_str()));
            auto* list = window.Find<CListUI>(L"list");
            RowRemover remover(window.manager(), list, list->GetList(), L"itemclick", how);
            window.Click(50, 30);
            EXPECT_EQ(L"itemclick:e1", window.notifier.Summary());
            ASSERT_EQ(2, list->GetCount());
            EXPECT_EQ(-1, list->GetCurSel());
            EXPECT_EQ(0, SelectedRows(list));
            if (how == RowRemoval::Kept) {
                auto* kept = static_cast<IListItemUI*>(remover.removed->GetInterface(L"IListItem"));
                EXPECT_FALSE(kept->IsSelected());
                EXPECT_EQ(nullptr, kept->GetOwner());
            }
            window.notifier.heard.clear();
            window.Click(50, 50);
            EXPECT_EQ(L"itemclick:e2 itemselect:list", window.notifier.Summary());
            EXPECT_EQ(1, list->GetCurSel());
            PumpFor(0);  // the delayed destruction
        }
    }
}

TEST(ListElementInput, ARowRemovedInItsActivationGetsNothingMore) {
    for (const wchar_t* tag : kRowTags) {
        for (RowRemoval how : kRemovals) {
            SCOPED_TRACE(testing::Message() << tag << ", " << RowRemovalName(how));
            MarkupWindow window(200, 100);
            ASSERT_NE(nullptr, window.Build(RowsOf(tag).c_str()));
            auto* list = window.Find<CListUI>(L"list");
            RowRemover remover(window.manager(), list, list->GetList(), L"itemactivate", how);
            window.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(50, 30));
            window.Up(50, 30);
            EXPECT_EQ(L"itemactivate:e1", window.notifier.Summary());
            EXPECT_EQ(-1, list->GetCurSel());
            EXPECT_EQ(0, SelectedRows(list));
            PumpFor(0);
        }
    }
}

// A skinned window that closes, and deletes itself, when a row is clicked.
class ClosingListWindow : public WindowImplBase {
public:
    explicit ClosingListWindow(bool& gone) : gone_(gone) {}
    const wchar_t* GetWindowClassName() const override { return L"QuillClosingListWindow"; }
    CWideString GetSkinFolder() override { return CWideString(L""); }
    CWideString GetSkinFile() override { return CWideString(RowsOf(L"ListLabelElement").c_str()); }
    void Notify(NotifyMessageUI& message) override {
        if (wcscmp(message.type.GetData(), L"itemclick") == 0) {
            ::DestroyWindow(GetHWND());
            return;
        }
        WindowImplBase::Notify(message);
    }
    void OnFinalMessage(HWND window) override {
        WindowImplBase::OnFinalMessage(window);
        gone_ = true;
        delete this;
    }

private:
    bool& gone_;
};

TEST(ListElementInput, AListenerMayCloseTheWindowInARowsClick) {
    DesktopInputLock lock;
    bool gone = false;
    auto* window = new ClosingListWindow(gone);
    HWND hwnd = window->Create(nullptr, L"closing", WS_OVERLAPPEDWINDOW, 0, 100, 100, 300, 200);
    ASSERT_NE(nullptr, hwnd);
    ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd);
    CControlUI* e1 = window->GetManager().FindControl(L"e1");
    ASSERT_NE(nullptr, e1);
    const RECT at = e1->GetPos();
    ASSERT_LT(at.top, at.bottom);
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.left + 5, at.top + 5));
    EXPECT_TRUE(gone);
    EXPECT_FALSE(IsWindow(hwnd));
    if (!gone && IsWindow(hwnd)) DestroyWindow(hwnd);
    PumpFor(0);
}

// A removed row, even one still waiting for its delayed destruction, no
// longer steers its list.
TEST(ListElementInput, ARemovedRowLetsGoOfItsList) {
    MarkupWindow window(200, 100);
    ASSERT_NE(nullptr, window.Build(RowsOf(L"ListLabelElement").c_str()));
    auto* list = window.Find<CListUI>(L"list");
    auto* e1 = window.Find<CListLabelElementUI>(L"e1");
    auto* e2 = window.Find<CListLabelElementUI>(L"e2");
    ASSERT_TRUE(list->Remove(e1));
    EXPECT_EQ(nullptr, e1->GetOwner());
    e1->Select(true, true);
    EXPECT_EQ(-1, list->GetCurSel());
    list->RemoveAll();
    EXPECT_EQ(nullptr, e2->GetOwner());
    PumpFor(0);
}

TEST(ListElementInput, HidingOrDeselectingLeavesNoStaleSelection) {
    MarkupWindow window(200, 100);
    ASSERT_NE(nullptr, window.Build(L"<Window><List name=\"list\" header=\"hidden\">"
                                    L"<ListLabelElement name=\"e0\" height=\"20\" />"
                                    L"<ListLabelElement name=\"e1\" height=\"20\" /></List></Window>"));
    auto* list = window.Find<CListUI>(L"list");
    auto* e0 = window.Find<CListLabelElementUI>(L"e0");
    auto* e1 = window.Find<CListLabelElementUI>(L"e1");
    ASSERT_TRUE(list->SelectItem(1));
    e1->SetVisible(false);
    EXPECT_EQ(-1, list->GetCurSel());
    EXPECT_FALSE(e1->IsSelected());

    // A selected row that was disabled is deselected when another is chosen.
    ASSERT_TRUE(list->SelectItem(0));
    e0->SetEnabled(false);
    EXPECT_TRUE(e0->IsSelected());
    e1->SetVisible(true);
    ASSERT_TRUE(list->SelectItem(1));
    EXPECT_FALSE(e0->IsSelected());
    EXPECT_TRUE(e1->IsSelected());
    // Selecting a disabled element is still refused.
    EXPECT_FALSE(e0->Select(true));
}

TEST(ListElementLook, BackgroundPrecedence) {
    struct Case {
        const char* what;
        const wchar_t* images;  // attributes of the list and the element's "bkimage"
        const wchar_t* ownImage;
        bool selected;
        bool hot;
        bool disabled;
        uint32_t expected;
    };
    const std::wstring all = L"itemselectedimage=\"" + Image(L"FF0000FF") + L"\" itemhotimage=\"" +
                             Image(L"FFFFFF00") + L"\" itembkimage=\"" + Image(L"FF00FFFF") + L"\"";
    const std::wstring disabledToo = all + L" itemdisabledimage=\"" + Image(L"FF808080") + L"\"";
    const std::wstring own = Image(L"FFFF00FF");
    const Case cases[] = {
        {"colour: the list's", L"", L"", false, false, false, 0x00FF00},
        {"colour: hot", L"", L"", false, true, false, 0xE9F5FF},
        {"colour: selected over hot", L"", L"", true, true, false, 0xC1E3FF},
        {"colour: disabled over selected", L"", L"", true, false, true, 0xFF8000},
        {"image: the own over the list's", all.c_str(), own.c_str(), false, false, false, 0xFF00FF},
        {"image: the list's", all.c_str(), L"", false, false, false, 0x00FFFF},
        {"image: hot", all.c_str(), own.c_str(), false, true, false, 0xFFFF00},
        {"image: selected over hot", all.c_str(), own.c_str(), true, true, false, 0x0000FF},
        {"image: disabled without its image falls to selected", all.c_str(), own.c_str(), true, false, true,
         0x0000FF},
        {"image: disabled, not selected, falls to the own", all.c_str(), own.c_str(), false, false, true, 0xFF00FF},
        {"image: disabled", disabledToo.c_str(), own.c_str(), true, false, true, 0x808080},
    };
    for (const Case& c : cases) {
        MarkupWindow window(200, 100);
        std::wstring markup = L"<Window><List name=\"list\" header=\"hidden\" itembkcolor=\"#FF00FF00\" "
                             L"itemdisabledbkcolor=\"#FFFF8000\" ";
        markup += c.images;
        markup += L"><ListLabelElement name=\"e\" height=\"20\" bkimage=\"";
        markup += c.ownImage;
        markup += L"\" /></List></Window>";
        ASSERT_NE(nullptr, window.Build(markup.c_str())) << c.what;
        auto* element = window.Find<CListLabelElementUI>(L"e");
        if (c.hot) window.Move(100, 10);
        if (c.selected) {
            ASSERT_TRUE(window.Find<CListUI>(L"list")->SelectItem(0)) << c.what;
        }
        if (c.disabled) element->SetEnabled(false);
        DibSurface surface(200, 100);
        window.Paint(surface);
        EXPECT_EQ(c.expected, surface.Rgb(100, 10)) << c.what;
    }
}

TEST(ListTextElement, ColumnsWithVerticalLinesBetweenThem) {
    MarkupWindow window(300, 100);
    ASSERT_NE(nullptr, window.Build(L"<Window><List name=\"list\" itemvlinesize=\"1\" itemvlinecolor=\"#FFFF0000\">"
                                    L"<ListHeader height=\"20\"><ListHeaderItem width=\"80\" />"
                                    L"<ListHeaderItem width=\"80\" /><ListHeaderItem width=\"80\" /></ListHeader>"
                                    L"<ListTextElement name=\"row\" height=\"20\" /></List></Window>"));
    DibSurface surface(300, 100);
    window.Paint(surface);
    std::vector<int> lines;
    for (int x = 0; x < 300; ++x) {
        if (surface.Rgb(x, 30) == 0xFF0000u) lines.push_back(x);
    }
    EXPECT_EQ((std::vector<int>{80, 160}), lines);
}

TEST(ListTextElement, CellTextsFromTheElementOrTheProviderAndNullTextsDrawNothing) {
    MarkupWindow window(300, 100);
    ASSERT_NE(nullptr, window.Build(L"<Window><List name=\"list\"><ListHeader height=\"20\">"
                                    L"<ListHeaderItem width=\"100\" /><ListHeaderItem width=\"100\" /></ListHeader>"
                                    L"<ListTextElement name=\"r0\" height=\"20\" />"
                                    L"<ListTextElement name=\"r1\" height=\"20\" /></List></Window>"));
    auto* r0 = window.Find<CListTextElementUI>(L"r0");
    EXPECT_EQ(nullptr, r0->GetText(0));
    EXPECT_TRUE(r0->SetText(1, L"second"));
    EXPECT_EQ(nullptr, r0->GetText(0));
    EXPECT_STREQ(L"second", r0->GetText(1));
    EXPECT_TRUE(r0->SetText(1, L"again"));
    EXPECT_STREQ(L"again", r0->GetText(1));
    EXPECT_FALSE(r0->SetText(-1, L"x"));
    EXPECT_FALSE(r0->SetText(kMaxListColumns, L"x"));
    DibSurface surface(300, 100);
    window.Paint(surface);
    EXPECT_EQ(0xFFFFFFu, DarkestPixel(surface, RECT{0, 20, 100, 40}));
    EXPECT_NE(0xFFFFFFu, DarkestPixel(surface, RECT{100, 20, 200, 40}));

    SparseTexts texts;
    auto* list = window.Find<CListUI>(L"list");
    list->SetTextCallback(&texts);
    window.Layout();
    window.Paint(surface);
    EXPECT_GT(texts.calls, 0);
    // (0,0) and (1,1) have a text; the others come back null.
    EXPECT_NE(0xFFFFFFu, DarkestPixel(surface, RECT{0, 20, 100, 40}));
    EXPECT_EQ(0xFFFFFFu, DarkestPixel(surface, RECT{100, 20, 200, 40}));
    EXPECT_EQ(0xFFFFFFu, DarkestPixel(surface, RECT{0, 40, 100, 60}));
    EXPECT_NE(0xFFFFFFu, DarkestPixel(surface, RECT{100, 40, 200, 60}));
    list->SetTextCallback(nullptr);
}

TEST(ListTextElement, OnlyTheFirstEightLinksAreClickable) {
    MarkupWindow window(500, 100);
    std::wstring text;
    for (int i = 0; i < 10; ++i) text += L"{a l" + std::to_wstring(i) + L"}x" + std::to_wstring(i) + L"{/a} ";
    const std::wstring markup = L"<Window><List name=\"list\" header=\"hidden\" itemshowhtml=\"true\">"
                                L"<ListTextElement name=\"row\" height=\"20\" text=\"" +
                                text + L"\" /></List></Window>";
    ASSERT_NE(nullptr, window.Build(markup.c_str()));
    auto* row = window.Find<CListTextElementUI>(L"row");
    EXPECT_EQ(CListItemCoreUI::kControlFlags, row->GetControlFlags());
    DibSurface surface(500, 100);
    window.Paint(surface);
    ASSERT_EQ(8, row->GetLinkCount());
    EXPECT_EQ(CListItemCoreUI::kControlFlags | ControlFlagSetCursor, row->GetControlFlags());
    const RECT past = row->GetLinkRect(8);
    EXPECT_TRUE(IsRectEmpty(&past));

    const RECT link = row->GetLinkRect(2);
    const int x = (link.left + link.right) / 2, y = (link.top + link.bottom) / 2;
    window.Click(x, y);
    EXPECT_EQ(L"itemclick:row itemselect:list link:row", window.notifier.Summary());
    EXPECT_EQ(2u, window.notifier.heard.back().wParam);
    ControlEventUI cursor = MakeEvent(EventSetCursor, x, y);
    row->Event(cursor);
    EXPECT_EQ(LoadCursorW(nullptr, IDC_HAND), GetCursor());
}

TEST(ListTextElement, InAnOwnerThatIsNoListItHasNoColumnsAndShowsItsOwnText) {
    MarkupWindow window(200, 100);
    auto* owner = new PlainOwner();
    owner->info.columnCount = 2;  // a stray table must not be read without "IList"
    ASSERT_TRUE(window.manager().AttachDialog(owner));
    window.root = owner;
    auto* row = new CListTextElementUI();
    row->SetText(L"own text");
    row->SetOwner(owner);
    ASSERT_TRUE(owner->Add(row));
    window.Layout();
    const SIZE size = row->EstimateSize(SIZE{200, 100});
    EXPECT_GT(size.cx, 0);
    EXPECT_GT(size.cy, 0);
    row->SetPos(RECT{0, 0, 200, 20}, false);
    DibSurface surface(200, 100);
    window.Paint(surface);
    EXPECT_NE(0xFFFFFFu, DarkestPixel(surface, RECT{0, 0, 200, 20}));
}

TEST(ListLabelElement, SizeCacheFollowsTheListsFontPaddingAndWidth) {
    MarkupWindow window(200, 300);
    window.manager().AddFont(1, L"Arial", 30, false, false, false);
    ASSERT_NE(nullptr, window.Build(L"<Window><List name=\"list\" header=\"hidden\" itemtextpadding=\"0,3,0,5\">"
                                    L"<ListLabelElement name=\"single\" text=\"some words to wrap\" />"
                                    L"</List></Window>"));
    auto* list = window.Find<CListUI>(L"list");
    auto* single = window.Find<CListLabelElementUI>(L"single");
    const int small = window.manager().GetFontInfo(-1)->metrics.tmHeight;
    const int large = window.manager().GetFontInfo(1)->metrics.tmHeight;
    ASSERT_GT(large, small);
    EXPECT_EQ(small + 8 + 8, single->GetHeight());
    list->SetAttribute(L"itemfont", L"1");
    window.Layout();
    EXPECT_EQ(large + 8 + 8, single->GetHeight());
    list->SetAttribute(L"itemtextpadding", L"0,0,0,0");
    window.Layout();
    EXPECT_EQ(large + 8, single->GetHeight());

    // A single line ignores the width; multi-line text grows as it narrows.
    EXPECT_EQ(large + 8, single->EstimateSize(SIZE{60, 300}).cy);
    list->SetAttribute(L"itemmultiline", L"true");
    const int wide = single->EstimateSize(SIZE{400, 300}).cy;
    const int narrow = single->EstimateSize(SIZE{60, 300}).cy;
    EXPECT_GT(narrow, wide);
    // Tagged text measures without its tags once the list says so.
    list->SetAttribute(L"itemmultiline", L"false");
    single->SetText(L"{b}tags{/b}");
    const int plain = single->EstimateSize(SIZE{400, 300}).cx;
    list->SetAttribute(L"itemshowhtml", L"true");
    EXPECT_LT(single->EstimateSize(SIZE{400, 300}).cx, plain);
    // Without a window nothing is measured.
    CListUI detached;
    auto* loose = new CListLabelElementUI();
    loose->SetText(L"text");
    ASSERT_TRUE(detached.Add(loose));
    EXPECT_EQ(0, loose->EstimateSize(SIZE{100, 100}).cy);
    detached.SetPos(RECT{0, 0, 100, 100}, false);
}

TEST(ListHBoxElement, ChildrenTakeOneColumnEachAndTheRestStayPut) {
    MarkupWindow window(300, 100);
    ASSERT_NE(nullptr, window.Build(L"<Window><List name=\"list\" itemvlinesize=\"2\"><ListHeader height=\"20\">"
                                    L"<ListHeaderItem width=\"50\" /><ListHeaderItem width=\"60\" />"
                                    L"<ListHeaderItem width=\"70\" /></ListHeader>"
                                    L"<ListHBoxElement name=\"row\" height=\"20\">"
                                    L"<Control name=\"c0\" padding=\"1,2,3,4\" /><Control name=\"c1\" />"
                                    L"<Control name=\"c2\" /><Control name=\"c3\" />"
                                    L"</ListHBoxElement></List></Window>"));
    const RECT c0 = window.Find<CControlUI>(L"c0")->GetPos();
    EXPECT_EQ(1, c0.left);
    EXPECT_EQ(22, c0.top);
    EXPECT_EQ(45, c0.right);  // 50 - 3 - the line
    EXPECT_EQ(36, c0.bottom);
    EXPECT_EQ(50, window.Find<CControlUI>(L"c1")->GetPos().left);
    EXPECT_EQ(108, window.Find<CControlUI>(L"c1")->GetPos().right);
    EXPECT_EQ(180, window.Find<CControlUI>(L"c2")->GetPos().right);  // the last column has no line
    const RECT c3 = window.Find<CControlUI>(L"c3")->GetPos();
    EXPECT_TRUE(IsRectEmpty(&c3));
}
