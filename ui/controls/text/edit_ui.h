// The control of the markup tag "Edit": a single-line text field. Until it
// gets the focus it is a label that draws its state image and its text (or
// a row of password characters); with the focus it opens a native edit
// window (CEditWnd) over its text area, which takes the typing. Every change
// comes back as the control's text with "textchanged"; Enter sends "return".
#pragma once
#include "common/win.h"
#include "ui/controls/text/label_ui.h"
#include "ui/core/render/image_draw_info_ui.h"
#include "ui/core/values/wide_string.h"

namespace QuillUI {

class CEditWnd;

class CEditUI : public CLabelUI {
public:
    CEditUI();
    // An open native window is let go first and then destroyed, so that it
    // never writes into the control it outlived.
    ~CEditUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    // Tab stop and its own cursor while enabled.
    UINT GetControlFlags() const override;
    // The open native window, or null.
    HWND GetNativeWindow() const override;
    // Stored as given; an open native window takes it unless it shows that
    // text already (setting the same text again would report a change).
    void SetText(const wchar_t* text) override;
    // The native window follows the control, and hides when it is cut away.
    void SetPos(RECT rect, bool needInvalidate = true) override;
    void Move(int dx, int dy, bool needInvalidate = true) override;
    // A hidden or disabled edit gives up the focus, which closes its window.
    void SetVisible(bool visible = true) override;
    void SetInternVisible(bool visible = true) override;
    void SetEnabled(bool enabled = true) override;
    void DoEvent(ControlEventUI& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    // The fixed width and the font's height + 8, unless a height is fixed.
    SIZE EstimateSize(SIZE available) override;
    void PaintStatusImage(HDC dc) override;
    void PaintText(HDC dc) override;

    UINT GetMaxChar() const { return maxChar_; }
    void SetMaxChar(UINT maxChar);
    bool IsReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    // ES_NUMBER for the next native window.
    bool IsNumberOnly() const { return (extraStyle_ & ES_NUMBER) != 0; }
    void SetNumberOnly(bool numberOnly);
    DWORD GetExtraWindowStyle() const { return extraStyle_; }
    // Takes effect in the next native window.
    bool IsPassword() const { return password_; }
    void SetPassword(bool password);
    wchar_t GetPasswordChar() const { return passwordChar_; }
    // A new native window selects the whole text instead of placing the
    // caret at its end.
    bool IsAutoSelAll() const { return autoSelAll_; }
    void SetAutoSelAll(bool autoSelAll) { autoSelAll_ = autoSelAll; }
    // ARGB behind the native window's text; 0xFFFFFFFF leaves the system's
    // colours, a translucent one shows the skin through.
    DWORD GetNativeBkColor() const { return nativeBkColor_; }
    void SetNativeBkColor(DWORD color) { nativeBkColor_ = color; }

    // ---- State images (image descriptions) --------------------------------
    CWideString GetNormalImage() const { return normalImage_.GetDescription(); }
    void SetNormalImage(const wchar_t* description);
    CWideString GetHotImage() const { return hotImage_.GetDescription(); }
    void SetHotImage(const wchar_t* description);
    CWideString GetFocusedImage() const { return focusedImage_.GetDescription(); }
    void SetFocusedImage(const wchar_t* description);
    CWideString GetDisabledImage() const { return disabledImage_.GetDescription(); }
    void SetDisabledImage(const wchar_t* description);

    // ControlStateUI bits.
    UINT GetState() const { return state_; }

    // Where the native window goes: the text area, narrowed to a band of
    // the font's height in its middle, cut by the ancestors' client areas.
    RECT ComputeWindowRect() const;

private:
    friend class CEditWnd;

    // Opens a native window over the control; false when none could be made.
    bool OpenNativeWindow();
    void FollowWithNativeWindow();

    CEditWnd* window_ = nullptr;
    UINT maxChar_ = 255;
    bool readOnly_ = false;
    bool password_ = false;
    bool autoSelAll_ = false;
    wchar_t passwordChar_ = L'*';
    UINT state_ = 0;
    DWORD nativeBkColor_ = 0xFFFFFFFF;
    DWORD extraStyle_ = 0;
    CImageSlotUI normalImage_;
    CImageSlotUI hotImage_;
    CImageSlotUI focusedImage_;
    CImageSlotUI disabledImage_;
};

}  // namespace QuillUI
