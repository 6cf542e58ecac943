// The drop-down of a combo box: a top-level popup owned by the combo's
// window, with a manager of its own whose root, a CComboBodyUI, holds the
// combo's items while it is open. It closes when it loses the keyboard to
// a window outside itself, on Enter, Escape (which restores the selection
// it opened with) and a click on an item, and gives the items back to the
// combo however it ends, its owner window's destruction included.
#pragma once
#include "common/win.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/window/window_wnd.h"

namespace QuillUI {

class CComboBodyUI;
class CComboUI;

class CComboWnd : public CWindowWnd {
public:
    CComboWnd() = default;
    ~CComboWnd() override;

    // Places the popup under the combo, or above it when it would pass the
    // bottom of the work area, and shows it. False when no window could be
    // made: the object is gone then, and the combo holds no popup.
    bool OpenFor(CComboUI* owner);
    // The items are the combo's again (at once, before the window ends).
    void ReturnItems();
    // The combo is going away: the window touches it no more.
    void ReleaseOwner() { owner_ = nullptr; }
    // Whether the combo's items are in the popup's body.
    bool HoldsItems() const { return holdsItems_; }
    // An item that leaves the combo leaves the body too.
    void ForgetItem(CControlUI* item);
    // Scrolls the body until the item at index shows, while something is
    // selected.
    void ScrollSelectionIntoView(int index);

    const wchar_t* GetWindowClassName() const override { return L"ComboWnd"; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Tells the combo that it has no popup, and deletes the object.
    void OnFinalMessage(HWND window) override;

private:
    LRESULT OnCreate();
    void OnClose();
    // The control under the cursor, as the popup's manager finds it.
    CControlUI* ControlUnderCursor() const;
    static bool IsScrollBar(const CControlUI* control);
    void ForwardToOwner(int kind, WPARAM wParam, LPARAM lParam, wchar_t key);

    CWindowManagerUI manager_;
    CComboUI* owner_ = nullptr;
    CComboBodyUI* body_ = nullptr;
    int openedWith_ = -1;
    bool scrollBarPressed_ = false;
    bool holdsItems_ = false;
};

}  // namespace QuillUI
