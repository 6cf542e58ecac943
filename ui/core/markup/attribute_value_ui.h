// How markup values are read: the attributes of controls, of the "Window"
// element and of the resource elements, and the keys of image
// descriptions. Lists of numbers are read by ParseNumberList
// (ui/core/values/number_list_ui.h).
#pragma once
#include "common/win.h"

#include <cwchar>

namespace QuillUI {

// Only the exact text "true" is true; null is false.
inline bool IsTrueValue(const wchar_t* value) { return value != nullptr && wcscmp(value, L"true") == 0; }

// "true" in any case: the booleans of the "Image", "Font" and "Default"
// elements and the window's "showdirty".
inline bool IsTrueValueAnyCase(const wchar_t* value) { return value != nullptr && _wcsicmp(value, L"true") == 0; }

// Blanks and control characters, one optional '#', then hexadecimal
// AARRGGBB; six digits give alpha 0. Null and unreadable text give 0.
inline DWORD ReadColorValue(const wchar_t* value) {
    if (value == nullptr) return 0;
    while (*value != L'\0' && *value <= L' ') ++value;
    if (*value == L'#') ++value;
    return static_cast<DWORD>(wcstoul(value, nullptr, 16));
}

// An alignment written as words ("left", "center", "right"; "top",
// "vcenter", "bottom"): each word found, in that order, overrides the ones
// before; the first clears both bits, the second and the third set their
// own bit and clear the other's. Returns the style with its bits so set.
inline DWORD ReadAlignValue(const wchar_t* value, DWORD style, const wchar_t* first, const wchar_t* second,
                            DWORD secondBit, const wchar_t* third, DWORD thirdBit) {
    if (value == nullptr) return style;
    if (wcsstr(value, first) != nullptr) style &= ~(secondBit | thirdBit);
    if (wcsstr(value, second) != nullptr) style = (style & ~thirdBit) | secondBit;
    if (wcsstr(value, third) != nullptr) style = (style & ~secondBit) | thirdBit;
    return style;
}

}  // namespace QuillUI
