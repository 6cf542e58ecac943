// The control of the markup tag "Button": a label that reacts to the mouse
// and the keyboard. It draws an image and a text colour for its state (hot,
// pushed, focused, disabled), can fade between its normal and hot images,
// and when activated sends "click", or opens its url instead.
//
// "click" is sent synchronously, while the button and its window's manager
// are still on the stack: a handler that closes the window must do so by a
// posted message (CWindowWnd::Close), never by destroying it on the spot.
#pragma once
#include "common/win.h"
#include "ui/controls/text/label_ui.h"
#include "ui/core/render/image_draw_info_ui.h"
#include "ui/core/values/wide_string.h"

namespace QuillUI {

class CButtonUI : public CLabelUI {
public:
    // The control timer of the fade and its period.
    static const UINT kFadeTimerId = 11;
    static const UINT kFadeElapse = 30;

    CButtonUI();
    ~CButtonUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    // Tab stop while keyboard-enabled; its own cursor while enabled.
    UINT GetControlFlags() const override;
    // "click", or the url opened with the shell; false while hidden or disabled.
    bool Activate() override;
    // Disabling clears the state word.
    void SetEnabled(bool enabled = true) override;
    void DoEvent(ControlEventUI& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    // The fixed width and the font's height + 8, unless a height is fixed.
    SIZE EstimateSize(SIZE available) override;
    void PaintStatusImage(HDC dc) override;
    void PaintText(HDC dc) override;
    virtual CWideString GetUrl() const;
    virtual void SetUrl(const wchar_t* url);

    // ---- State images (image descriptions) --------------------------------
    CWideString GetNormalImage() const { return normalImage_.GetDescription(); }
    void SetNormalImage(const wchar_t* description);
    CWideString GetHotImage() const { return hotImage_.GetDescription(); }
    void SetHotImage(const wchar_t* description);
    CWideString GetHotForeImage() const { return hotForeImage_.GetDescription(); }
    void SetHotForeImage(const wchar_t* description);
    CWideString GetPushedImage() const { return pushedImage_.GetDescription(); }
    void SetPushedImage(const wchar_t* description);
    CWideString GetFocusedImage() const { return focusedImage_.GetDescription(); }
    void SetFocusedImage(const wchar_t* description);
    CWideString GetDisabledImage() const { return disabledImage_.GetDescription(); }
    void SetDisabledImage(const wchar_t* description);
    // The image drawn over every state image.
    CWideString GetForeImage() const { return foreImage_.GetDescription(); }
    void SetForeImage(const wchar_t* description);
    // One image of five equal slices side by side: normal, pushed, hot,
    // focused, disabled. A floating button without a size takes a slice's.
    void SetFiveStatusImage(const wchar_t* description);

    // ---- State colours (ARGB; 0 means none) -------------------------------
    DWORD GetHotBkColor() const { return hotBkColor_; }
    void SetHotBkColor(DWORD color) { hotBkColor_ = color; }
    DWORD GetHotTextColor() const { return hotTextColor_; }
    void SetHotTextColor(DWORD color) { hotTextColor_ = color; }
    DWORD GetPushedTextColor() const { return pushedTextColor_; }
    void SetPushedTextColor(DWORD color) { pushedTextColor_ = color; }
    DWORD GetFocusedTextColor() const { return focusedTextColor_; }
    void SetFocusedTextColor(DWORD color) { focusedTextColor_ = color; }

    // ---- Fade ---------------------------------------------------------------
    // The step of the fade alpha every 30 ms; 0 switches the images at once.
    BYTE GetFadeDelta() const { return fadeDelta_; }
    void SetFadeDelta(BYTE delta) { fadeDelta_ = delta; }
    // 255 shows the normal image, 0 the hot one.
    BYTE GetFadeAlpha() const { return fadeAlpha_; }

    // ControlStateUI bits.
    UINT GetState() const { return state_; }

protected:
    // The focused and disabled bits from the control's own flags.
    void UpdateFocusAndDisabledBits();
    // The normal and hot images, blended by the fade alpha when fading.
    void DrawNormalState(HDC dc);
    void DrawHotState(HDC dc);
    // Timer 11: one fade step.
    void StepFade();

    UINT state_ = 0;
    DWORD hotBkColor_ = 0;
    DWORD hotTextColor_ = 0;
    DWORD pushedTextColor_ = 0;
    DWORD focusedTextColor_ = 0;
    BYTE fadeAlpha_ = 255;
    BYTE fadeDelta_ = 0;
    CImageSlotUI normalImage_;
    CImageSlotUI hotImage_;
    CImageSlotUI hotForeImage_;
    CImageSlotUI pushedImage_;
    CImageSlotUI focusedImage_;
    CImageSlotUI disabledImage_;
    CImageSlotUI foreImage_;
    CWideString url_;
};

}  // namespace QuillUI
