// The native window of a date-time control while it has the focus: a
// superclass of the system's date picker laid over the control. Losing the
// focus copies the picked date back and closes it; Delete or Backspace
// clears the control's text and Escape cancels, both closing it as well.
#pragma once
#include "common/win.h"
#include "ui/core/window/window_wnd.h"

namespace QuillUI {

class CDateTimeUI;
class CWindowManagerUI;

class CDateTimeWnd : public CWindowWnd {
public:
    CDateTimeWnd() = default;
    ~CDateTimeWnd() override;

    // Creates the window over the owner (which belongs to a window) the
    // first time; then shows the owner's date (today's when its text is
    // empty) and takes the keyboard. False when no window could be made: the
    // object is deleted then, and the owner holds no window.
    bool OpenFor(CDateTimeUI* owner);
    // The owner is going away: the window touches it no more.
    void ReleaseOwner() { owner_ = nullptr; }

    const wchar_t* GetWindowClassName() const override { return L"DateTimeWnd"; }
    const wchar_t* GetSuperClassName() const override { return L"SysDateTimePick32"; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Forgets the owner's pointer to this window and deletes the object.
    void OnFinalMessage(HWND window) override;

private:
    CWindowManagerUI* Manager() const;
    LRESULT HandleKillFocus(WPARAM wParam, LPARAM lParam);
    // Delete, Backspace and Escape: the action, then a posted close.
    LRESULT CloseWith(int action, UINT message, WPARAM wParam, LPARAM lParam);

    CDateTimeUI* owner_ = nullptr;
    bool initialised_ = false;
    // Set once the close has begun: the focus loss it brings closes nothing.
    bool closing_ = false;
};

}  // namespace QuillUI
