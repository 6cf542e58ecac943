#pragma once
#include "common/win.h"
#include "ui/core/manager/window_manager_ui.h"

// A plain popup window for a manager to draw on; destroyed with the object.
class PlainWindow {
public:
    explicit PlainWindow(int width = 200, int height = 100) {
        QuillUI::CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
        hwnd_ = CreateWindowExW(0, L"STATIC", L"plain", WS_POPUP, 10, 10, width, height, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    }
    ~PlainWindow() { DestroyWindow(hwnd_); }
    PlainWindow(const PlainWindow&) = delete;
    PlainWindow& operator=(const PlainWindow&) = delete;
    HWND Get() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};
