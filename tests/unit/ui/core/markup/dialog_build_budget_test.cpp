// The build budget with the framework's own controls: what a build is
// charged is the controls it makes, parts included.
#include "ui/controls/text/rich_edit_ui.h"
#include "ui/controls/tree/tree_node_ui.h"
#include "ui/core/hosts/active_x_ui.h"
#include "ui/core/hosts/flash_ui.h"
#include "ui/core/hosts/web_browser_ui.h"
#include "ui/controls/tree/tree_view_ui.h"
#include "ui/core/markup/dialog_build_budget.h"
#include "ui/core/markup/dialog_builder_tags.h"
#include "tests/unit/common/log_capture.h"
#include "tests/unit/ui/support/widget_test_support.h"

#include <gtest/gtest.h>

#include <new>
#include <string>

using namespace QuillUI;

TEST(DialogBuildBudget, ATreeNodeCostsItsRowAndItsParts) {
    // The framework's own tree, whatever tests before replaced it with.
    RegisterControlTag(L"TreeView", []() -> CControlUI* { return new (std::nothrow) CTreeViewUI(); });
    RegisterControlTag(L"TreeNode", []() -> CControlUI* { return new (std::nothrow) CTreeNodeUI(); });
    // About 100,000 nodes in one file; each makes its row layout and four
    // parts, six controls.
    std::wstring markup = L"<Window><TreeView name=\"tree\">";
    for (int i = 0; i < 99990; ++i) markup += L"<TreeNode />";
    markup += L"</TreeView></Window>";
    LogCapture log;
    WidgetWindow window(300, 200);
    ASSERT_NE(nullptr, window.Build(markup.c_str()));
    auto* tree = window.Find<CTreeViewUI>(L"tree");
    ASSERT_NE(nullptr, tree);
    // What was made before the budget ran out stays.
    EXPECT_GT(tree->GetCount(), CDialogBuildBudget::kMaxUnits / 6 - 10);
    EXPECT_LE(tree->GetCount(), CDialogBuildBudget::kMaxUnits / 6);
    ASSERT_EQ(1u, LogCapture::Lines().size());
    EXPECT_TRUE(log.Has("build stopped"));
}

TEST(DialogBuildBudget, ControlsThatHoldMuchWeighMore) {
    RegisterControlTag(L"RichEdit", []() -> CControlUI* { return new (std::nothrow) CRichEditUI(); });
    RegisterControlTag(L"ActiveX", []() -> CControlUI* { return new (std::nothrow) CActiveXUI(); });
    RegisterControlTag(L"WebBrowser", []() -> CControlUI* { return new (std::nothrow) CWebBrowserUI(); });
    RegisterControlTag(L"Flash", []() -> CControlUI* { return new (std::nothrow) CFlashUI(); });
    struct Case {
        const wchar_t* tag;
        long weight;
    };
    const Case cases[] = {
        {L"RichEdit", CRichEditUI::kBuildWeight},
        {L"ActiveX", CActiveXUI::kBuildWeight},
        {L"WebBrowser", CActiveXUI::kBuildWeight},
        {L"Flash", CActiveXUI::kBuildWeight},
    };
    for (const Case& c : cases) {
        std::wstring markup = L"<Window><VerticalLayout name=\"all\">";
        for (int i = 0; i < 5000; ++i) markup += std::wstring(L"<") + c.tag + L" />";
        markup += L"</VerticalLayout></Window>";
        LogCapture log;
        WidgetWindow window(300, 200);
        ASSERT_NE(nullptr, window.Build(markup.c_str())) << c.tag;
        auto* all = window.Find<CContainerUI>(L"all");
        const long room = (CDialogBuildBudget::kMaxUnits - 1) / c.weight;
        EXPECT_GE(all->GetCount(), room) << c.tag;
        EXPECT_LE(all->GetCount(), room + 1) << c.tag;
        EXPECT_TRUE(log.Has("build stopped")) << c.tag;
    }
}
