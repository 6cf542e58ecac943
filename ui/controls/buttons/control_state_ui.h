// The state word of the controls that react to input: buttons, options,
// check boxes and the controls built like them.
#pragma once
#include "common/win.h"

namespace QuillUI {

class CControlUI;
struct ControlEventUI;

enum ControlStateUI : unsigned int {
    StateFocused = 0x01,
    StateSelected = 0x02,
    StateDisabled = 0x04,
    StateHot = 0x08,
    StatePushed = 0x10,
    StateReadOnly = 0x20,
    StateCaptured = 0x40,
};

// The focused and disabled bits from the control's own flags.
void UpdateFocusAndDisabledBits(UINT& state, const CControlUI& control);

// Hover of a control that keeps a state word: an enter inside the control
// while enabled makes it hot; a leave while the point is still inside asks
// the window for a later leave, and otherwise ends hot. True when the event
// has been dealt with and goes no further.
bool TrackHotState(CControlUI& control, UINT& state, const ControlEventUI& event);

}  // namespace QuillUI
