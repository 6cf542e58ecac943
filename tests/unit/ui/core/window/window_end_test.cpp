// The end of a skinned window: its control tree goes with it, and a window
// that deletes itself with its window may be ended from inside one of its
// own handlers, after which nothing of it may be touched.
#include "tests/unit/ui/support/skinned_window_fixture.h"
#include "tests/unit/ui/support/ui_test_support.h"
#include "tests/support/desktop_input_lock.h"
#include "ui/controls/buttons/button_ui.h"
#include "ui/controls/buttons/option_ui.h"
#include "ui/core/control/control_ui.h"
#include "ui/core/manager/notify_message_ui.h"

#include <gtest/gtest.h>

#include <cwchar>

using namespace QuillUI;

namespace {

const wchar_t kShutLayout[] =
    L"<Window size=\"200,100\"><HorizontalLayout><Button name=\"shut\" width=\"80\" />"
    L"<SpoiltOption name=\"shutoption\" width=\"80\" /><Counted /></HorizontalLayout></Window>";

// Counts the controls of its kind alive.
class CountedControl : public CControlUI {
public:
    CountedControl() { ++alive; }
    ~CountedControl() override { --alive; }
    static int alive;
};
int CountedControl::alive = 0;

// Ends its window when a "shut" control is clicked or its timer fires, and
// deletes itself with the window as the launcher's windows do.
class SelfEndingWindow : public WindowImplBase {
public:
    explicit SelfEndingWindow(bool& ended) : ended_(ended) {}
    CControlUI* CreateControl(const wchar_t* className) override {
        if (std::wcscmp(className, L"SpoiltOption") == 0) return new Spoilt<COptionUI>;
        if (std::wcscmp(className, L"Counted") == 0) return new CountedControl;
        return nullptr;
    }

    const wchar_t* GetWindowClassName() const override { return L"QuillSelfEndingWindow"; }
    CWideString GetSkinFolder() override { return CWideString(L""); }
    CWideString GetSkinFile() override { return CWideString(kShutLayout); }
    void Notify(NotifyMessageUI& message) override {
        const bool shut = message.sender != nullptr && message.sender->GetName().Left(4) == L"shut";
        if (shut && (message.type == L"click" || message.type == L"timer")) {
            ::DestroyWindow(GetHWND());
            return;
        }
        WindowImplBase::Notify(message);
    }
    void OnFinalMessage(HWND window) override {
        WindowImplBase::OnFinalMessage(window);
        ended_ = true;
        delete this;
    }

private:
    bool& ended_;
};

using SpoiltWindow = Spoilt<SelfEndingWindow>;

// Listens after the window, to the notifications that end it.
class LaterListener : public INotifyUI {
public:
    void Notify(NotifyMessageUI& message) override {
        if (message.type == L"click" || message.type == L"timer") ++heard;
    }
    int heard = 0;
};

void ClickOn(HWND window, CControlUI* control) {
    const RECT at = control->GetPos();
    const LPARAM point = MAKELPARAM((at.left + at.right) / 2, (at.top + at.bottom) / 2);
    SendMessageW(window, WM_MOUSEMOVE, 0, point);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageW(window, WM_LBUTTONUP, 0, point);
}

struct EndingCase {
    const char* what;
    void (*act)(HWND window, CWindowManagerUI& manager);
};

const EndingCase kEndings[] = {
    {"button click", [](HWND window, CWindowManagerUI& manager) { ClickOn(window, manager.FindControl(L"shut")); }},
    // An option goes on to select itself after its click.
    {"option click",
     [](HWND window, CWindowManagerUI& manager) { ClickOn(window, manager.FindControl(L"shutoption")); }},
    {"control timer",
     [](HWND, CWindowManagerUI& manager) {
         ASSERT_TRUE(manager.SetTimer(manager.FindControl(L"shut"), 5, 10));
         Pump(60);
     }},
};

}  // namespace

TEST(WindowEnd, InsideItsOwnHandlerNothingOfTheWindowIsTouchedAfterwards) {
    // A click takes the keyboard focus.
    DesktopInputLock desktop;
    for (const EndingCase& ending : kEndings) {
        SCOPED_TRACE(ending.what);
        bool ended = false;
        SelfEndingWindow* window = new SpoiltWindow(ended);
        HWND hwnd = window->Create(nullptr, L"ending", WS_OVERLAPPEDWINDOW, 0, 100, 100, 200, 100);
        ASSERT_NE(hwnd, nullptr);
        LaterListener later;
        window->GetManager().AddNotifier(&later);
        ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
        UpdateWindow(hwnd);
        ASSERT_NE(window->GetManager().FindControl(L"shut"), nullptr);
        ASSERT_NE(window->GetManager().FindControl(L"shutoption"), nullptr);

        ending.act(hwnd, window->GetManager());

        EXPECT_TRUE(ended);
        EXPECT_FALSE(IsWindow(hwnd));
        // The listener after the window is not called through the dead manager.
        EXPECT_EQ(later.heard, 0);
        if (IsWindow(hwnd)) DestroyWindow(hwnd);
    }
}

TEST(WindowEnd, TheControlTreeGoesWithTheWindow) {
    const int before = CountedControl::alive;
    bool ended = false;
    SelfEndingWindow* window = new SpoiltWindow(ended);
    ASSERT_NE(window->Create(nullptr, L"ending", WS_OVERLAPPEDWINDOW, 0, 100, 100, 200, 100), nullptr);
    ASSERT_EQ(CountedControl::alive, before + 1);
    DestroyWindow(window->GetHWND());
    EXPECT_TRUE(ended);
    EXPECT_EQ(CountedControl::alive, before);
}

namespace {

// A window of the given layout whose buttons spoil their memory when deleted.
class SpoiltButtonsWindow : public WindowImplBase {
public:
    explicit SpoiltButtonsWindow(const wchar_t* layout) : layout_(layout) {}
    CControlUI* CreateControl(const wchar_t* className) override {
        if (std::wcscmp(className, L"SpoiltButton") == 0) return new Spoilt<CButtonUI>;
        return nullptr;
    }
    const wchar_t* GetWindowClassName() const override { return L"QuillSpoiltButtonsWindow"; }
    CWideString GetSkinFolder() override { return CWideString(L""); }
    CWideString GetSkinFile() override { return CWideString(layout_); }

private:
    const wchar_t* layout_;
};

}  // namespace

TEST(WindowEnd, ControlsTheBuilderDeletesAreNotFoundAfterwards) {
    // The builder names each control in the window's map while it applies
    // the attributes, and then deletes some: a second top-level control, and
    // what lies under a control that takes no children.
    const wchar_t* const kLayouts[] = {
        L"<Window size=\"200,100\"><VerticalLayout name=\"root\" />"
        L"<VerticalLayout><SpoiltButton name=\"maxbtn\" /><SpoiltButton name=\"restorebtn\" /></VerticalLayout>"
        L"</Window>",
        L"<Window size=\"200,100\"><VerticalLayout><Label><VerticalLayout>"
        L"<SpoiltButton name=\"maxbtn\" /><SpoiltButton name=\"restorebtn\" />"
        L"</VerticalLayout></Label></VerticalLayout></Window>",
    };
    // Maximising activates the window.
    DesktopInputLock desktop;
    for (const wchar_t* layout : kLayouts) {
        SpoiltButtonsWindow window(layout);
        HWND hwnd = window.Create(nullptr, L"spoilt", WS_OVERLAPPEDWINDOW, 0, 100, 100, 200, 100);
        ASSERT_NE(hwnd, nullptr);
        EXPECT_EQ(window.GetManager().FindControl(L"maxbtn"), nullptr);
        EXPECT_EQ(window.GetManager().FindControl(L"restorebtn"), nullptr);
        // Maximising shows and hides the two buttons when the window has them.
        SendMessageW(hwnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        SendMessageW(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
        Pump(20);
        DestroyWindow(hwnd);
    }
}

TEST(WindowEnd, EscapeTypedIntoAHostedWindowLeavesTheWindowOpen) {
    bool ended = false;
    SelfEndingWindow* window = new SelfEndingWindow(ended);
    HWND hwnd = window->Create(nullptr, L"escape", WS_OVERLAPPEDWINDOW, 0, 100, 100, 200, 100);
    ASSERT_NE(hwnd, nullptr);
    HWND edit = CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_VISIBLE, 0, 0, 80, 20, hwnd, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(window->GetManager().AddNativeWindow(window->GetManager().GetRoot(), edit));

    // An edit or a date-time cancels with Escape; the key is its own.
    PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 1);
    Pump(50);
    EXPECT_FALSE(ended);
    ASSERT_TRUE(IsWindow(hwnd));

    // Typed into the window itself, it closes the window.
    PostMessageW(hwnd, WM_KEYDOWN, VK_ESCAPE, 1);
    Pump(50);
    EXPECT_TRUE(ended);
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
}
