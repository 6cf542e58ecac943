#include "ui/controls/buttons/button_ui.h"

#include "ui/core/markup/attribute_value_ui.h"
#include "ui/controls/buttons/control_state_ui.h"
#include "ui/core/manager/window_manager_ui.h"

#include <shellapi.h>

#include <cwchar>

namespace QuillUI {

CButtonUI::CButtonUI() { textStyle_ = DT_SINGLELINE | DT_VCENTER | DT_CENTER; }

CButtonUI::~CButtonUI() = default;

const wchar_t* CButtonUI::GetClass() const { return L"Button"; }

void* CButtonUI::GetInterface(const wchar_t* name) {
    if (name != nullptr && wcscmp(name, L"Button") == 0) return this;
    return CLabelUI::GetInterface(name);
}

UINT CButtonUI::GetControlFlags() const {
    return (IsKeyboardEnabled() ? ControlFlagTabStop : 0) | (IsEnabled() ? ControlFlagSetCursor : 0);
}

bool CButtonUI::Activate() {
    if (!CControlUI::Activate()) return false;
    if (manager_ == nullptr) return true;
    if (url_.IsEmpty()) {
        manager_->SendNotify(this, L"click", 0, 0);
    } else {
        ::ShellExecuteW(nullptr, L"open", url_.GetData(), nullptr, nullptr, SW_SHOW);
    }
    return true;
}

void CButtonUI::SetEnabled(bool enabled) {
    CControlUI::SetEnabled(enabled);
    if (!IsEnabled()) state_ = 0;
}

CWideString CButtonUI::GetUrl() const { return url_; }

void CButtonUI::SetUrl(const wchar_t* url) { url_ = url; }

SIZE CButtonUI::EstimateSize(SIZE available) { return EstimateOneLineSize(available); }

void CButtonUI::SetNormalImage(const wchar_t* description) { ChangeImage(normalImage_, description); }
void CButtonUI::SetHotImage(const wchar_t* description) { ChangeImage(hotImage_, description); }
void CButtonUI::SetHotForeImage(const wchar_t* description) { ChangeImage(hotForeImage_, description); }
void CButtonUI::SetPushedImage(const wchar_t* description) { ChangeImage(pushedImage_, description); }
void CButtonUI::SetFocusedImage(const wchar_t* description) { ChangeImage(focusedImage_, description); }
void CButtonUI::SetDisabledImage(const wchar_t* description) { ChangeImage(disabledImage_, description); }
void CButtonUI::SetForeImage(const wchar_t* description) { ChangeImage(foreImage_, description); }

void CButtonUI::SetFiveStatusImage(const wchar_t* description) {
    CImageSlotUI* slices[5] = {&normalImage_, &pushedImage_, &hotImage_, &focusedImage_, &disabledImage_};
    for (int k = 0; k < 5; ++k) {
        CImageSlotUI& slot = *slices[k];
        // Read and loaded anew even when the description is the same.
        slot.Reset();
        slot.Change(description);
        ImageDrawInfoUI* info = slot.Get();
        if (info == nullptr) continue;
        DrawImage(nullptr, *info);
        if (info->image == nullptr) continue;
        const int w = info->image->width / 5;
        const int h = info->image->height;
        info->source = CRectUI(k * w, 0, (k + 1) * w, h);
        if (k == 0 && IsFloat() && fixedSize_.cx == 0 && fixedSize_.cy == 0) {
            fixedSize_.cx = w;
            fixedSize_.cy = h;
        }
    }
    Invalidate();
}

void CButtonUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr) return;
    if (value == nullptr) value = L"";
    if (wcscmp(name, L"normalimage") == 0) {
        SetNormalImage(value);
    } else if (wcscmp(name, L"hotimage") == 0) {
        SetHotImage(value);
    } else if (wcscmp(name, L"pushedimage") == 0) {
        SetPushedImage(value);
    } else if (wcscmp(name, L"focusedimage") == 0) {
        SetFocusedImage(value);
    } else if (wcscmp(name, L"disabledimage") == 0) {
        SetDisabledImage(value);
    } else if (wcscmp(name, L"foreimage") == 0) {
        SetForeImage(value);
    } else if (wcscmp(name, L"hotforeimage") == 0) {
        SetHotForeImage(value);
    } else if (wcscmp(name, L"fivestatusimage") == 0) {
        SetFiveStatusImage(value);
    } else if (wcscmp(name, L"fadedelta") == 0) {
        SetFadeDelta(static_cast<BYTE>(_wtoi(value)));
    } else if (_wcsicmp(name, L"url") == 0) {
        SetUrl(value);
    } else if (wcscmp(name, L"hotbkcolor") == 0) {
        SetHotBkColor(ReadColorValue(value));
    } else if (wcscmp(name, L"hottextcolor") == 0) {
        SetHotTextColor(ReadColorValue(value));
    } else if (wcscmp(name, L"pushedtextcolor") == 0) {
        SetPushedTextColor(ReadColorValue(value));
    } else if (wcscmp(name, L"focusedtextcolor") == 0) {
        SetFocusedTextColor(ReadColorValue(value));
    } else {
        CLabelUI::SetAttribute(name, value);
    }
}

}  // namespace QuillUI
