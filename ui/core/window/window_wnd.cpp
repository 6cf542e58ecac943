#include "ui/core/window/window_wnd.h"

#include "common/common_log.h"
#include "ui/core/manager/window_manager_ui.h"

namespace QuillUI {

namespace {

bool Registered(ATOM atom) { return atom != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS; }

}  // namespace

HWND CWindowWnd::Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, int x, int y, int cx, int cy,
                        HMENU menu) {
    const bool registered = GetSuperClassName() != nullptr ? RegisterSuperclass() : RegisterWindowClass();
    if (!registered) return nullptr;
    HWND window = ::CreateWindowExW(exStyle, GetWindowClassName(), name, style, x, y, cx, cy, parent, menu,
                                    CWindowManagerUI::GetInstance(), this);
    // A window refused during creation has had its final message already,
    // which may have deleted the object: touch it only on success.
    if (window != nullptr) window_ = window;
    return window;
}

HWND CWindowWnd::Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, const RECT& rect, HMENU menu) {
    return Create(parent, name, style, exStyle, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                  menu);
}

bool CWindowWnd::RegisterWindowClass() {
    WNDCLASSW wc = {};
    wc.style = GetClassStyle();
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = CWindowManagerUI::GetInstance();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = GetWindowClassName();
    return Registered(::RegisterClassW(&wc));
}

bool CWindowWnd::RegisterSuperclass() {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    HINSTANCE instance = CWindowManagerUI::GetInstance();
    if (!::GetClassInfoExW(nullptr, GetSuperClassName(), &wc) &&
        !::GetClassInfoExW(instance, GetSuperClassName(), &wc)) {
        return false;
    }
    previousProc_ = wc.lpfnWndProc;
    wc.lpfnWndProc = ControlProc;
    wc.hInstance = instance;
    wc.lpszClassName = GetWindowClassName();
    return Registered(::RegisterClassExW(&wc));
}

namespace {

// Where a window keeps its object: the user data for classes we register,
// a property for superclasses, whose own procedure may use the user data.
struct UserDataSlot {
    static CWindowWnd* Get(HWND window) {
        return reinterpret_cast<CWindowWnd*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    static void Attach(HWND window, CWindowWnd* object) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
    }
    static void Detach(HWND window) { ::SetWindowLongPtrW(window, GWLP_USERDATA, 0); }
};

struct PropertySlot {
    static CWindowWnd* Get(HWND window) {
        return static_cast<CWindowWnd*>(::GetPropW(window, CWindowWnd::kObjectProperty));
    }
    static void Attach(HWND window, CWindowWnd* object) { ::SetPropW(window, CWindowWnd::kObjectProperty, object); }
    static void Detach(HWND window) { ::RemovePropW(window, CWindowWnd::kObjectProperty); }
};

}  // namespace

template <class Slot>
LRESULT CWindowWnd::Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // An exception must not unwind through the system's frames (the
    // library's containers throw when memory runs out): the message gets
    // the default answer instead.
    try {
        return Dispatch<Slot>(window, message, wParam, lParam);
    } catch (...) {
    }
    try {
        CommonLog("Window message " + std::to_string(message) + " ended in an exception");
    } catch (...) {
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

template <class Slot>
LRESULT CWindowWnd::Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CWindowWnd* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<CWindowWnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (self != nullptr) {
            self->window_ = window;
            Slot::Attach(window, self);
        }
    } else {
        self = Slot::Get(window);
        if (message == WM_NCDESTROY && self != nullptr) {
            // The previous procedure first; then the object lets go of the
            // window and hears that it is gone, which may delete it.
            LRESULT result = ::CallWindowProcW(self->previousProc_, window, message, wParam, lParam);
            Slot::Detach(window);
            if (self->subclassed_) self->Unsubclass();
            self->window_ = nullptr;
            self->OnFinalMessage(window);
            return result;
        }
    }
    if (self != nullptr) return self->HandleMessage(message, wParam, lParam);
    return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK CWindowWnd::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return Route<UserDataSlot>(window, message, wParam, lParam);
}

LRESULT CALLBACK CWindowWnd::ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return Route<PropertySlot>(window, message, wParam, lParam);
}

LRESULT CWindowWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcW(previousProc_, window_, message, wParam, lParam);
}

void CWindowWnd::Unsubclass() {
    if (window_ == nullptr || !::IsWindow(window_) || !subclassed_) return;
    ::SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc_));
    previousProc_ = ::DefWindowProcW;
    subclassed_ = false;
}

void CWindowWnd::ShowWindow(bool show, bool takeFocus, bool maximizeOrMinimize) {
    if (window_ == nullptr || !::IsWindow(window_)) return;
    int state = SW_HIDE;
    if (show) {
        if (maximizeOrMinimize) state = takeFocus ? SW_SHOWMAXIMIZED : SW_SHOWMINNOACTIVE;
        else state = takeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE;
    }
    ::ShowWindow(window_, state);
}

void CWindowWnd::Close(UINT code) {
    if (window_ == nullptr || !::IsWindow(window_)) return;
    ::PostMessageW(window_, WM_CLOSE, code, 0);
}

void CWindowWnd::CenterWindow() {
    if (window_ == nullptr || !::IsWindow(window_)) return;
    RECT own = {};
    ::GetWindowRect(window_, &own);
    HWND owner = ::GetWindow(window_, GW_OWNER);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(owner != nullptr ? owner : window_, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT work = monitor.rcWork;
    RECT reference = work;
    if (owner != nullptr && !::IsIconic(owner)) ::GetWindowRect(owner, &reference);

    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    int left = (reference.left + reference.right) / 2 - width / 2;
    int top = (reference.top + reference.bottom) / 2 - height / 2;
    if (left < work.left) left = work.left;
    else if (left + width > work.right) left = work.right - width;
    if (top < work.top) top = work.top;
    else if (top + height > work.bottom) top = work.bottom - height;
    ::SetWindowPos(window_, nullptr, left, top, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowWnd::SetIcon(UINT resourceId) {
    if (window_ == nullptr) return;
    // Shared icons belong to the system, so replacing them leaks nothing.
    HINSTANCE instance = CWindowManagerUI::GetInstance();
    HANDLE big = ::LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON, ::GetSystemMetrics(SM_CXICON),
                              ::GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR | LR_SHARED);
    ::SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    HANDLE smallIcon = ::LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                    ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR | LR_SHARED);
    ::SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
}

LRESULT CWindowWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(window_, message, wParam, lParam);
}

bool CWindowWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageW(window_, message, wParam, lParam) != FALSE;
}

}  // namespace QuillUI
