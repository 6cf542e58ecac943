#include "ui/controls/containers/scroll_bar_ui.h"
#include "ui/core/render/renderer_ui.h"

namespace QuillUI {

namespace {

bool IsAllZero(const RECT& rc) { return rc.left == 0 && rc.top == 0 && rc.right == 0 && rc.bottom == 0; }

void FollowEnabled(UINT& state, bool enabled) {
    if (enabled)
        state &= ~CScrollBarUI::PartDisabled;
    else
        state |= CScrollBarUI::PartDisabled;
}

}  // namespace

CImageSlotUI* CScrollBarUI::StateImage(PartImagesUI& images, UINT state) {
    if (state & PartDisabled) return &images.disabled;
    if (state & PartPushed) return &images.pushed;
    if (state & PartHot) return &images.hot;
    return nullptr;
}

bool CScrollBarUI::DrawPartImage(HDC dc, CImageSlotUI& slot, const RECT& part) {
    ImageDrawInfoUI* info = slot.Get();
    if (info == nullptr || info->drawString.IsEmpty()) return false;
    // Parse and load first: parsing sets the destination from the text.
    if (!DrawImage(nullptr, *info)) return false;
    info->dest = CRectUI(part.left - itemRect_.left, part.top - itemRect_.top, part.right - itemRect_.left,
                         part.bottom - itemRect_.top);
    return DrawImage(dc, *info);
}

void CScrollBarUI::PaintBackground(HDC dc) {
    FollowEnabled(thumbState_, IsEnabled());
    CImageSlotUI* state = StateImage(bkImages_, thumbState_);
    if (state != nullptr && !state->IsEmpty() && DrawImage(dc, *state)) return;
    if (!bkImages_.normal.IsEmpty()) DrawImage(dc, bkImages_.normal);
}

void CScrollBarUI::PaintPart(HDC dc, const RECT& part, UINT& state, DWORD color, PartImagesUI& images) {
    FollowEnabled(state, IsEnabled());
    if (color != 0) CRendererUI::DrawColor(dc, part, GetAdjustColor(color));
    CImageSlotUI* image = StateImage(images, state);
    if (image != nullptr && DrawPartImage(dc, *image, part)) return;
    DrawPartImage(dc, images.normal, part);
}

void CScrollBarUI::PaintRail(HDC dc) {
    const int s = GetThickness();
    RECT mark;
    if (!horizontal_) {
        const int middle = (thumb_.top + thumb_.bottom) / 2;
        mark = {thumb_.left, middle - s / 2, thumb_.right, middle - s / 2 + s};
    } else {
        const int middle = (thumb_.left + thumb_.right) / 2;
        mark = {middle - s / 2, thumb_.top, middle - s / 2 + s, thumb_.bottom};
    }
    CImageSlotUI* image = StateImage(railImages_, thumbState_);
    if (image != nullptr && DrawPartImage(dc, *image, mark)) return;
    DrawPartImage(dc, railImages_.normal, mark);
}

bool CScrollBarUI::DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) {
    (void)paint;
    (void)stopControl;
    PaintBkColor(dc);
    PaintBkImage(dc);
    PaintBackground(dc);
    if (showButton1_) PaintPart(dc, button1_, button1State_, button1Color_, button1Images_);
    if (showButton2_) PaintPart(dc, button2_, button2State_, button2Color_, button2Images_);
    if (!IsAllZero(thumb_)) {
        PaintPart(dc, thumb_, thumbState_, thumbColor_, thumbImages_);
        PaintRail(dc);
    }
    PaintBorder(dc);
    return true;
}

}  // namespace QuillUI
