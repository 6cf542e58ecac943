// The combo box's popup as tests find it, and a pump for what opening and
// closing it queue.
#pragma once
#include "common/win.h"

#include <cwchar>

namespace combo_popup_detail {

inline BOOL CALLBACK FindProc(HWND window, LPARAM found) {
    wchar_t name[32] = L"";
    GetClassNameW(window, name, 32);
    if (wcscmp(name, L"ComboWnd") != 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

}  // namespace combo_popup_detail

// The combo popup of this thread, or null.
inline HWND FindPopup() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &combo_popup_detail::FindProc, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Handles what is queued, and the paints that follow, until nothing is left.
inline void PumpPending() {
    MSG msg;
    for (int i = 0; i < 1000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}
