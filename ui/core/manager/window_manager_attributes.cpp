// The attributes of the layout's "Window" element.
#include "ui/core/manager/window_manager_ui.h"

#include "ui/core/markup/attribute_value_ui.h"
#include "ui/core/values/clamp_ui.h"
#include "ui/core/values/number_list_ui.h"

#include <cwchar>

namespace QuillUI {

namespace {

bool Is(const wchar_t* name, const wchar_t* expected) { return _wcsicmp(name, expected) == 0; }

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
        SetShowUpdateRect(IsTrueValueAnyCase(value));
    } else if (wcscmp(name, L"noactivate") == 0) {
        SetNoActivate(IsTrueValue(value));
    } else if (Is(name, L"opacity")) {
        SetOpacity(static_cast<BYTE>(Clamp(wcstol(value, nullptr, 10), 0, 255)));
    } else if (wcscmp(name, L"layeredopacity") == 0) {
        SetLayeredOpacity(Clamp(wcstol(value, nullptr, 10), 0, 255));
    } else if (wcscmp(name, L"layeredimage") == 0) {
        SetLayered(true);
        SetLayeredImage(value);
    } else if (Is(name, L"disabledfontcolor")) {
        SetDefaultDisabledColor(ReadColorValue(value));
    } else if (Is(name, L"defaultfontcolor")) {
        SetDefaultFontColor(ReadColorValue(value));
    } else if (Is(name, L"linkfontcolor")) {
        SetDefaultLinkFontColor(ReadColorValue(value));
    } else if (Is(name, L"linkhoverfontcolor")) {
        SetDefaultLinkHoverFontColor(ReadColorValue(value));
    } else if (Is(name, L"selectedcolor")) {
        SetDefaultSelectedBkColor(ReadColorValue(value));
    } else {
        AddWindowCustomAttribute(name, value);
    }
}

}  // namespace QuillUI
