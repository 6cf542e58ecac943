#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/window/window_wnd.h"
#include "tests/support/desktop_input_lock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <vector>

using namespace QuillUI;

namespace {

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

class RecordingWindow : public CWindowWnd {
public:
    explicit RecordingWindow(const wchar_t* className = L"QuillTestWindow", const wchar_t* superClass = nullptr)
        : className_(className), superClass_(superClass) {
        CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    }
    ~RecordingWindow() override {
        if (GetHWND() != nullptr) DestroyWindow(GetHWND());
        if (deleted != nullptr) *deleted = true;
    }

    const wchar_t* GetWindowClassName() const override { return className_; }
    const wchar_t* GetSuperClassName() const override { return superClass_; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        messages.push_back(message);
        if (finalCalls > 0) ++messagesAfterFinal;
        if (message == WM_CREATE && refuseCreate) return -1;
        if (message == throwOn) throw std::bad_alloc();
        if (message == WM_CLOSE) {
            closeCode = static_cast<int>(wParam);
            return 0;
        }
        return CWindowWnd::HandleMessage(message, wParam, lParam);
    }
    void OnFinalMessage(HWND window) override {
        ++finalCalls;
        finalWindow = window;
        handleAtFinal = GetHWND();
        if (deleteInFinal) delete this;
    }

    std::vector<UINT> messages;
    int finalCalls = 0;
    int messagesAfterFinal = 0;
    int closeCode = -1;
    HWND finalWindow = nullptr;
    HWND handleAtFinal = reinterpret_cast<HWND>(1);
    bool deleteInFinal = false;
    bool refuseCreate = false;
    UINT throwOn = 0;  // a message whose handling runs out of memory
    bool* deleted = nullptr;

private:
    const wchar_t* className_;
    const wchar_t* superClass_;
};

TEST(WindowWnd, OneClassServesTwoWindowsAndTheObjectSitsInTheUserData) {
    RecordingWindow first, second;
    ASSERT_NE(first.Create(nullptr, L"one", WS_OVERLAPPEDWINDOW, 0, 0, 0, 200, 100), nullptr);
    // The class exists now, so this registration fails with "already exists".
    ASSERT_NE(second.Create(nullptr, L"two", WS_OVERLAPPEDWINDOW, 0, 0, 0, 200, 100), nullptr);
    WNDCLASSW wc = {};
    ASSERT_TRUE(GetClassInfoW(GetModuleHandleW(nullptr), L"QuillTestWindow", &wc));
    EXPECT_EQ(wc.style, 0u);
    EXPECT_EQ(wc.hbrBackground, nullptr);
    EXPECT_EQ(reinterpret_cast<CWindowWnd*>(GetWindowLongPtrW(first.GetHWND(), GWLP_USERDATA)), &first);
    EXPECT_EQ(reinterpret_cast<CWindowWnd*>(GetWindowLongPtrW(second.GetHWND(), GWLP_USERDATA)), &second);

    // Messages before WM_NCCREATE (WM_GETMINMAXINFO for an overlapped
    // window) never reach the object.
    ASSERT_FALSE(first.messages.empty());
    EXPECT_EQ(first.messages.front(), static_cast<UINT>(WM_NCCREATE));

    SetWindowTextW(first.GetHWND(), L"renamed");
    wchar_t text[32] = {};
    GetWindowTextW(first.GetHWND(), text, 32);
    EXPECT_STREQ(text, L"renamed");
}

TEST(WindowWnd, FinalMessageComesLastOnceWithoutAHandleAndMayDeleteTheObject) {
    RecordingWindow window;
    HWND hwnd = window.Create(nullptr, L"w", WS_POPUP, 0, 0, 0, 50, 50);
    ASSERT_NE(hwnd, nullptr);
    DestroyWindow(hwnd);
    EXPECT_EQ(window.finalCalls, 1);
    EXPECT_EQ(window.finalWindow, hwnd);
    EXPECT_EQ(window.handleAtFinal, nullptr);
    EXPECT_EQ(window.messagesAfterFinal, 0);
    EXPECT_EQ(window.GetHWND(), nullptr);
    // WM_NCDESTROY itself goes to the previous procedure, not to the object.
    for (UINT message : window.messages) EXPECT_NE(message, static_cast<UINT>(WM_NCDESTROY));

    bool deleted = false;
    RecordingWindow* owned = new RecordingWindow;
    owned->deleteInFinal = true;
    owned->deleted = &deleted;
    HWND ownedWindow = owned->Create(nullptr, L"owned", WS_POPUP, 0, 0, 0, 50, 50);
    ASSERT_NE(ownedWindow, nullptr);
    DestroyWindow(ownedWindow);
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(IsWindow(ownedWindow));

    // A window refused in WM_CREATE is gone before Create returns, and so is
    // an object that deletes itself then.
    deleted = false;
    RecordingWindow* refused = new RecordingWindow;
    refused->deleteInFinal = true;
    refused->refuseCreate = true;
    refused->deleted = &deleted;
    EXPECT_EQ(refused->Create(nullptr, L"refused", WS_POPUP, 0, 0, 0, 50, 50), nullptr);
    EXPECT_TRUE(deleted);
}

TEST(WindowWnd, SuperclassedEditKeepsTheObjectInAPropertyAndTheEditBehaviour) {
    RecordingWindow edit(L"QuillTestEdit", L"Edit");
    HWND hwnd = edit.Create(nullptr, L"start", WS_POPUP | ES_AUTOHSCROLL, 0, 0, 0, 120, 24);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(GetPropW(hwnd, L"WndX"), static_cast<HANDLE>(&edit));
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_USERDATA), 0);

    edit.messages.clear();
    SetWindowTextW(hwnd, L"typed text");
    EXPECT_NE(std::find(edit.messages.begin(), edit.messages.end(), static_cast<UINT>(WM_SETTEXT)),
              edit.messages.end());
    wchar_t text[32] = {};
    GetWindowTextW(hwnd, text, 32);
    EXPECT_STREQ(text, L"typed text");
    // Only the Edit procedure knows this message.
    SendMessageW(hwnd, EM_SETSEL, 2, 5);
    DWORD start = 0, end = 0;
    SendMessageW(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 2u);
    EXPECT_EQ(end, 5u);

    DestroyWindow(hwnd);
    EXPECT_EQ(edit.finalCalls, 1);
    EXPECT_EQ(edit.GetHWND(), nullptr);
}

TEST(WindowWnd, ShowCloseAndIcons) {
    DesktopInputLock desktop;  // shown, activated, maximised on the shared desktop
    RecordingWindow window;
    ASSERT_NE(window.Create(nullptr, L"w", WS_OVERLAPPEDWINDOW, 0, 100, 100, 300, 200), nullptr);
    struct Case {
        bool show, focus, third;
        bool visible, iconic, zoomed;
    } cases[] = {
        {true, true, false, true, false, false},  {false, true, false, false, false, false},
        {true, false, true, true, true, false},   {true, true, true, true, false, true},
        {true, false, false, true, false, false},
    };
    for (const Case& c : cases) {
        ::ShowWindow(window.GetHWND(), SW_RESTORE);
        window.ShowWindow(c.show, c.focus, c.third);
        SCOPED_TRACE(testing::Message() << c.show << c.focus << c.third);
        EXPECT_EQ(IsWindowVisible(window.GetHWND()) != FALSE, c.visible);
        EXPECT_EQ(IsIconic(window.GetHWND()) != FALSE, c.iconic);
        EXPECT_EQ(IsZoomed(window.GetHWND()) != FALSE, c.zoomed);
    }

    window.SetIcon(101);
    HICON big = reinterpret_cast<HICON>(SendMessageW(window.GetHWND(), WM_GETICON, ICON_BIG, 0));
    HICON small = reinterpret_cast<HICON>(SendMessageW(window.GetHWND(), WM_GETICON, ICON_SMALL, 0));
    ASSERT_NE(big, nullptr);
    ASSERT_NE(small, nullptr);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(small, &info));
    BITMAP bitmap = {};
    GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
    EXPECT_EQ(bitmap.bmWidth, GetSystemMetrics(SM_CXSMICON));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    window.Close(7);
    EXPECT_EQ(window.closeCode, -1);  // posted, not sent
    Pump();
    EXPECT_EQ(window.closeCode, 7);
}

TEST(WindowWnd, CenterWindowOnOwnerOrWorkAreaClampedToTheWorkArea) {
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int workWidth = work.right - work.left, workHeight = work.bottom - work.top;
    struct Case {
        RECT owner;  // empty: no owner
        bool minimised;
        int left, top;
    } cases[] = {
        {{0, 0, 0, 0}, false, work.left + workWidth / 2 - 100, work.top + workHeight / 2 - 50},
        {{300, 200, 500, 400}, false, 300, 250},
        // Centred left and above the work area: moved to its left and top.
        {{-150, -100, 50, 100}, false, work.left, work.top},
        // Centred past its right and bottom: moved back inside.
        {{work.right - 124, work.bottom - 68, work.right + 76, work.bottom + 132},
         false,
         work.right - 200,
         work.bottom - 100},
        // A minimised owner counts as none.
        {{300, 200, 500, 400}, true, work.left + workWidth / 2 - 100, work.top + workHeight / 2 - 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.owner.left << "," << c.owner.top << " minimised " << c.minimised);
        HWND owner = nullptr;
        if (c.owner.right != c.owner.left) {
            owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, c.owner.left, c.owner.top,
                                    c.owner.right - c.owner.left, c.owner.bottom - c.owner.top, nullptr, nullptr,
                                    nullptr, nullptr);
            ASSERT_NE(owner, nullptr);
            if (c.minimised) ::ShowWindow(owner, SW_SHOWMINNOACTIVE);
        }
        RecordingWindow window;
        ASSERT_NE(window.Create(owner, L"centred", WS_POPUP, 0, 5, 5, 200, 100), nullptr);
        window.CenterWindow();
        RECT placed = {};
        GetWindowRect(window.GetHWND(), &placed);
        EXPECT_EQ(placed.left, c.left);
        EXPECT_EQ(placed.top, c.top);
        EXPECT_EQ(placed.right - placed.left, 200);
        DestroyWindow(window.GetHWND());
        if (owner != nullptr) DestroyWindow(owner);
    }
}

TEST(WindowWnd, AnExceptionInAHandlerStopsAtTheWindowProcedure) {
    // Both procedures: a class of our own and a superclass.
    RecordingWindow plain;
    RecordingWindow edit(L"QuillTestThrowingEdit", L"Edit");
    for (RecordingWindow* window : {&plain, &edit}) {
        HWND hwnd = window->Create(nullptr, L"w", WS_POPUP, 0, 0, 0, 50, 50);
        ASSERT_NE(hwnd, nullptr);
        window->throwOn = WM_APP + 7;
        // The default answer, and the window goes on working.
        EXPECT_EQ(SendMessageW(hwnd, WM_APP + 7, 1, 2), 0);
        window->throwOn = WM_SETTEXT;
        SetWindowTextW(hwnd, L"lost");
        window->throwOn = 0;
        SetWindowTextW(hwnd, L"kept");
        wchar_t text[16] = {};
        GetWindowTextW(hwnd, text, 16);
        EXPECT_STREQ(text, L"kept");
        DestroyWindow(hwnd);
        EXPECT_EQ(window->finalCalls, 1);
    }
}

}  // namespace
