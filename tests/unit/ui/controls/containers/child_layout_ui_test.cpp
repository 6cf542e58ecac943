#include "ui/controls/containers/child_layout_ui.h"

#include "tests/unit/ui/support/widget_test_support.h"

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
