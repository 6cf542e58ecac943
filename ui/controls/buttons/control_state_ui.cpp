#include "ui/controls/buttons/control_state_ui.h"

#include "ui/core/control/control_ui.h"
#include "ui/core/manager/window_manager_ui.h"

namespace QuillUI {

void UpdateFocusAndDisabledBits(UINT& state, const CControlUI& control) {
    if (control.IsFocused()) {
        state |= StateFocused;
    } else {
        state &= ~static_cast<UINT>(StateFocused);
    }
    if (!control.IsEnabled()) {
        state |= StateDisabled;
    } else {
        state &= ~static_cast<UINT>(StateDisabled);
    }
}

bool TrackHotState(CControlUI& control, UINT& state, const ControlEventUI& event) {
    const bool inside = ::PtInRect(&control.GetPos(), event.mousePoint) != FALSE;
    CWindowManagerUI* manager = control.GetManager();
    if (event.kind == EventMouseEnter) {
        if (inside && control.IsEnabled() && (state & StateHot) == 0) {
            state |= StateHot;
            control.Invalidate();
        }
    } else if (event.kind == EventMouseLeave) {
        if (inside) {
            if (manager != nullptr) manager->AddMouseLeaveNeeded(&control);
            return true;
        }
        const bool wasHot = (state & StateHot) != 0;
        state &= ~static_cast<UINT>(StateHot);
        if (control.IsEnabled() && wasHot) control.Invalidate();
        if (manager != nullptr) manager->RemoveMouseLeaveNeeded(&control);
    }
    return false;
}

}  // namespace QuillUI
