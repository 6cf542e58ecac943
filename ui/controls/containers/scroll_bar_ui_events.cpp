#include "ui/controls/containers/container_ui.h"
#include "ui/controls/containers/scroll_bar_ui.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/values/clamp_ui.h"

#include <cstdint>

namespace QuillUI {

void CScrollBarUI::StepLine(int direction) {
    if (owner_ == nullptr) {
        SetScrollPos(ClampToInt(int64_t(position_) + int64_t(direction) * GetLineSize()), true);
    } else if (horizontal_) {
        if (direction < 0)
            owner_->LineLeft();
        else
            owner_->LineRight();
    } else if (direction < 0) {
        owner_->LineUp();
    } else {
        owner_->LineDown();
    }
}

void CScrollBarUI::StepPageToward(POINT point) {
    const int at = horizontal_ ? point.x : point.y;
    const int thumbStart = horizontal_ ? thumb_.left : thumb_.top;
    const int thumbEnd = horizontal_ ? thumb_.right : thumb_.bottom;
    const int page = horizontal_ ? itemRect_.right - itemRect_.left : itemRect_.bottom - itemRect_.top;
    if (at < thumbStart) {
        if (owner_ == nullptr)
            SetScrollPos(ClampToInt(int64_t(position_) - page), true);
        else if (horizontal_)
            owner_->PageLeft();
        else
            owner_->PageUp();
    } else if (at > thumbEnd) {
        if (owner_ == nullptr)
            SetScrollPos(ClampToInt(int64_t(position_) + page), true);
        else if (horizontal_)
            owner_->PageRight();
        else
            owner_->PageDown();
    }
}

void CScrollBarUI::DoEvent(ControlEventUI& event) {
    const int kind = event.kind;
    if (!mouseEnabled_ && IsMouseEventKind(kind)) {
        if (owner_ != nullptr)
            owner_->DoEvent(event);
        else
            CControlUI::DoEvent(event);
        return;
    }
    const POINT pt = event.mousePoint;
    switch (kind) {
    case EventSetFocus:
    case EventKillFocus:
    case EventContextMenu:
        return;
    case EventButtonDown:
    case EventDblClick:
        if (!IsEnabled()) return;
        lastOffset_ = 0;
        repeatCount_ = 0;
        if (manager_ != nullptr) manager_->SetTimer(this, kRepeatTimerId, kRepeatElapse);
        if (PtInRect(&button1_, pt)) {
            button1State_ |= PartPushed;
            StepLine(-1);
        } else if (PtInRect(&button2_, pt)) {
            button2State_ |= PartPushed;
            StepLine(1);
        } else if (PtInRect(&thumb_, pt)) {
            thumbState_ |= PartPushed | PartCaptured;
            lastMouse_ = pt;
            lastPosition_ = position_;
        } else {
            StepPageToward(pt);
        }
        // The pushed look shows even when the step moved nothing.
        Invalidate();
        return;
    case EventButtonUp:
        repeatCount_ = 0;
        lastOffset_ = 0;
        if (manager_ != nullptr) manager_->KillTimer(this, kRepeatTimerId);
        if (thumbState_ & PartCaptured) {
            thumbState_ &= ~(PartCaptured | PartPushed);
            Invalidate();
        } else if (button1State_ & PartPushed) {
            button1State_ &= ~PartPushed;
            Invalidate();
        } else if (button2State_ & PartPushed) {
            button2State_ &= ~PartPushed;
            Invalidate();
        }
        return;
    case EventMouseMove:
        if (thumbState_ & PartCaptured) {
            const int s = GetThickness();
            int length = horizontal_ ? (itemRect_.right - itemRect_.left) - (thumb_.right - thumb_.left)
                                     : (itemRect_.bottom - itemRect_.top) - (thumb_.bottom - thumb_.top);
            if (showButton1_) length -= s;
            if (showButton2_) length -= s;
            if (length != 0) {
                const int64_t moved = horizontal_ ? pt.x - lastMouse_.x : pt.y - lastMouse_.y;
                // Beyond one whole range the position is clamped anyway.
                int64_t offset = moved * range_ / length;
                if (offset > range_) offset = range_;
                if (offset < -int64_t(range_)) offset = -int64_t(range_);
                lastOffset_ = static_cast<int>(offset);
            }
        } else if (thumbState_ & PartHot) {
            if (!PtInRect(&thumb_, pt)) {
                thumbState_ &= ~PartHot;
                Invalidate();
            }
        } else if (IsEnabled() && PtInRect(&thumb_, pt)) {
            thumbState_ |= PartHot;
            Invalidate();
        }
        return;
    case EventTimer:
        if (event.wParam != kRepeatTimerId) break;
        ++repeatCount_;
        if (thumbState_ & PartCaptured) {
            const int wanted = ClampToInt(int64_t(lastPosition_) + lastOffset_);
            if (owner_ != nullptr) {
                SIZE pos = owner_->GetScrollPos();
                if (horizontal_)
                    pos.cx = wanted;
                else
                    pos.cy = wanted;
                owner_->SetScrollPos(pos);
            } else {
                SetScrollPos(wanted, true);
            }
            Invalidate();
        } else if (button1State_ & PartPushed) {
            if (repeatCount_ > kRepeatDelayTicks) StepLine(-1);
        } else if (button2State_ & PartPushed) {
            if (repeatCount_ > kRepeatDelayTicks) StepLine(1);
        } else if (repeatCount_ > kRepeatDelayTicks && manager_ != nullptr) {
            POINT cursor = {0, 0};
            GetCursorPos(&cursor);
            ScreenToClient(manager_->GetPaintWindow(), &cursor);
            StepPageToward(cursor);
        }
        return;
    case EventMouseEnter:
        if (PtInRect(&itemRect_, pt) && IsEnabled()) {
            button1State_ |= PartHot;
            button2State_ |= PartHot;
            if (PtInRect(&thumb_, pt)) thumbState_ |= PartHot;
            Invalidate();
        }
        break;
    case EventMouseLeave:
        // Still over the bar (a leave from a child area of the window): keep
        // the highlight and ask for the next leave.
        if (PtInRect(&itemRect_, pt)) {
            if (manager_ != nullptr) manager_->AddMouseLeaveNeeded(this);
            return;
        }
        if (IsEnabled()) {
            button1State_ &= ~PartHot;
            button2State_ &= ~PartHot;
            thumbState_ &= ~PartHot;
            Invalidate();
        }
        if (manager_ != nullptr) manager_->RemoveMouseLeaveNeeded(this);
        break;
    default:
        break;
    }
    if (owner_ != nullptr)
        owner_->DoEvent(event);
    else
        CControlUI::DoEvent(event);
}

}  // namespace QuillUI
