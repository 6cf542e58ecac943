// What the UI benchmark programs share: a millisecond clock, the memory the
// process has committed, and a hidden window whose procedure hands every
// message to its manager.
#pragma once
#include "common/win.h"
#include "ui/core/control/control_ui.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/markup/dialog_builder.h"
#include "ui/core/render/dib_section_ui.h"

#include <psapi.h>

#include <cstdio>
#include <string>

inline double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

inline double CommittedBytes() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return static_cast<double>(counters.PagefileUsage);
}

inline LRESULT CALLBACK ManagerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* manager = reinterpret_cast<QuillUI::CWindowManagerUI*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    LRESULT result = 0;
    if (manager != nullptr && manager->MessageHandler(message, wParam, lParam, result)) return result;
    return DefWindowProcW(window, message, wParam, lParam);
}

// A hidden popup window at 0,0 bound to manager, which gets the default font
// the tests use. The caller destroys the window after unbinding it (user
// data 0), then deletes the manager.
inline HWND CreateBenchWindow(const wchar_t* className, int width, int height, QuillUI::CWindowManagerUI* manager) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    QuillUI::CWindowManagerUI::SetInstance(instance);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &ManagerWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = className;
    RegisterClassW(&wc);
    HWND window =
        CreateWindowExW(0, className, L"bench", WS_POPUP, 0, 0, width, height, nullptr, nullptr, instance, nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(manager));
    manager->Init(window, L"bench");
    manager->SetDefaultFont(L"Arial", 14, false, false, false);
    return window;
}

// A bench window and a DIB of its size to paint into; the tree built from
// markup is root.
struct BenchWindow {
    BenchWindow(const wchar_t* className, int width, int height) : width(width), height(height) {
        manager = new QuillUI::CWindowManagerUI();
        window = CreateBenchWindow(className, width, height, manager);
        bitmap = QuillUI::CreateDibSection32(nullptr, width, height, true, &bits);
        dc = CreateCompatibleDC(nullptr);
        old = SelectObject(dc, bitmap);
    }
    ~BenchWindow() {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete manager;
        DestroyWindow(window);
    }
    BenchWindow(const BenchWindow&) = delete;
    BenchWindow& operator=(const BenchWindow&) = delete;

    QuillUI::CControlUI* Build(const std::wstring& markup, QuillUI::CControlUI* parent = nullptr) {
        QuillUI::CDialogBuilder builder;
        return builder.Create(markup.c_str(), nullptr, nullptr, manager, parent);
    }
    // Builds root from markup and attaches it; false, with a line on
    // stderr, when it does not build. The parsed markup goes with the
    // builder before this returns.
    bool BuildRoot(const std::wstring& markup) {
        root = Build(markup);
        if (root != nullptr && manager->AttachDialog(root)) return true;
        std::fprintf(stderr, "the markup did not build\n");
        return false;
    }
    void LayOutAndPaint() {
        const RECT client = {0, 0, width, height};
        root->SetPos(client, false);
        root->Paint(dc, client, nullptr);
        GdiFlush();
    }

    int width;
    int height;
    HWND window = nullptr;
    QuillUI::CWindowManagerUI* manager = nullptr;
    QuillUI::CControlUI* root = nullptr;
    uint8_t* bits = nullptr;
    HBITMAP bitmap = nullptr;
    HDC dc = nullptr;
    HGDIOBJ old = nullptr;
};
