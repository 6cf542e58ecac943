// The body's painting: the container's, with the rows numbered in painted
// order for alternate backgrounds and a grid line under each row.
#include "ui/controls/lists/list_body_ui.h"

#include "ui/controls/containers/scroll_bar_ui.h"
#include "ui/controls/lists/list_item_look_ui.h"
#include "ui/controls/lists/list_ui.h"
#include "ui/core/render/clip_region_guard.h"

namespace QuillUI {

namespace {

bool Meets(const RECT& a, const RECT& b) {
    RECT both;
    return IntersectRect(&both, &a, &b) != FALSE;
}

}  // namespace

bool CListBodyUI::DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) {
    RECT visible;
    if (!IntersectRect(&visible, &paint, &itemRect_)) return true;
    const ListInfoUI* info = owner_ != nullptr ? owner_->GetListInfo() : nullptr;
    CClipRegionGuard clip;
    CClipRegionGuard::GenerateClip(dc, visible, clip);
    CControlUI::DoPaint(dc, paint, stopControl);

    if (!items_.IsEmpty()) {
        const RECT client = GetClientPos();
        RECT childPaint;
        if (!IntersectRect(&childPaint, &paint, &client)) {
            for (int i = 0; i < items_.GetSize(); ++i) {
                CControlUI* child = static_cast<CControlUI*>(items_[i]);
                if (child == stopControl) return false;
                if (!child->IsVisible() || !child->IsFloat()) continue;
                if (!Meets(paint, child->GetPos()) || !Meets(itemRect_, child->GetPos())) continue;
                if (!child->Paint(dc, paint, stopControl)) return false;
            }
        } else {
            CClipRegionGuard childClip;
            CClipRegionGuard::GenerateClip(dc, childPaint, childClip);
            int drawIndex = 0;
            for (int i = 0; i < items_.GetSize(); ++i) {
                CControlUI* child = static_cast<CControlUI*>(items_[i]);
                if (child == stopControl) return false;
                if (!child->IsVisible()) continue;
                MarkListRow(dc, *child, info, paint, drawIndex);
                const RECT& pos = child->GetPos();
                if (!Meets(paint, pos)) continue;
                if (!child->IsFloat()) {
                    if (Meets(client, pos) && !child->Paint(dc, paint, stopControl)) return false;
                } else if (Meets(itemRect_, pos)) {
                    CClipRegionGuard::UseOldClipBegin(dc, childClip);
                    const bool goOn = child->Paint(dc, paint, stopControl);
                    CClipRegionGuard::UseOldClipEnd(dc, childClip);
                    if (!goOn) return false;
                }
            }
        }
    }

    CScrollBarUI* bars[] = {verticalScrollBar_, horizontalScrollBar_};
    for (CScrollBarUI* bar : bars) {
        if (bar == nullptr) continue;
        if (bar == stopControl) return false;
        if (bar->IsVisible() && Meets(paint, bar->GetPos()) && !bar->Paint(dc, paint, stopControl)) return false;
    }
    return true;
}

}  // namespace QuillUI
