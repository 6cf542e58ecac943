// Input of the rich edit: the window's messages go to the services through
// the manager's message filter; the control's events handle focus, cursor,
// timers and the wheel.
#include "ui/controls/text/rich_edit_ui.h"

#include "ui/controls/text/txt_win_host.h"
#include "ui/core/manager/window_manager_ui.h"

#include <imm.h>
#include <windowsx.h>

namespace QuillUI {

namespace {

bool IsMouseMessage(UINT message) { return message >= WM_MOUSEFIRST && message <= WM_XBUTTONDBLCLK; }
bool IsKeyMessage(UINT message) { return message >= WM_KEYFIRST && message <= WM_KEYLAST; }
bool IsButtonMessage(UINT message) { return message >= WM_LBUTTONDOWN && message <= WM_RBUTTONUP; }

POINT PointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

POINT ScreenPointToClient(HWND window, LPARAM lParam) {
    POINT point = PointOf(lParam);
    ScreenToClient(window, &point);
    return point;
}

}  // namespace

void CRichEditUI::DoEvent(ControlEventUI& event) {
    if (!IsMouseEnabled() && IsMouseEventKind(event.kind)) {
        if (parent_ != nullptr)
            parent_->DoEvent(event);
        else
            CContainerUI::DoEvent(event);
        return;
    }
    switch (event.kind) {
        case EventSetCursor:
            if (IsEnabled() && host_ != nullptr && host_->DoSetCursor(nullptr, &event.mousePoint)) return;
            break;
        case EventWindowSize:
            if (host_ != nullptr) host_->NeedFreshCaret();
            break;
        case EventSetFocus:
        case EventKillFocus: {
            const bool focus = event.kind == EventSetFocus;
            if (host_ != nullptr) {
                host_->OnTxInPlaceActivate(nullptr);
                SendToServices(focus ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0);
            }
            focused_ = focus;
            Invalidate();
            return;
        }
        case EventTimer:
            if (event.wParam == kCaretTimerId) {
                OnCaretTimer();
            } else {
                TxSendMessage(WM_TIMER, event.wParam, event.lParam, nullptr);
            }
            return;
        case EventScrollWheel:
            // With Control the message filter gave the wheel to the services.
            if ((event.keyState & KeyStateControl) != 0) return;
            break;
        case EventMouseMove:
        case EventButtonDown:
        case EventButtonUp:
        case EventDblClick:
        case EventKeyDown:
        case EventKeyUp:
        case EventChar:
        case EventSysKey:
            return;
        default:
            break;
    }
    CContainerUI::DoEvent(event);
}

// The caret blinks by repainting where the control draws it.
void CRichEditUI::OnCaretTimer() {
    if (host_ == nullptr || manager_ == nullptr || !manager_->IsLayered() || !IsFocused()) return;
    if (GetFocus() != manager_->GetPaintWindow()) return;
    drawCaret_ = !drawCaret_;
    POINT caret = {0, 0};
    if (!GetCaretPos(&caret)) return;
    const RECT caretRect = {caret.x, caret.y, caret.x + host_->GetCaretWidth(), caret.y + host_->GetCaretHeight()};
    RECT shown;
    if (IntersectRect(&shown, &caretRect, &itemRect_)) InvalidateThroughAncestors(shown);
}

void CRichEditUI::PlaceComposition() const {
    HWND window = manager_->GetPaintWindow();
    HIMC context = ImmGetContext(window);
    if (context == nullptr) return;
    POINT caret = {0, 0};
    GetCaretPos(&caret);
    COMPOSITIONFORM form = {};
    form.dwStyle = CFS_FORCE_POSITION;
    form.ptCurrentPos.x = caret.x + host_->GetCaretWidth();
    form.ptCurrentPos.y = caret.y;
    ImmSetCompositionWindow(context, &form);
    LOGFONTW font = {};
    HFONT handle = manager_->GetFont(font_);
    if (handle != nullptr && GetObjectW(handle, sizeof(font), &font) != 0) ImmSetCompositionFontW(context, &font);
    ImmReleaseContext(window, context);
}

LRESULT CRichEditUI::MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (host_ == nullptr || manager_ == nullptr) return 0;
    // A drag that hiding or disabling cut short still ends in the services,
    // or they would keep the window's mouse for this control.
    const bool endsDrag = message == WM_LBUTTONUP && host_->IsCaptured();
    if ((!IsVisible() || !IsEnabled()) && !endsDrag) return 0;
    const bool mouse = IsMouseMessage(message);
    if (mouse && !IsMouseEnabled()) return 0;
    // Without Control the container scrolls.
    if (message == WM_MOUSEWHEEL && (GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) == 0) return 0;

    HWND window = manager_->GetPaintWindow();
    bool passOnly = false;
    if (mouse || message == WM_SETCURSOR) {
        if (!host_->IsCaptured() && IsButtonMessage(message)) {
            CControlUI* hit = manager_->FindControlAt(PointOf(lParam));
            if (hit != nullptr && hit != this) return 0;
        }
        bool counts = host_->IsCaptured();
        if (!counts) {
            POINT point = {0, 0};
            if (message == WM_SETCURSOR) {
                GetCursorPos(&point);
                ScreenToClient(window, &point);
            } else if (message == WM_MOUSEWHEEL) {
                point = ScreenPointToClient(window, lParam);
            } else {
                point = PointOf(lParam);
            }
            RECT client = {};
            host_->GetControlRect(&client);
            counts = PtInRect(&client, point) && !manager_->IsCaptured();
        }
        if (!counts) return 0;
        if (message == WM_SETCURSOR) {
            passOnly = true;
        } else if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDOWN) {
            if (!manager_->IsNoActivate()) ::SetFocus(window);
            SetFocus();
        }
    } else if (IsKeyMessage(message)) {
        if (!IsFocused()) return 0;
    } else if (message == WM_IME_STARTCOMPOSITION) {
        if (IsFocused()) PlaceComposition();
        return 0;
    } else if (message == WM_CONTEXTMENU) {
        if (manager_->FindControlAt(ScreenPointToClient(window, lParam)) != this) return 0;
    } else if (message == WM_HELP) {
        passOnly = true;
    } else {
        return 0;
    }

    LRESULT result = 0;
    const HRESULT sent = TxSendMessage(message, wParam, lParam, &result);
    if (sent == S_OK || IsKeyMessage(message) || (mouse && host_->IsCaptured()))
        handled = !passOnly;
    return result;
}

}  // namespace QuillUI
