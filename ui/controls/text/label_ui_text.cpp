// The label's measuring and its plain text painting.
#include "ui/controls/text/label_ui.h"

#include "ui/controls/text/text_extent_ui.h"
#include "ui/core/render/renderer_ui.h"
#include "ui/core/manager/window_manager_ui.h"

namespace QuillUI {

RECT CLabelUI::GetTextRect() const {
    CRectUI rc = itemRect_;
    rc.left += textPadding_.left;
    rc.top += textPadding_.top;
    rc.right -= textPadding_.right;
    rc.bottom -= textPadding_.bottom;
    return rc;
}

SIZE CLabelUI::EstimateOneLineSize(SIZE available) {
    if (fixedSize_.cy != 0 || manager_ == nullptr || manager_->GetPaintDC() == nullptr) {
        return CControlUI::EstimateSize(available);
    }
    const FontInfoUI* font = manager_->GetFontInfo(font_);
    return CSizeUI(fixedSize_.cx, (font != nullptr ? font->metrics.tmHeight : 0) + 8);
}

SIZE CLabelUI::EstimateSize(SIZE available) {
    if (fixedSize_.cx > 0 && fixedSize_.cy > 0) return fixedSize_;
    // Nothing to measure with before the control belongs to a window.
    if (manager_ == nullptr || manager_->GetPaintDC() == nullptr) return fixedSize_;
    if (IsMultiLine() && (available.cx != lastAvailable_.cx || available.cy != lastAvailable_.cy)) {
        needEstimate_ = true;
    }
    if (!needEstimate_) return estimated_;
    needEstimate_ = false;
    lastAvailable_ = available;
    const TextExtentRequestUI request = {text_.GetData(), font_, textStyle_, showHtml_, textPadding_};
    estimated_ = MeasureTextExtent(*manager_, request, fixedSize_, available);
    return estimated_;
}

void CLabelUI::FillDefaultColors() {
    if (manager_ == nullptr) return;
    if (textColor_ == 0) textColor_ = manager_->GetDefaultFontColor();
    if (disabledTextColor_ == 0) disabledTextColor_ = manager_->GetDefaultDisabledColor();
}

void CLabelUI::DrawPlainText(HDC dc, DWORD color) {
    RECT rc = GetTextRect();
    if (showHtml_) {
        int links = 0;
        CRendererUI::DrawHtmlText(dc, manager_, rc, text_.GetData(), color, nullptr, nullptr, links, font_,
                                  textStyle_);
    } else {
        CRendererUI::DrawText(dc, manager_, rc, text_.GetData(), color, font_, textStyle_);
    }
}

void CLabelUI::PaintText(HDC dc) {
    FillDefaultColors();
    if (Effects().enabledEffect) {
        PaintEffectText(dc);
        return;
    }
    if (text_.IsEmpty()) return;
    DrawPlainText(dc, IsEnabled() ? textColor_ : disabledTextColor_);
}

}  // namespace QuillUI
