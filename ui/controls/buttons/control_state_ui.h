// The state word of the controls that react to input: buttons, options,
// check boxes and the controls built like them.
#pragma once

namespace QuillUI {

enum ControlStateUI : unsigned int {
    StateFocused = 0x01,
    StateSelected = 0x02,
    StateDisabled = 0x04,
    StateHot = 0x08,
    StatePushed = 0x10,
    StateReadOnly = 0x20,
    StateCaptured = 0x40,
};

}  // namespace QuillUI
