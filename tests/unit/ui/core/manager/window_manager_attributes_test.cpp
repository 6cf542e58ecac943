#include "ui/core/render/platform_functions_ui.h"
#include "ui/core/manager/window_manager_ui.h"
#include "tests/unit/common/log_capture.h"
#include "tests/unit/ui/support/ui_test_support.h"
#include "tests/unit/ui/support/window_manager_test_support.h"

#include <gtest/gtest.h>

#include <string>

using namespace QuillUI;

namespace {

RECT WindowRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

LONG_PTR ExStyle(HWND window) { return GetWindowLongPtrW(window, GWL_EXSTYLE); }

TEST(WindowAttributes, NamesValuesAndTheirCaseRules) {
    PlainWindow window;
    CWindowManagerUI manager;
    manager.Init(window.Get());

    manager.SetWindowAttribute(L"SIZE", L"300,200");
    EXPECT_EQ(manager.GetInitSize().cx, 300);
    EXPECT_EQ(manager.GetInitSize().cy, 200);
    RECT rect = WindowRect(window.Get());
    EXPECT_EQ(rect.right - rect.left, 300);
    EXPECT_EQ(rect.bottom - rect.top, 200);
    EXPECT_EQ(rect.left, 10);  // resized, not moved

    manager.SetWindowAttribute(L"sizebox", L"4,5,6,7");
    EXPECT_EQ(manager.GetSizeBox().left, 4);
    EXPECT_EQ(manager.GetSizeBox().bottom, 7);
    manager.SetWindowAttribute(L"Caption", L"0,0,0,30");
    EXPECT_EQ(manager.GetCaptionRect().bottom, 30);
    manager.SetWindowAttribute(L"roundcorner", L"3,4");
    EXPECT_EQ(manager.GetRoundCorner().cy, 4);
    manager.SetWindowAttribute(L"mininfo", L"100,80");
    manager.SetWindowAttribute(L"maxinfo", L"900,700");
    EXPECT_EQ(manager.GetMinInfo().cx, 100);
    EXPECT_EQ(manager.GetMaxInfo().cy, 700);

    // "noactivate" is compared exactly, name and value; "showdirty" takes
    // its value in any case.
    manager.SetWindowAttribute(L"Noactivate", L"true");
    EXPECT_FALSE(manager.IsNoActivate());
    EXPECT_STREQ(manager.GetWindowCustomAttribute(L"Noactivate"), L"true");
    manager.SetWindowAttribute(L"noactivate", L"True");
    EXPECT_FALSE(manager.IsNoActivate());
    manager.SetWindowAttribute(L"noactivate", L"true");
    EXPECT_TRUE(manager.IsNoActivate());
    manager.SetWindowAttribute(L"showdirty", L"TRUE");
    EXPECT_TRUE(manager.IsShowUpdateRect());
    manager.SetWindowAttribute(L"ShowDirty", L"yes");
    EXPECT_FALSE(manager.IsShowUpdateRect());

    manager.SetWindowAttribute(L"DisabledFontColor", L"FF111111");
    manager.SetWindowAttribute(L"linkfontcolor", L"#FF222222");
    manager.SetWindowAttribute(L"linkhoverfontcolor", L"#FF333333");
    manager.SetWindowAttribute(L"selectedcolor", L"#00444444");
    EXPECT_EQ(manager.GetDefaultDisabledColor(), 0xFF111111u);
    EXPECT_EQ(manager.GetDefaultLinkFontColor(), 0xFF222222u);
    EXPECT_EQ(manager.GetDefaultLinkHoverFontColor(), 0xFF333333u);
    EXPECT_EQ(manager.GetDefaultSelectedBkColor(), 0x00444444u);
    CWindowManagerUI other;
    EXPECT_EQ(other.GetDefaultDisabledColor(), 0xFFA7A6AAu);  // the window's colour only

    manager.SetWindowAttribute(L"skinversion", L"3");
    EXPECT_STREQ(manager.GetWindowCustomAttribute(L"skinversion"), L"3");
    manager.SetWindowAttribute(L"LayeredOpacity", L"10");
    EXPECT_STREQ(manager.GetWindowCustomAttribute(L"LayeredOpacity"), L"10");
}

TEST(WindowAttributes, OpacityAndLayering) {
    PlainWindow window;
    CWindowManagerUI manager;
    manager.Init(window.Get());
    EXPECT_EQ(manager.GetOpacity(), 255);
    manager.SetWindowAttribute(L"opacity", L"128");
    EXPECT_EQ(manager.GetOpacity(), 128);
    EXPECT_NE(ExStyle(window.Get()) & WS_EX_LAYERED, 0);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(window.Get(), nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 128);
    manager.SetWindowAttribute(L"opacity", L"300");
    EXPECT_EQ(manager.GetOpacity(), 255);

    manager.SetWindowAttribute(L"layeredimage", L"file='missing.png'");
    EXPECT_TRUE(manager.IsLayered());
    manager.SetWindowAttribute(L"layeredopacity", L"200");
    EXPECT_EQ(manager.GetOpacity(), 200);
    manager.SetLayered(false);
    EXPECT_FALSE(manager.IsLayered());
    EXPECT_EQ(ExStyle(window.Get()) & WS_EX_LAYERED, 0);

    // Child windows are never layered this way.
    HWND child =
        CreateWindowExW(0, L"STATIC", L"child", WS_CHILD, 0, 0, 20, 20, window.Get(), nullptr, nullptr, nullptr);
    CWindowManagerUI childManager;
    childManager.Init(child);
    childManager.SetLayered(true);
    EXPECT_FALSE(childManager.IsLayered());

    // Without UpdateLayeredWindow a window stays as it is.
    PlatformFunctionsUI missing;
    OverridePlatformFunctions(&missing);
    manager.SetLayered(true);
    OverridePlatformFunctions(nullptr);
    EXPECT_FALSE(manager.IsLayered());
    EXPECT_EQ(ExStyle(window.Get()) & WS_EX_LAYERED, 0);
}

TEST(WindowAttributes, NumberListsStopAtTheEndOfTheText) {
    PlainWindow window;
    CWindowManagerUI manager;
    manager.Init(window.Get());
    GuardedBytes guard(64);
    struct Case {
        const wchar_t* name;
        const wchar_t* value;
    } cases[] = {{L"size", L"800"}, {L"size", L"640,"}, {L"sizebox", L"1,2"}, {L"caption", L""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << "=" << c.value);
        const std::wstring value(c.value);
        std::string bytes(reinterpret_cast<const char*>(value.c_str()), (value.size() + 1) * sizeof(wchar_t));
        const wchar_t* placed = reinterpret_cast<const wchar_t*>(guard.Place(bytes));
        guard.SetReadOnly(true);
        manager.SetWindowAttribute(c.name, placed);
    }
    EXPECT_EQ(manager.GetInitSize().cx, 640);
    EXPECT_EQ(manager.GetInitSize().cy, 0);
    EXPECT_EQ(manager.GetSizeBox().top, 2);
    EXPECT_EQ(manager.GetSizeBox().right, 0);
}

// Window lengths from markup stay within twice the virtual screen (the null
// driver's 1024x768): a hostile skin cannot make a window of gigabytes.
TEST(WindowAttributes, HostileWindowLengthsAreBoundedToTwiceTheScreen) {
    const long W = 2L * GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const long H = 2L * GetSystemMetrics(SM_CYVIRTUALSCREEN);
    ASSERT_GT(W, 0);
    ASSERT_GT(H, 0);
    struct Case {
        const wchar_t* name;
        const wchar_t* value;
        long expected[4];
        bool logged;
    } cases[] = {
        {L"size", L"2147483647,2147483647", {W, H}, true},
        {L"size", L"-5,-2147483648", {0, 0}, true},
        {L"size", L"640,480", {640, 480}, false},
        {L"mininfo", L"2147483647,-1", {W, 0}, true},
        {L"mininfo", L"100,80", {100, 80}, false},
        {L"maxinfo", L"-100,99999999999", {0, H}, true},
        {L"maxinfo", L"900,700", {900, 700}, false},
        {L"caption", L"-1,-2147483648,2147483647,99999", {0, 0, W, H}, true},
        {L"caption", L"0,0,0,30", {0, 0, 0, 30}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << "=" << c.value);
        PlainWindow window;
        CWindowManagerUI manager;
        manager.Init(window.Get());
        LogCapture log;
        manager.SetWindowAttribute(c.name, c.value);
        EXPECT_EQ(c.logged, !LogCapture::Lines().empty());
        long got[4] = {0, 0, 0, 0};
        const std::wstring name = c.name;
        if (name == L"size") {
            got[0] = manager.GetInitSize().cx;
            got[1] = manager.GetInitSize().cy;
            const RECT rect = WindowRect(window.Get());
            EXPECT_EQ(c.expected[0], rect.right - rect.left);
            EXPECT_EQ(c.expected[1], rect.bottom - rect.top);
        } else if (name == L"mininfo") {
            got[0] = manager.GetMinInfo().cx;
            got[1] = manager.GetMinInfo().cy;
        } else if (name == L"maxinfo") {
            got[0] = manager.GetMaxInfo().cx;
            got[1] = manager.GetMaxInfo().cy;
        } else {
            const RECT caption = manager.GetCaptionRect();
            got[0] = caption.left;
            got[1] = caption.top;
            got[2] = caption.right;
            got[3] = caption.bottom;
        }
        for (int i = 0; i < 4; ++i) EXPECT_EQ(c.expected[i], got[i]) << "number " << i;
    }
}

}  // namespace
