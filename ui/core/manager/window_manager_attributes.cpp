// The attributes of the layout's "Window" element.
#include "ui/core/manager/window_manager_ui.h"

#include "ui/core/values/number_list_ui.h"

#include <cwchar>

namespace QuillUI {

namespace {

bool Is(const wchar_t* name, const wchar_t* expected) { return _wcsicmp(name, expected) == 0; }

DWORD ParseColor(const wchar_t* value) {
    while (*value == L' ' || *value == L'\t') ++value;
    if (*value == L'#') ++value;
    return static_cast<DWORD>(wcstoul(value, nullptr, 16));
}

int ClampByte(long value) { return value < 0 ? 0 : (value > 255 ? 255 : static_cast<int>(value)); }

}  // namespace

void CWindowManagerUI::SetWindowAttribute(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr) return;
    if (value == nullptr) value = L"";
    long n[4] = {0, 0, 0, 0};
    if (Is(name, L"size")) {
        ParseNumberList(value, n, 2);
        SetInitSize(static_cast<int>(n[0]), static_cast<int>(n[1]));
    } else if (Is(name, L"sizebox")) {
        ParseNumberList(value, n, 4);
        SetSizeBox(CRectUI(n[0], n[1], n[2], n[3]));
    } else if (Is(name, L"caption")) {
        ParseNumberList(value, n, 4);
        SetCaptionRect(CRectUI(n[0], n[1], n[2], n[3]));
    } else if (Is(name, L"roundcorner")) {
        ParseNumberList(value, n, 2);
        SetRoundCorner(static_cast<int>(n[0]), static_cast<int>(n[1]));
    } else if (Is(name, L"mininfo")) {
        ParseNumberList(value, n, 2);
        SetMinInfo(static_cast<int>(n[0]), static_cast<int>(n[1]));
    } else if (Is(name, L"maxinfo")) {
        ParseNumberList(value, n, 2);
        SetMaxInfo(static_cast<int>(n[0]), static_cast<int>(n[1]));
    } else if (Is(name, L"showdirty")) {
        SetShowUpdateRect(Is(value, L"true"));
    } else if (wcscmp(name, L"noactivate") == 0) {
        SetNoActivate(wcscmp(value, L"true") == 0);
    } else if (Is(name, L"opacity")) {
        SetOpacity(static_cast<BYTE>(ClampByte(wcstol(value, nullptr, 10))));
    } else if (wcscmp(name, L"layeredopacity") == 0) {
        SetLayeredOpacity(ClampByte(wcstol(value, nullptr, 10)));
    } else if (wcscmp(name, L"layeredimage") == 0) {
        SetLayered(true);
        SetLayeredImage(value);
    } else if (Is(name, L"disabledfontcolor")) {
        SetDefaultDisabledColor(ParseColor(value));
    } else if (Is(name, L"defaultfontcolor")) {
        SetDefaultFontColor(ParseColor(value));
    } else if (Is(name, L"linkfontcolor")) {
        SetDefaultLinkFontColor(ParseColor(value));
    } else if (Is(name, L"linkhoverfontcolor")) {
        SetDefaultLinkHoverFontColor(ParseColor(value));
    } else if (Is(name, L"selectedcolor")) {
        SetDefaultSelectedBkColor(ParseColor(value));
    } else {
        AddWindowCustomAttribute(name, value);
    }
}

}  // namespace QuillUI
