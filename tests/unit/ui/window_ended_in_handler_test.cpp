// A skinned window that deletes itself with its window may be ended from
// inside one of its own handlers: nothing of it may be touched afterwards.
#include "skinned_window_fixture.h"
#include "ui/core/control_ui.h"
#include "ui/core/notify_message_ui.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>

using namespace QuillUI;

namespace {

const wchar_t kShutLayout[] =
    L"<Window size=\"200,100\"><HorizontalLayout><Button name=\"shut\" width=\"80\" />"
    L"<Control /></HorizontalLayout></Window>";

// Ends its window when "shut" is clicked or its timer fires, and deletes
// itself with the window as the launcher's windows do. Its memory is
// spoilt on deletion, so that any later use of it crashes.
class SelfEndingWindow : public WindowImplBase {
public:
    explicit SelfEndingWindow(bool& ended) : ended_(ended) {}
    static void operator delete(void* memory, size_t size) {
        std::memset(memory, 0xFE, size);
        ::operator delete(memory);
    }

    const wchar_t* GetWindowClassName() const override { return L"QuillSelfEndingWindow"; }
    CWideString GetSkinFolder() override { return CWideString(L""); }
    CWideString GetSkinFile() override { return CWideString(kShutLayout); }
    void Notify(NotifyMessageUI& message) override {
        const bool shut = message.sender != nullptr && message.sender->GetName() == L"shut";
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

// Listens after the window, to the notifications that end it.
class LaterListener : public INotifyUI {
public:
    void Notify(NotifyMessageUI& message) override {
        if (message.type == L"click" || message.type == L"timer") ++heard;
    }
    int heard = 0;
};

struct EndingCase {
    const char* what;
    void (*act)(HWND window, CWindowManagerUI& manager, CControlUI* shut);
};

const EndingCase kEndings[] = {
    {"click",
     [](HWND window, CWindowManagerUI&, CControlUI* shut) {
         const RECT at = shut->GetPos();
         const LPARAM point = MAKELPARAM((at.left + at.right) / 2, (at.top + at.bottom) / 2);
         SendMessageW(window, WM_MOUSEMOVE, 0, point);
         SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, point);
         SendMessageW(window, WM_LBUTTONUP, 0, point);
     }},
    {"control timer",
     [](HWND window, CWindowManagerUI& manager, CControlUI* shut) {
         ASSERT_TRUE(manager.SetTimer(shut, 5, 10));
         Pump(60);
         (void)window;
     }},
};

}  // namespace

TEST(WindowEndedInHandler, NothingOfTheWindowIsTouchedAfterwards) {
    for (const EndingCase& ending : kEndings) {
        SCOPED_TRACE(ending.what);
        bool ended = false;
        SelfEndingWindow* window = new SelfEndingWindow(ended);
        HWND hwnd = window->Create(nullptr, L"ending", WS_OVERLAPPEDWINDOW, 0, 100, 100, 200, 100);
        ASSERT_NE(hwnd, nullptr);
        LaterListener later;
        window->GetManager().AddNotifier(&later);
        ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
        UpdateWindow(hwnd);
        CControlUI* shut = window->GetManager().FindControl(L"shut");
        ASSERT_NE(shut, nullptr);

        ending.act(hwnd, window->GetManager(), shut);

        EXPECT_TRUE(ended);
        EXPECT_FALSE(IsWindow(hwnd));
        // The listener after the window is not called through the dead manager.
        EXPECT_EQ(later.heard, 0);
        if (IsWindow(hwnd)) DestroyWindow(hwnd);
    }
}
