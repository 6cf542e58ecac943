#include "ui/controls/text/native_child_window.h"

#include "ui/core/control/control_ui.h"
#include "ui/core/manager/window_manager_ui.h"

namespace QuillUI {

RECT ClipToAncestorClients(const CControlUI& control, RECT rect) {
    const RECT empty = {0, 0, 0, 0};
    for (CControlUI* parent = control.GetParent(); parent != nullptr; parent = parent->GetParent()) {
        if (!parent->IsVisible()) return empty;
        const RECT client = parent->GetClientPos();
        if (!::IntersectRect(&rect, &rect, &client)) return empty;
    }
    return rect;
}

void PlaceNativeChild(HWND window, const RECT& rect) {
    if (::IsRectEmpty(&rect)) {
        ::ShowWindow(window, SW_HIDE);
        return;
    }
    ::SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

bool HandleNativeHostEvent(CControlUI& control, HWND window, const ControlEventUI& event) {
    switch (event.kind) {
    case EventSetCursor:
        if (!control.IsEnabled()) return false;
        ::SetCursor(::LoadCursorW(nullptr, IDC_IBEAM));
        return true;
    case EventWindowSize:
        if (window == nullptr) return false;
        if (CWindowManagerUI* manager = control.GetManager()) manager->SetFocusNeeded(&control);
        return true;
    case EventScrollWheel:
        return window != nullptr;
    default:
        return false;
    }
}

void GiveUpNativeWindow(CControlUI& control) {
    CWindowManagerUI* manager = control.GetManager();
    if (manager == nullptr || control.GetNativeWindow() == nullptr) return;
    manager->SetFocus(nullptr);
    // The window closes itself when it loses the keyboard, and the control
    // then holds none.
    HWND window = control.GetNativeWindow();
    if (window == nullptr) return;
    if (::GetFocus() == window) ::SetFocus(manager->GetPaintWindow());
    if (control.GetNativeWindow() != nullptr) ::SendMessageW(window, WM_CLOSE, 0, 0);
}

void DestroyNativeChild(CWindowManagerUI* manager, HWND window) {
    if (manager != nullptr && ::GetFocus() == window) ::SetFocus(manager->GetPaintWindow());
    if (::IsWindow(window)) ::DestroyWindow(window);
}

}  // namespace QuillUI
