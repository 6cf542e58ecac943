// Drawing and layered-window functions looked up by name once per process:
// AlphaBlend and GradientFill in msimg32.dll, SetLayeredWindowAttributes and
// UpdateLayeredWindow in User32.dll. A missing one is null, and its callers
// fall back to their own code.
#pragma once
#include "common/win.h"

namespace QuillUI {

typedef BOOL(WINAPI* AlphaBlendFunction)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
typedef BOOL(WINAPI* GradientFillFunction)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
typedef BOOL(WINAPI* SetLayeredWindowAttributesFunction)(HWND, COLORREF, BYTE, DWORD);
typedef BOOL(WINAPI* UpdateLayeredWindowFunction)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*,
                                                  DWORD);

struct PlatformFunctionsUI {
    AlphaBlendFunction alphaBlend = nullptr;
    GradientFillFunction gradientFill = nullptr;
    SetLayeredWindowAttributesFunction setLayeredWindowAttributes = nullptr;
    UpdateLayeredWindowFunction updateLayeredWindow = nullptr;
};

const PlatformFunctionsUI& GetPlatformFunctions();

// For tests: the functions handed out until the override is lifted with
// null; null members force the fallbacks.
void OverridePlatformFunctions(const PlatformFunctionsUI* functions);

}  // namespace QuillUI
