// Mouse and keyboard input: hover and leave tracking, buttons and capture,
// the wheel, the cursor, tooltips, keyboard pre-translation and the
// program's message loop.
#include "ui/core/control/control_ui.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/values/listed_walk.h"

#include <commctrl.h>
#include <windowsx.h>

#include <climits>
#include <cwchar>
#include <cwctype>

namespace QuillUI {

namespace {

struct ShortcutWalk {
    wchar_t character;
    bool pickNext;
};

// A label passes its shortcut on to the control after it.
CControlUI* ShortcutProc(CControlUI* control, void* data) {
    ShortcutWalk* walk = static_cast<ShortcutWalk*>(data);
    if (!control->IsVisible()) return nullptr;
    if (static_cast<wchar_t>(::towupper(control->GetShortcut())) == walk->character) walk->pickNext = true;
    const wchar_t* className = control->GetClass();
    if (className != nullptr && ::wcsstr(className, L"Label") != nullptr) return nullptr;
    return walk->pickNext ? control : nullptr;
}

POINT PointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

}  // namespace

void CWindowManagerUI::SetCapture() {
    ::SetCapture(paintWindow_);
    mouseCaptured_ = true;
}

void CWindowManagerUI::ReleaseCapture() {
    // Cleared first: the release sends WM_CAPTURECHANGED at once, and that
    // is not a capture lost to another window.
    mouseCaptured_ = false;
    ::ReleaseCapture();
}

void CWindowManagerUI::OnCaptureChanged(HWND newCapture) {
    // Another window took the mouse (a menu, a modal box, a drag elsewhere)
    // and the button-up will not come here: the press ends now, at a point
    // outside every control so that nothing clicks, or the window would
    // stay captured and hover tracking stop.
    if (!mouseCaptured_ || newCapture == paintWindow_) return;
    mouseCaptured_ = false;
    CControlUI* click = click_;
    click_ = nullptr;
    if (click == nullptr) return;
    ControlEventUI event = MakeEvent(EventButtonUp, click, 0, 0, 0, -1);
    event.mousePoint = POINT{LONG_MIN, LONG_MIN};
    click->Event(event);
}

void CWindowManagerUI::OnMouseMove(LPARAM lParam) {
    if (root_ == nullptr) return;
    if (!mouseTracking_) {
        TRACKMOUSEEVENT track = {};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_HOVER | TME_LEAVE;
        track.hwndTrack = paintWindow_;
        track.dwHoverTime = tooltipWindow_ != nullptr
                                ? static_cast<DWORD>(::SendMessageW(tooltipWindow_, TTM_GETDELAYTIME, TTDT_INITIAL, 0))
                                : static_cast<DWORD>(hoverTime_);
        ::_TrackMouseEvent(&track);
        mouseTracking_ = true;
    }
    lastMousePos_ = PointOf(lParam);
    CControlUI* under = FindControlAt(lastMousePos_);
    if (under != nullptr && !IsOwn(under)) return;
    if (!mouseCaptured_) {
        if (under != hover_ && hover_ != nullptr) {
            const bool alive = ForEachStillListed(mouseLeaveNeeded_, [&](void* control) {
                return RaiseEvent(static_cast<CControlUI*>(control), EventMouseLeave);
            });
            if (!alive) return;
            if (!RaiseEvent(hover_, EventMouseLeave)) return;
            hover_ = nullptr;
            HideToolTip();
        }
        if (under != hover_ && under != nullptr) {
            hover_ = under;
            if (!RaiseEvent(hover_, EventMouseEnter)) return;
        }
    }
    RaiseEvent(click_ != nullptr ? click_ : under, EventMouseMove);
}

bool CWindowManagerUI::OnMouseHover(LPARAM lParam) {
    mouseTracking_ = false;
    const POINT point = PointOf(lParam);
    CControlUI* under = FindControlAt(point);
    if (under == nullptr) return false;
    if (!RaiseEvent(hover_, EventMouseHover)) return true;
    // The hover handler may have changed the tree.
    under = FindControlAt(point);
    if (under != nullptr && IsOwn(under) && !under->GetToolTip().IsEmpty()) ShowToolTip(under);
    return true;
}

void CWindowManagerUI::OnMouseLeave() {
    HideToolTip();
    if (mouseTracking_) {
        LPARAM position = static_cast<LPARAM>(-1);
        if (!::IsIconic(paintWindow_) && ::GetActiveWindow() == paintWindow_) {
            POINT cursor = {};
            RECT window = {};
            ::GetCursorPos(&cursor);
            ::GetWindowRect(paintWindow_, &window);
            if (::PtInRect(&window, cursor) &&
                ::SendMessageW(paintWindow_, WM_NCHITTEST, 0, MAKELPARAM(cursor.x, cursor.y)) == HTCLIENT) {
                ::ScreenToClient(paintWindow_, &cursor);
                position = MAKELPARAM(cursor.x, cursor.y);
            }
        }
        LifeWatch watch(*this);
        ::SendMessageW(paintWindow_, WM_MOUSEMOVE, 0, position);
        if (watch.IsGone()) return;
    }
    mouseTracking_ = false;
}

void CWindowManagerUI::OnButtonDown(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!noActivate_) ::SetFocus(paintWindow_);
    lastMousePos_ = PointOf(lParam);
    CControlUI* under = FindControlAt(lastMousePos_);
    if (under == nullptr || !IsOwn(under)) return;
    const int keyState = static_cast<int>(LOWORD(wParam));
    // The click control is stored before each call that may destroy it, so
    // that reaping clears it and nothing below reaches a dead control.
    click_ = under;
    LifeWatch watch(*this);
    switch (message) {
        case WM_LBUTTONDOWN:
            under->SetFocus();
            if (watch.IsGone()) return;
            SetCapture();
            RaiseEvent(click_, EventButtonDown, wParam, lParam, 0, keyState);
            break;
        case WM_LBUTTONDBLCLK:
            SetCapture();
            RaiseEvent(click_, EventDblClick, wParam, lParam, 0, keyState);
            break;
        default:
            under->SetFocus();
            if (watch.IsGone()) return;
            RaiseEvent(click_, EventRButtonDown, wParam, lParam, 0, keyState);
            break;
    }
}

void CWindowManagerUI::OnButtonUp(WPARAM wParam, LPARAM lParam) {
    lastMousePos_ = PointOf(lParam);
    if (click_ == nullptr) return;
    ReleaseCapture();
    // Cleared before the event: its handler may close the window.
    CControlUI* click = click_;
    click_ = nullptr;
    RaiseEvent(click, EventButtonUp, wParam, lParam, 0, static_cast<int>(LOWORD(wParam)));
}

void CWindowManagerUI::OnContextMenu(WPARAM wParam, LPARAM lParam) {
    if (root_ == nullptr || mouseCaptured_) return;
    POINT point = PointOf(lParam);
    ::ScreenToClient(paintWindow_, &point);
    lastMousePos_ = point;
    if (click_ == nullptr) return;
    CControlUI* click = click_;
    click_ = nullptr;
    RaiseEvent(click, EventContextMenu, wParam, reinterpret_cast<LPARAM>(click), 0, static_cast<int>(LOWORD(wParam)));
}

void CWindowManagerUI::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
    POINT point = PointOf(lParam);
    ::ScreenToClient(paintWindow_, &point);
    lastMousePos_ = point;
    CControlUI* under = FindControlAt(point);
    if (under != nullptr && IsOwn(under)) {
        const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
        if (!RaiseEvent(under, EventScrollWheel, delta < 0 ? 1 : 0, lParam)) return;
    }
    // Refreshes the hover state after a scroll moved the controls.
    ::SendMessageW(paintWindow_, WM_MOUSEMOVE, 0, MAKELPARAM(lastMousePos_.x, lastMousePos_.y));
}

bool CWindowManagerUI::OnSetCursor(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(lParam) != HTCLIENT || root_ == nullptr) return false;
    if (mouseCaptured_) return true;
    POINT point = {};
    ::GetCursorPos(&point);
    ::ScreenToClient(paintWindow_, &point);
    CControlUI* under = FindControlAt(point);
    if (under == nullptr || !IsOwn(under) || (under->GetControlFlags() & ControlFlagSetCursor) == 0) return false;
    ControlEventUI event = MakeEvent(EventSetCursor, under, wParam, lParam, 0, -1);
    event.mousePoint = point;
    under->Event(event);
    return true;
}

void CWindowManagerUI::OnKillFocus(HWND newFocus) {
    // The paint window's direct child that now holds the keyboard focus.
    HWND child = newFocus;
    while (child != nullptr && ::GetParent(child) != paintWindow_) child = ::GetParent(child);
    if (child == nullptr) return;
    const int at = nativeWindows_.Find(child);
    if (at < 0) return;
    CControlUI* control = static_cast<CControlUI*>(nativeWindowControls_[at]);
    if (control != focus_) SetFocus(control, false);
}

void CWindowManagerUI::ShowToolTip(CControlUI* control) {
    CWideString text = control->GetToolTip();
    ProcessMultiLanguageTokens(text);
    tooltipRecord_ = TOOLINFOW();
    // The size the tooltip control expects of this record on this platform.
    tooltipRecord_.cbSize = TTTOOLINFOW_V2_SIZE;
    tooltipRecord_.uFlags = TTF_IDISHWND;
    tooltipRecord_.hwnd = paintWindow_;
    tooltipRecord_.uId = reinterpret_cast<UINT_PTR>(paintWindow_);
    tooltipRecord_.hinst = GetInstance();
    tooltipRecord_.lpszText = const_cast<wchar_t*>(text.GetData());
    tooltipRecord_.rect = control->GetPos();
    // Destroyed with a former owner, say: made anew.
    if (tooltipWindow_ != nullptr && !::IsWindow(tooltipWindow_)) tooltipWindow_ = nullptr;
    if (tooltipWindow_ == nullptr) {
        tooltipWindow_ = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, paintWindow_,
                                           nullptr, GetInstance(), nullptr);
        if (tooltipWindow_ == nullptr) return;
        if (tooltipWidth_ >= 0) {
            tooltipWidth_ = static_cast<int>(::SendMessageW(tooltipWindow_, TTM_SETMAXTIPWIDTH, 0, tooltipWidth_));
        }
        ::SendMessageW(tooltipWindow_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tooltipRecord_));
    }
    ::SendMessageW(tooltipWindow_, TTM_SETMAXTIPWIDTH, 0, control->GetToolTipWidth());
    ::SendMessageW(tooltipWindow_, TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tooltipRecord_));
    ::SendMessageW(tooltipWindow_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tooltipRecord_));
    // The tooltip keeps its own copy of the text.
    tooltipRecord_.lpszText = nullptr;
}

void CWindowManagerUI::HideToolTip() {
    if (tooltipWindow_ == nullptr) return;
    ::SendMessageW(tooltipWindow_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tooltipRecord_));
}

bool CWindowManagerUI::PreMessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return PreTranslate(message, wParam, lParam, result, true);
}

bool CWindowManagerUI::IsKeyOfNativeWindow(const MSG& message) const {
    if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST) return false;
    for (HWND level = message.hwnd; level != nullptr && level != paintWindow_; level = ::GetParent(level)) {
        if (nativeWindows_.Find(level) >= 0) return true;
    }
    return false;
}

bool CWindowManagerUI::PreTranslate(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result, bool filtered) {
    LifeWatch watch(*this);
    bool handled = false;
    LRESULT answer = 0;
    if (filtered) {
        ForEachStillListed(preMessageFilters_, [&](void* filter) {
            answer = static_cast<IMessageFilterUI*>(filter)->MessageHandler(message, wParam, lParam, handled);
            // A filter that ended the window has handled the message too.
            if (watch.IsGone()) handled = true;
            return !handled;
        });
    }
    if (handled) {
        result = answer;
        return true;
    }
    switch (message) {
        case WM_KEYDOWN: {
            if (wParam != VK_TAB) return false;
            if (focus_ != nullptr && focus_->IsVisible() && focus_->IsEnabled() && focus_->GetClass() != nullptr &&
                ::wcsstr(focus_->GetClass(), L"RichEdit") != nullptr) {
                IWantTabUI* wantsTab = static_cast<IWantTabUI*>(focus_->GetInterface(kWantTabInterface));
                if (wantsTab != nullptr && wantsTab->IsWantTab()) return false;
            }
            SetNextTabControl(::GetKeyState(VK_SHIFT) >= 0);
            return true;
        }
        case WM_SYSCHAR: {
            if (root_ == nullptr) return false;
            ShortcutWalk walk = {static_cast<wchar_t>(::towupper(static_cast<wint_t>(wParam))), false};
            CControlUI* target = root_->FindControl(ShortcutProc, &walk, FindEnabled | FindTopFirst | FindMeFirst);
            if (target != nullptr) {
                LifeWatch watch(*this);
                target->SetFocus();
                if (!watch.IsGone()) target->Activate();
            }
            return true;
        }
        case WM_SYSKEYDOWN:
            RaiseEvent(focus_, EventSysKey, wParam, lParam, static_cast<wchar_t>(wParam));
            return false;
        default:
            return false;
    }
}

bool CWindowManagerUI::TranslateAccelerator(MSG* message) {
    LifeWatch watch(*this);
    // Translated, or the window ended while translating: taken either way.
    return !ForEachStillListed(translateAccelerators_, [&](void* translator) {
        return static_cast<ITranslateAccelerator*>(translator)->TranslateAccelerator(message) != S_OK &&
               !watch.IsGone();
    });
}

bool CWindowManagerUI::TranslateMessage(const MSG* message) {
    if (message == nullptr || message->hwnd == nullptr) return false;
    MSG copy = *message;
    LRESULT result = 0;
    // A handler may create or end windows, and with them managers.
    CPointerArray managers(Managers());
    const bool child = (::GetWindowLongPtrW(message->hwnd, GWL_STYLE) & WS_CHILD) != 0;
    if (!child) {
        for (int i = 0; i < managers.GetSize(); ++i) {
            CWindowManagerUI* manager = static_cast<CWindowManagerUI*>(managers[i]);
            if (manager->GetPaintWindow() != message->hwnd) continue;
            if (manager->TranslateAccelerator(&copy)) return true;
            return manager->PreMessageHandler(copy.message, copy.wParam, copy.lParam, result);
        }
        return false;
    }
    for (int i = managers.GetSize() - 1; i >= 0; --i) {
        CWindowManagerUI* manager = static_cast<CWindowManagerUI*>(managers[i]);
        if (Managers().Find(manager) < 0) continue;
        // Each manager of the parent chain pre-translates once.
        for (HWND level = message->hwnd; level != nullptr; level = ::GetParent(level)) {
            if (message->hwnd != manager->GetPaintWindow() && level != manager->GetPaintWindow()) continue;
            if (manager->TranslateAccelerator(&copy)) return true;
            // Keys typed into a hosted native window are its own: an
            // Escape in an edit must not reach the window's default keys.
            manager->PreTranslate(copy.message, copy.wParam, copy.lParam, result,
                                  !manager->IsKeyOfNativeWindow(copy));
            break;
        }
    }
    return false;
}

void CWindowManagerUI::MessageLoop() {
    MSG message = {};
    for (;;) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        if (TranslateMessage(&message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

}  // namespace QuillUI
