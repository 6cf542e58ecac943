// Keyboard focus among the controls, Tab navigation and shortcuts.
#include "ui/core/control/control_ui.h"
#include "ui/core/manager/window_manager_ui.h"

#include <cwchar>
#include <cwctype>

namespace QuillUI {

namespace {

const UINT kTabWalkFlags = FindVisible | FindEnabled | FindMeFirst;

struct TabWalk {
    CControlUI* focus;
    CControlUI* last;
    bool forward;
    bool nextIsIt;
};

CControlUI* TabProc(CControlUI* control, void* data) {
    TabWalk* walk = static_cast<TabWalk*>(data);
    if (control == walk->focus) {
        if (walk->forward) {
            walk->nextIsIt = true;
            return nullptr;
        }
        return walk->last;
    }
    if ((control->GetControlFlags() & ControlFlagTabStop) == 0) return nullptr;
    walk->last = control;
    return walk->focus == nullptr || walk->nextIsIt ? control : nullptr;
}

}  // namespace

void CWindowManagerUI::SetFocus(CControlUI* control, bool takeWindowFocus) {
    if (takeWindowFocus && paintWindow_ != nullptr && ::GetFocus() != paintWindow_ && control != focus_ &&
        !noActivate_) {
        ::SetFocus(paintWindow_);
    }
    if (control == focus_) return;
    LifeWatch watch(*this);
    if (focus_ != nullptr) {
        CControlUI* old = focus_;
        if (!RaiseEvent(old, EventKillFocus, 0, 0, 0, -1, control)) return;
        SendNotify(old, L"killfocus");
        if (watch.IsGone()) return;
        focus_ = nullptr;
    }
    if (control == nullptr || !IsOwn(control) || !control->IsVisible() || !control->IsEnabled()) return;
    focus_ = control;
    // A focus given before the first paint's tab step wins over that step.
    focusNeeded_ = false;
    if (!RaiseEvent(control, EventSetFocus)) return;
    SendNotify(control, L"setfocus");
}

void CWindowManagerUI::SetFocusNeeded(CControlUI* control) {
    if (!noActivate_ && paintWindow_ != nullptr) ::SetFocus(paintWindow_);
    LifeWatch watch(*this);
    if (focus_ != nullptr) SetFocus(nullptr, false);
    if (watch.IsGone()) return;
    // The tab stop before the control, so that the next paint's forward
    // step lands on it.
    TabWalk walk = {control, nullptr, false, false};
    focus_ = root_ != nullptr && control != nullptr ? root_->FindControl(TabProc, &walk, kTabWalkFlags) : nullptr;
    focusNeeded_ = true;
    if (root_ != nullptr) root_->NeedUpdate();
}

bool CWindowManagerUI::SetNextTabControl(bool forward) {
    if (updateNeeded_ && forward) {
        focusNeeded_ = true;
        Invalidate();
        return true;
    }
    if (root_ == nullptr) return false;
    TabWalk walk = {focus_, nullptr, forward, false};
    CControlUI* next = root_->FindControl(TabProc, &walk, kTabWalkFlags);
    if (next == nullptr) {
        if (forward) {
            TabWalk first = {nullptr, nullptr, true, false};
            next = root_->FindControl(TabProc, &first, kTabWalkFlags);
        } else {
            next = walk.last;
        }
    }
    LifeWatch watch(*this);
    SetFocus(next, true);
    if (!watch.IsGone()) focusNeeded_ = false;
    return true;
}

}  // namespace QuillUI
