// The dialog builder with controls of the test's own: a counting control
// and a minimal container, made through the builder's callback.
#include "common/win.h"
#include "tests/unit/common/log_capture.h"
#include "tests/unit/common/test_paths.h"
#include "ui/core/control/control_ui.h"
#include "ui/core/markup/dialog_build_budget.h"
#include "ui/core/markup/dialog_build_scope.h"
#include "ui/core/markup/dialog_builder.h"
#include "ui/core/markup/dialog_builder_tags.h"
#include "ui/core/render/font_info_ui.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/controls/containers/container_ui.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <fstream>
#include <string>
#include <vector>

using namespace QuillUI;

namespace {

int g_alive = 0;

class Probe : public CControlUI {
public:
    Probe() { ++g_alive; }
    ~Probe() override { --g_alive; }
    const wchar_t* GetClass() const override { return L"Probe"; }
};

// Children in a list; owns them.
class Box : public Probe, public IContainerUI {
public:
    ~Box() override {
        for (CControlUI* child : children_) child->Delete();
    }
    const wchar_t* GetClass() const override { return L"Box"; }
    void* GetInterface(const wchar_t* name) override {
        if (wcscmp(name, L"IContainer") == 0) return static_cast<IContainerUI*>(this);
        return CControlUI::GetInterface(name);
    }
    CControlUI* GetItemAt(int index) const override {
        return index >= 0 && index < GetCount() ? children_[index] : nullptr;
    }
    int GetItemIndex(CControlUI*) const override { return -1; }
    bool SetItemIndex(CControlUI*, int) override { return false; }
    bool MoveItems(CControlUI*, int, int) override { return false; }
    int GetCount() const override { return static_cast<int>(children_.size()); }
    bool Add(CControlUI* control) override {
        if (refuse) return false;
        children_.push_back(control);
        return true;
    }
    bool AddAt(CControlUI* control, int) override { return Add(control); }
    bool Remove(CControlUI*, bool) override { return false; }
    bool RemoveAt(int, bool) override { return false; }
    void RemoveAll() override {}

    bool refuse = false;

private:
    std::vector<CControlUI*> children_;
};

class RefusingBox : public Box {
public:
    RefusingBox() { refuse = true; }
};

class TestCallback : public IDialogBuilderCallback {
public:
    CControlUI* CreateControl(const wchar_t* className) override {
        asked.push_back(className);
        if (_wcsicmp(className, L"Probe") == 0) {
            if (!removeOnProbe.empty()) DeleteFileW(removeOnProbe.c_str());
            removeOnProbe.clear();
            return new Probe;
        }
        if (_wcsicmp(className, L"Box") == 0) return new Box;
        if (_wcsicmp(className, L"RefusingBox") == 0) return new RefusingBox;
        return nullptr;
    }
    std::vector<std::wstring> asked;
    // A file that the first probe made removes.
    std::wstring removeOnProbe;
};

IContainerUI* Items(CControlUI* control) {
    return static_cast<IContainerUI*>(control->GetInterface(L"IContainer"));
}

std::wstring Str(const CWideString& text) { return text.GetData(); }

class DialogBuilderTest : public ::testing::Test {
protected:
    void SetUp() override { g_alive = 0; }
    void TearDown() override {
        if (root_ != nullptr) root_->Delete();
        EXPECT_EQ(g_alive, 0) << "controls leaked or deleted twice";
    }
    CControlUI* Build(const wchar_t* markup, CWindowManagerUI* manager = nullptr) {
        CDialogBuilder builder;
        root_ = builder.Create(markup, nullptr, &callback_, manager);
        return root_;
    }

    TestCallback callback_;
    CControlUI* root_ = nullptr;
};

TEST_F(DialogBuilderTest, RegistersTheRootsResources) {
    CWindowManagerUI manager;
    Build(L"<Window roundcorner=\"3,3\">"
          L"<Font id=\"3\" name=\"Liberation Sans\" size=\"17\" bold=\"TRUE\" />"
          L"<Font id=\"-1\" name=\"Negative\" size=\"21\" />"
          L"<Font name=\"NoId\" size=\"22\" />"
          L"<Font id=\"4\" size=\"23\" />"
          L"<Font id=\"5\" name=\"Liberation Serif\" default=\"true\" />"
          L"<Default name=\"Probe\" value=\"tooltip=&quot;t&quot;\" />"
          L"<MultiLanguage id=\"41\" value=\"forty-one\" />"
          L"<Box />"
          L"</Window>",
          &manager);
    ASSERT_NE(root_, nullptr);
    FontInfoUI* font = manager.GetFontInfo(3);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->size, 17);
    EXPECT_TRUE(font->bold);
    EXPECT_EQ(manager.FindFont(L"Negative", 21, false, false, false), nullptr);
    EXPECT_EQ(manager.FindFont(L"NoId", 22, false, false, false), nullptr);
    EXPECT_EQ(manager.GetFontInfo(4), manager.GetDefaultFontInfo());
    // "default" also makes it the default font, with the size defaulting to 12.
    ASSERT_NE(manager.GetFontInfo(5), nullptr);
    EXPECT_EQ(manager.GetDefaultFontInfo()->size, 12);
    EXPECT_EQ(Str(manager.GetDefaultFontInfo()->faceName), L"Liberation Serif");
    ASSERT_NE(manager.GetDefaultAttributeList(L"Probe"), nullptr);
    EXPECT_STREQ(manager.GetDefaultAttributeList(L"Probe"), L"tooltip=\"t\"");
    ASSERT_NE(CWindowManagerUI::GetMultiLanguageString(41), nullptr);
    EXPECT_STREQ(CWindowManagerUI::GetMultiLanguageString(41), L"forty-one");
    // Window attributes need a manager bound to a window.
    EXPECT_EQ(manager.GetRoundCorner().cx, 0);
}

TEST_F(DialogBuilderTest, TagsMatchWithoutCaseAndUnknownTagsAreSkipped) {
    Build(L"<Window><Box>"
          L"<Control name=\"a\" /><CONTROL name=\"b\" /><control name=\"c\" />"
          L"<Nobody name=\"skipped\"><Probe name=\"inside\" /></Nobody>"
          L"<probe name=\"d\" />"
          L"</Box></Window>");
    ASSERT_NE(root_, nullptr);
    IContainerUI* box = Items(root_);
    ASSERT_EQ(box->GetCount(), 4);
    for (int i = 0; i < 3; ++i) EXPECT_STREQ(box->GetItemAt(i)->GetClass(), L"Control");
    EXPECT_STREQ(box->GetItemAt(3)->GetClass(), L"Probe");
    // Known tags never reach the callback; the subtree of an unknown one is
    // not built at all.
    for (const std::wstring& tag : callback_.asked) {
        EXPECT_NE(_wcsicmp(tag.c_str(), L"Control"), 0);
        EXPECT_NE(tag, L"Probe");
    }
}

TEST_F(DialogBuilderTest, FrameworkContainersTakeChildren) {
    Build(L"<Window><container><SCROLLBAR /><Probe /></container></Window>");
    ASSERT_NE(root_, nullptr);
    EXPECT_STREQ(root_->GetClass(), L"Container");
    ASSERT_EQ(Items(root_)->GetCount(), 2);
    EXPECT_STREQ(Items(root_)->GetItemAt(0)->GetClass(), L"ScrollBar");
}

TEST_F(DialogBuilderTest, RegisteredTagsAndPluginsComeBeforeTheCallback) {
    ASSERT_TRUE(RegisterControlTag(L"Gauge", []() -> CControlUI* { return new Probe; }));
    static const ControlPluginUI plugin = [](const wchar_t* tag) -> CControlUI* {
        if (_wcsicmp(tag, L"Dial") != 0) return nullptr;
        Probe* probe = new Probe;
        probe->SetUserData(L"plugin");
        return probe;
    };
    CWindowManagerUI::GetPlugins()->Add(reinterpret_cast<void*>(plugin));
    Build(L"<Window><Box><gauge name=\"g\" /><Dial name=\"d\" /></Box></Window>");
    CWindowManagerUI::GetPlugins()->Remove(CWindowManagerUI::GetPlugins()->Find(reinterpret_cast<void*>(plugin)));
    ASSERT_NE(root_, nullptr);
    ASSERT_EQ(Items(root_)->GetCount(), 2);
    EXPECT_EQ(Str(Items(root_)->GetItemAt(1)->GetUserData()), L"plugin");
    EXPECT_EQ(callback_.asked, std::vector<std::wstring>{L"Box"});
}

TEST_F(DialogBuilderTest, DefaultsComeBeforeOwnAttributesAndAreKeyedByTheTagAsWritten) {
    CWindowManagerUI manager;
    Build(L"<Window>"
          L"<Default name=\"Probe\" value=\"tooltip=&quot;from default&quot; userdata=&quot;from default&quot;\" />"
          L"<Box><Probe userdata=\"own\" /><probe /></Box></Window>",
          &manager);
    ASSERT_NE(root_, nullptr);
    CControlUI* first = Items(root_)->GetItemAt(0);
    EXPECT_EQ(Str(first->GetToolTip()), L"from default");
    EXPECT_EQ(Str(first->GetUserData()), L"own");
    EXPECT_EQ(Str(Items(root_)->GetItemAt(1)->GetToolTip()), L"");
    // The managers are cleared again; the tree is bound when it is attached.
    EXPECT_EQ(first->GetManager(), nullptr);
    EXPECT_EQ(root_->GetManager(), nullptr);
}

TEST_F(DialogBuilderTest, CoverIsTheParentsCoverNotAChild) {
    CWindowManagerUI manager;
    Build(L"<Window><Box>"
          L"<Probe name=\"cover\" cover=\"true\" /><Probe name=\"child\" cover=\"True\" />"
          L"</Box></Window>",
          &manager);
    ASSERT_NE(root_, nullptr);
    ASSERT_NE(root_->GetCover(), nullptr);
    EXPECT_EQ(Str(root_->GetCover()->GetName()), L"cover");
    ASSERT_EQ(Items(root_)->GetCount(), 1);
    EXPECT_EQ(Str(Items(root_)->GetItemAt(0)->GetName()), L"child");
}

TEST_F(DialogBuilderTest, UnattachedControlsAreDeleted) {
    // A control under a non-container, further top-level controls, a
    // refused child and a tree node outside any tree.
    ASSERT_TRUE(RegisterControlTag(L"TreeNode", []() -> CControlUI* { return new Probe; }));
    Build(L"<Window>"
          L"<Box name=\"first\">"
          L"<Probe name=\"leaf\"><Probe name=\"orphan\"><Probe /></Probe></Probe>"
          L"<RefusingBox><Probe name=\"refused\" /></RefusingBox>"
          L"<TreeNode />"
          L"</Box>"
          L"<Probe name=\"second\" /><TreeNode />"
          L"</Window>");
    ASSERT_NE(root_, nullptr);
    EXPECT_EQ(Str(root_->GetName()), L"first");
    // Nothing after the tree node that the box could not take is built.
    ASSERT_EQ(Items(root_)->GetCount(), 2);
    EXPECT_EQ(g_alive, 3);  // first, leaf and the refusing box, without what it refused
}

// Tree doubles: a view that is a plain box, and a node that keeps its
// child nodes apart from the controls of its row.
class TreeViewDouble : public Box {
public:
    void* GetInterface(const wchar_t* name) override {
        if (wcscmp(name, L"TreeView") == 0) return this;
        return Box::GetInterface(name);
    }
};

class TreeNodeDouble : public Probe {
public:
    ~TreeNodeDouble() override {
        for (CControlUI* control : nodes) control->Delete();
        for (CControlUI* control : row) control->Delete();
    }
    void* GetInterface(const wchar_t* name) override {
        if (wcscmp(name, L"TreeNode") == 0) return this;
        return Probe::GetInterface(name);
    }
    std::vector<CControlUI*> nodes;
    std::vector<CControlUI*> row;
};

TEST_F(DialogBuilderTest, TreeNodesJoinTheirTreeThroughTheTreesOperations) {
    ASSERT_TRUE(RegisterControlTag(L"TreeView", []() -> CControlUI* { return new TreeViewDouble; }));
    ASSERT_TRUE(RegisterControlTag(L"TreeNode", []() -> CControlUI* { return new TreeNodeDouble; }));
    TreeBuildOpsUI ops;
    ops.addNodeToNode = [](CControlUI* parent, CControlUI* node) {
        static_cast<TreeNodeDouble*>(parent)->nodes.push_back(node);
        return true;
    };
    ops.addNodeToView = [](CControlUI* view, CControlUI* node) {
        // A refused node goes with its whole subtree.
        return node->GetName() != L"refused" && static_cast<TreeViewDouble*>(view)->Add(node);
    };
    ops.addToNodeRow = [](CControlUI* parent, CControlUI* control) {
        static_cast<TreeNodeDouble*>(parent)->row.push_back(control);
        return true;
    };
    SetTreeBuildOps(ops);
    Build(L"<Window><TreeView>"
          L"<TreeNode name=\"a\"><Probe name=\"label\" /><TreeNode name=\"b\" /></TreeNode>"
          L"<TreeNode name=\"refused\"><Probe /><TreeNode /></TreeNode>"
          L"</TreeView></Window>");
    SetTreeBuildOps(TreeBuildOpsUI());
    ASSERT_NE(root_, nullptr);
    ASSERT_EQ(Items(root_)->GetCount(), 1);
    auto* a = static_cast<TreeNodeDouble*>(Items(root_)->GetItemAt(0));
    EXPECT_EQ(Str(a->GetName()), L"a");
    ASSERT_EQ(a->row.size(), 1u);
    EXPECT_EQ(Str(a->row[0]->GetName()), L"label");
    ASSERT_EQ(a->nodes.size(), 1u);
    EXPECT_EQ(Str(a->nodes[0]->GetName()), L"b");
    EXPECT_EQ(g_alive, 4);  // the view, a, its label and b
}

// A node that takes child nodes through its own add, as a tree node does.
class NodeBox : public Box {
public:
    void* GetInterface(const wchar_t* name) override {
        if (wcscmp(name, L"TreeNode") == 0) return this;
        return Box::GetInterface(name);
    }
};

TEST_F(DialogBuilderTest, TreeNodesJoinNodesAndViewsThroughTheirOwnAdd) {
    ASSERT_TRUE(RegisterControlTag(L"TreeView", []() -> CControlUI* { return new TreeViewDouble; }));
    ASSERT_TRUE(RegisterControlTag(L"TreeNode", []() -> CControlUI* { return new NodeBox; }));
    SetTreeBuildOps(TreeBuildOpsUI());
    LogCapture log;
    Build(L"<Window><TreeView>"
          L"<TreeNode name=\"a\"><Probe name=\"label\" /><TreeNode name=\"b\" /></TreeNode>"
          L"</TreeView></Window>");
    ASSERT_NE(root_, nullptr);
    ASSERT_EQ(Items(root_)->GetCount(), 1);
    CControlUI* a = Items(root_)->GetItemAt(0);
    EXPECT_EQ(Str(a->GetName()), L"a");
    ASSERT_EQ(Items(a)->GetCount(), 1);
    EXPECT_EQ(Str(Items(a)->GetItemAt(0)->GetName()), L"b");
    // The node's row is the tree's to reach: without it the label is dropped, not silently.
    EXPECT_TRUE(log.Has("tree node"));
    EXPECT_EQ(g_alive, 3);
}

TEST_F(DialogBuilderTest, IncludeBuildsItsSourceCountTimesIntoTheParent) {
    Build(L"<Window><Box>"
          L"<Include source=\"&lt;Window&gt;&lt;Probe name=&quot;inc&quot; /&gt;&lt;/Window&gt;\" count=\"3\" />"
          L"<Include />"
          L"<Probe name=\"after\" />"
          L"</Box></Window>");
    ASSERT_NE(root_, nullptr);
    IContainerUI* box = Items(root_);
    ASSERT_EQ(box->GetCount(), 4);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Str(box->GetItemAt(i)->GetName()), L"inc");
    EXPECT_EQ(Str(box->GetItemAt(3)->GetName()), L"after");
}

// Markup files written beside the test program, found through the skin
// folder while the object lives.
class SkinFiles {
public:
    SkinFiles() : saved_(CWindowManagerUI::GetResourcePath()) {
        CWindowManagerUI::SetResourcePath(TestExeFolder().c_str());
    }
    ~SkinFiles() { CWindowManagerUI::SetResourcePath(saved_.GetData()); }
    void Write(const std::string& name, const std::string& markup) {
        const std::wstring folder = TestExeFolder();
        std::ofstream(std::string(folder.begin(), folder.end()) + name, std::ios::binary) << markup;
    }

private:
    CWideString saved_;
};

// How many boxes deep the chain of each box's last child goes.
int BoxDepth(CControlUI* root) {
    int depth = 0;
    for (CControlUI* box = root; box != nullptr && Items(box) != nullptr; ++depth) {
        IContainerUI* items = Items(box);
        box = items->GetCount() > 0 ? items->GetItemAt(items->GetCount() - 1) : nullptr;
    }
    return depth;
}

TEST_F(DialogBuilderTest, ASourceBeingBuiltUpTheChainIsRefused) {
    SkinFiles files;
    // Each copy of a self-include used to build the file again: two copies
    // at every level doubled the work per level.
    files.Write("builder_self2.xml", "<Window><Box><Probe /><Include source=\"builder_self2.xml\" count=\"2\" /></Box></Window>");
    files.Write("builder_self3.xml", "<Window><Box><Probe /><Include source=\"BUILDER_SELF3.xml\" count=\"3\" /></Box></Window>");
    files.Write("builder_ping.xml", "<Window><Box><Probe /><Include source=\"builder_pong.xml\" count=\"2\" /></Box></Window>");
    files.Write("builder_pong.xml", "<Window><Box><Include source=\"builder_ping.xml\" count=\"2\" /></Box></Window>");
    const struct {
        const wchar_t* file;
        int boxes;
    } kCases[] = {{L"builder_self2.xml", 1}, {L"builder_self3.xml", 1}, {L"builder_ping.xml", 2}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.file, c.file + wcslen(c.file)));
        LogCapture log;
        ASSERT_NE(Build(c.file), nullptr);
        EXPECT_EQ(BoxDepth(root_), c.boxes);
        EXPECT_EQ(Items(root_)->GetItemAt(0)->GetClass(), std::wstring(L"Probe"));
        EXPECT_TRUE(log.Has("already being built"));
        // Refused once per include, not once per copy.
        EXPECT_EQ(LogCapture::Lines().size(), c.boxes == 1 ? 1u : 2u);
        root_->Delete();
        root_ = nullptr;
    }
}

TEST_F(DialogBuilderTest, DistinctSourcesNestToTheDepthCap) {
    SkinFiles files;
    const int kFiles = CDialogBuildScope::kMaxDepth + 4;
    for (int i = 0; i < kFiles; ++i) {
        files.Write("builder_nest" + std::to_string(i) + ".xml",
                    "<Window><Box><Include source=\"builder_nest" + std::to_string(i + 1) + ".xml\" /></Box></Window>");
    }
    LogCapture log;
    ASSERT_NE(Build(L"builder_nest0.xml"), nullptr);
    EXPECT_EQ(BoxDepth(root_), CDialogBuildScope::kMaxDepth + 1);
    EXPECT_TRUE(log.Has("nested too deeply"));
}

TEST_F(DialogBuilderTest, ABuildMakesABoundedNumberOfControls) {
    LogCapture log;
    Build(L"<Window><Box>"
          L"<Include source=\"&lt;Window&gt;&lt;Probe /&gt;&lt;/Window&gt;\" count=\"100000000\" />"
          L"<Probe name=\"after\" />"
          L"</Box></Window>");
    ASSERT_NE(root_, nullptr);
    // Every copy costs its opening and its control.
    const int count = Items(root_)->GetCount();
    EXPECT_GT(count, CDialogBuildBudget::kMaxUnits / 2 - 10);
    EXPECT_LE(count, CDialogBuildBudget::kMaxUnits / 2);
    EXPECT_NE(Str(Items(root_)->GetItemAt(count - 1)->GetName()), L"after");
    ASSERT_EQ(LogCapture::Lines().size(), 1u);
    EXPECT_TRUE(log.Has("build stopped"));
}

TEST_F(DialogBuilderTest, AnIncludeOfHugeCountIsReadOnceAndEndsWithTheBudget) {
    SkinFiles files;
    const struct {
        const char* markup;
        int copies;  // the probes the include makes
    } kCases[] = {
        // Each copy of an empty file costs its opening.
        {"<Window />", 0},
        // The file is gone once the first probe is made: every other copy
        // comes from the document read before.
        {"<Window><Probe /></Window>", CDialogBuildBudget::kMaxUnits / 2},
        {"<Window><Nobody /><Probe /><Font id=\"1\" name=\"Liberation Sans\" /></Window>",
         CDialogBuildBudget::kMaxUnits / 4},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.markup);
        files.Write("builder_huge.xml", c.markup);
        callback_.removeOnProbe = TestExeFolder() + L"builder_huge.xml";
        LogCapture log;
        Build(L"<Window><Box><Include source=\"builder_huge.xml\" count=\"2147483647\" /><Probe name=\"after\" />"
              L"</Box></Window>");
        ASSERT_NE(root_, nullptr);
        const int count = Items(root_)->GetCount();
        EXPECT_GE(count, c.copies - 10);
        EXPECT_LE(count, c.copies);
        if (count > 0) {
            EXPECT_NE(Str(Items(root_)->GetItemAt(count - 1)->GetName()), L"after");
        }
        ASSERT_EQ(LogCapture::Lines().size(), 1u);
        EXPECT_TRUE(log.Has("build stopped"));
        root_->Delete();
        root_ = nullptr;
    }
}

TEST_F(DialogBuilderTest, AControlIsChargedToTheBuildItWasMadeInWhileItLives) {
    Probe* outside = new Probe;
    Probe* outlives = nullptr;
    {
        CDialogBuildScope scope(L"<Window />");
        EXPECT_EQ(scope.GetCharged(), 0);
        Probe* first = new Probe;
        EXPECT_EQ(scope.GetCharged(), 1);
        // A child layout's tree is counted in an account of its own and in
        // the build.
        CDialogBuildBudgetRef account(CDialogBuildBudget::New(scope.GetBudget()));
        Probe* old = nullptr;
        {
            CDialogBuildScope inner(L"builder_tree.xml", nullptr, account.Get());
            EXPECT_EQ(CDialogBuildBudget::Current(), account.Get());
            old = new Probe;
            outlives = new Probe;
            EXPECT_EQ(scope.GetCharged(), 3);
        }
        // Built again, the layout gives the old tree's units back before
        // the tree goes; its deletion then changes nothing.
        account->GiveBack();
        EXPECT_EQ(scope.GetCharged(), 1);
        old->Delete();
        EXPECT_EQ(scope.GetCharged(), 1);
        first->Delete();
        EXPECT_EQ(scope.GetCharged(), 0);
        outside->Delete();
        EXPECT_EQ(scope.GetCharged(), 0);
    }
    EXPECT_EQ(CDialogBuildBudget::Current(), nullptr);
    // The budget lives as long as anything charged to it.
    outlives->Delete();
}

// Builds its own file when it is initialised, as a child layout does, and
// adds the result while its scope is still open.
class FileLayout : public CContainerUI {
public:
    explicit FileLayout(IDialogBuilderCallback* callback) : callback_(callback) {}
    void SetAttribute(const wchar_t* name, const wchar_t* value) override {
        if (wcscmp(name, L"file") == 0) file_ = value;
        else CContainerUI::SetAttribute(name, value);
    }
    void Init() override {
        CDialogBuildScope scope(file_.GetData());
        CDialogBuilder builder;
        CControlUI* root = builder.Create(scope, callback_, manager_, nullptr);
        if (root != nullptr) Add(root);
    }

private:
    IDialogBuilderCallback* callback_;
    CWideString file_;
};

class FileLayoutCallback : public IDialogBuilderCallback {
public:
    CControlUI* CreateControl(const wchar_t* className) override {
        if (_wcsicmp(className, L"FileLayout") == 0) return new FileLayout(this);
        return nullptr;
    }
};

TEST_F(DialogBuilderTest, ANestedBuilderJoinsTheBuildOfItsScope) {
    SkinFiles files;
    // Inside a container: the root itself is never initialised.
    files.Write("builder_layout.xml",
                "<Window><Container><FileLayout file=\"builder_layout.xml\" /></Container></Window>");
    LogCapture log;
    FileLayoutCallback callback;
    CWindowManagerUI manager;
    {
        // The window's build stays open while its tree is attached, as the
        // skinned window's does.
        CDialogBuildScope scope(L"builder_layout.xml");
        CDialogBuilder builder;
        CControlUI* root = builder.Create(scope, &callback, &manager);
        ASSERT_NE(root, nullptr);
        manager.AttachDialog(root);
    }
    // The layout's file is the window's own: refused at once.
    EXPECT_EQ(BoxDepth(manager.GetRoot()), 2);
    EXPECT_TRUE(log.Has("already being built"));

    // Outside any build the layout starts one, and a copy of itself inside
    // it is refused.
    CDialogBuilder builder;
    CControlUI* root = builder.Create(L"builder_layout.xml", nullptr, &callback, &manager);
    ASSERT_NE(root, nullptr);
    manager.AttachDialog(root);
    EXPECT_EQ(BoxDepth(manager.GetRoot()), 4);
}

TEST_F(DialogBuilderTest, UnloadableMarkupGivesNull) {
    EXPECT_EQ(Build(L"<Window><Box></Window>"), nullptr);
    EXPECT_EQ(Build(L"no_such_layout.xml"), nullptr);
    EXPECT_EQ(Build(MAKEINTRESOURCEW(999)), nullptr);
    EXPECT_EQ(Build(L"<Window />"), nullptr);
}

}  // namespace
