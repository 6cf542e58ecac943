#include "ui/controls/containers/child_layout_ui.h"

#include "tests/support/desktop_input_lock.h"
#include "tests/unit/common/log_capture.h"
#include "tests/unit/ui/support/combo_popup.h"
#include "tests/unit/ui/support/markup_window.h"
#include "tests/unit/ui/support/widget_test_support.h"
#include "ui/controls/lists/combo_ui.h"
#include "ui/core/markup/dialog_build_budget.h"

#include <gtest/gtest.h>

#include <string>

using namespace QuillUI;

namespace {

// A window whose layout holds one child layout of the given attributes and
// children, over a skin folder of the test's own.
class ChildLayout : public ::testing::Test {
protected:
    void Build(const std::wstring& attributes, const std::wstring& children = L"") {
        const std::wstring markup = L"<Window><VerticalLayout><ChildLayout name=\"child\" " + attributes + L">" +
                                    children + L"</ChildLayout></VerticalLayout></Window>";
        ASSERT_NE(nullptr, window.Build(markup.c_str()));
        child = window.Find<CChildLayoutUI>(L"child");
        ASSERT_NE(nullptr, child);
    }

    ScopedSkinFolder skin{L"child_layout"};
    WidgetWindow window{300, 200};
    CChildLayoutUI* child = nullptr;
};

// The control and everything under it, parts and scroll bars included.
int CountControls(CControlUI* root) {
    int count = 0;
    root->FindControl(
        [](CControlUI*, void* data) -> CControlUI* {
            ++*static_cast<int*>(data);
            return nullptr;
        },
        &count, 0);
    return count;
}

// A file of a layout of as many one-control copies as the build allows.
void WriteHugeInclude(ScopedSkinFolder& skin) {
    skin.Write(L"one.xml", "<Window><Control /></Window>");
    skin.Write(L"many.xml", "<Window><VerticalLayout><Include source=\"one.xml\" count=\"1000000\" />"
                            "</VerticalLayout></Window>");
}

std::wstring Controls(int count) {
    std::wstring markup;
    for (int i = 0; i < count; ++i) markup += L"<Control />";
    return markup;
}

const long kMaxUnits = CDialogBuildBudget::kMaxUnits;

}  // namespace

TEST_F(ChildLayout, TheFilesFirstControlIsTheOnlyChild) {
    skin.Write(L"part.xml", "<Window><HorizontalLayout name=\"inner\"><Control name=\"leaf\" /></HorizontalLayout>"
                            "<Control name=\"second\" /></Window>");
    Build(L"xmlfile=\"part.xml\"");
    EXPECT_STREQ(L"ChildLayout", child->GetClass());
    EXPECT_EQ(static_cast<void*>(child), child->GetInterface(L"ChildLayout"));
    EXPECT_EQ(L"part.xml", std::wstring(child->GetChildLayoutXML().GetData()));
    ASSERT_EQ(1, child->GetCount());
    EXPECT_EQ(window.Find<CControlUI>(L"inner"), child->GetItemAt(0));
    // Its controls belong to the window like any others.
    ASSERT_NE(nullptr, window.Find<CControlUI>(L"leaf"));
    EXPECT_EQ(nullptr, window.Find<CControlUI>(L"second"));
    window.Layout();
    EXPECT_EQ(L"0,0,300,200", RectText(window.Find<CControlUI>(L"leaf")->GetPos()));
    // Initialised again, it holds the file's tree once.
    child->Init();
    ASSERT_EQ(1, child->GetCount());
    EXPECT_EQ(window.Find<CControlUI>(L"inner"), child->GetItemAt(0));
}

TEST_F(ChildLayout, AFileThatBuildsNothingEmptiesTheLayout) {
    Build(L"xmlfile=\"missing.xml\"", L"<Control name=\"old\" />");
    EXPECT_EQ(0, child->GetCount());
}

TEST_F(ChildLayout, WithoutAFileTheMarkupChildrenStay) {
    Build(L"", L"<Control name=\"old\" />");
    EXPECT_EQ(1, child->GetCount());
}

TEST_F(ChildLayout, AFileThatLeadsBackToItselfEndsWithTheInnerLayoutEmpty) {
    skin.Write(L"self.xml", "<Window><ChildLayout name=\"again\" xmlfile=\"self.xml\" /></Window>");
    skin.Write(L"a.xml", "<Window><ChildLayout name=\"inA\" xmlfile=\"b.xml\" /></Window>");
    skin.Write(L"b.xml", "<Window><ChildLayout name=\"inB\" xmlfile=\"A.XML\" /></Window>");
    Build(L"xmlfile=\"self.xml\"");
    ASSERT_EQ(1, child->GetCount());
    CContainerUI* again = window.Find<CContainerUI>(L"again");
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(0, again->GetCount());

    WidgetWindow other(300, 200);
    ASSERT_NE(nullptr, other.Build(L"<Window><VerticalLayout><ChildLayout xmlfile=\"a.xml\" /></VerticalLayout></Window>"));
    CContainerUI* inB = other.Find<CContainerUI>(L"inB");
    ASSERT_NE(nullptr, inB);
    EXPECT_EQ(0, inB->GetCount());
}

TEST_F(ChildLayout, LayoutsInitialisedAfterTheBuildShareItsBudget) {
    WriteHugeInclude(skin);
    LogCapture log;
    // Four layouts of the huge file: together they make what one build may.
    std::wstring markup = L"<Window><VerticalLayout>";
    for (int i = 0; i < 4; ++i) markup += L"<ChildLayout xmlfile=\"many.xml\" />";
    ASSERT_NE(nullptr, window.Build((markup + L"</VerticalLayout></Window>").c_str()));
    EXPECT_LE(CountControls(window.root), kMaxUnits);
    EXPECT_TRUE(log.Has("build stopped"));

    // What the window made itself leaves the rest to its layout.
    WidgetWindow other(300, 200);
    markup = L"<Window><VerticalLayout><VerticalLayout name=\"own\">" + Controls(kMaxUnits * 7 / 10) +
             L"</VerticalLayout><ChildLayout name=\"child\" xmlfile=\"many.xml\" /></VerticalLayout></Window>";
    ASSERT_NE(nullptr, other.Build(markup.c_str()));
    const int made = CountControls(other.Find<CControlUI>(L"child"));
    EXPECT_GT(made, 1000);
    EXPECT_LE(made, kMaxUnits - CountControls(other.Find<CControlUI>(L"own")));
}

TEST_F(ChildLayout, InitialisedAgainInAComboPopupItBuildsAsMuchEveryTime) {
    WriteHugeInclude(skin);
    DesktopInputLock lock;
    MarkupWindow home(300, 200);
    const std::wstring markup = L"<Window><VerticalLayout><VerticalLayout>" + Controls(kMaxUnits / 2) +
                                L"</VerticalLayout><Combo name=\"combo\" height=\"24\"><ListContainerElement height=\"20\">"
                                L"<ChildLayout name=\"child\" xmlfile=\"many.xml\" /></ListContainerElement></Combo>"
                                L"</VerticalLayout></Window>";
    ASSERT_NE(nullptr, home.Build(markup.c_str()));
    auto* combo = home.Find<CComboUI>(L"combo");
    auto* layout = home.Find<CChildLayoutUI>(L"child");
    ASSERT_NE(nullptr, combo);
    ASSERT_NE(nullptr, layout);
    EXPECT_LE(CountControls(home.root), kMaxUnits);
    const int made = CountControls(layout);
    EXPECT_GT(made, 1000);
    // The popup takes the item into its own manager, which initialises the
    // layout again each time; the old tree's units come back first.
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(combo->Activate());
        PumpPending();
        HWND popup = FindPopup();
        ASSERT_NE(nullptr, popup);
        EXPECT_EQ(made, CountControls(layout));
        SendMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
        PumpPending();
        ASSERT_FALSE(IsWindow(popup));
    }
}
