#include "ui/controls/text/native_child_rect.h"

#include "ui/core/control/control_ui.h"

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

}  // namespace QuillUI
