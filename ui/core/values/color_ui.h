// Markup colours are ARGB (0xAARRGGBB); GDI pens and text take COLORREF
// (0x00BBGGRR).
#pragma once
#include "common/win.h"

namespace QuillUI {

inline COLORREF ToColorRef(DWORD argb) {
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

inline BYTE AlphaOf(DWORD argb) { return static_cast<BYTE>(argb >> 24); }

}  // namespace QuillUI
