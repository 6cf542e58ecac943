// An input event that the window manager hands to a control.
#pragma once
#include "common/win.h"

namespace QuillUI {

class CControlUI;

// Kinds 3-6 are keyboard events and 9-18 mouse events; controls test the
// ranges with the helpers below.
enum ControlEventKindUI : int {
    EventKeyDown = 3,
    EventKeyUp = 4,
    EventChar = 5,
    EventSysKey = 6,
    EventMouseMove = 9,
    EventMouseLeave = 10,
    EventMouseEnter = 11,
    EventMouseHover = 12,
    EventButtonDown = 13,
    EventButtonUp = 14,
    EventRButtonDown = 15,
    EventDblClick = 16,
    EventContextMenu = 17,
    EventScrollWheel = 18,
    EventKillFocus = 20,
    EventSetFocus = 21,
    EventWindowSize = 22,
    EventSetCursor = 23,
    EventTimer = 24,
};

inline bool IsKeyboardEventKind(int kind) { return kind > 2 && kind < 7; }
inline bool IsMouseEventKind(int kind) { return kind > 8 && kind < 19; }

// Key-state bits: read with GetKeyState when the event is made; button and
// context-menu events carry the message's own key flags instead.
enum ControlEventKeyStateUI : unsigned short {
    KeyStateLeftButton = 1,
    KeyStateRightButton = 2,
    KeyStateShift = 4,
    KeyStateControl = 8,
    KeyStateAlt = 32,
};

struct ControlEventUI {
    int kind = 0;                  // a ControlEventKindUI value
    CControlUI* sender = nullptr;
    DWORD timestamp = 0;           // GetTickCount
    POINT mousePoint = {0, 0};     // client coordinates
    wchar_t key = 0;               // character or virtual key
    WORD keyState = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

}  // namespace QuillUI
