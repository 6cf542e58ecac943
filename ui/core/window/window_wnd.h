// Binds one object to one native window: registers the window class (or a
// superclass of a system class), creates the window with the object as its
// creation parameter, routes the window's messages to HandleMessage and
// calls OnFinalMessage once the window is gone.
#pragma once
#include "common/win.h"

namespace QuillUI {

class CWindowWnd {
public:
    // Window property that holds the object of a superclassed window.
    static constexpr const wchar_t* kObjectProperty = L"WndX";

    CWindowWnd() = default;
    CWindowWnd(const CWindowWnd&) = delete;
    CWindowWnd& operator=(const CWindowWnd&) = delete;
    virtual ~CWindowWnd() = default;

    virtual const wchar_t* GetWindowClassName() const = 0;
    // A system class to superclass, or null for a class of our own.
    virtual const wchar_t* GetSuperClassName() const { return nullptr; }
    virtual UINT GetClassStyle() const { return 0; }
    // Unhandled messages go to the previous window procedure.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The last call made on the object; it may delete itself here.
    virtual void OnFinalMessage(HWND window) { (void)window; }

    HWND GetHWND() const { return window_; }

    // Null when the class cannot be registered or the window not created.
    HWND Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, int x = CW_USEDEFAULT,
                int y = CW_USEDEFAULT, int cx = CW_USEDEFAULT, int cy = CW_USEDEFAULT, HMENU menu = nullptr);
    HWND Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, const RECT& rect, HMENU menu = nullptr);
    // Puts the previous window procedure back when the window is subclassed.
    void Unsubclass();

    void ShowWindow(bool show = true, bool takeFocus = true, bool maximizeOrMinimize = false);
    // Posts WM_CLOSE with the code as wParam.
    void Close(UINT code = 0);
    // Centres on the owner, or on the work area when there is none or it is
    // minimised, and keeps the window inside the work area.
    void CenterWindow();
    // The module's icon resource as the big and the small window icon.
    void SetIcon(UINT resourceId);
    // These names are windows.h macros, so the members are SendMessageW and
    // PostMessageW wherever common/win.h was included first.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

protected:
    bool RegisterWindowClass();
    bool RegisterSuperclass();
    // The procedure of classes we register; the object is in the user data.
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The procedure of superclasses; the object is in the "WndX" property.
    static LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    WNDPROC previousProc_ = ::DefWindowProcW;
    bool subclassed_ = false;

private:
    // The common path of both procedures; Slot says where the object is kept.
    template <class Slot>
    static LRESULT Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    template <class Slot>
    static LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace QuillUI
