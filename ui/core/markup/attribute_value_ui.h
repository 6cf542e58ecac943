// How the controls read markup values.
#pragma once
#include "common/win.h"

#include <cwchar>

namespace QuillUI {

// Only the exact text "true" is true.
inline bool IsTrueValue(const wchar_t* value) { return value != nullptr && wcscmp(value, L"true") == 0; }

// An optional '#', then hexadecimal AARRGGBB.
inline DWORD ReadColorValue(const wchar_t* value) {
    if (value == nullptr) return 0;
    if (*value == L'#') ++value;
    return static_cast<DWORD>(wcstoul(value, nullptr, 16));
}

}  // namespace QuillUI
