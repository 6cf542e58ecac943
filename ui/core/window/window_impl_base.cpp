// Message routing, listener interfaces and the default buttons and keys of
// the skinned window base.
#include "ui/core/window/window_impl_base.h"

#include "ui/core/manager/notify_message_ui.h"
#include "ui/core/manager/notify_sender_name.h"

#include <cwchar>

namespace QuillUI {

namespace {

const NotifyMapEntryUI kWindowImplEntries[] = {
    NotifyEntry(L"click", L"", &WindowImplBase::OnClick),
    NotifyMapEnd(),
};

}  // namespace

const NotifyMapUI WindowImplBase::kMessageMap = {&CNotifyPump::kMessageMap, kWindowImplEntries};

const NotifyMapUI* WindowImplBase::GetMessageMap() const { return &kMessageMap; }

LRESULT WindowImplBase::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    bool handled = true;
    // Any stage may end the window, and a window that deletes itself with
    // it takes this object along: nothing of it is touched after that.
    CWindowManagerUI::LifeWatch watch(manager_);
    switch (message) {
    case WM_CREATE: result = OnCreate(message, wParam, lParam, handled); break;
    case WM_CLOSE: result = OnClose(message, wParam, lParam, handled); break;
    case WM_DESTROY: result = OnDestroy(message, wParam, lParam, handled); break;
    case WM_NCACTIVATE: result = OnNcActivate(message, wParam, lParam, handled); break;
    case WM_NCCALCSIZE: result = OnNcCalcSize(message, wParam, lParam, handled); break;
    case WM_NCPAINT: result = OnNcPaint(message, wParam, lParam, handled); break;
    case WM_NCHITTEST: result = OnNcHitTest(message, wParam, lParam, handled); break;
    case WM_GETMINMAXINFO: result = OnGetMinMaxInfo(message, wParam, lParam, handled); break;
    case WM_MOUSEWHEEL: result = OnMouseWheel(message, wParam, lParam, handled); break;
    case WM_SIZE: result = OnSize(message, wParam, lParam, handled); break;
    case WM_CHAR: result = OnChar(message, wParam, lParam, handled); break;
    case WM_SYSCOMMAND: result = OnSysCommand(message, wParam, lParam, handled); break;
    case WM_KEYDOWN: result = OnKeyDown(message, wParam, lParam, handled); break;
    case WM_KILLFOCUS: result = OnKillFocus(message, wParam, lParam, handled); break;
    case WM_SETFOCUS: result = OnSetFocus(message, wParam, lParam, handled); break;
    case WM_LBUTTONUP: result = OnLButtonUp(message, wParam, lParam, handled); break;
    case WM_LBUTTONDOWN: result = OnLButtonDown(message, wParam, lParam, handled); break;
    case WM_MOUSEMOVE: result = OnMouseMove(message, wParam, lParam, handled); break;
    case WM_MOUSEHOVER: result = OnMouseHover(message, wParam, lParam, handled); break;
    default: handled = false; break;
    }
    if (handled || watch.IsGone()) return result;
    result = HandleCustomMessage(message, wParam, lParam, handled);
    if (handled || watch.IsGone()) return result;
    if (manager_.MessageHandler(message, wParam, lParam, result) || watch.IsGone()) return result;
    return CWindowWnd::HandleMessage(message, wParam, lParam);
}

void WindowImplBase::OnFinalMessage(HWND) {
    manager_.RemovePreMessageFilter(this);
    manager_.RemoveNotifier(this);
    if (CControlUI* root = manager_.GetRoot()) manager_.ReapObjects(root);
}

void WindowImplBase::Notify(NotifyMessageUI& message) { NotifyPump(message); }

LRESULT WindowImplBase::MessageHandler(UINT message, WPARAM wParam, LPARAM, bool&) {
    if (message == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) return ResponseDefaultKeyEvent(wParam);
    return 0;
}

LRESULT WindowImplBase::ResponseDefaultKeyEvent(WPARAM key) {
    if (key == VK_ESCAPE) {
        Close(1);
        return 1;
    }
    return 0;
}

CControlUI* WindowImplBase::CreateControl(const wchar_t*) { return nullptr; }

void WindowImplBase::OnClick(NotifyMessageUI& message) {
    const wchar_t* name = GetNotifySenderName(message.sender);
    if (name == nullptr) return;
    if (wcscmp(name, L"closebtn") == 0) Close(1);
    else if (wcscmp(name, L"minbtn") == 0) SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    else if (wcscmp(name, L"maxbtn") == 0) SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    else if (wcscmp(name, L"restorebtn") == 0) SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
}

LONG_PTR WindowImplBase::GetStyle() {
    return ::GetWindowLongPtrW(GetHWND(), GWL_STYLE) & ~static_cast<LONG_PTR>(WS_CAPTION);
}

// The handlers without behaviour of their own.
#define QUILLUI_UNHANDLED(Name)                                            \
    LRESULT WindowImplBase::Name(UINT, WPARAM, LPARAM, bool& handled) { \
        handled = false;                                                   \
        return 0;                                                          \
    }
QUILLUI_UNHANDLED(OnClose)
QUILLUI_UNHANDLED(OnDestroy)
QUILLUI_UNHANDLED(OnMouseWheel)
QUILLUI_UNHANDLED(OnMouseHover)
QUILLUI_UNHANDLED(OnChar)
QUILLUI_UNHANDLED(OnKeyDown)
QUILLUI_UNHANDLED(OnKillFocus)
QUILLUI_UNHANDLED(OnSetFocus)
QUILLUI_UNHANDLED(OnLButtonDown)
QUILLUI_UNHANDLED(OnLButtonUp)
QUILLUI_UNHANDLED(OnMouseMove)
QUILLUI_UNHANDLED(HandleCustomMessage)
#undef QUILLUI_UNHANDLED

}  // namespace QuillUI
