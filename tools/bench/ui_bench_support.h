// What the UI benchmark programs share: a millisecond clock, the memory the
// process has committed, and a hidden window whose procedure hands every
// message to its manager.
#pragma once
#include "common/win.h"
#include "ui/core/manager/window_manager_ui.h"

#include <psapi.h>

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
