// The native window of a date-time control while it has the focus: a
// superclass of the system's date picker laid over the control. Losing the
// focus (to anything but its own drop-down calendar, which hands it back)
// copies the picked date back and closes it; Delete or Backspace clears the
// control's text and Escape cancels, both closing it as well.
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
    // The owner lost the focus while this window did not hold the keyboard
    // (its calendar had taken it): takes the date unless an action is
    // pending, and closes, which deletes the object.
    void EndPicking();

    const wchar_t* GetWindowClassName() const override { return L"DateTimeWnd"; }
    const wchar_t* GetSuperClassName() const override { return L"SysDateTimePick32"; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Forgets the owner's pointer to this window and deletes the object.
    void OnFinalMessage(HWND window) override;

private:
    CWindowManagerUI* Manager() const;
    // The drop-down calendar, or null while it is closed.
    HWND Calendar() const;
    // The picked date into the owner, unless an action is pending.
    void TakeDate();
    LRESULT HandleKillFocus(WPARAM wParam, LPARAM lParam);
    void HandleCloseUp();
    // Delete, Backspace and Escape: the action, then a posted close.
    LRESULT CloseWith(int action, UINT message, WPARAM wParam, LPARAM lParam);

    CDateTimeUI* owner_ = nullptr;
    bool initialised_ = false;
    // Set once the close has begun: the focus loss it brings closes nothing.
    bool closing_ = false;
    // Set once the picking ends: the focus changes it brings end nothing more.
    bool ending_ = false;
};

}  // namespace QuillUI
