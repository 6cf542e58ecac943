// Where a control's native child window goes: over the control, cut by the
// client areas of the control's ancestors, and hidden when nothing of it
// shows (an ancestor is hidden, or the control is scrolled away).
#pragma once
#include "common/win.h"

namespace QuillUI {

class CControlUI;

// RECT cut by the client rectangle of every ancestor up to the root; empty
// when an ancestor is hidden or nothing is left.
RECT ClipToAncestorClients(const CControlUI& control, RECT rect);

// Hides the window for an empty rectangle, else shows it there without
// activating it or changing its Z order.
void PlaceNativeChild(HWND window, const RECT& rect);

}  // namespace QuillUI
