// The captionless frame of the skinned window base: non-client messages,
// hit tests, rounded corners, the work area when maximised and the system
// commands.
#include "ui/core/window/window_impl_base.h"

#include "ui/core/control/control_ui.h"

#include <windowsx.h>

#include <cwchar>

namespace QuillUI {

namespace {

bool WorkArea(HWND window, RECT& work, RECT& monitor) {
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info)) return false;
    work = info.rcWork;
    monitor = info.rcMonitor;
    return true;
}

// Controls that take the click themselves inside the caption area.
bool TakesClicks(CControlUI* control) {
    const wchar_t* name = control->GetClass();
    if (name == nullptr) return false;
    return _wcsicmp(name, L"Button") == 0 || _wcsicmp(name, L"Option") == 0 || _wcsicmp(name, L"Text") == 0;
}

}  // namespace

LRESULT WindowImplBase::OnNcActivate(UINT, WPARAM wParam, LPARAM, bool& handled) {
    if (::IsIconic(GetHWND())) {
        handled = false;
        return 0;
    }
    return wParam == 0 ? TRUE : FALSE;
}

LRESULT WindowImplBase::OnNcCalcSize(UINT, WPARAM, LPARAM lParam, bool&) {
    // The client area is the whole window; both forms of lParam start with
    // the proposed rectangle.
    if (!::IsZoomed(GetHWND())) return 0;
    RECT* proposed = reinterpret_cast<RECT*>(lParam);
    RECT work = {}, monitor = {};
    if (proposed == nullptr || !WorkArea(GetHWND(), work, monitor)) return 0;
    proposed->right = proposed->left + (work.right - work.left);
    proposed->bottom = proposed->top + (work.bottom - work.top);
    return WVR_HREDRAW | WVR_VREDRAW;
}

LRESULT WindowImplBase::OnNcPaint(UINT, WPARAM, LPARAM, bool&) { return 0; }

LRESULT WindowImplBase::OnNcHitTest(UINT, WPARAM, LPARAM lParam, bool&) {
    HWND window = GetHWND();
    POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ScreenToClient(window, &point);
    RECT client = {};
    ::GetClientRect(window, &client);
    const RECT box = manager_.GetSizeBox();
    const RECT caption = manager_.GetCaptionRect();

    if (!::IsZoomed(window)) {
        const auto across = [&](LRESULT left, LRESULT middle, LRESULT right) {
            if (point.x < client.left + box.left) return left;
            if (point.x <= client.right - box.right) return middle;
            return right;
        };
        if (point.y < client.top + box.top) return across(HTTOPLEFT, HTTOP, HTTOPRIGHT);
        if (point.y > client.bottom - box.bottom) return across(HTBOTTOMLEFT, HTBOTTOM, HTBOTTOMRIGHT);
        if (point.x < client.left + box.left) return HTLEFT;
        if (point.x > client.right - box.right) return HTRIGHT;
    }

    if (point.x >= client.left + caption.left && point.x < client.right - caption.right && point.y >= caption.top &&
        point.y < caption.bottom) {
        CControlUI* control = manager_.FindControlAt(point);
        if (control != nullptr && !TakesClicks(control)) return HTCAPTION;
    }
    return HTCLIENT;
}

LRESULT WindowImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, bool& handled) {
    handled = false;
    MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
    RECT work = {}, monitor = {};
    if (info == nullptr || !WorkArea(GetHWND(), work, monitor)) return 0;
    info->ptMaxPosition.x = work.left - monitor.left;
    info->ptMaxPosition.y = work.top - monitor.top;
    info->ptMaxTrackSize.x = work.right - work.left;
    info->ptMaxTrackSize.y = work.bottom - work.top;
    info->ptMinTrackSize.x = manager_.GetMinInfo().cx;
    info->ptMinTrackSize.y = manager_.GetMinInfo().cy;
    return 0;
}

LRESULT WindowImplBase::OnSize(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    HWND window = GetHWND();
    const SIZE round = manager_.GetRoundCorner();
    if (::IsIconic(window) || (round.cx == 0 && round.cy == 0)) return 0;
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    ::OffsetRect(&rect, -rect.left, -rect.top);
    HRGN region = ::CreateRoundRectRgn(rect.left, rect.top, rect.right + 1, rect.bottom + 1, round.cx, round.cy);
    // The window owns the region once it is set.
    if (region != nullptr && !::SetWindowRgn(window, region, TRUE)) ::DeleteObject(region);
    return 0;
}

LRESULT WindowImplBase::OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool&) {
    HWND window = GetHWND();
    if ((wParam & 0xFFF0) == SC_CLOSE) {
        SendMessage(WM_CLOSE, 0, 0);
        return 0;
    }
    const bool wasZoomed = ::IsZoomed(window) != FALSE;
    const LRESULT result = CWindowWnd::HandleMessage(message, wParam, lParam);
    if ((::IsZoomed(window) != FALSE) != wasZoomed) {
        CControlUI* maxButton = manager_.FindControl(L"maxbtn");
        CControlUI* restoreButton = manager_.FindControl(L"restorebtn");
        if (maxButton != nullptr && restoreButton != nullptr) {
            maxButton->SetVisible(wasZoomed);
            restoreButton->SetVisible(!wasZoomed);
        }
    }
    return result;
}

}  // namespace QuillUI
