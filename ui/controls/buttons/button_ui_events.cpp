// The button's input: press and release, keys, hover and the fade timer.
#include "ui/controls/buttons/button_ui.h"

#include "ui/controls/buttons/control_state_ui.h"
#include "ui/core/manager/window_manager_ui.h"

namespace QuillUI {

void CButtonUI::StepFade() {
    const int alpha = fadeAlpha_;
    const int delta = fadeDelta_;
    if ((state_ & StateHot) == 0) {
        if (alpha >= 255 - delta) {
            fadeAlpha_ = 255;
            if (manager_ != nullptr) manager_->KillTimer(this, kFadeTimerId);
        } else {
            fadeAlpha_ = static_cast<BYTE>(alpha + delta);
        }
    } else {
        if (alpha <= delta) {
            fadeAlpha_ = 0;
            if (manager_ != nullptr) manager_->KillTimer(this, kFadeTimerId);
        } else {
            fadeAlpha_ = static_cast<BYTE>(alpha - delta);
        }
    }
    Invalidate();
}

void CButtonUI::DoEvent(ControlEventUI& event) {
    if (PassMouseEventOn(event)) return;
    const bool inside = ::PtInRect(&itemRect_, event.mousePoint) != FALSE;
    if (event.kind == EventSetFocus || event.kind == EventKillFocus) {
        Invalidate();
    } else if (event.kind == EventKeyDown) {
        if (IsKeyboardEnabled() && IsEnabled() && (event.key == L' ' || event.key == L'\r')) {
            Activate();
            return;
        }
    } else if (event.kind == EventButtonDown || event.kind == EventDblClick) {
        if (inside && IsEnabled()) {
            state_ |= StatePushed | StateCaptured;
            Invalidate();
        }
        return;
    } else if (event.kind == EventMouseMove) {
        if ((state_ & StateCaptured) != 0) {
            if (inside) {
                state_ |= StatePushed;
            } else {
                state_ &= ~static_cast<UINT>(StatePushed);
            }
            Invalidate();
        }
        return;
    } else if (event.kind == EventButtonUp) {
        if ((state_ & StateCaptured) != 0) {
            const bool activate = inside && IsEnabled();
            // The state is settled before "click": its handler may end the
            // window, and the button with it.
            state_ &= ~static_cast<UINT>(StatePushed | StateCaptured);
            Invalidate();
            if (activate) Activate();
        }
        return;
    } else if (event.kind == EventContextMenu) {
        if (IsContextMenuUsed() && IsEnabled() && manager_ != nullptr) {
            manager_->SendNotify(this, L"menu", event.wParam, event.lParam);
        }
        return;
    } else if (event.kind == EventMouseEnter) {
        if (inside && IsEnabled() && (state_ & StateHot) == 0) {
            state_ |= StateHot;
            Invalidate();
            if (fadeDelta_ != 0 && manager_ != nullptr) manager_->SetTimer(this, kFadeTimerId, kFadeElapse);
        }
    } else if (event.kind == EventMouseLeave) {
        if (inside) {
            if (manager_ != nullptr) manager_->AddMouseLeaveNeeded(this);
            return;
        }
        if (IsEnabled() && (state_ & StateHot) != 0) {
            state_ &= ~static_cast<UINT>(StateHot);
            Invalidate();
            if (manager_ != nullptr) manager_->RemoveMouseLeaveNeeded(this);
            if (fadeDelta_ != 0 && manager_ != nullptr) manager_->SetTimer(this, kFadeTimerId, kFadeElapse);
        }
    } else if (event.kind == EventSetCursor) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return;
    } else if (event.kind == EventTimer && event.wParam == kFadeTimerId) {
        StepFade();
        return;
    }
    CLabelUI::DoEvent(event);
}

}  // namespace QuillUI
