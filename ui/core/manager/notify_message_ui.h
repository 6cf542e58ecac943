// A notification that a control sends to its window's listeners.
#pragma once
#include "common/win.h"
#include "ui/core/values/wide_string.h"

namespace QuillUI {

class CControlUI;

struct NotifyMessageUI {
    CWideString type;              // "click", "selectchanged", ...
    CWideString virtualWnd;        // the sender's virtual window, when the window uses them
    CControlUI* sender = nullptr;  // null once the sender was destroyed
    DWORD timestamp = 0;
    POINT mousePoint = {0, 0};
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

}  // namespace QuillUI
