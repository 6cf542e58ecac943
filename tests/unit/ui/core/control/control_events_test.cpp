#include "tests/unit/ui/support/recording_control_ui.h"
#include "ui/core/values/delegate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace QuillUI;

namespace {

class Subscriber {
public:
    explicit Subscriber(bool answer) : answer_(answer) {}
    bool On(void* argument) {
        arguments.push_back(argument);
        return answer_;
    }
    std::vector<void*> arguments;

private:
    bool answer_;
};

ControlEventUI MakeEvent(int kind, WPARAM wParam = 0) {
    ControlEventUI event;
    event.kind = kind;
    event.wParam = wParam;
    return event;
}

TEST(ControlEvents, DelegatesSeeTheEventFirstAndMayKeepItFromTheControl) {
    CRecordingControlUI control;
    Subscriber agrees(true), refuses(false);
    control.OnEvent.Add(CDelegate<Subscriber, Subscriber>(&agrees, &Subscriber::On));
    ControlEventUI event = MakeEvent(EventButtonDown);
    control.Event(event);
    ASSERT_EQ(control.events.size(), 1u);
    EXPECT_EQ(agrees.arguments, std::vector<void*>{&event});

    control.OnEvent.Add(CDelegate<Subscriber, Subscriber>(&refuses, &Subscriber::On));
    control.Event(event);
    EXPECT_EQ(control.events.size(), 1u) << "a delegate that answers false handled the event";
}

// The cover's parent is the control that owns it, which makes a two-level
// chain without a container.
TEST(ControlEvents, UnhandledKindsGoToTheParent) {
    CRecordingControlUI parent;
    auto* child = new CRecordingControlUI;
    parent.SetCover(child);

    struct Row {
        int kind;
        bool reachesParent;
    };
    const Row rows[] = {
        {EventButtonDown, true}, {EventKeyDown, true},      {EventScrollWheel, true},
        {EventContextMenu, true}, {EventSetFocus, false},   {EventKillFocus, false},
        {EventTimer, false},      {EventSetCursor, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.kind);
        parent.events.clear();
        ControlEventUI event = MakeEvent(row.kind, 7);
        child->Event(event);
        ASSERT_EQ(parent.events.size(), row.reachesParent ? 1u : 0u);
        if (row.reachesParent) {
            EXPECT_EQ(parent.events[0].wParam, 7u);
        }
    }

    // A control that uses its context menu keeps the event.
    child->SetContextMenuUsed(true);
    parent.events.clear();
    ControlEventUI menu = MakeEvent(EventContextMenu);
    child->Event(menu);
    EXPECT_TRUE(parent.events.empty());
}

TEST(ControlEvents, FocusEventsSetTheFlagAndSetCursorTakesTheArrow) {
    CControlUI control;
    ControlEventUI event = MakeEvent(EventSetFocus);
    control.Event(event);
    EXPECT_TRUE(control.IsFocused());
    event.kind = EventKillFocus;
    control.Event(event);
    EXPECT_FALSE(control.IsFocused());

    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    event.kind = EventSetCursor;
    control.Event(event);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
}

TEST(ControlEvents, InitRunsOnlyWithAParentAndDestructionIsAnnounced) {
    std::vector<std::wstring> log;
    Subscriber initWatcher(true), destroyWatcher(true);
    bool coverDeleted = false;
    uintptr_t rootAddress = 0;
    {
        CRecordingControlUI root(L"root", &log);
        rootAddress = reinterpret_cast<uintptr_t>(&root);
        root.SetManager(nullptr, nullptr, true);
        EXPECT_TRUE(log.empty()) << "the root is never initialised";

        auto* cover = new CRecordingControlUI(L"cover", &log);
        cover->WatchDeletion(&coverDeleted);
        cover->OnInit.Add(CDelegate<Subscriber, Subscriber>(&initWatcher, &Subscriber::On));
        root.SetCover(cover);
        root.SetManager(nullptr, nullptr, true);  // passes (manager, root, init) to the cover
        EXPECT_EQ(log, std::vector<std::wstring>{L"cover.init"});
        EXPECT_EQ(initWatcher.arguments, std::vector<void*>{cover});

        // Replacing the cover deletes the old one.
        log.clear();
        root.SetCover(new CRecordingControlUI(L"second", &log));
        EXPECT_TRUE(coverDeleted);
        EXPECT_EQ(log, std::vector<std::wstring>{L"cover.destroy"});
        log.clear();
        root.OnDestroy.Add(CDelegate<Subscriber, Subscriber>(&destroyWatcher, &Subscriber::On));
    }
    // The derived part goes first; the base then deletes the cover and
    // announces the control.
    EXPECT_EQ(log, (std::vector<std::wstring>{L"root.destroy", L"second.destroy"}));
    ASSERT_EQ(destroyWatcher.arguments.size(), 1u);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(destroyWatcher.arguments[0]), rootAddress);
}

TEST(ControlEvents, VisibilityReachesTheCover) {
    CControlUI control;
    auto* cover = new CControlUI;
    control.SetCover(cover);
    control.SetVisible(false);
    EXPECT_FALSE(cover->IsVisible());
    EXPECT_FALSE(control.Activate());
    control.SetVisible(true);
    EXPECT_TRUE(cover->IsVisible());
    EXPECT_TRUE(control.Activate());
    control.SetEnabled(false);
    EXPECT_FALSE(control.Activate());

    // A cover given to a hidden control starts hidden.
    control.SetVisible(false);
    auto* second = new CControlUI;
    control.SetCover(second);
    EXPECT_FALSE(second->IsVisible());
    control.SetInternVisible(true);
    EXPECT_FALSE(second->IsVisible()) << "the control itself is still hidden";
}

}  // namespace
