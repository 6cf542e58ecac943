#include "ui/controls/values/date_time_wnd.h"

#include "ui/controls/values/date_time_ui.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/render/font_info_ui.h"

#include <commctrl.h>

namespace QuillUI {

namespace {

// The manager reflects its child windows' notifications to them at this offset.
const UINT kReflectedNotify = WM_NOTIFY + 0x2000;

}  // namespace

CDateTimeWnd::~CDateTimeWnd() = default;

CWindowManagerUI* CDateTimeWnd::Manager() const { return owner_ != nullptr ? owner_->GetManager() : nullptr; }

bool CDateTimeWnd::OpenFor(CDateTimeUI* owner) {
    owner_ = owner;
    owner->updateAction_ = CDateTimeUI::UpdateNone;
    CWindowManagerUI* manager = owner->GetManager();
    if (window_ == nullptr) {
        if (Create(manager->GetPaintWindow(), nullptr, WS_CHILD, 0, owner->ComputeWindowRect()) == nullptr) {
            // Refused after creation began, the window had its final
            // message, which deleted this object and cleared the owner's
            // pointer.
            if (owner->window_ == this) {
                owner->window_ = nullptr;
                delete this;
            }
            return false;
        }
        const FontInfoUI* font = manager->GetFontInfo(owner->GetFont());
        ::SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font->GetHandle()), TRUE);
    }
    if (owner->GetText().IsEmpty()) ::GetLocalTime(&owner->time_);
    ::SendMessageW(window_, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&owner->time_));
    ::ShowWindow(window_, SW_SHOWNOACTIVATE);
    ::SetFocus(window_);
    initialised_ = true;
    return true;
}

LRESULT CDateTimeWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        if (CWindowManagerUI* manager = Manager()) manager->AddNativeWindow(owner_, window_);
        break;
    case WM_KILLFOCUS:
        return HandleKillFocus(wParam, lParam);
    case WM_KEYUP:
        if (wParam == VK_DELETE || wParam == VK_BACK) return CloseWith(CDateTimeUI::UpdateClear, message, wParam, lParam);
        if (wParam == VK_ESCAPE) return CloseWith(CDateTimeUI::UpdateCancel, message, wParam, lParam);
        break;
    case WM_PAINT:
        if (CWindowManagerUI* manager = Manager()) {
            if (manager->IsLayered()) manager->AddNativeWindow(owner_, window_);
        }
        break;
    case WM_CLOSE:
        closing_ = true;
        break;
    case kReflectedNotify:
        if (reinterpret_cast<const NMHDR*>(lParam)->code == DTN_CLOSEUP) HandleCloseUp();
        break;
    default:
        break;
    }
    return CWindowWnd::HandleMessage(message, wParam, lParam);
}

HWND CDateTimeWnd::Calendar() const {
    return reinterpret_cast<HWND>(::SendMessageW(window_, DTM_GETMONTHCAL, 0, 0));
}

void CDateTimeWnd::TakeDate() {
    if (owner_->updateAction_ != CDateTimeUI::UpdateNone) return;
    ::SendMessageW(window_, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&owner_->time_));
    owner_->updateAction_ = CDateTimeUI::UpdateTakeDate;
    owner_->RefreshText();
}

LRESULT CDateTimeWnd::HandleKillFocus(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = ::DefWindowProcW(window_, WM_KILLFOCUS, wParam, lParam);
    HWND focus = reinterpret_cast<HWND>(wParam);
    // The drop-down calendar takes the keyboard while it is open: the
    // picking goes on.
    if (focus != nullptr && focus == Calendar()) return result;
    // An owner that lets go destroys the window itself.
    CWindowManagerUI* manager = Manager();
    if (manager == nullptr || ending_) return result;
    ending_ = true;
    TakeDate();
    HWND self = window_;
    const bool closing = closing_;
    HWND paintWindow = manager->GetPaintWindow();
    // The skinned window learns where the keyboard went; the window that
    // receives it must not hear that it lost it.
    if (focus != paintWindow) ::SendMessageW(paintWindow, WM_KILLFOCUS, wParam, lParam);
    // The close deletes this object: only locals from here on.
    if (!closing) ::SendMessageW(self, WM_CLOSE, 0, 0);
    return result;
}

void CDateTimeWnd::HandleCloseUp() {
    CWindowManagerUI* manager = Manager();
    if (manager == nullptr || manager->GetFocus() != owner_) return;
    // The calendar handed the keyboard to the skinned window, or is about
    // to: it comes back here, where the next focus loss ends the picking.
    HWND focus = ::GetFocus();
    if (focus == manager->GetPaintWindow() || (focus != nullptr && focus == Calendar())) ::SetFocus(window_);
}

void CDateTimeWnd::EndPicking() {
    if (Manager() == nullptr || ending_) return;
    ending_ = true;
    TakeDate();
    // The close deletes this object.
    if (!closing_) ::SendMessageW(window_, WM_CLOSE, 0, 0);
}

LRESULT CDateTimeWnd::CloseWith(int action, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = ::DefWindowProcW(window_, message, wParam, lParam);
    if (owner_ != nullptr) {
        owner_->updateAction_ = action;
        owner_->RefreshText();
    }
    ::PostMessageW(window_, WM_CLOSE, 0, 0);
    return result;
}

void CDateTimeWnd::OnFinalMessage(HWND window) {
    if (owner_ != nullptr) {
        if (CWindowManagerUI* manager = owner_->GetManager()) manager->RemoveNativeWindow(window);
        owner_->window_ = nullptr;
    }
    delete this;
}

}  // namespace QuillUI
