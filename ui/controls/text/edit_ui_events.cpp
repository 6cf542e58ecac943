// The edit's input: the focus opens the native window, clicks reach it, and
// hover changes the state image.
#include "ui/controls/text/edit_ui.h"

#include "ui/controls/buttons/control_state_ui.h"
#include "ui/controls/text/edit_wnd.h"
#include "ui/controls/text/native_child_window.h"
#include "ui/core/manager/window_manager_ui.h"

namespace QuillUI {

void CEditUI::DoEvent(ControlEventUI& event) {
    if (PassMouseEventOn(event)) return;
    if (HandleNativeHostEvent(*this, GetNativeWindow(), event)) return;
    switch (event.kind) {
    case EventSetFocus:
        if (IsEnabled()) {
            // Recorded like the label does: the state image and a click on
            // the focused edit read it.
            focused_ = true;
            if (window_ != nullptr) return;
            OpenNativeWindow();
            Invalidate();
            return;
        }
        break;
    case EventKillFocus:
        if (IsEnabled()) {
            focused_ = false;
            Invalidate();
            return;
        }
        break;
    case EventButtonDown:
    case EventDblClick:
    case EventRButtonDown:
        if (IsEnabled()) {
            if (manager_ != nullptr) manager_->ReleaseCapture();
            if (IsFocused() && window_ == nullptr) {
                OpenNativeWindow();
                Invalidate();
            } else if (window_ != nullptr && !autoSelAll_) {
                HWND hwnd = window_->GetHWND();
                const int x = event.mousePoint.x - itemRect_.left - textPadding_.left;
                const int y = event.mousePoint.y - itemRect_.top - textPadding_.top;
                ::SendMessageW(hwnd, EM_SETSEL, 0, 0);
                ::SendMessageW(hwnd, WM_LBUTTONDOWN, event.wParam, MAKELPARAM(x, y));
            }
            return;
        }
        break;
    case EventMouseMove:
    case EventButtonUp:
    case EventContextMenu:
        return;
    default:
        break;
    }
    if (TrackHotState(*this, state_, event)) return;
    CLabelUI::DoEvent(event);
}

}  // namespace QuillUI
