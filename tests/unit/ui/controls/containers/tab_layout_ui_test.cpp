#include "ui/controls/containers/tab_layout_ui.h"

#include "tests/unit/ui/support/widget_test_support.h"

#include <gtest/gtest.h>

#include <string>

using namespace QuillUI;

namespace {

// The selection and which pages show, as "1:010".
std::wstring Pages(CTabLayoutUI* tab) {
    std::wstring shown;
    for (int i = 0; i < tab->GetCount(); ++i) shown += tab->GetItemAt(i)->IsVisible() ? L'1' : L'0';
    return std::to_wstring(tab->GetCurSel()) + L":" + shown;
}

CControlUI* Page(const wchar_t* name, bool visible = true) {
    CControlUI* page = new CControlUI();
    page->SetName(name);
    page->SetVisible(visible);
    return page;
}

// Three pages p0 to p2 in a 300 by 200 window.
class TabLayout : public ::testing::Test {
protected:
    void Build(const wchar_t* tabAttributes = L"") {
        const std::wstring markup = std::wstring(L"<Window><TabLayout name=\"tab\" inset=\"5,6,7,8\" ") +
                                    tabAttributes +
                                    L"><Control name=\"p0\" /><Control name=\"p1\" /><Control name=\"p2\" />"
                                    L"</TabLayout></Window>";
        ASSERT_NE(nullptr, window.Build(markup.c_str()));
        tab = window.Find<CTabLayoutUI>(L"tab");
        ASSERT_NE(nullptr, tab);
    }

    WidgetWindow window{300, 200};
    CTabLayoutUI* tab = nullptr;
};

}  // namespace

TEST_F(TabLayout, TheFirstVisiblePageIsSelectedAndTheOthersHideAsTheyCome) {
    Build();
    EXPECT_STREQ(L"TabLayout", tab->GetClass());
    EXPECT_EQ(static_cast<void*>(tab), tab->GetInterface(L"TabLayout"));
    EXPECT_NE(nullptr, tab->GetInterface(L"IContainer"));
    EXPECT_EQ(L"0:100", Pages(tab));
    // Only the selection is laid out, over the area inside the inset.
    EXPECT_EQ(L"5,6,293,192", RectText(window.Find<CControlUI>(L"p0")->GetPos()));
    EXPECT_EQ(L"0,0,0,0", RectText(window.Find<CControlUI>(L"p1")->GetPos()));
}

TEST_F(TabLayout, SelectedIdFromMarkup) {
    Build(L"selectedid=\"2\"");
    EXPECT_EQ(L"2:001", Pages(tab));
    EXPECT_STREQ(L"2", tab->GetCustomAttribute(L"selectedid"));
    EXPECT_EQ(L"5,6,293,192", RectText(window.Find<CControlUI>(L"p2")->GetPos()));
}

TEST_F(TabLayout, ASelectedIdBeyondTheLastPageChangesNothingButIsRecorded) {
    Build(L"selectedid=\"9\"");
    EXPECT_EQ(L"0:100", Pages(tab));
    EXPECT_STREQ(L"9", tab->GetCustomAttribute(L"selectedid"));
}

TEST_F(TabLayout, SelectingShowsOnePageAndTellsOnlyOfAChange) {
    Build();
    window.notifier.heard.clear();
    EXPECT_TRUE(tab->SelectItem(1));
    EXPECT_EQ(L"1:010", Pages(tab));
    ASSERT_EQ(1u, window.notifier.heard.size());
    EXPECT_EQ(L"tabselect:tab", window.notifier.Summary());
    EXPECT_EQ(1u, window.notifier.heard[0].wParam);
    EXPECT_EQ(0, window.notifier.heard[0].lParam);

    EXPECT_TRUE(tab->SelectItem(1));
    EXPECT_TRUE(tab->SelectItem(2, false));
    EXPECT_FALSE(tab->SelectItem(3));
    EXPECT_FALSE(tab->SelectItem(-1));
    EXPECT_EQ(L"2:001", Pages(tab));
    EXPECT_EQ(1u, window.notifier.heard.size());

    window.Layout();
    EXPECT_EQ(L"5,6,293,192", RectText(window.Find<CControlUI>(L"p2")->GetPos()));
}

TEST_F(TabLayout, TheSelectionFollowsEditsAndOnlyItShows) {
    struct Case {
        const char* what;
        int select;                       // before the edit
        void (*edit)(CTabLayoutUI* tab);
        const wchar_t* after;
    };
    const Case cases[] = {
        {"removing the selected page shows page 0", 2, [](CTabLayoutUI* t) { t->Remove(t->GetItemAt(2)); }, L"0:10"},
        {"removing it by index does too", 1, [](CTabLayoutUI* t) { t->RemoveAt(1); }, L"0:10"},
        {"removing a page before it", 2, [](CTabLayoutUI* t) { t->RemoveAt(0); }, L"1:01"},
        {"removing a page after it", 1, [](CTabLayoutUI* t) { t->RemoveAt(2); }, L"1:01"},
        {"removing all", 1, [](CTabLayoutUI* t) { t->RemoveAll(); }, L"-1:"},
        {"a visible page inserted before it stays hidden", 1, [](CTabLayoutUI* t) { t->AddAt(Page(L"n"), 0); },
         L"2:0010"},
        {"a visible page inserted at it", 1, [](CTabLayoutUI* t) { t->AddAt(Page(L"n"), 1); }, L"2:0010"},
        {"a page inserted after it", 1, [](CTabLayoutUI* t) { t->AddAt(Page(L"n"), 2); }, L"1:0100"},
        {"a page appended", 0, [](CTabLayoutUI* t) { t->Add(Page(L"n")); }, L"0:1000"},
        {"moving the selected page", 0, [](CTabLayoutUI* t) { t->SetItemIndex(t->GetItemAt(0), 2); }, L"2:001"},
        {"moving pages in front of it", 2,
         [](CTabLayoutUI* t) { t->MoveItems(t->GetItemAt(0), 2, 1); }, L"0:100"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WidgetWindow fresh(300, 200);
        ASSERT_NE(nullptr, fresh.Build(L"<Window><TabLayout name=\"tab\"><Control /><Control /><Control />"
                                       L"</TabLayout></Window>"));
        CTabLayoutUI* t = fresh.Find<CTabLayoutUI>(L"tab");
        t->SelectItem(c.select);
        c.edit(t);
        EXPECT_EQ(c.after, Pages(t));
    }
}

TEST(TabLayoutPages, AnEmptyTabTakesTheFirstVisiblePageAdded) {
    CTabLayoutUI tab;
    EXPECT_EQ(-1, tab.GetCurSel());
    tab.Add(Page(L"hidden", false));
    EXPECT_EQ(L"-1:0", Pages(&tab));
    tab.AddAt(Page(L"shown"), 0);
    EXPECT_EQ(L"0:10", Pages(&tab));
    EXPECT_FALSE(tab.Remove(nullptr));
    EXPECT_FALSE(tab.RemoveAt(5));
    EXPECT_EQ(L"0:10", Pages(&tab));
}
