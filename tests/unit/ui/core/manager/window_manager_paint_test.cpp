#include "tests/unit/ui/support/managed_window.h"
#include "tests/unit/ui/support/recording_control_ui.h"
#include "tests/unit/ui/support/render_test_support.h"
#include "tests/unit/ui/support/test_container_ui.h"
#include "ui/core/render/renderer_ui.h"

#include <gtest/gtest.h>

#include <vector>

using namespace QuillUI;

namespace {

// The pixels of a bitmap, top row first, as 0xAARRGGBB.
std::vector<uint32_t> ReadBitmap(HBITMAP bitmap, int& width, int& height) {
    BITMAP info = {};
    GetObjectW(bitmap, sizeof(info), &info);
    width = info.bmWidth;
    height = info.bmHeight;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    BITMAPINFO request = {};
    request.bmiHeader.biSize = sizeof(request.bmiHeader);
    request.bmiHeader.biWidth = width;
    request.bmiHeader.biHeight = -height;
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, height, pixels.data(), &request, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// A red root with a 2-pixel blue border and a green child inside.
struct FramedTree {
    explicit FramedTree(ManagedWindow& window) {
        root = new CTestContainerUI;
        root->SetBkColor(0xFFFF0000);
        root->SetBorderColor(0xFF0000FF);
        root->SetBorderSize(2);
        child = new CRecordingControlUI(L"child");
        child->SetBkColor(0xFF00FF00);
        child->SetPos(RECT{150, 10, 190, 90}, false);
        root->Add(child);
        window.manager.AttachDialog(root);
    }
    CTestContainerUI* root;
    CRecordingControlUI* child;
};

TEST(WindowManagerPaint, TheOffscreenBitmapHoldsBackgroundBorderAndChild) {
    ManagedWindow window;
    RecordingNotifier notifier;
    window.manager.AddNotifier(&notifier);
    window.Show();
    FramedTree tree(window);
    UpdateWindow(window.Get());
    EXPECT_EQ(1, notifier.Count(L"windowinit"));
    ASSERT_NE(nullptr, window.manager.GetOffscreenBitmap());
    int width = 0, height = 0;
    std::vector<uint32_t> pixels = ReadBitmap(window.manager.GetOffscreenBitmap(), width, height);
    ASSERT_EQ(200, width);
    ASSERT_EQ(100, height);
    EXPECT_EQ(0xFF0000u, pixels[50 * width + 50] & 0xFFFFFF);
    EXPECT_EQ(0x0000FFu, pixels[0] & 0xFFFFFF);
    EXPECT_EQ(0x0000FFu, pixels[99 * width + 199] & 0xFFFFFF);
    EXPECT_EQ(0x00FF00u, pixels[50 * width + 170] & 0xFFFFFF);

    InvalidateRect(window.Get(), nullptr, FALSE);
    UpdateWindow(window.Get());
    EXPECT_EQ(1, notifier.Count(L"windowinit")) << "only the first layout sends it";
}

TEST(WindowManagerPaint, PrintClientPaintsTheTreeIntoTheGivenDc) {
    ManagedWindow window;
    FramedTree tree(window);
    tree.root->SetPos(RECT{0, 0, 200, 100}, false);
    DibSurface surface(200, 100, 0xFFFFFFFF);
    SendMessageW(window.Get(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.Dc()), PRF_CLIENT);
    EXPECT_EQ(0xFF0000u, surface.Rgb(50, 50));
    EXPECT_EQ(0x0000FFu, surface.Rgb(1, 1));
    EXPECT_EQ(0x00FF00u, surface.Rgb(170, 50));
}

TEST(WindowManagerPaint, AWindowWithoutTreeIsPaintedOnce) {
    ManagedWindow window;
    window.Show();
    PumpFor(150);
    EXPECT_EQ(1, window.paintMessages) << "WM_PAINT must validate, or it comes back forever";
}

TEST(WindowManagerPaint, OnlyControlsThatAskedAreLaidOutAgain) {
    ManagedWindow window;
    window.Show();
    FramedTree tree(window);
    UpdateWindow(window.Get());
    tree.child->NeedUpdate();
    UpdateWindow(window.Get());
    EXPECT_FALSE(tree.child->IsUpdateNeeded());
    ASSERT_EQ(1, window.manager.GetFoundControls()->GetSize());
    EXPECT_EQ(tree.child, window.manager.GetFoundControls()->GetAt(0));
    tree.child->NeedUpdate();
    UpdateWindow(window.Get());
    EXPECT_EQ(1, window.manager.GetFoundControls()->GetSize()) << "the list starts empty on every pass";
}

TEST(WindowManagerPaint, AnAreaInvalidatedAgainIsPaintedAgainOnceItWasPainted) {
    ManagedWindow window;
    window.Show();
    FramedTree tree(window);
    UpdateWindow(window.Get());
    const RECT area = {10, 10, 50, 50};
    const RECT inside = {20, 20, 30, 30};
    RECT update = {};
    window.manager.Invalidate(area);
    window.manager.Invalidate(inside);
    ASSERT_TRUE(GetUpdateRect(window.Get(), &update, FALSE));
    EXPECT_TRUE(EqualRect(&update, &area));
    const int painted = window.paintMessages;
    UpdateWindow(window.Get());
    EXPECT_EQ(painted + 1, window.paintMessages);
    ASSERT_FALSE(GetUpdateRect(window.Get(), &update, FALSE));
    // Painted since: the same area is asked for again.
    window.manager.Invalidate(inside);
    ASSERT_TRUE(GetUpdateRect(window.Get(), &update, FALSE));
    EXPECT_TRUE(EqualRect(&update, &inside));
}

TEST(WindowManagerPaint, WhatTheLayoutInvalidatesIsPaintedInTheSamePass) {
    ManagedWindow window;
    window.Show();
    FramedTree tree(window);
    UpdateWindow(window.Get());
    // The child turns yellow and asks for a layout, but only a corner far
    // from it is left invalid: its own area becomes invalid in the layout.
    tree.child->SetBkColor(0xFFFFFF00);
    tree.child->NeedUpdate();
    ValidateRect(window.Get(), nullptr);
    window.manager.Invalidate(RECT{0, 0, 10, 10});
    UpdateWindow(window.Get());
    RECT update = {};
    EXPECT_FALSE(GetUpdateRect(window.Get(), &update, FALSE));
    int width = 0, height = 0;
    std::vector<uint32_t> pixels = ReadBitmap(window.manager.GetOffscreenBitmap(), width, height);
    ASSERT_EQ(200, width);
    EXPECT_EQ(0xFFFF00u, pixels[50 * width + 170] & 0xFFFFFF);
}

TEST(WindowManagerPaint, ALayeredWindowPaintsPremultipliedPixelsIntoItsDib) {
    ManagedWindow window;
    window.Show();
    window.manager.SetLayered(true);
    EXPECT_NE(0, GetWindowLongPtrW(window.Get(), GWL_EXSTYLE) & WS_EX_LAYERED);
    CRecordingControlUI* root = new CRecordingControlUI(L"root");
    root->SetBkColor(0x80FF0000);
    window.manager.AttachDialog(root);
    window.manager.Invalidate();
    PumpFor(100);  // the repaint timer paints

    HBITMAP bitmap = window.manager.GetOffscreenBitmap();
    ASSERT_NE(nullptr, bitmap);
    DIBSECTION section = {};
    ASSERT_EQ(static_cast<int>(sizeof(section)), GetObjectW(bitmap, sizeof(section), &section));
    EXPECT_GT(section.dsBmih.biHeight, 0) << "rows stored bottom-up";
    int width = 0, height = 0;
    std::vector<uint32_t> pixels = ReadBitmap(bitmap, width, height);
    ASSERT_EQ(200, width);
    const uint32_t pixel = pixels[50 * width + 50];
    EXPECT_NEAR(0x80, static_cast<int>(pixel >> 24), 1);
    EXPECT_TRUE(Near(0x800000, pixel & 0xFFFFFF));

    window.manager.SetLayered(false);
    EXPECT_EQ(0, GetWindowLongPtrW(window.Get(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST(WindowManagerPaint, ALayeredImageWithAlphaScalesThePaintedColours) {
    ManagedWindow window;
    window.Show();
    window.manager.SetWindowAttribute(L"layeredimage", L"color='80FFFFFF'");
    ASSERT_TRUE(window.manager.IsLayered());
    CRecordingControlUI* root = new CRecordingControlUI(L"root");
    root->SetBkColor(0x80FF0000);
    window.manager.AttachDialog(root);
    window.manager.Invalidate();
    PumpFor(100);

    ASSERT_NE(nullptr, window.manager.GetOffscreenBitmap());
    int width = 0, height = 0;
    std::vector<uint32_t> pixels = ReadBitmap(window.manager.GetOffscreenBitmap(), width, height);
    ASSERT_EQ(200, width);
    // 0x80 premultiplied red, times the background's alpha of 0x80.
    EXPECT_TRUE(Near(0x400000, pixels[50 * width + 50] & 0xFFFFFF, 2));
}

TEST(WindowManagerPaint, AGeneratedBitmapIsPaintedByTheTreeUpToTheStopControl) {
    ManagedWindow window;
    window.Show();
    FramedTree tree(window);
    UpdateWindow(window.Get());
    const RECT part = {140, 0, 200, 100};
    ScopedBitmap upToChild(CRendererUI::GenerateBitmap(&window.manager, part, tree.child, 0));
    ASSERT_TRUE(upToChild);
    int width = 0, height = 0;
    std::vector<uint32_t> pixels = ReadBitmap(upToChild.Get(), width, height);
    ASSERT_EQ(60, width);
    EXPECT_EQ(0xFF0000u, pixels[50 * width + 30] & 0xFFFFFF) << "the root's background, not the child";
    EXPECT_EQ(0x0000FFu, pixels[50 * width + 59] & 0xFFFFFF) << "the root's border";
}

}  // namespace

namespace {

TEST(WindowManagerPaint, ShowDirtyOutlinesThePaintedArea) {
    ManagedWindow window;
    window.Show();
    window.manager.SetWindowAttribute(L"showdirty", L"true");
    FramedTree tree(window);
    tree.root->SetBorderSize(0);
    UpdateWindow(window.Get());
    HDC dc = GetDC(window.Get());
    const COLORREF corner = GetPixel(dc, 0, 0);
    const COLORREF inside = GetPixel(dc, 50, 50);
    ReleaseDC(window.Get(), dc);
    EXPECT_EQ(RGB(220, 0, 0), corner);
    EXPECT_EQ(RGB(255, 0, 0), inside);
}

}  // namespace

namespace {

LRESULT CALLBACK WhiteProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PRINTCLIENT && message != WM_PAINT) return DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = message == WM_PAINT ? BeginPaint(window, &ps) : reinterpret_cast<HDC>(wParam);
    RECT client;
    GetClientRect(window, &client);
    // A user data of 1 turns it grey.
    const int brush = GetWindowLongPtrW(window, GWLP_USERDATA) == 1 ? GRAY_BRUSH : WHITE_BRUSH;
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(brush)));
    if (message == WM_PAINT) EndPaint(window, &ps);
    return 0;
}

// A white child window over the right part of the client area. (Wine's
// static control paints nothing into a DC whose origin was moved.)
HWND WhiteChild(HWND parent) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &WhiteProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QuillWhiteChild";
    RegisterClassW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"", WS_CHILD | WS_VISIBLE, 150, 10, 40, 80, parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

TEST(WindowManagerPaint, PrintClientWithChildrenPrintsEachChildAtItsPlace) {
    ManagedWindow window;
    window.Show();
    FramedTree tree(window);
    tree.root->SetPos(RECT{0, 0, 200, 100}, false);
    ASSERT_NE(nullptr, WhiteChild(window.Get()));
    DibSurface surface(200, 100, 0xFF000000);
    SendMessageW(window.Get(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.Dc()), PRF_CLIENT | PRF_CHILDREN);
    EXPECT_EQ(0xFFFFFFu, surface.Rgb(170, 50)) << "the child, over the green control";
    EXPECT_EQ(0xFF0000u, surface.Rgb(170, 5)) << "above the child";
    EXPECT_EQ(0xFF0000u, surface.Rgb(50, 50));
}

TEST(WindowManagerPaint, ALayeredWindowPrintsItsHostedChildWindowsOpaque) {
    ManagedWindow window;
    window.Show();
    window.manager.SetLayered(true);
    CRecordingControlUI* root = new CRecordingControlUI(L"root");
    window.manager.AttachDialog(root);
    HWND child = WhiteChild(window.Get());
    ASSERT_TRUE(window.manager.AddNativeWindow(root, child));
    window.manager.Invalidate();
    PumpFor(100);
    ASSERT_NE(nullptr, window.manager.GetOffscreenBitmap());
    int width = 0, height = 0;
    std::vector<uint32_t> pixels = ReadBitmap(window.manager.GetOffscreenBitmap(), width, height);
    EXPECT_EQ(0xFFFFFFFFu, pixels[50 * width + 170]) << "GDI's alpha 0 made opaque";
    EXPECT_EQ(0u, pixels[50 * width + 50]) << "the cleared, transparent rest";

    // Registered again, as a hosted edit does when its text changes, it is
    // printed anew.
    SetWindowLongPtrW(child, GWLP_USERDATA, 1);
    EXPECT_FALSE(window.manager.AddNativeWindow(root, child));
    PumpFor(100);
    pixels = ReadBitmap(window.manager.GetOffscreenBitmap(), width, height);
    EXPECT_EQ(0xFF808080u, pixels[50 * width + 170]);

    // A hosted window that is gone is dropped at the next paint.
    DestroyWindow(child);
    window.manager.Invalidate();
    PumpFor(50);
    EXPECT_FALSE(window.manager.RemoveNativeWindow(child));
}

}  // namespace

namespace {

// However large a layered window is asked to be, by its skin or later by
// code, its surfaces and what it shows stay within twice the virtual screen
// (the null driver's 1024x768), and that part is painted as usual.
TEST(WindowManagerPaint, AHugeLayeredWindowPaintsNoMoreThanTwiceTheScreen) {
    const SIZE bound = {2 * GetSystemMetrics(SM_CXVIRTUALSCREEN), 2 * GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    ASSERT_GT(bound.cx, 0);
    for (const bool fromCode : {false, true}) {
        SCOPED_TRACE(fromCode ? "made larger by code" : "asked for by the skin");
        ManagedWindow window;
        window.Show();
        window.manager.SetWindowAttribute(L"layeredimage", L"color='80FFFFFF'");
        if (!fromCode) window.manager.SetWindowAttribute(L"size", L"2147483647,2147483647");
        CRecordingControlUI* root = new CRecordingControlUI(L"root");
        root->SetBkColor(0x80FF0000);
        window.manager.AttachDialog(root);
        if (fromCode) {
            SetWindowPos(window.Get(), nullptr, 0, 0, bound.cx + 3000, bound.cy + 2000,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        window.manager.Invalidate();
        PumpFor(100);

        HBITMAP bitmap = window.manager.GetOffscreenBitmap();
        ASSERT_NE(nullptr, bitmap);
        BITMAP info = {};
        ASSERT_NE(0, GetObjectW(bitmap, sizeof(info), &info));
        ASSERT_EQ(bound.cx, info.bmWidth);
        ASSERT_EQ(bound.cy, info.bmHeight);
        RECT rect = {};
        GetWindowRect(window.Get(), &rect);
        EXPECT_EQ(bound.cx, rect.right - rect.left) << "the size shown is the size painted";
        EXPECT_EQ(bound.cy, rect.bottom - rect.top);
        EXPECT_EQ(bound.cx, root->GetPos().right);
        EXPECT_EQ(bound.cy, root->GetPos().bottom);

        int width = 0, height = 0;
        std::vector<uint32_t> pixels = ReadBitmap(bitmap, width, height);
        ASSERT_EQ(static_cast<size_t>(bound.cx) * bound.cy, pixels.size());
        // 0x80 premultiplied red, times the background's alpha of 0x80.
        EXPECT_TRUE(Near(0x400000, pixels[50 * width + 50] & 0xFFFFFF, 2));
        EXPECT_TRUE(Near(0x400000, pixels.back() & 0xFFFFFF, 2)) << "the far corner";
    }
}

}  // namespace
