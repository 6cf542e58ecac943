#include "tests/unit/ui/support/managed_window.h"
#include "tests/unit/ui/support/recording_control_ui.h"
#include "tests/unit/ui/support/test_container_ui.h"
#include "tests/unit/ui/support/ui_test_support.h"
#include "ui/controls/containers/container_ui.h"

#include <gtest/gtest.h>

using namespace QuillUI;

namespace {

const UINT kFlush = WM_APP + 1;

// Takes the flush messages off the queue, counting them, and hands each to
// the manager.
int Flush(ManagedWindow& window) {
    int count = 0;
    MSG msg;
    while (PeekMessageW(&msg, window.Get(), kFlush, kFlush, PM_REMOVE)) {
        ++count;
        LRESULT result = 0;
        window.manager.MessageHandler(msg.message, msg.wParam, msg.lParam, result);
    }
    return count;
}

TEST(WindowManagerNotify, QueuedRepeatsOfOneSenderAndTypeMergeIntoTheLaterOne) {
    ManagedWindow window;
    RecordingNotifier notifier;
    window.manager.AddNotifier(&notifier);
    CRecordingControlUI* bar = new CRecordingControlUI(L"bar");
    window.manager.AttachDialog(bar);

    window.manager.SendNotify(bar, L"scroll", 1, 0, true, false);
    window.manager.SendNotify(bar, L"scroll", 2, 0, true, false);
    EXPECT_TRUE(notifier.received.empty()) << "queued, not delivered at once";
    EXPECT_EQ(1, Flush(window)) << "one flush message in the queue";
    ASSERT_EQ(1u, notifier.received.size());
    EXPECT_EQ(L"scroll", notifier.received[0].type);
    EXPECT_EQ(2u, notifier.received[0].wParam);

    // With repeats allowed both arrive, in order; a synchronous one at once.
    window.manager.SendNotify(bar, L"scroll", 3, 0, true, true);
    window.manager.SendNotify(bar, L"scroll", 4, 0, true, true);
    window.manager.SendNotify(bar, L"click", 5, 0);
    ASSERT_EQ(2u, notifier.received.size());
    EXPECT_EQ(L"click", notifier.received[1].type);
    EXPECT_EQ(1, Flush(window));
    ASSERT_EQ(4u, notifier.received.size());
    EXPECT_EQ(3u, notifier.received[2].wParam);
    EXPECT_EQ(4u, notifier.received[3].wParam);
}

TEST(WindowManagerNotify, AQueuedNotificationOfADestroyedSenderArrivesWithoutSender) {
    ManagedWindow window;
    RecordingNotifier notifier;
    window.manager.AddNotifier(&notifier);
    CRecordingControlUI* gone = new CRecordingControlUI(L"gone");
    gone->SetManager(&window.manager, nullptr, false);
    window.manager.SendNotify(gone, L"scroll", 1, 0, true, false);
    delete gone;
    Flush(window);
    ASSERT_EQ(1u, notifier.received.size());
    EXPECT_EQ(nullptr, notifier.received[0].sender);
}

TEST(WindowManagerNotify, FocusChangesSendKillThenSetAndSkipHiddenControls) {
    ManagedWindow window;
    RecordingNotifier notifier;
    window.manager.AddNotifier(&notifier);
    CTestContainerUI* root = new CTestContainerUI;
    CRecordingControlUI* a = new CRecordingControlUI(L"a");
    CRecordingControlUI* b = new CRecordingControlUI(L"b");
    CRecordingControlUI* hidden = new CRecordingControlUI(L"hidden");
    hidden->SetVisible(false);
    root->Add(a);
    root->Add(b);
    root->Add(hidden);
    window.manager.AttachDialog(root);

    window.manager.SetFocus(a, false);
    window.manager.SetFocus(b, false);
    ASSERT_EQ(3u, notifier.received.size());
    EXPECT_EQ(L"setfocus", notifier.received[0].type);
    EXPECT_EQ(L"killfocus", notifier.received[1].type);
    EXPECT_EQ(a, notifier.received[1].sender);
    EXPECT_EQ(L"setfocus", notifier.received[2].type);
    EXPECT_EQ(b, notifier.received[2].sender);
    ASSERT_FALSE(a->events.empty());
    EXPECT_EQ(EventKillFocus, a->events.back().kind);
    EXPECT_EQ(b, a->events.back().sender) << "the kill-focus event names the new control";

    window.manager.SetFocus(hidden, false);
    EXPECT_EQ(nullptr, window.manager.GetFocus());
    ASSERT_EQ(4u, notifier.received.size());
    EXPECT_EQ(L"killfocus", notifier.received[3].type);
    EXPECT_TRUE(hidden->events.empty());
}

TEST(WindowManagerTree, TheOldTreeIsDeletedAtTheNextFlushAndNoHoverChangeReachesIt) {
    ManagedWindow window;
    window.Show();
    CRecordingControlUI* oldRoot = new CRecordingControlUI(L"old");
    bool oldDeleted = false;
    oldRoot->WatchDeletion(&oldDeleted);
    window.manager.AttachDialog(oldRoot);
    oldRoot->SetPos(RECT{0, 0, 200, 100}, false);
    window.PlaceCursor(50, 50);
    window.Mouse(WM_MOUSEMOVE, 50, 50);
    // Buttons and links ask for leave events while the mouse is inside.
    window.manager.AddMouseLeaveNeeded(oldRoot);

    CRecordingControlUI* newRoot = new CRecordingControlUI(L"new");
    window.manager.AttachDialog(newRoot);
    newRoot->SetPos(RECT{0, 0, 200, 100}, false);
    EXPECT_FALSE(oldDeleted);
    const size_t oldEvents = oldRoot->events.size();
    window.Mouse(WM_MOUSEMOVE, 60, 50);
    window.Mouse(WM_MOUSEMOVE, -1, -1);  // a hover change walks the leave list
    EXPECT_EQ(oldEvents, oldRoot->events.size()) << "the old tree got events after it was detached";

    Flush(window);
    EXPECT_TRUE(oldDeleted);
    window.Mouse(WM_MOUSEMOVE, 10, 10);
    window.Mouse(WM_MOUSEMOVE, -1, -1);
    EXPECT_EQ(newRoot, window.manager.GetRoot());
}

// The root's cover can be destroyed on its own (SetCover replaces it), so it
// stands for any control that goes away while the manager points at it.
TEST(WindowManagerTree, ADestroyedControlIsForgottenEverywhere) {
    ManagedWindow window;
    window.Show();
    CRecordingControlUI* root = new CRecordingControlUI(L"root");
    window.manager.AttachDialog(root);
    CRecordingControlUI* doomed = new CRecordingControlUI(L"doomed");
    doomed->SetControlFlags(ControlFlagTabStop);
    root->SetCover(doomed);
    root->SetPos(RECT{0, 0, 200, 100}, false);
    doomed->SetName(L"doomed");
    ASSERT_EQ(doomed, window.manager.FindControl(L"doomed"));

    window.PlaceCursor(50, 50);
    window.Mouse(WM_MOUSEMOVE, 50, 50);
    window.Mouse(WM_LBUTTONDOWN, 50, 50, MK_LBUTTON);
    ASSERT_EQ(doomed, window.manager.GetFocus());
    ASSERT_TRUE(window.manager.IsCaptured());
    SendMessageW(window.Get(), WM_KEYDOWN, 'A', 0);
    window.manager.AddMouseLeaveNeeded(doomed);
    window.manager.AddPostPaint(doomed);
    ASSERT_TRUE(window.manager.SetTimer(doomed, 1, 1000000));
    window.manager.SendNotify(doomed, L"scroll", 0, 0, true, false);

    root->SetCover(nullptr);  // deletes it

    EXPECT_EQ(nullptr, window.manager.GetFocus());
    EXPECT_EQ(nullptr, window.manager.FindControl(L"doomed"));
    EXPECT_FALSE(window.manager.IsCaptured()) << "hover tracking would stop for good";
    EXPECT_NE(window.Get(), GetCapture());
    // None of these may reach the destroyed control.
    SendMessageW(window.Get(), WM_TIMER, 17, 0);
    SendMessageW(window.Get(), WM_KEYUP, 'A', 0);
    window.Mouse(WM_LBUTTONUP, 50, 50);
    window.Mouse(WM_MOUSEMOVE, 51, 50);
    window.Mouse(WM_MOUSEMOVE, -1, -1);
    RedrawWindow(window.Get(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Flush(window);
    EXPECT_EQ(root, window.manager.GetRoot());
}

TEST(WindowManagerTree, AControlMovedToAnotherManagerIsForgottenByTheFirst) {
    ManagedWindow first;
    ManagedWindow second;
    first.Show();
    CContainerUI* firstRoot = new CContainerUI;
    first.manager.AttachDialog(firstRoot);
    CContainerUI* secondRoot = new CContainerUI;
    second.manager.AttachDialog(secondRoot);
    auto* item = new Spoilt<CRecordingControlUI>(L"item");
    item->SetControlFlags(ControlFlagTabStop);
    item->SetName(L"item");
    firstRoot->Add(item);
    firstRoot->SetPos(RECT{0, 0, 200, 100}, false);
    first.PlaceCursor(50, 50);
    first.Mouse(WM_MOUSEMOVE, 50, 50);
    first.Mouse(WM_LBUTTONDOWN, 50, 50, MK_LBUTTON);
    ASSERT_EQ(item, first.manager.GetFocus());
    ASSERT_TRUE(first.manager.IsCaptured());
    ASSERT_TRUE(first.manager.SetTimer(item, 1, 1000000));
    first.manager.AddMouseLeaveNeeded(item);
    first.manager.AddPostPaint(item);

    // Moved as a combo box's popup takes the list's items.
    ASSERT_TRUE(firstRoot->Remove(item, true));
    ASSERT_TRUE(secondRoot->Add(item));
    EXPECT_EQ(nullptr, first.manager.FindControl(L"item"));
    EXPECT_EQ(nullptr, first.manager.GetFocus());
    EXPECT_FALSE(first.manager.IsCaptured());
    EXPECT_EQ(item, second.manager.FindControl(L"item"));

    secondRoot->SetDelayedDestroy(false);
    ASSERT_TRUE(secondRoot->Remove(item));
    EXPECT_EQ(nullptr, second.manager.FindControl(L"item"));
    EXPECT_EQ(nullptr, first.manager.FindControl(L"item"));
    EXPECT_EQ(nullptr, first.manager.GetFocus());
    // Nothing of the first window reaches it any more.
    SendMessageW(first.Get(), WM_TIMER, 17, 0);
    first.Mouse(WM_LBUTTONUP, 50, 50);
    first.Mouse(WM_MOUSEMOVE, -1, -1);
    RedrawWindow(first.Get(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Flush(first);
}

TEST(WindowManagerTree, RenameKeepsTheMapTrueToItsControls) {
    ManagedWindow window;
    CTestContainerUI* root = new CTestContainerUI;
    CRecordingControlUI* first = new CRecordingControlUI(L"first");
    CRecordingControlUI* second = new CRecordingControlUI(L"second");
    first->SetName(L"same");
    second->SetName(L"same");
    root->Add(first);
    root->Add(second);
    window.manager.AttachDialog(root);
    CRecordingControlUI stranger;
    ASSERT_EQ(second, window.manager.FindControl(L"same")) << "a later control of the same name wins";

    struct Case {
        CControlUI* control;
        const wchar_t* name;
        bool result;
    };
    const Case cases[] = {
        {nullptr, L"x", false},
        {&stranger, L"x", false},  // another manager's (here: none)
        {first, L"", false},
        {second, L"same", true},   // unchanged
    };
    for (const Case& c : cases) EXPECT_EQ(c.result, window.manager.RenameControl(c.control, c.name)) << c.name;

    // The first control's old name belongs to the second: it stays there.
    EXPECT_TRUE(window.manager.RenameControl(first, L"renamed"));
    EXPECT_STREQ(L"renamed", first->GetName().GetData());
    EXPECT_EQ(first, window.manager.FindControl(L"renamed"));
    EXPECT_EQ(second, window.manager.FindControl(L"same"));
    EXPECT_FALSE(window.manager.RenameControl(second, L"renamed")) << "taken by another control";

    // Through the control's own setter.
    second->SetName(L"other");
    EXPECT_EQ(second, window.manager.FindControl(L"other"));
    EXPECT_EQ(nullptr, window.manager.FindControl(L"same"));
}

TEST(WindowManagerTree, OptionGroupsRefuseDuplicatesAndVanishWhenEmpty) {
    ManagedWindow window;
    CRecordingControlUI a, b;
    EXPECT_FALSE(window.manager.AddOptionGroup(L"", &a));
    EXPECT_FALSE(window.manager.AddOptionGroup(L"g", nullptr));
    EXPECT_TRUE(window.manager.AddOptionGroup(L"g", &a));
    EXPECT_TRUE(window.manager.AddOptionGroup(L"g", &b));
    EXPECT_FALSE(window.manager.AddOptionGroup(L"g", &a));
    ASSERT_NE(nullptr, window.manager.GetOptionGroup(L"g"));
    EXPECT_EQ(2, window.manager.GetOptionGroup(L"g")->GetSize());
    window.manager.RemoveOptionGroup(L"g", &a);
    window.manager.RemoveOptionGroup(L"g", &b);
    EXPECT_EQ(nullptr, window.manager.GetOptionGroup(L"g"));
}

}  // namespace
