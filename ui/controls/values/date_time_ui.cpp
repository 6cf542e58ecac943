#include "ui/controls/values/date_time_ui.h"

#include "ui/controls/text/native_child_window.h"
#include "ui/controls/values/date_time_wnd.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/values/wide_string.h"

#include <cwchar>
#include <new>

namespace QuillUI {

CDateTimeUI::CDateTimeUI() {
    ::GetLocalTime(&time_);
    updateAction_ = UpdateTakeDate;
    RefreshText();
    updateAction_ = UpdateNone;
}

CDateTimeUI::~CDateTimeUI() {
    if (window_ == nullptr) return;
    HWND hwnd = window_->GetHWND();
    window_->ReleaseOwner();
    window_ = nullptr;
    DestroyNativeChild(manager_, hwnd);
}

const wchar_t* CDateTimeUI::GetClass() const { return L"DateTime"; }

void* CDateTimeUI::GetInterface(const wchar_t* name) {
    if (name != nullptr && wcscmp(name, L"DateTime") == 0) return this;
    return CLabelUI::GetInterface(name);
}

UINT CDateTimeUI::GetControlFlags() const { return ControlFlagTabStop; }

HWND CDateTimeUI::GetNativeWindow() const { return window_ != nullptr ? window_->GetHWND() : nullptr; }

void CDateTimeUI::RefreshText() {
    if (updateAction_ == UpdateClear) {
        SetText(L"");
    } else if (updateAction_ == UpdateTakeDate) {
        CWideString text;
        text.Format(L"%4d-%02d-%02d", time_.wYear, time_.wMonth, time_.wDay);
        SetText(text.GetData());
    }
}

RECT CDateTimeUI::ComputeWindowRect() const { return ClipToAncestorClients(*this, itemRect_); }

void CDateTimeUI::FollowWithNativeWindow() {
    if (window_ != nullptr) PlaceNativeChild(window_->GetHWND(), ComputeWindowRect());
}

void CDateTimeUI::SetPos(RECT rect, bool needInvalidate) {
    CLabelUI::SetPos(rect, needInvalidate);
    FollowWithNativeWindow();
}

void CDateTimeUI::Move(int dx, int dy, bool needInvalidate) {
    CLabelUI::Move(dx, dy, needInvalidate);
    FollowWithNativeWindow();
}

void CDateTimeUI::SetVisible(bool visible) {
    CLabelUI::SetVisible(visible);
    if (!IsVisible()) GiveUpNativeWindow(*this);
}

void CDateTimeUI::SetInternVisible(bool visible) {
    CLabelUI::SetInternVisible(visible);
    if (!IsVisible()) GiveUpNativeWindow(*this);
}

void CDateTimeUI::SetEnabled(bool enabled) {
    CLabelUI::SetEnabled(enabled);
    if (!IsEnabled()) GiveUpNativeWindow(*this);
}

void CDateTimeUI::OpenPicker() {
    if (manager_ == nullptr) return;
    if (window_ == nullptr) {
        window_ = new (std::nothrow) CDateTimeWnd();
        if (window_ == nullptr) return;
    }
    CDateTimeWnd* window = window_;
    if (window->OpenFor(this)) window->ShowWindow(true, true);
}

void CDateTimeUI::DoEvent(ControlEventUI& event) {
    if (PassMouseEventOn(event)) return;
    if (HandleNativeHostEvent(*this, GetNativeWindow(), event)) return;
    switch (event.kind) {
    case EventSetFocus:
        if (IsEnabled()) {
            // Recorded like the label does: a click on the focused control
            // reads it.
            focused_ = true;
            if (window_ == nullptr) OpenPicker();
            return;
        }
        break;
    case EventKillFocus:
        if (IsEnabled()) {
            focused_ = false;
            // A picker whose calendar took the keyboard hears of no focus
            // loss of its own.
            if (window_ != nullptr && ::GetFocus() != window_->GetHWND()) window_->EndPicking();
            Invalidate();
            return;
        }
        break;
    case EventButtonDown:
    case EventDblClick:
    case EventRButtonDown:
        if (IsEnabled()) {
            if (manager_ != nullptr) manager_->ReleaseCapture();
            if (window_ != nullptr || IsFocused()) OpenPicker();
            return;
        }
        break;
    case EventMouseMove:
    case EventButtonUp:
    case EventContextMenu:
        return;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

}  // namespace QuillUI
