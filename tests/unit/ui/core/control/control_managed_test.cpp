#include "tests/unit/ui/support/recording_control_ui.h"
#include "tests/unit/ui/support/render_test_support.h"
#include "tests/unit/ui/support/test_container_ui.h"
#include "ui/core/manager/notify_message_ui.h"
#include "ui/core/manager/window_listeners_ui.h"
#include "ui/core/manager/window_manager_ui.h"
#include "tests/unit/ui/support/window_manager_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace QuillUI;

namespace {

struct Heard {
    std::wstring type;
    CControlUI* sender;
    WPARAM wParam;
    std::wstring virtualWnd;
};

class RecordingNotifier : public INotifyUI {
public:
    void Notify(NotifyMessageUI& message) override {
        heard.push_back(Heard{message.type.GetData(), message.sender, message.wParam, message.virtualWnd.GetData()});
    }
    std::vector<Heard> heard;
};

// A window whose manager holds a test container as root; the manager
// deletes the tree.
class ManagedTree {
public:
    ManagedTree() {
        manager.Init(window.Get());
        manager.AddNotifier(&notifier);
        root = new CTestContainerUI;
        root->SetPos(CRectUI(0, 0, 200, 100));
    }
    ~ManagedTree() { manager.RemoveNotifier(&notifier); }
    // Children are added before attaching, as the dialog builder does.
    CControlUI* AddChild(const wchar_t* name) {
        auto* child = new CRecordingControlUI(name);
        child->SetName(name);
        root->Add(child);
        return child;
    }
    void Attach() { ASSERT_TRUE(manager.AttachDialog(root)); }

    PlainWindow window{200, 100};
    CWindowManagerUI manager;
    RecordingNotifier notifier;
    CTestContainerUI* root;
};

TEST(ControlManaged, RenamingKeepsTheNameMapCurrent) {
    ManagedTree tree;
    CControlUI* child = tree.AddChild(L"first");
    tree.Attach();
    ASSERT_EQ(tree.manager.FindControl(L"first"), child);

    child->SetName(L"second");
    EXPECT_EQ(tree.manager.FindControl(L"second"), child);
    EXPECT_EQ(tree.manager.FindControl(L"first"), nullptr);
    child->SetAttribute(L"name", L"third");
    EXPECT_EQ(tree.manager.FindControl(L"third"), child);
    EXPECT_EQ(std::wstring(child->GetName().GetData()), L"third");
}

TEST(ControlManaged, HidingTheFocusedControlDropsTheFocus) {
    ManagedTree tree;
    CControlUI* child = tree.AddChild(L"edit");
    tree.Attach();
    child->SetFocus();
    ASSERT_EQ(tree.manager.GetFocus(), child);
    EXPECT_TRUE(child->IsFocused());

    tree.notifier.heard.clear();
    child->SetVisible(false);
    EXPECT_EQ(tree.manager.GetFocus(), nullptr);
    EXPECT_FALSE(child->IsFocused());
    ASSERT_EQ(tree.notifier.heard.size(), 1u);
    EXPECT_EQ(tree.notifier.heard[0].type, L"killfocus");

    // Hidden by its parent works the same way.
    child->SetVisible(true);
    child->SetFocus();
    ASSERT_EQ(tree.manager.GetFocus(), child);
    tree.root->SetVisible(false);
    EXPECT_EQ(tree.manager.GetFocus(), nullptr);
}

TEST(ControlManaged, TimerAndMenuEventsNotifyAtOnce) {
    ManagedTree tree;
    CControlUI* child = tree.AddChild(L"button");
    tree.Attach();
    tree.notifier.heard.clear();

    ControlEventUI event;
    event.kind = EventTimer;
    event.wParam = 5;
    child->Event(event);
    ASSERT_EQ(tree.notifier.heard.size(), 1u);
    EXPECT_EQ(tree.notifier.heard[0].type, L"timer");
    EXPECT_EQ(tree.notifier.heard[0].sender, child);
    EXPECT_EQ(tree.notifier.heard[0].wParam, 5u);

    event.kind = EventContextMenu;
    child->Event(event);
    EXPECT_EQ(tree.notifier.heard.size(), 1u) << "without \"menu\" the event goes up the tree";
    child->SetContextMenuUsed(true);
    child->Event(event);
    ASSERT_EQ(tree.notifier.heard.size(), 2u);
    EXPECT_EQ(tree.notifier.heard[1].type, L"menu");
}

TEST(ControlManaged, CoversJoinAndLeaveTheManager) {
    ManagedTree tree;
    tree.Attach();
    auto* cover = new CRecordingControlUI(L"cover");
    cover->SetName(L"cover");
    bool deleted = false;
    cover->WatchDeletion(&deleted);
    tree.root->SetCover(cover);
    EXPECT_EQ(cover->GetManager(), &tree.manager);
    EXPECT_EQ(cover->GetParent(), tree.root);
    EXPECT_EQ(tree.manager.FindControl(L"cover"), cover);

    cover->SetFocus();
    ASSERT_EQ(tree.manager.GetFocus(), cover);
    tree.root->SetCover(nullptr);
    EXPECT_TRUE(deleted);
    EXPECT_EQ(tree.manager.GetFocus(), nullptr);
    EXPECT_EQ(tree.manager.FindControl(L"cover"), nullptr);
}

// What a control was given before it had a manager reaches the manager
// when the tree is attached.
TEST(ControlManaged, VirtualWindowAndBackgroundImageWaitForTheManager) {
    ScopedSkinFolder skin(L"control_bkimage");
    skin.Write(L"seven.png", EncodePng(7, 5, std::vector<uint32_t>(35, 0xFF00FF00)));
    ManagedTree tree;
    CControlUI* child = tree.AddChild(L"page");
    child->SetVirtualWnd(L"page");
    child->SetFloat(true);
    child->SetBkImage(L"file='seven.png'");
    EXPECT_EQ(child->GetFixedWidth(), 0);
    EXPECT_EQ(std::wstring(child->GetBkImage().GetData()), L"file='seven.png'");
    tree.Attach();
    EXPECT_EQ(child->GetFixedWidth(), 7);
    EXPECT_EQ(child->GetFixedHeight(), 5);

    tree.notifier.heard.clear();
    tree.manager.SendNotify(child, L"click");
    ASSERT_EQ(tree.notifier.heard.size(), 1u);
    EXPECT_EQ(tree.notifier.heard[0].virtualWnd, L"page");
}

}  // namespace
