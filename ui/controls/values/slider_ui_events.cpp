// The slider's input: press, drag and release, the wheel and hover.
#include "ui/controls/values/slider_ui.h"

#include "ui/controls/buttons/control_state_ui.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/values/clamp_ui.h"

namespace QuillUI {

void CSliderUI::StepBy(int64_t delta) {
    SetValue(ClampToInt(value_ + delta));
    if (manager_ != nullptr) manager_->SendNotify(this, L"valuechanged");
}

void CSliderUI::DoEvent(ControlEventUI& event) {
    if (PassMouseEventOn(event)) return;
    switch (event.kind) {
    case EventButtonDown:
    case EventDblClick:
        if (IsEnabled()) {
            state_ |= StateCaptured;
            const int value = ValueFromPoint(event.mousePoint);
            if (value != value_ && value >= min_ && value <= max_) {
                value_ = value;
                Invalidate();
            }
            return;
        }
        break;
    case EventButtonUp:
        if ((state_ & StateCaptured) != 0) {
            value_ = ValueFromPoint(event.mousePoint);
            // Settled before the notification, whose handler may end the
            // window and the slider with it.
            state_ &= ~static_cast<UINT>(StateCaptured);
            Invalidate();
            if (manager_ != nullptr) manager_->SendNotify(this, L"valuechanged");
            return;
        }
        break;
    case EventContextMenu:
        return;
    case EventScrollWheel:
        if (LOWORD(event.wParam) == SB_LINEUP) {
            StepBy(step_);
            return;
        }
        if (LOWORD(event.wParam) == SB_LINEDOWN) {
            StepBy(-int64_t(step_));
            return;
        }
        break;
    case EventMouseMove:
        if ((state_ & StateCaptured) != 0) {
            value_ = ValueFromPoint(event.mousePoint);
            Invalidate();
            if (immediate_ && manager_ != nullptr) manager_->SendNotify(this, L"valuechanged");
            return;
        }
        break;
    default:
        break;
    }
    if (event.kind == EventSetCursor) {
        const RECT thumb = GetThumbRect();
        if (IsEnabled() && ::PtInRect(&thumb, event.mousePoint)) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            return;
        }
    }
    if (TrackHotState(*this, state_, event)) return;
    CControlUI::DoEvent(event);
}

}  // namespace QuillUI
