// A skin of the launcher's kind in a skinned window, driven through the
// window's own mouse messages:
//   launcher_skin_test              the tests
//   launcher_skin_test show [ms]    shows the window for a picture
#include "tests/unit/ui/support/render_test_support.h"
#include "tests/unit/ui/support/skinned_window_fixture.h"
#include "common/win.h"
#include "tests/support/desktop_input_lock.h"
#include "ui/controls/containers/horizontal_layout_ui.h"
#include "ui/controls/buttons/option_ui.h"
#include "ui/core/control/control_ui.h"
#include "ui/core/manager/notify_message_ui.h"
#include "ui/core/manager/notify_sender_name.h"
#include "ui/core/window/window_impl_base.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <memory>
#include <string>
#include <vector>

using namespace QuillUI;

namespace {

class LauncherWindow : public WindowImplBase {
public:
    const wchar_t* GetWindowClassName() const override { return L"QuillLauncherSkinWindow"; }
    CWideString GetSkinFolder() override { return L"launcher_skin"; }
    CWideString GetSkinFile() override { return L"main.xml"; }
    void OnClick(NotifyMessageUI& message) override {
        const wchar_t* name = GetNotifySenderName(message.sender);
        clicked.push_back(name != nullptr ? name : L"");
        WindowImplBase::OnClick(message);
    }

    std::vector<std::wstring> clicked;
};

class LauncherSkin : public SkinnedWindowFixture<LauncherWindow> {
protected:
    void SetUp() override { Open(new LauncherWindow(), L"Launcher"); }
    POINT Centre(const wchar_t* name) {
        const RECT& pos = Find(name)->GetPos();
        return POINT{(pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2};
    }
    // The cursor is put there first: hover tracking follows the real cursor.
    void MoveTo(POINT point) {
        POINT screen = point;
        ClientToScreen(hwnd_, &screen);
        if (!desktop_) desktop_ = std::make_unique<DesktopInputLock>();
        SetCursorPos(screen.x, screen.y);
        SendMessageW(hwnd_, WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
    }
    void Press(POINT point) { SendMessageW(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y)); }
    void Release(POINT point) { SendMessageW(hwnd_, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y)); }
    void ClickAt(POINT point) {
        MoveTo(point);
        Press(point);
        Release(point);
        Pump();
    }
    void Click(const wchar_t* name) { ClickAt(Centre(name)); }
    void Drag(POINT from, POINT to) {
        MoveTo(from);
        Press(from);
        MoveTo(to);
        Release(to);
        Pump();
    }
    LRESULT HitTest(POINT point) {
        ClientToScreen(hwnd_, &point);
        return SendMessageW(hwnd_, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
    }
    uint32_t PixelAt(POINT point) {
        RECT client;
        GetClientRect(hwnd_, &client);
        DibSurface surface(client.right, client.bottom);
        Manager().GetRoot()->Paint(surface.Dc(), client, nullptr);
        return surface.Rgb(point.x, point.y);
    }

private:
    // Held from the first cursor move to the end of the test.
    std::unique_ptr<DesktopInputLock> desktop_;
};

TEST_F(LauncherSkin, TheCaptionRowIsLaidOutAndOnlyItsButtonsTakeClicks) {
    EXPECT_STREQ(L"VerticalLayout", Manager().GetRoot()->GetClass());
    EXPECT_STREQ(L"Button", Find(L"closebtn")->GetClass());
    EXPECT_STREQ(L"CheckBox", Find(L"autostart")->GetClass());
    // 520 wide less the inset: three buttons of 30, three paddings of 4,
    // and the title takes the rest.
    const RECT& close = Find(L"closebtn")->GetPos();
    EXPECT_EQ(484, close.left);
    EXPECT_EQ(514, close.right);
    EXPECT_EQ(6, close.top);
    EXPECT_EQ(30, close.bottom);
    EXPECT_EQ(400, Find(L"title")->GetWidth());
    EXPECT_EQ(HTCAPTION, HitTest(Centre(L"title")));
    EXPECT_EQ(HTCAPTION, HitTest(POINT{Find(L"minbtn")->GetX() - 2, 18}));
    for (const wchar_t* name : {L"minbtn", L"maxbtn", L"closebtn"}) EXPECT_EQ(HTCLIENT, HitTest(Centre(name)));
}

TEST_F(LauncherSkin, TheWindowButtonsWorkThroughTheDefaultClickHandling) {
    Click(L"maxbtn");
    Pump();
    ASSERT_TRUE(IsZoomed(hwnd_));
    EXPECT_FALSE(Find(L"maxbtn")->IsVisible());
    ASSERT_TRUE(Find(L"restorebtn")->IsVisible());
    Pump();
    Click(L"restorebtn");
    Pump();
    EXPECT_FALSE(IsZoomed(hwnd_));
    EXPECT_TRUE(Find(L"maxbtn")->IsVisible());

    Click(L"minbtn");
    EXPECT_TRUE(IsIconic(hwnd_));
    ShowWindow(hwnd_, SW_RESTORE);
    Pump();

    // The close is posted: the button and the manager are done with the
    // click before the window goes.
    Click(L"closebtn");
    Pump();
    EXPECT_FALSE(IsWindow(hwnd_));
    const std::vector<std::wstring> expected = {L"maxbtn", L"restorebtn", L"minbtn", L"closebtn"};
    EXPECT_EQ(expected, window_->clicked);
}

TEST_F(LauncherSkin, StartPageControlsAnswerTheMouse) {
    auto* north = static_cast<COptionUI*>(Find(L"server1"));
    auto* south = static_cast<COptionUI*>(Find(L"server2"));
    auto* autostart = static_cast<COptionUI*>(Find(L"autostart"));
    EXPECT_TRUE(north->IsSelected());
    Click(L"server2");
    EXPECT_TRUE(south->IsSelected());
    EXPECT_FALSE(north->IsSelected());
    Click(L"autostart");
    EXPECT_TRUE(autostart->IsSelected());

    const POINT start = Centre(L"startbtn");
    MoveTo(POINT{start.x, 60});
    EXPECT_TRUE(Near(0xE0902A, PixelAt(POINT{start.x, start.y - 15}), 2));
    MoveTo(start);
    EXPECT_TRUE(Near(0xF0A53C, PixelAt(POINT{start.x, start.y - 15}), 2));
    Click(L"startbtn");
    ASSERT_FALSE(window_->clicked.empty());
    EXPECT_EQ(L"startbtn", window_->clicked.back());
    EXPECT_TRUE(IsWindow(hwnd_));
}

TEST_F(LauncherSkin, TheSidePanelResizesByItsSeparator) {
    auto* news = static_cast<CHorizontalLayoutUI*>(Find(L"news"));
    const RECT before = news->GetPos();
    ASSERT_EQ(190, before.right - before.left);
    const POINT grip = {before.right - 2, (before.top + before.bottom) / 2};
    Drag(grip, POINT{grip.x + 40, grip.y});
    EXPECT_EQ(230, news->GetFixedWidth());
    EXPECT_EQ(230, news->GetWidth());
    // Past the maximum the edge stops there.
    const POINT moved = {news->GetPos().right - 2, grip.y};
    Drag(moved, POINT{moved.x + 200, moved.y});
    EXPECT_EQ(260, news->GetFixedWidth());
}

// Shows the window until it is closed or the time is up.
int Show(DWORD milliseconds) {
    LauncherWindow window;
    return ShowForPicture(window, L"Launcher", 520, 340, milliseconds);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    if (argc > 1 && wcscmp(argv[1], L"show") == 0) return Show(argc > 2 ? wcstoul(argv[2], nullptr, 10) : 5000);
    int gtestArgc = 1;
    char program[] = "launcher_skin_test";
    char* gtestArgv[] = {program, nullptr};
    ::testing::InitGoogleTest(&gtestArgc, gtestArgv);
    return RUN_ALL_TESTS();
}
