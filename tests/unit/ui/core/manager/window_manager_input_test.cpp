#include "tests/unit/ui/support/managed_window.h"
#include "tests/unit/ui/support/recording_control_ui.h"
#include "tests/unit/ui/support/test_container_ui.h"
#include "ui/controls/buttons/button_ui.h"
#include "ui/controls/buttons/control_state_ui.h"
#include "tests/unit/ui/support/window_manager_test_support.h"

#include <gtest/gtest.h>

using namespace QuillUI;

namespace {

// A root over the whole client area with two halves, a (left) and b (right).
struct TwoHalves {
    explicit TwoHalves(ManagedWindow& window) {
        root = new CTestContainerUI;
        a = new CRecordingControlUI(L"a");
        b = new CRecordingControlUI(L"b");
        a->SetPos(RECT{0, 0, 100, 100}, false);
        b->SetPos(RECT{100, 0, 200, 100}, false);
        root->SetPos(RECT{0, 0, 200, 100}, false);
        root->Add(a);
        root->Add(b);
        window.manager.AttachDialog(root);
        log.Watch(a);
        log.Watch(b);
    }
    CTestContainerUI* root;
    CRecordingControlUI* a;
    CRecordingControlUI* b;
    EventLog log;
};

TEST(WindowManagerInput, MovingFromOneControlToAnotherSendsLeaveEnterMoveInOrder) {
    ManagedWindow window;
    window.Show();
    TwoHalves tree(window);
    window.PlaceCursor(50, 50);
    window.Mouse(WM_MOUSEMOVE, 50, 50);
    window.PlaceCursor(150, 50);
    window.Mouse(WM_MOUSEMOVE, 150, 50);

    const std::vector<EventLog::Entry> seen = tree.log.Of({EventMouseEnter, EventMouseLeave, EventMouseMove});
    const std::vector<EventLog::Entry> expected = {{tree.a, EventMouseEnter},
                                                   {tree.a, EventMouseMove},
                                                   {tree.a, EventMouseLeave},
                                                   {tree.b, EventMouseEnter},
                                                   {tree.b, EventMouseMove}};
    ASSERT_EQ(expected.size(), seen.size());
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(expected[i].control, seen[i].control) << i;
        EXPECT_EQ(expected[i].kind, seen[i].kind) << i;
    }
    EXPECT_EQ(150, window.manager.GetMousePos().x);
}

TEST(WindowManagerInput, ADragKeepsTheCaptureAndTheButtonUpReachesThePressedControl) {
    ManagedWindow window;
    window.Show();
    TwoHalves tree(window);
    window.PlaceCursor(50, 50);
    window.Mouse(WM_MOUSEMOVE, 50, 50);
    window.Mouse(WM_LBUTTONDOWN, 50, 50, MK_LBUTTON);
    EXPECT_EQ(window.Get(), GetCapture());
    EXPECT_TRUE(window.manager.IsCaptured());
    EXPECT_EQ(tree.a, window.manager.GetFocus());

    window.PlaceCursor(150, 50);
    window.Mouse(WM_MOUSEMOVE, 150, 50, MK_LBUTTON);
    EXPECT_EQ(window.Get(), GetCapture());
    window.Mouse(WM_LBUTTONUP, 150, 50);
    EXPECT_FALSE(window.manager.IsCaptured());
    EXPECT_NE(window.Get(), GetCapture());

    // While captured, b neither became the hover control nor got the move.
    EXPECT_TRUE(tree.log.Of({EventMouseEnter, EventMouseMove, EventButtonUp}).size() > 0);
    for (const EventLog::Entry& e : tree.log.Of({EventMouseEnter, EventMouseMove, EventButtonDown, EventButtonUp})) {
        EXPECT_EQ(tree.a, e.control) << e.kind;
    }
    ASSERT_EQ(1u, tree.log.Of({EventButtonUp}).size());
    EXPECT_EQ(1u, tree.log.Of({EventButtonDown}).size());
}

// A menu, a modal box or a drag in another window takes the mouse while a
// control is pressed: the press ends there, without a click, and hover
// tracking goes on.
TEST(WindowManagerInput, ACaptureTakenByAnotherWindowEndsThePressWithoutAClick) {
    ManagedWindow window;
    window.Show();
    CTestContainerUI* root = new CTestContainerUI;
    CButtonUI* button = new CButtonUI;
    CRecordingControlUI* b = new CRecordingControlUI(L"b");
    button->SetPos(RECT{0, 0, 100, 100}, false);
    b->SetPos(RECT{100, 0, 200, 100}, false);
    root->SetPos(RECT{0, 0, 200, 100}, false);
    root->Add(button);
    root->Add(b);
    window.manager.AttachDialog(root);
    RecordingNotifier notifier;
    window.manager.AddNotifier(&notifier);
    EventLog log;
    log.Watch(b);

    window.PlaceCursor(50, 50);
    window.Mouse(WM_MOUSEMOVE, 50, 50);
    window.Mouse(WM_LBUTTONDOWN, 50, 50, MK_LBUTTON);
    ASSERT_TRUE(window.manager.IsCaptured());
    PlainWindow other;
    SetCapture(other.Get());
    ReleaseCapture();

    EXPECT_FALSE(window.manager.IsCaptured());
    EXPECT_EQ(button->GetState() & (StatePushed | StateCaptured), 0u);
    EXPECT_EQ(notifier.Count(L"click"), 0);
    window.PlaceCursor(150, 50);
    window.Mouse(WM_MOUSEMOVE, 150, 50);
    EXPECT_EQ(log.Of({EventMouseEnter}).size(), 1u);
    // A later press and release still clicks.
    window.PlaceCursor(50, 50);
    window.Mouse(WM_MOUSEMOVE, 50, 50);
    window.Mouse(WM_LBUTTONDOWN, 50, 50, MK_LBUTTON);
    window.Mouse(WM_LBUTTONUP, 50, 50);
    EXPECT_EQ(notifier.Count(L"click"), 1);
    window.manager.RemoveNotifier(&notifier);
}

TEST(WindowManagerInput, WheelDownGivesOneAndUpGivesZero) {
    ManagedWindow window;
    window.Show();
    TwoHalves tree(window);
    POINT screen = {50, 50};
    ClientToScreen(window.Get(), &screen);
    window.PlaceCursor(50, 50);
    for (int delta : {-WHEEL_DELTA, WHEEL_DELTA}) {
        SendMessageW(window.Get(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta))),
                     MAKELPARAM(screen.x, screen.y));
    }
    ASSERT_GE(tree.a->events.size(), 2u);
    std::vector<WPARAM> wheel;
    for (const RecordedEvent& e : tree.a->events) {
        if (e.kind == EventScrollWheel) wheel.push_back(e.wParam);
    }
    EXPECT_EQ((std::vector<WPARAM>{1, 0}), wheel);
}

// Messages whose target control (hover, click, focus, key, or the one under
// the point) is absent; each must pass without an event or a crash, both
// without a tree and with a tree that leaves empty space.
TEST(WindowManagerInput, MessagesWithoutATargetControlAreHarmless) {
    struct Case {
        const char* name;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    const Case cases[] = {
        {"char without focus", WM_CHAR, L'x', 0},
        {"key up from another window", WM_KEYUP, 'X', 0},
        {"key down without focus", WM_KEYDOWN, 'X', 0},
        {"wheel over empty space", WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(150, 150)},
        {"close without hover or click", WM_CLOSE, 0, 0},
        {"size before any tree", WM_SIZE, SIZE_RESTORED, MAKELPARAM(200, 100)},
        {"move with -1", WM_MOUSEMOVE, 0, -1},
        {"move over empty space", WM_MOUSEMOVE, 0, MAKELPARAM(150, 50)},
        {"button down over nothing", WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 50)},
        {"button up without click", WM_LBUTTONUP, 0, MAKELPARAM(150, 50)},
        {"double click over nothing", WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(150, 50)},
        {"right button over nothing", WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(150, 50)},
        {"context menu without click", WM_CONTEXTMENU, 0, -1},
        {"hover over nothing", WM_MOUSEHOVER, 0, MAKELPARAM(150, 50)},
        {"leave", WM_MOUSELEAVE, 0, 0},
        {"set cursor", WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)},
        {"unknown timer", WM_TIMER, 99, 0},
        {"menu command", WM_COMMAND, 1, 0},
        {"kill focus to nowhere", WM_KILLFOCUS, 0, 0},
    };
    for (int withTree = 0; withTree < 2; ++withTree) {
        ManagedWindow window;
        CRecordingControlUI* left = nullptr;
        if (withTree != 0) {
            CTestContainerUI* root = new CTestContainerUI;
            root->SetMouseEnabled(false);  // only the left control takes the mouse
            left = new CRecordingControlUI(L"left");
            left->SetPos(RECT{0, 0, 100, 100}, false);
            root->SetPos(RECT{0, 0, 200, 100}, false);
            root->Add(left);
            window.manager.AttachDialog(root);
        }
        // "size" in the layout resizes the window before the tree exists.
        if (withTree == 0) window.manager.SetWindowAttribute(L"size", L"300,200");
        for (const Case& c : cases) {
            LRESULT result = 0;
            window.manager.MessageHandler(c.message, c.wParam, c.lParam, result);
        }
        // Keyboard pre-translation: a shortcut, Tab and a system key.
        for (const Case& c : {Case{"shortcut", WM_SYSCHAR, L'q', 0}, Case{"tab", WM_KEYDOWN, VK_TAB, 0},
                              Case{"system key", WM_SYSKEYDOWN, VK_F10, 0}}) {
            LRESULT result = 0;
            window.manager.PreMessageHandler(c.message, c.wParam, c.lParam, result);
        }
        if (left != nullptr) {
            for (const RecordedEvent& e : left->events) {
                EXPECT_NE(EventChar, e.kind);
                EXPECT_NE(EventKeyUp, e.kind);
            }
        }
    }
}

struct Reflected {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};
Reflected g_reflected;
WNDPROC g_editProc = nullptr;

LRESULT CALLBACK RecordReflection(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= 0x2000 + WM_NOTIFY && message <= 0x2000 + WM_CTLCOLORSTATIC) {
        g_reflected = Reflected{message, wParam, lParam};
        return 42;
    }
    return CallWindowProcW(g_editProc, window, message, wParam, lParam);
}

TEST(WindowManagerInput, ChildCommandsAndNotificationsAreReflectedToTheChild) {
    ManagedWindow window;
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 50, 20, window.Get(), reinterpret_cast<HMENU>(7),
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, edit);
    g_editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordReflection)));
    const Reflected& seen = g_reflected;

    LRESULT result = 0;
    const WPARAM command = MAKEWPARAM(7, EN_CHANGE);
    EXPECT_TRUE(window.manager.MessageHandler(WM_COMMAND, command, reinterpret_cast<LPARAM>(edit), result));
    EXPECT_EQ(42, result);
    EXPECT_EQ(0x2111u, seen.message);
    EXPECT_EQ(command, seen.wParam);
    EXPECT_EQ(reinterpret_cast<LPARAM>(edit), seen.lParam);

    NMHDR header = {edit, 7, NM_CLICK};
    EXPECT_TRUE(window.manager.MessageHandler(WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&header), result));
    EXPECT_EQ(0x204Eu, seen.message);
    EXPECT_EQ(reinterpret_cast<LPARAM>(&header), seen.lParam);
    SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_editProc));
}

// Three tab stops and a plain control in between.
struct TabRow {
    explicit TabRow(ManagedWindow& window) {
        CTestContainerUI* root = new CTestContainerUI;
        root->SetPos(RECT{0, 0, 200, 100}, false);
        for (int i = 0; i < 4; ++i) {
            CRecordingControlUI* control = new CRecordingControlUI(L"stop");
            control->SetPos(RECT{i * 50, 0, i * 50 + 50, 100}, false);
            if (i != 1) {
                control->SetControlFlags(ControlFlagTabStop);
                stops.push_back(control);
            }
            root->Add(control);
        }
        window.manager.AttachDialog(root);
    }
    std::vector<CControlUI*> stops;
};

void SetShift(bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

// Posts the keys and runs the program's message loop until they are done.
void RunLoopWithTabs(HWND window, int tabs) {
    for (int i = 0; i < tabs; ++i) PostMessageW(window, WM_KEYDOWN, VK_TAB, 0);
    PostQuitMessage(0);
    CWindowManagerUI::MessageLoop();
}

TEST(WindowManagerInput, TabWalksTheTabStopsAndWrapsBothWays) {
    ManagedWindow window;
    window.Show();
    TabRow row(window);
    // The first focus comes with the second paint after the layout.
    UpdateWindow(window.Get());
    InvalidateRect(window.Get(), nullptr, FALSE);
    UpdateWindow(window.Get());
    ASSERT_EQ(row.stops[0], window.manager.GetFocus());

    SetShift(false);
    RunLoopWithTabs(window.Get(), 1);
    EXPECT_EQ(row.stops[1], window.manager.GetFocus());
    RunLoopWithTabs(window.Get(), 2);
    EXPECT_EQ(row.stops[0], window.manager.GetFocus()) << "Tab from the last stop wraps to the first";

    SetShift(true);
    RunLoopWithTabs(window.Get(), 1);
    EXPECT_EQ(row.stops[2], window.manager.GetFocus()) << "Shift+Tab from the first stop wraps to the last";
    RunLoopWithTabs(window.Get(), 1);
    EXPECT_EQ(row.stops[1], window.manager.GetFocus());
    SetShift(false);

    // A control asked for arrives with the paint after the layout.
    window.manager.SetFocusNeeded(row.stops[2]);
    UpdateWindow(window.Get());
    InvalidateRect(window.Get(), nullptr, FALSE);
    UpdateWindow(window.Get());
    EXPECT_EQ(row.stops[2], window.manager.GetFocus());
}

TEST(WindowManagerInput, AControlClickedBeforeTheFirstFocusKeepsTheFocus) {
    ManagedWindow window;
    window.Show();
    TabRow row(window);
    // The layout; the first focus waits for the next paint.
    UpdateWindow(window.Get());
    window.Mouse(WM_LBUTTONDOWN, 125, 50, MK_LBUTTON);
    window.Mouse(WM_LBUTTONUP, 125, 50);
    ASSERT_EQ(row.stops[1], window.manager.GetFocus());
    InvalidateRect(window.Get(), nullptr, FALSE);
    UpdateWindow(window.Get());
    EXPECT_EQ(row.stops[1], window.manager.GetFocus());
}

TEST(WindowManagerInput, ALabelsShortcutFocusesTheControlAfterIt) {
    ManagedWindow window;
    CTestContainerUI* root = new CTestContainerUI;
    CRecordingControlUI* label = new CRecordingControlUI(L"label");
    CRecordingControlUI* field = new CRecordingControlUI(L"field");
    label->SetClass(L"Label");
    label->SetShortcut(L'N');
    // Shortcuts search the topmost (last) child first, so the control that
    // follows the label in the walk comes before it among the children.
    root->Add(field);
    root->Add(label);
    window.manager.AttachDialog(root);
    LRESULT result = 0;
    EXPECT_TRUE(window.manager.PreMessageHandler(WM_SYSCHAR, L'n', 0, result));
    EXPECT_EQ(field, window.manager.GetFocus());
}

TEST(WindowManagerInput, ATooltipShowsTheHoveredControlsText) {
    ManagedWindow window;
    window.Show();
    TwoHalves tree(window);
    tree.b->SetToolTip(L"a<n>b");
    window.PlaceCursor(150, 50);
    window.Mouse(WM_MOUSEMOVE, 150, 50);
    window.Mouse(WM_MOUSEHOVER, 150, 50);
    HWND tooltip = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
    while (tooltip != nullptr && GetWindow(tooltip, GW_OWNER) != window.Get()) {
        tooltip = FindWindowExW(nullptr, tooltip, TOOLTIPS_CLASSW, nullptr);
    }
    ASSERT_NE(nullptr, tooltip);
    wchar_t text[32] = {};
    TOOLINFOW info = {};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = window.Get();
    info.uId = reinterpret_cast<UINT_PTR>(window.Get());
    info.lpszText = text;
    SendMessageW(tooltip, TTM_GETTEXTW, 32, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(L"a\r\nb", text);

    // A window that outlives its close makes a new tooltip window.
    LRESULT result = 0;
    window.manager.MessageHandler(WM_CLOSE, 0, 0, result);
    EXPECT_FALSE(IsWindow(tooltip));
    window.Mouse(WM_MOUSEHOVER, 150, 50);
    HWND again = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
    while (again != nullptr && GetWindow(again, GW_OWNER) != window.Get()) {
        again = FindWindowExW(nullptr, again, TOOLTIPS_CLASSW, nullptr);
    }
    EXPECT_NE(nullptr, again);
}

}  // namespace

namespace {

TEST(WindowManagerInput, MessagesTheManagerAnswersItself) {
    ManagedWindow window;
    window.Show();
    TwoHalves tree(window);
    tree.a->SetControlFlags(ControlFlagSetCursor);
    window.manager.SetMinInfo(120, 0);
    window.manager.SetMaxInfo(0, 300);
    struct Case {
        const char* name;
        bool noActivate;
        bool layered;
        int cursorX;  // where the real cursor is, for WM_SETCURSOR
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        bool handled;
        LRESULT result;  // checked when handled
    };
    const LPARAM clientHit = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    const Case cases[] = {
        {"erase", false, false, 50, WM_ERASEBKGND, 0, 0, true, 1},
        {"activate by click", false, false, 50, WM_MOUSEACTIVATE, 0, 0, false, 0},
        {"activate by click, noactivate", true, false, 50, WM_MOUSEACTIVATE, 0, 0, true, MA_NOACTIVATE},
        {"cursor over a control that sets it", false, false, 50, WM_SETCURSOR, 0, clientHit, true, TRUE},
        {"cursor over a control that does not", false, false, 150, WM_SETCURSOR, 0, clientHit, false, 0},
        {"cursor over the border", false, false, 50, WM_SETCURSOR, 0, MAKELPARAM(HTBORDER, 0), false, 0},
        {"non-client size, normal", false, false, 50, WM_NCCALCSIZE, 0, 0, false, 0},
        {"non-client size, layered", false, true, 50, WM_NCCALCSIZE, 0, 0, true, 0},
        {"non-client activation off, layered", false, true, 50, WM_NCACTIVATE, 0, 0, true, TRUE},
        {"non-client activation on, layered", false, true, 50, WM_NCACTIVATE, 1, 0, true, FALSE},
    };
    for (const Case& c : cases) {
        window.manager.SetNoActivate(c.noActivate);
        window.manager.SetLayered(c.layered);
        window.PlaceCursor(c.cursorX, 50);
        LRESULT result = -7;
        const bool handled = window.manager.MessageHandler(c.message, c.wParam, c.lParam, result);
        EXPECT_EQ(c.handled, handled) << c.name;
        if (handled) {
            EXPECT_EQ(c.result, result) << c.name;
        }
    }
    window.manager.SetLayered(false);

    MINMAXINFO info = {};
    info.ptMaxTrackSize = {1000, 1000};
    LRESULT result = 0;
    EXPECT_FALSE(window.manager.MessageHandler(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info), result));
    EXPECT_EQ(120, info.ptMinTrackSize.x);
    EXPECT_EQ(0, info.ptMinTrackSize.y);
    EXPECT_EQ(1000, info.ptMaxTrackSize.x);
    EXPECT_EQ(300, info.ptMaxTrackSize.y);
}

TEST(WindowManagerInput, FocusMovingIntoAHostedChildWindowFocusesItsControl) {
    ManagedWindow window;
    window.Show();
    TwoHalves tree(window);
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 100, 0, 100, 20, window.Get(), nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(window.manager.AddNativeWindow(tree.b, edit));
    EXPECT_FALSE(window.manager.AddNativeWindow(tree.a, edit)) << "registered once";
    RECT at = window.manager.GetChildWindowRect(edit);
    EXPECT_EQ(100, at.left);
    window.manager.SetFocus(tree.a, false);
    SetFocus(edit);
    EXPECT_EQ(tree.b, window.manager.GetFocus());
    EXPECT_TRUE(window.manager.RemoveNativeWindow(edit));
    EXPECT_FALSE(window.manager.RemoveNativeWindow(edit));
}

TEST(WindowManagerInput, TheContextMenuGoesToTheLastClickedControl) {
    ManagedWindow window;
    window.Show();
    TwoHalves tree(window);
    window.PlaceCursor(150, 50);
    window.Mouse(WM_RBUTTONDOWN, 150, 50, MK_RBUTTON);
    EXPECT_EQ(tree.b, window.manager.GetFocus());
    EXPECT_FALSE(window.manager.IsCaptured());
    POINT screen = {150, 50};
    ClientToScreen(window.Get(), &screen);
    SendMessageW(window.Get(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window.Get()), MAKELPARAM(screen.x, screen.y));
    SendMessageW(window.Get(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window.Get()), MAKELPARAM(screen.x, screen.y));
    ASSERT_EQ(1u, tree.log.Of({EventContextMenu}).size()) << "the click control is used once";
    EXPECT_EQ(tree.b, tree.log.Of({EventContextMenu})[0].control);
    EXPECT_EQ(150, window.manager.GetMousePos().x);
}

}  // namespace
