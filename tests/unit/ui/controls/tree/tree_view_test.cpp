#include "ui/controls/buttons/check_box_ui.h"
#include "ui/controls/buttons/option_ui.h"
#include "ui/controls/containers/horizontal_layout_ui.h"
#include "ui/controls/lists/list_header_ui.h"
#include "ui/controls/text/label_ui.h"
#include "ui/controls/tree/tree_node_ui.h"
#include "ui/controls/tree/tree_view_ui.h"
#include "ui/core/markup/dialog_builder_tags.h"
#include "tests/unit/ui/support/markup_window.h"
#include "tests/unit/ui/support/row_remover.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace QuillUI;

namespace {

// Rows 18 high: a (a1 (a1x), a2), b (b1 (b1x, b1y)); the last subtree ends
// the list, so its rows were appended after the last row.
const wchar_t kTree[] =
    L"<Window><TreeView name=\"tree\" ATTRS>"
    L"<TreeNode name=\"a\" text=\"A\"><TreeNode name=\"a1\" text=\"A1\"><TreeNode name=\"a1x\" text=\"A1x\" />"
    L"</TreeNode><TreeNode name=\"a2\" text=\"A2\" /></TreeNode>"
    L"<TreeNode name=\"b\" text=\"B\"><TreeNode name=\"b1\" text=\"B1\"><TreeNode name=\"b1x\" text=\"B1x\" />"
    L"<TreeNode name=\"b1y\" text=\"B1y\" /></TreeNode></TreeNode></TreeView></Window>";

std::wstring TreeMarkup(const wchar_t* attributes = L"") {
    std::wstring markup = kTree;
    markup.replace(markup.find(L"ATTRS"), 5, attributes);
    return markup;
}

// The names of the rows in order; hidden ones in brackets.
std::wstring Rows(CTreeViewUI* tree) {
    std::wstring out;
    for (int i = 0; i < tree->GetCount(); ++i) {
        CControlUI* row = tree->GetItemAt(i);
        const std::wstring name = row->GetName().GetData();
        out += (out.empty() ? L"" : L" ") + (row->IsVisible() ? name : L"[" + name + L"]");
    }
    return out;
}

std::wstring Children(CTreeNodeUI* node) {
    std::wstring out;
    for (int i = 0; i < node->GetChildNodeCount(); ++i)
        out += (out.empty() ? L"" : L" ") + std::wstring(node->GetChildNode(i)->GetName().GetData());
    return out;
}

std::wstring Checked(CTreeViewUI* tree) {
    std::wstring out;
    for (int i = 0; i < tree->GetCount(); ++i) {
        auto* node = AsTreeNode(tree->GetItemAt(i));
        if (!node->GetCheckBox()->IsSelected()) continue;
        out += (out.empty() ? L"" : L" ") + std::wstring(node->GetName().GetData());
    }
    return out;
}

struct TreeWindow {
    explicit TreeWindow(const wchar_t* attributes = L"") : window(300, 400) {
        built = window.Build(TreeMarkup(attributes).c_str()) != nullptr;
        tree = window.Find<CTreeViewUI>(L"tree");
    }
    CTreeNodeUI* Node(const wchar_t* name) { return window.Find<CTreeNodeUI>(name); }
    // A double click on the text of row r.
    void DoubleClick(int r) {
        window.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(150, r * 18 + 9));
        window.Up(150, r * 18 + 9);
    }
    MarkupWindow window;
    bool built = false;
    CTreeViewUI* tree = nullptr;
};

}  // namespace

TEST(TreeMarkup, NestedNodesBecomeRowsInOrderIndentedByLevel) {
    TreeWindow t;
    ASSERT_TRUE(t.built);
    ASSERT_NE(nullptr, t.tree);
    EXPECT_EQ(L"a a1 a1x a2 b b1 b1x b1y", Rows(t.tree));
    EXPECT_FALSE(t.tree->GetHeader()->IsVisible());
    EXPECT_EQ(L"a1 a2", Children(t.Node(L"a")));
    EXPECT_EQ(L"b1x b1y", Children(t.Node(L"b1")));
    EXPECT_EQ(t.Node(L"b"), t.Node(L"b1")->GetParentNode());

    struct Level {
        const wchar_t* node;
        int line;
        bool lineShown;
        int textLeft;
    };
    const Level levels[] = {{L"a", 2, false, 18}, {L"a1", 18, true, 36}, {L"b1y", 34, true, 52}};
    for (const Level& level : levels) {
        CTreeNodeUI* node = t.Node(level.node);
        EXPECT_EQ(level.line, node->GetDottedLine()->GetFixedWidth()) << level.node;
        EXPECT_EQ(level.lineShown, node->GetDottedLine()->IsVisible()) << level.node;
        EXPECT_EQ(level.textLeft, node->GetItemButton()->GetPos().left) << level.node;
        EXPECT_EQ(t.tree->GetItemIndex(node), node->GetTreeIndex()) << level.node;
    }
    EXPECT_STREQ(L"B1y", t.Node(L"b1y")->GetItemText().GetData());
    EXPECT_EQ(7 * 18, t.Node(L"b1y")->GetPos().top);
}

TEST(TreeMarkup, EachTreeTagMakesItsControlAndOtherControlsJoinTheNodeRow) {
    const wchar_t* const tags[][2] = {{L"Tree", L"TreeView"}, {L"TreeView", L"TreeView"}, {L"TreeNode", L"TreeNode"}};
    for (const auto& tag : tags) {
        CControlUI* control = CreateControlForTag(tag[0]);
        ASSERT_NE(nullptr, control);
        EXPECT_STREQ(tag[1], control->GetClass());
        EXPECT_NE(nullptr, control->GetInterface(tag[1]));
        EXPECT_NE(nullptr, control->GetInterface(L"IContainer"));
        control->Delete();
    }

    MarkupWindow window(300, 100);
    ASSERT_NE(nullptr, window.Build(L"<Window><Tree name=\"tree\"><TreeNode name=\"n\" text=\"N\" "
                                    L"itemattr=\"name=&quot;text&quot;\"><Label name=\"tag\" width=\"30\" />"
                                    L"</TreeNode></Tree></Window>"));
    auto* node = window.Find<CTreeNodeUI>(L"n");
    ASSERT_NE(nullptr, node);
    EXPECT_EQ(node->GetItemButton(), window.Find<CControlUI>(L"text"));
    CControlUI* tag = window.Find<CControlUI>(L"tag");
    ASSERT_NE(nullptr, tag);
    EXPECT_EQ(node->GetRowLayout(), tag->GetParent());
    EXPECT_EQ(4, node->GetRowLayout()->GetItemIndex(tag));
}

TEST(TreeFolding, DoubleClickFoldsOnceAndAFoldedGrandchildStaysFolded) {
    TreeWindow t;
    ASSERT_TRUE(t.built);
    CTreeNodeUI* a = t.Node(L"a");
    t.DoubleClick(0);
    EXPECT_EQ(1, static_cast<int>(std::count_if(t.window.notifier.heard.begin(), t.window.notifier.heard.end(),
                                                [](const HeardNotify& h) { return h.type == L"itemdbclick"; })));
    EXPECT_TRUE(a->GetFolderButton()->IsSelected());
    EXPECT_FALSE(a->GetVisibleTag());
    EXPECT_EQ(L"a [a1] [a1x] [a2] b b1 b1x b1y", Rows(t.tree));
    t.DoubleClick(0);
    EXPECT_EQ(L"a a1 a1x a2 b b1 b1x b1y", Rows(t.tree));

    // Fold a1, then a; unfolding a shows a1 and a2 but keeps a1's subtree.
    t.DoubleClick(1);
    EXPECT_EQ(L"a a1 [a1x] a2 b b1 b1x b1y", Rows(t.tree));
    t.DoubleClick(0);
    EXPECT_EQ(L"a [a1] [a1x] [a2] b b1 b1x b1y", Rows(t.tree));
    t.DoubleClick(0);
    EXPECT_EQ(L"a a1 [a1x] a2 b b1 b1x b1y", Rows(t.tree));

    // The folder button's own click folds as well; the rows below move up.
    t.window.Layout();
    t.window.Click(9, 3 * 18 + 9);
    EXPECT_TRUE(t.Node(L"b")->GetFolderButton()->IsSelected());
    EXPECT_EQ(L"a a1 [a1x] a2 b [b1] [b1x] [b1y]", Rows(t.tree));
}

// A node removed by a listener of its own click or activation gets nothing
// more: no selection of the row that moved into its place, no
// "itemdbclick", whether it was kept or deleted.
TEST(TreeRemoval, ANodeRemovedInItsOwnClickOrActivationGetsNothingMore) {
    const RowRemoval removals[] = {RowRemoval::Kept, RowRemoval::Delayed, RowRemoval::AtOnce};
    for (const bool dbclick : {false, true}) {
        for (RowRemoval how : removals) {
            SCOPED_TRACE(testing::Message() << (dbclick ? "double click, " : "click, ") << RowRemovalName(how));
            TreeWindow t;
            ASSERT_TRUE(t.built);
            RowRemover remover(t.window.manager(), t.tree, t.tree->GetList(), dbclick ? L"itemactivate" : L"itemclick",
                               how);
            // a2, a leaf in row 3.
            if (dbclick)
                t.DoubleClick(3);
            else
                t.window.Click(150, 3 * 18 + 9);
            EXPECT_EQ(dbclick ? L"itemactivate:a2" : L"itemclick:a2", t.window.notifier.Summary());
            EXPECT_EQ(L"a a1 a1x b b1 b1x b1y", Rows(t.tree));
            EXPECT_EQ(-1, t.tree->GetCurSel());
            EXPECT_FALSE(t.Node(L"b")->IsSelected());
            PumpFor(0);
        }
    }
}

TEST(TreeChecks, ACheckMarkReachesEveryDescendantButNotTheParent) {
    TreeWindow t(L"visiblecheckbtn=\"true\"");
    ASSERT_TRUE(t.built);
    // The check box follows the folder button of each row.
    t.window.Click(27, 9);
    EXPECT_EQ(L"a a1 a1x a2", Checked(t.tree));
    t.window.Click(18 + 18 + 9, 18 + 9);
    EXPECT_EQ(L"a a2", Checked(t.tree));

    t.tree->SetItemCheckBox(true);
    EXPECT_EQ(L"a a1 a1x a2 b b1 b1x b1y", Checked(t.tree));
    t.tree->SetItemCheckBox(false, t.Node(L"b"));
    EXPECT_EQ(L"a a1 a1x a2 b", Checked(t.tree));
}

TEST(TreeSettings, FolderAndCheckButtonsFollowTheViewInRowsOldAndNew) {
    TreeWindow t(L"visiblecheckbtn=\"true\" visiblefolderbtn=\"false\" itemminwidth=\"280\"");
    ASSERT_TRUE(t.built);
    auto* added = new CTreeNodeUI();
    ASSERT_TRUE(t.Node(L"a2")->AddChildNode(added));
    for (int i = 0; i < t.tree->GetCount(); ++i) {
        auto* node = AsTreeNode(t.tree->GetItemAt(i));
        EXPECT_TRUE(node->GetCheckBox()->IsVisible()) << i;
        EXPECT_FALSE(node->GetFolderButton()->IsVisible()) << i;
        EXPECT_EQ(280, node->GetMinWidth()) << i;
    }
    t.tree->SetVisibleCheckBtn(false);
    EXPECT_FALSE(added->GetCheckBox()->IsVisible());
    EXPECT_FALSE(t.Node(L"a")->GetCheckBox()->IsVisible());

    t.tree->SetAttribute(L"itemtextcolor", L"#FF102030");
    EXPECT_EQ(0xFF102030u, added->GetItemButton()->GetTextColor());
    // The list's own item colour is not the view's.
    EXPECT_EQ(0xFF000000u, t.tree->GetListInfo()->textColor);
}

TEST(TreeEditing, ChildNodesAddedLaterTakeTheirPlaceInTheRows) {
    TreeWindow t;
    ASSERT_TRUE(t.built);
    auto make = [](const wchar_t* name) {
        auto* node = new CTreeNodeUI();
        node->SetName(name);
        return node;
    };
    // After the last row of the view, then before and after a's children.
    ASSERT_TRUE(t.Node(L"b1y")->AddChildNode(make(L"z")));
    EXPECT_EQ(L"a a1 a1x a2 b b1 b1x b1y z", Rows(t.tree));
    ASSERT_TRUE(t.Node(L"a")->AddAt(make(L"first"), 0));
    ASSERT_TRUE(t.Node(L"a")->AddAt(make(L"last"), 99));
    ASSERT_TRUE(t.Node(L"a")->AddAt(make(L"mid"), 2));
    EXPECT_EQ(L"first a1 mid a2 last", Children(t.Node(L"a")));
    EXPECT_EQ(L"a first a1 a1x mid a2 last b b1 b1x b1y z", Rows(t.tree));

    // A subtree made beforehand comes along whole, every level of it.
    CTreeNodeUI* p = make(L"p");
    CTreeNodeUI* q = make(L"q");
    ASSERT_TRUE(p->AddChildNode(q));
    ASSERT_TRUE(q->AddChildNode(make(L"q1")));
    ASSERT_TRUE(q->AddChildNode(make(L"q2")));
    ASSERT_TRUE(p->AddChildNode(make(L"r")));
    ASSERT_TRUE(t.Node(L"b")->AddChildNode(p));
    EXPECT_EQ(L"a first a1 a1x mid a2 last b b1 b1x b1y z p q q1 q2 r", Rows(t.tree));
    // Indented for where it joined, not where it was made.
    EXPECT_EQ(34, q->GetDottedLine()->GetFixedWidth());
    EXPECT_EQ(50, q->GetChildNode(0)->GetDottedLine()->GetFixedWidth());
    for (int i = 0; i < t.tree->GetCount(); ++i) {
        auto* node = AsTreeNode(t.tree->GetItemAt(i));
        EXPECT_EQ(t.tree, node->GetTreeView()) << i;
        EXPECT_EQ(i, node->GetTreeIndex()) << i;
    }
}

TEST(TreeEditing, CyclesDuplicatesAndStrangersAreRefused) {
    TreeWindow t;
    ASSERT_TRUE(t.built);
    CTreeNodeUI loose;
    CTreeNodeUI looseChild;
    ASSERT_TRUE(loose.AddChildNode(&looseChild));
    CControlUI label;
    struct Case {
        const char* what;
        CTreeNodeUI* parent;
        CControlUI* child;
    };
    const Case cases[] = {
        {"null", t.Node(L"a"), nullptr},
        {"itself", t.Node(L"a"), t.Node(L"a")},
        {"its grandparent", t.Node(L"a1x"), t.Node(L"a")},
        {"a row of the view", t.Node(L"b"), t.Node(L"a1")},
        {"another node's child", t.Node(L"b"), &looseChild},
        {"no tree node", t.Node(L"b"), &label},
        {"a loose node's own ancestor", &looseChild, &loose},
    };
    for (const Case& c : cases) {
        CTreeNodeUI* node = AsTreeNode(c.child);
        if (node != nullptr || c.child == nullptr) {
            EXPECT_FALSE(c.parent->AddChildNode(node)) << c.what;
        }
        EXPECT_FALSE(c.parent->AddAt(c.child, 0)) << c.what;
    }
    EXPECT_FALSE(t.tree->Add(t.Node(L"a1")));
    EXPECT_FALSE(t.tree->Add(&looseChild));
    EXPECT_FALSE(t.tree->Add(&label));
    CTreeNodeUI spare;
    EXPECT_EQ(-1, t.tree->AddAt(&spare, 99));
    EXPECT_EQ(L"a a1 a1x a2 b b1 b1x b1y", Rows(t.tree));
    EXPECT_EQ(L"a1 a2", Children(t.Node(L"a")));
}

TEST(TreeEditing, ANodeWithAParentThatIsNoNodeHasAnEmptyRow) {
    struct Stranger : CTreeNodeUI {
        const wchar_t* GetClass() const override { return L"Stranger"; }
    } stranger;
    CTreeNodeUI node(&stranger);
    EXPECT_EQ(0, node.GetCount());
    EXPECT_EQ(nullptr, node.GetParentNode());
    // A real parent indents the row; the node is its child once added.
    CTreeNodeUI parent;
    CTreeNodeUI child(&parent);
    EXPECT_EQ(1, child.GetCount());
    EXPECT_EQ(18, child.GetDottedLine()->GetFixedWidth());
    EXPECT_TRUE(parent.AddChildNode(&child));
    EXPECT_EQ(&parent, child.GetParentNode());
}

TEST(TreeRemoval, AMiddleNodeTakesItsSubtreeAndLeavesItsParentWorking) {
    TreeWindow t(L"visiblecheckbtn=\"true\"");
    ASSERT_TRUE(t.built);
    CTreeNodeUI* a = t.Node(L"a");
    ASSERT_TRUE(t.tree->SelectItem(2));
    t.window.notifier.heard.clear();
    ASSERT_TRUE(t.tree->Remove(t.Node(L"a1")));
    EXPECT_EQ(L"a a2 b b1 b1x b1y", Rows(t.tree));
    EXPECT_EQ(L"a2", Children(a));
    // The selection inside the subtree moved once, to the row after it.
    EXPECT_EQ(1, t.tree->GetCurSel());
    EXPECT_EQ(L"itemselect:tree", t.window.notifier.Summary());
    for (int i = 0; i < t.tree->GetCount(); ++i) EXPECT_EQ(i, AsTreeNode(t.tree->GetItemAt(i))->GetTreeIndex());

    a->GetFolderButton()->Selected(true, true);
    EXPECT_EQ(L"a [a2] b b1 b1x b1y", Rows(t.tree));
    a->GetFolderButton()->Selected(false, true);
    a->GetCheckBox()->Selected(true, true);
    EXPECT_EQ(L"a a2", Checked(t.tree));
    auto* added = new CTreeNodeUI();
    added->SetName(L"n");
    ASSERT_TRUE(a->AddChildNode(added));
    EXPECT_EQ(L"a a2 n b b1 b1x b1y", Rows(t.tree));
    EXPECT_EQ(a->GetLastNode(), added);
}

TEST(TreeRemoval, ANodeKeptHearsNothingFromTheViewAndCanComeBack) {
    TreeWindow t;
    ASSERT_TRUE(t.built);
    CTreeNodeUI* b1 = t.Node(L"b1");
    ASSERT_TRUE(t.tree->RemoveAt(5, true));
    EXPECT_EQ(L"a a1 a1x a2 b", Rows(t.tree));
    EXPECT_EQ(0, t.Node(L"b")->GetChildNodeCount());
    EXPECT_EQ(nullptr, b1->GetParentNode());
    EXPECT_EQ(nullptr, b1->GetTreeView());
    EXPECT_EQ(-1, b1->GetTreeIndex());
    for (CTreeNodeUI* node : {b1, b1->GetChildNode(0), b1->GetChildNode(1)}) {
        EXPECT_FALSE(node->OnNotify.HasDelegates());
        EXPECT_FALSE(node->GetFolderButton()->OnNotify.HasDelegates());
        EXPECT_FALSE(node->GetCheckBox()->OnNotify.HasDelegates());
    }
    // Its subtree stays whole and joins the view again.
    ASSERT_TRUE(t.tree->Add(b1));
    EXPECT_EQ(L"a a1 a1x a2 b b1 b1x b1y", Rows(t.tree));
    EXPECT_TRUE(b1->OnNotify.HasDelegates());
}

TEST(TreeLook, TheItemTextColourFollowsSelectionAndHover) {
    TreeWindow t(L"itemtextcolor=\"#FF000001\" itemhottextcolor=\"#FF000002\" selitemtextcolor=\"#FF000003\" "
                 L"selitemhottextcolor=\"#FF000004\"");
    ASSERT_TRUE(t.built);
    CTreeNodeUI* a = t.Node(L"a");
    COptionUI* text = a->GetItemButton();
    auto hover = [&](int kind) {
        ControlEventUI event;
        event.kind = kind;
        event.mousePoint = POINT{400, 400};
        a->Event(event);
    };
    struct Step {
        const char* what;
        int kind;  // 0: select, 1: deselect
        DWORD colour;
    };
    const Step steps[] = {
        {"enter", EventMouseEnter, 0xFF000002}, {"leave", EventMouseLeave, 0xFF000001},
        {"select", 0, 0xFF000003},             {"enter selected", EventMouseEnter, 0xFF000004},
        {"leave selected", EventMouseLeave, 0xFF000003}, {"deselect", 1, 0xFF000001},
    };
    for (const Step& step : steps) {
        if (step.kind == 0)
            ASSERT_TRUE(t.tree->SelectItem(0));
        else if (step.kind == 1)
            a->Select(false);
        else
            hover(step.kind);
        EXPECT_EQ(step.colour, text->GetTextColor()) << step.what;
    }
}
