// The child window a windowed object lives in, under the skinned window.
#pragma once
#include "ui/core/window/window_wnd.h"

namespace QuillUI {

class CActiveXCtrl;

class CActiveXWnd : public CWindowWnd {
public:
    explicit CActiveXWnd(CActiveXCtrl* owner) : owner_(owner) {}

    // Creates the window as a child of PARENT; null on failure.
    HWND Init(HWND parent);
    const wchar_t* GetWindowClassName() const override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND window) override;
    // The verb on the owner's object, with this window and the control's rectangle.
    void DoVerb(LONG verb);

private:
    static constexpr UINT_PTR kCaretTimer = 20;

    LRESULT OnCreate(bool& handled);
    LRESULT OnTimer(WPARAM id, bool& handled);
    LRESULT OnPrint(HDC dc, bool& handled);
    LRESULT OnMouseActivate(bool& handled);
    // The caret of a layered window, which the platform cannot show there.
    void DrawCaret(HDC dc);

    CActiveXCtrl* owner_;
    int ticks_ = 0;
    bool drawCaret_ = false;
};

}  // namespace QuillUI
