// The native window of an edit control while it has the focus: a superclass
// of the system "Edit" class laid over the control's text area. It copies
// every change back into the control, reports Enter, and closes itself when
// it loses the focus. On a layered window, which shows no child windows,
// the manager prints it into the window's bitmap and it draws its own caret.
#pragma once
#include "common/win.h"
#include "ui/core/window/window_wnd.h"

namespace QuillUI {

class CEditUI;
class CWindowManagerUI;

class CEditWnd : public CWindowWnd {
public:
    // The timer that blinks the caret on a layered window.
    static const UINT_PTR kCaretTimerId = 20;

    CEditWnd() = default;
    ~CEditWnd() override;

    // Opens the window over the owner, which belongs to a window, with the
    // owner's text and settings, and gives it the keyboard. False when no window could be made: the object
    // is deleted then, and the owner holds no window.
    bool CreateForOwner(CEditUI* owner);
    // The owner is going away: the window touches it no more.
    void ReleaseOwner() { owner_ = nullptr; }

    const wchar_t* GetWindowClassName() const override { return L"EditWnd"; }
    const wchar_t* GetSuperClassName() const override { return L"Edit"; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Forgets the owner's pointer to this window and deletes the object.
    void OnFinalMessage(HWND window) override;

private:
    CWindowManagerUI* Manager() const;
    bool IsLayered() const;
    LRESULT HandleKillFocus(WPARAM wParam, LPARAM lParam);
    LRESULT HandleEditChanged();
    LRESULT HandleCtlColor(HDC dc);
    LRESULT HandlePrint(WPARAM wParam, LPARAM lParam);

    CEditUI* owner_ = nullptr;
    HBRUSH brush_ = nullptr;
    bool initialised_ = false;
    bool caretShown_ = false;
};

}  // namespace QuillUI
