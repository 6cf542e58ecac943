// The message table of the paint window, the listener lists, and the
// reflection of child-window messages.
#include "ui/core/control/control_ui.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/values/listed_walk.h"

#include <windowsx.h>

namespace QuillUI {

namespace {

const UINT kFlushMessage = WM_APP + 1;
const UINT_PTR kLayeredTimerId = 0x2000;
const UINT kReflectOffset = 0x2000;

// Positions that mouse messages carry, kept even when a filter takes them.
bool MousePositionOf(HWND window, UINT message, LPARAM lParam, POINT& point) {
    switch (message) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
            point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            return true;
        case WM_MOUSEWHEEL:
        case WM_CONTEXTMENU:
            point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ::ScreenToClient(window, &point);
            return true;
        default:
            return false;
    }
}

WORD KeyStateNow() {
    WORD state = 0;
    if (::GetKeyState(VK_LBUTTON) < 0) state |= KeyStateLeftButton;
    if (::GetKeyState(VK_RBUTTON) < 0) state |= KeyStateRightButton;
    if (::GetKeyState(VK_SHIFT) < 0) state |= KeyStateShift;
    if (::GetKeyState(VK_CONTROL) < 0) state |= KeyStateControl;
    if (::GetKeyState(VK_MENU) < 0) state |= KeyStateAlt;
    return state;
}

}  // namespace

ControlEventUI CWindowManagerUI::MakeEvent(int kind, CControlUI* sender, WPARAM wParam, LPARAM lParam, wchar_t key,
                                           int keyState) const {
    ControlEventUI event;
    event.kind = kind;
    event.sender = sender;
    event.timestamp = ::GetTickCount();
    event.mousePoint = lastMousePos_;
    event.key = key;
    event.keyState = keyState >= 0 ? static_cast<WORD>(keyState) : KeyStateNow();
    event.wParam = wParam;
    event.lParam = lParam;
    return event;
}

bool CWindowManagerUI::RaiseEvent(CControlUI* target, int kind, WPARAM wParam, LPARAM lParam, wchar_t key,
                                  int keyState, CControlUI* sender) {
    // Hover, click, focus and key controls are often absent (every close
    // comes here with the click control already gone).
    if (target == nullptr) return true;
    ControlEventUI event = MakeEvent(kind, sender != nullptr ? sender : target, wParam, lParam, key, keyState);
    LifeWatch watch(*this);
    target->Event(event);
    return !watch.IsGone();
}

bool CWindowManagerUI::MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (paintWindow_ == nullptr) return false;
    LifeWatch watch(*this);
    bool handled = false;
    LRESULT answer = 0;
    ForEachStillListed(messageFilters_, [&](void* filter) {
        answer = static_cast<IMessageFilterUI*>(filter)->MessageHandler(message, wParam, lParam, handled);
        // A filter that ended the window has handled the message too.
        if (watch.IsGone()) handled = true;
        return !handled;
    });
    if (handled) {
        // A filter that painted has validated what was invalidated before.
        if (message == WM_PAINT && !watch.IsGone()) ::SetRectEmpty(&lastInvalidated_);
        POINT point;
        if (!watch.IsGone() && MousePositionOf(paintWindow_, message, lParam, point)) lastMousePos_ = point;
        result = answer;
        return true;
    }
    if (layered_) {
        switch (message) {
            case WM_NCCALCSIZE:
            case WM_NCPAINT:
                result = 0;
                return true;
            case WM_NCACTIVATE:
                if (::IsIconic(paintWindow_)) break;
                result = wParam == 0 ? TRUE : FALSE;
                return true;
            default:
                break;
        }
    }
    switch (message) {
        case kFlushMessage:
            OnFlush();
            return false;
        case WM_CLOSE:
            OnClose();
            return false;
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_PAINT: {
            LifeWatch watch(*this);
            OnPaint();
            // Painted or validated now, whatever was invalidated before.
            if (!watch.IsGone()) ::SetRectEmpty(&lastInvalidated_);
            result = 0;
            return true;
        }
        case WM_PRINTCLIENT:
            OnPrintClient(reinterpret_cast<HDC>(wParam), lParam);
            return false;
        case WM_GETMINMAXINFO: {
            MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
            if (info == nullptr) return false;
            if (minInfo_.cx > 0) info->ptMinTrackSize.x = minInfo_.cx;
            if (minInfo_.cy > 0) info->ptMinTrackSize.y = minInfo_.cy;
            if (maxInfo_.cx > 0) info->ptMaxTrackSize.x = maxInfo_.cx;
            if (maxInfo_.cy > 0) info->ptMaxTrackSize.y = maxInfo_.cy;
            return false;
        }
        case WM_SIZE:
            // Also sent while the layout is read ("size"), before any tree.
            result = 0;
            if (!RaiseEvent(focus_, EventWindowSize)) return true;
            if (root_ != nullptr) root_->NeedUpdate();
            if (layered_) Invalidate();
            result = 0;
            return true;
        case WM_TIMER:
            if (wParam == kLayeredTimerId && layered_) {
                if (!::IsRectEmpty(&layeredUpdateRect_) && !::IsIconic(paintWindow_)) OnPaint();
                return false;
            }
            OnTimerMessage(wParam);
            return false;
        case WM_MOUSEHOVER:
            if (!OnMouseHover(lParam)) return false;
            result = 0;
            return true;
        case WM_MOUSELEAVE:
            OnMouseLeave();
            return false;
        case WM_CAPTURECHANGED:
            OnCaptureChanged(reinterpret_cast<HWND>(lParam));
            return false;
        case WM_MOUSEMOVE:
            OnMouseMove(lParam);
            return false;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
            OnButtonDown(message, wParam, lParam);
            return false;
        case WM_LBUTTONUP:
            OnButtonUp(wParam, lParam);
            return false;
        case WM_CONTEXTMENU:
            OnContextMenu(wParam, lParam);
            return false;
        case WM_MOUSEWHEEL:
            OnMouseWheel(wParam, lParam);
            return false;
        case WM_SETCURSOR:
            if (!OnSetCursor(wParam, lParam)) return false;
            result = TRUE;
            return true;
        case WM_MOUSEACTIVATE:
            if (!noActivate_) return false;
            result = MA_NOACTIVATE;
            return true;
        case WM_KILLFOCUS:
            OnKillFocus(reinterpret_cast<HWND>(wParam));
            return false;
        case WM_KEYDOWN:
            if (root_ == nullptr || focus_ == nullptr) return false;
            // Stored first, so that a control destroyed by its own key
            // handler is forgotten here too.
            keyControl_ = focus_;
            RaiseEvent(keyControl_, EventKeyDown, wParam, lParam, static_cast<wchar_t>(wParam));
            return false;
        case WM_KEYUP: {
            CControlUI* target = keyControl_;
            keyControl_ = nullptr;
            RaiseEvent(target, EventKeyUp, wParam, lParam, static_cast<wchar_t>(wParam));
            return false;
        }
        case WM_CHAR:
            RaiseEvent(focus_, EventChar, wParam, lParam, static_cast<wchar_t>(wParam));
            return false;
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
            return Reflect(message, wParam, lParam, result);
        default:
            return false;
    }
}

bool CWindowManagerUI::Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (lParam == 0) return false;  // menus and accelerators: no child window
    HWND child = nullptr;
    if (message == WM_NOTIFY) {
        child = reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
    } else {
        child = reinterpret_cast<HWND>(lParam);
    }
    if (child == nullptr) return false;
    result = ::SendMessageW(child, message + kReflectOffset, wParam, lParam);
    return true;
}

void CWindowManagerUI::OnClose() {
    if (!RaiseEvent(hover_, EventMouseLeave)) return;
    CControlUI* click = click_;
    click_ = nullptr;
    if (mouseCaptured_) ReleaseCapture();
    if (!RaiseEvent(click, EventButtonUp)) return;
    LifeWatch watch(*this);
    SetFocus(nullptr, false);
    if (watch.IsGone()) return;
    if (::GetActiveWindow() == paintWindow_) {
        const bool child = (::GetWindowLongPtrW(paintWindow_, GWL_STYLE) & WS_CHILD) != 0;
        HWND next = child ? ::GetParent(paintWindow_) : ::GetWindow(paintWindow_, GW_OWNER);
        if (next != nullptr) ::SetFocus(next);
    }
    // A window that outlives its close makes the tooltip window again.
    if (tooltipWindow_ != nullptr) ::DestroyWindow(tooltipWindow_);
    tooltipWindow_ = nullptr;
}

void CWindowManagerUI::OnPrintClient(HDC dc, LPARAM options) {
    if (root_ == nullptr || dc == nullptr) return;
    RECT client = {};
    ::GetClientRect(paintWindow_, &client);
    root_->Paint(dc, client, nullptr);
    if ((options & PRF_CHILDREN) == 0) return;
    for (HWND child = ::GetWindow(paintWindow_, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const RECT at = GetChildWindowRect(child);
        POINT origin = {};
        ::OffsetViewportOrgEx(dc, at.left, at.top, &origin);
        ::SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc), options | PRF_NONCLIENT);
        ::SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
    }
}

bool CWindowManagerUI::AddPreMessageFilter(IMessageFilterUI* filter) {
    if (filter == nullptr || preMessageFilters_.Find(filter) >= 0) return false;
    return preMessageFilters_.Add(filter);
}

bool CWindowManagerUI::RemovePreMessageFilter(IMessageFilterUI* filter) {
    return RemoveFrom(preMessageFilters_, filter);
}

bool CWindowManagerUI::AddMessageFilter(IMessageFilterUI* filter) {
    if (filter == nullptr || messageFilters_.Find(filter) >= 0) return false;
    return messageFilters_.Add(filter);
}

bool CWindowManagerUI::RemoveMessageFilter(IMessageFilterUI* filter) { return RemoveFrom(messageFilters_, filter); }

bool CWindowManagerUI::AddPostPaint(CControlUI* control) {
    if (control == nullptr || postPaintControls_.Find(control) >= 0) return false;
    return postPaintControls_.Add(control);
}

bool CWindowManagerUI::RemovePostPaint(CControlUI* control) { return RemoveFrom(postPaintControls_, control); }

bool CWindowManagerUI::AddMouseLeaveNeeded(CControlUI* control) {
    if (control == nullptr || mouseLeaveNeeded_.Find(control) >= 0) return false;
    return mouseLeaveNeeded_.Add(control);
}

bool CWindowManagerUI::RemoveMouseLeaveNeeded(CControlUI* control) { return RemoveFrom(mouseLeaveNeeded_, control); }

// A null translator would be called on the next key, so it is refused too.
bool CWindowManagerUI::AddTranslateAccelerator(ITranslateAccelerator* translator) {
    if (translator == nullptr || translateAccelerators_.Find(translator) >= 0) return false;
    return translateAccelerators_.Add(translator);
}

bool CWindowManagerUI::RemoveTranslateAccelerator(ITranslateAccelerator* translator) {
    return RemoveFrom(translateAccelerators_, translator);
}

bool CWindowManagerUI::AddNativeWindow(CControlUI* control, HWND window) {
    if (control == nullptr || window == nullptr) return false;
    // Invalidated even when the window is known already: a hosted window
    // registers again to have a layered window print it anew.
    Invalidate(GetChildWindowRect(window));
    if (nativeWindows_.Find(window) >= 0) return false;
    if (!nativeWindows_.Add(window)) return false;
    if (!nativeWindowControls_.Add(control)) {
        nativeWindows_.Remove(nativeWindows_.GetSize() - 1);
        return false;
    }
    return true;
}

bool CWindowManagerUI::RemoveNativeWindow(HWND window) {
    const int at = nativeWindows_.Find(window);
    if (at < 0) return false;
    nativeWindows_.Remove(at);
    nativeWindowControls_.Remove(at);
    return true;
}

RECT CWindowManagerUI::GetChildWindowRect(HWND child) const {
    RECT rect = {};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, paintWindow_, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace QuillUI
