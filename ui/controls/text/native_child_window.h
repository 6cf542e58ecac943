// What the controls that open a native child window over themselves (the
// edit, the date-time) share: where the window goes (over the control, cut
// by the client areas of its ancestors, hidden when nothing of it shows),
// the events they answer alike, and how a control lets go of its window.
#pragma once
#include "common/win.h"

namespace QuillUI {

class CControlUI;
class CWindowManagerUI;
struct ControlEventUI;

// RECT cut by the client rectangle of every ancestor up to the root; empty
// when an ancestor is hidden or nothing is left.
RECT ClipToAncestorClients(const CControlUI& control, RECT rect);

// Hides the window for an empty rectangle, else shows it there without
// activating it or changing its Z order.
void PlaceNativeChild(HWND window, const RECT& rect);

// The I-beam cursor while enabled; with a window open, a change of the
// skinned window's size asks for the focus again after the next layout, and
// the wheel is left to the window. True when the event was one of these.
bool HandleNativeHostEvent(CControlUI& control, HWND window, const ControlEventUI& event);

// Drops the manager's focus, which closes the control's open native
// window; a window left holding the keyboard (the manager's focus was gone
// already) is closed as well. For a control that is hidden or disabled.
void GiveUpNativeWindow(CControlUI& control);

// Destroys the window of a control that is going away; a window that holds
// the keyboard hands it to the skinned window first rather than to nobody.
void DestroyNativeChild(CWindowManagerUI* manager, HWND window);

}  // namespace QuillUI
