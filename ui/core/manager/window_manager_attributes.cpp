// The attributes of the layout's "Window" element.
#include "ui/core/manager/window_manager_ui.h"

#include "common/common_log.h"
#include "ui/core/markup/attribute_value_ui.h"
#include "ui/core/values/clamp_ui.h"
#include "ui/core/values/number_list_ui.h"

#include <cwchar>
#include <string>

namespace QuillUI {

namespace {

bool Is(const wchar_t* name, const wchar_t* expected) { return _wcsicmp(name, expected) == 0; }

// A window length from markup, in 0..bound: a skin is edited by hand, and a
// window or caption larger than any screen only costs memory and time.
long Bounded(const char* name, long value, int bound) {
    const int bounded = Clamp(value, 0, bound);
    if (bounded != value) {
        CommonLog(std::string("Window attribute \"") + name + "\": " + std::to_string(value) + " is outside 0.." +
                  std::to_string(bound) + ", " + std::to_string(bounded) + " used");
    }
    return bounded;
}

// Widths at even places, heights at odd ones.
void BoundLengths(const char* name, long* values, int count) {
    const SIZE bound = CWindowManagerUI::GetScreenBound();
    for (int i = 0; i < count; ++i) values[i] = Bounded(name, values[i], i % 2 == 0 ? bound.cx : bound.cy);
}

}  // namespace

void CWindowManagerUI::SetWindowAttribute(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr) return;
    if (value == nullptr) value = L"";
    long n[4] = {0, 0, 0, 0};
    if (Is(name, L"size")) {
        ParseNumberList(value, n, 2);
        BoundLengths("size", n, 2);
        SetInitSize(static_cast<int>(n[0]), static_cast<int>(n[1]));
    } else if (Is(name, L"sizebox")) {
        ParseNumberList(value, n, 4);
        SetSizeBox(CRectUI(n[0], n[1], n[2], n[3]));
    } else if (Is(name, L"caption")) {
        ParseNumberList(value, n, 4);
        BoundLengths("caption", n, 4);
        SetCaptionRect(CRectUI(n[0], n[1], n[2], n[3]));
    } else if (Is(name, L"roundcorner")) {
        ParseNumberList(value, n, 2);
        SetRoundCorner(static_cast<int>(n[0]), static_cast<int>(n[1]));
    } else if (Is(name, L"mininfo")) {
        ParseNumberList(value, n, 2);
        BoundLengths("mininfo", n, 2);
        SetMinInfo(static_cast<int>(n[0]), static_cast<int>(n[1]));
    } else if (Is(name, L"maxinfo")) {
        ParseNumberList(value, n, 2);
        BoundLengths("maxinfo", n, 2);
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
