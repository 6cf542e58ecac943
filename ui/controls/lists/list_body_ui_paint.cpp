// The body's painting: the container's, with the rows numbered in painted
// order for alternate backgrounds and a grid line under each row.
#include "ui/controls/lists/list_body_ui.h"

#include "ui/controls/lists/list_item_look_ui.h"
#include "ui/controls/lists/list_ui.h"
#include "ui/core/render/clip_region_guard.h"

namespace QuillUI {

bool CListBodyUI::DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) {
    RECT visible;
    if (!IntersectRect(&visible, &paint, &itemRect_)) return true;
    CClipRegionGuard clip;
    CClipRegionGuard::GenerateClip(dc, visible, clip);
    CControlUI::DoPaint(dc, paint, stopControl);
    paintInfo_ = owner_ != nullptr ? owner_->GetListInfo() : nullptr;
    drawIndex_ = 0;
    bool goOn = true;
    if (placedInView_) {
        // Only the rows in view have their places; the numbering goes on
        // from the rows above them.
        drawIndex_ = viewFirst_ < recordCount_ ? RowOrdinal(viewFirst_) : 0;
        goOn = PaintChildren(dc, paint, stopControl, viewFirst_, viewEnd_);
    } else {
        goOn = PaintChildren(dc, paint, stopControl);
    }
    paintInfo_ = nullptr;
    return goOn && PaintScrollBars(dc, paint, stopControl);
}

void CListBodyUI::OnChildPaintTurn(HDC dc, const RECT& paint, CControlUI* child) {
    MarkListRow(dc, *child, paintInfo_, paint, drawIndex_);
}

}  // namespace QuillUI
