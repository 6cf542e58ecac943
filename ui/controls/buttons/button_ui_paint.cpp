// The button's state image and state text colour.
#include "ui/controls/buttons/button_ui.h"

#include "ui/controls/buttons/control_state_ui.h"
#include "ui/core/render/renderer_ui.h"
#include "ui/core/manager/window_manager_ui.h"

namespace QuillUI {

void CButtonUI::UpdateFocusAndDisabledBits() { QuillUI::UpdateFocusAndDisabledBits(state_, *this); }

void CButtonUI::DrawNormalState(HDC dc) {
    if (fadeDelta_ == 0) {
        DrawImage(dc, normalImage_);
        return;
    }
    if (fadeAlpha_ == 255) {
        normalImage_.SetFade(255);
        DrawImage(dc, normalImage_);
        return;
    }
    hotImage_.SetFade(static_cast<uint8_t>(255 - fadeAlpha_));
    DrawImage(dc, hotImage_);
    normalImage_.SetFade(fadeAlpha_);
    DrawImage(dc, normalImage_);
}

void CButtonUI::DrawHotState(HDC dc) {
    if (fadeDelta_ == 0) {
        if (!DrawImage(dc, hotImage_)) DrawImage(dc, normalImage_);
        return;
    }
    if (fadeAlpha_ == 0) {
        hotImage_.SetFade(255);
        DrawImage(dc, hotImage_);
        return;
    }
    normalImage_.SetFade(fadeAlpha_);
    DrawImage(dc, normalImage_);
    hotImage_.SetFade(static_cast<uint8_t>(255 - fadeAlpha_));
    DrawImage(dc, hotImage_);
}

void CButtonUI::PaintStatusImage(HDC dc) {
    UpdateFocusAndDisabledBits();
    if ((state_ & StateDisabled) != 0) {
        if (!DrawImage(dc, disabledImage_)) DrawNormalState(dc);
    } else if ((state_ & StatePushed) != 0) {
        if (!DrawImage(dc, pushedImage_)) DrawImage(dc, normalImage_);
    } else if ((state_ & StateHot) != 0) {
        DrawHotState(dc);
        // A hot fore image or a hot background replaces the fore image.
        if (DrawImage(dc, hotForeImage_)) return;
        if (hotBkColor_ != 0) {
            CRendererUI::DrawColor(dc, paintRect_, GetAdjustColor(hotBkColor_));
            return;
        }
    } else if ((state_ & StateFocused) != 0) {
        if (!DrawImage(dc, focusedImage_)) DrawNormalState(dc);
    } else {
        DrawNormalState(dc);
    }
    DrawImage(dc, foreImage_);
}

void CButtonUI::PaintText(HDC dc) {
    UpdateFocusAndDisabledBits();
    FillDefaultColors();
    if (text_.IsEmpty()) return;
    DWORD color = IsEnabled() ? textColor_ : disabledTextColor_;
    if ((state_ & StatePushed) != 0 && pushedTextColor_ != 0) {
        color = pushedTextColor_;
    } else if ((state_ & StateHot) != 0 && hotTextColor_ != 0) {
        color = hotTextColor_;
    } else if ((state_ & StateFocused) != 0 && focusedTextColor_ != 0) {
        color = focusedTextColor_;
    }
    DrawPlainText(dc, color);
}

}  // namespace QuillUI
