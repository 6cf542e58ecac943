// The control of the markup tag "DateTime": a label that holds a calendar
// date and shows it as "yyyy-mm-dd". While it has the focus a native date
// picker (CDateTimeWnd) lies over it; when the picker loses the focus the
// picked date comes back into the text. Delete or Backspace in the picker
// clears the text, Escape keeps it as it was.
#pragma once
#include "common/win.h"
#include "ui/controls/text/label_ui.h"

namespace QuillUI {

class CDateTimeWnd;

class CDateTimeUI : public CLabelUI {
public:
    // What the picker's closing does to the text.
    enum UpdateAction {
        UpdateNone = 0,
        UpdateTakeDate = 1,
        UpdateClear = 2,
        UpdateCancel = 3,
    };

    // Shows today's date.
    CDateTimeUI();
    // An open picker is let go first and then destroyed, so that it never
    // writes into the control it outlived.
    ~CDateTimeUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    // Always a tab stop.
    UINT GetControlFlags() const override;
    // The open picker, or null.
    HWND GetNativeWindow() const override;
    // The picker follows the control, and hides when it is cut away.
    void SetPos(RECT rect, bool needInvalidate = true) override;
    void Move(int dx, int dy, bool needInvalidate = true) override;
    // A hidden or disabled control gives up the focus, which closes its
    // picker as a click elsewhere does: no layout would move the picker of
    // a hidden control away, and a disabled control takes no input.
    void SetVisible(bool visible = true) override;
    void SetInternVisible(bool visible = true) override;
    void SetEnabled(bool enabled = true) override;
    void DoEvent(ControlEventUI& event) override;

    // Applies the update action to the text: the date, or nothing at all.
    void RefreshText();

    // The item rectangle cut by the ancestors' client areas.
    RECT ComputeWindowRect() const;

private:
    friend class CDateTimeWnd;

    // Opens the picker (made when there is none yet) and gives it the focus.
    void OpenPicker();
    void FollowWithNativeWindow();

    SYSTEMTIME time_ = {};
    int updateAction_ = UpdateNone;
    CDateTimeWnd* window_ = nullptr;
};

}  // namespace QuillUI
