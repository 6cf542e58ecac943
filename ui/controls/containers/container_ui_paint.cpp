#include "ui/controls/containers/container_ui.h"
#include "ui/controls/containers/scroll_bar_ui.h"
#include "ui/core/render/clip_region_guard.h"

namespace QuillUI {

namespace {

bool Meets(const RECT& a, const RECT& b) {
    RECT both;
    return IntersectRect(&both, &a, &b) != FALSE;
}

}  // namespace

bool CContainerUI::DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) {
    RECT visible;
    if (!IntersectRect(&visible, &paint, &itemRect_)) return true;
    CClipRegionGuard clip;
    CClipRegionGuard::GenerateClip(dc, visible, clip);
    CControlUI::DoPaint(dc, paint, stopControl);
    if (!PaintChildren(dc, paint, stopControl)) return false;
    return PaintScrollBars(dc, paint, stopControl);
}

bool CContainerUI::PaintChildren(HDC dc, const RECT& paint, CControlUI* stopControl) {
    return PaintChildren(dc, paint, stopControl, 0, items_.GetSize());
}

bool CContainerUI::PaintChildren(HDC dc, const RECT& paint, CControlUI* stopControl, int first, int end) {
    if (items_.IsEmpty()) return true;
    if (first < 0) first = 0;
    if (end > items_.GetSize()) end = items_.GetSize();
    if (stopControl != nullptr && (first > 0 || end < items_.GetSize())) {
        // The skipped children paint nothing, but the walk still ends at
        // the stop control wherever it stands.
        const int stop = items_.Find(stopControl);
        if (stop >= 0 && stop < first) return false;
        if (stop >= end) {
            PaintChildren(dc, paint, nullptr, first, end);
            return false;
        }
    }
    const RECT client = GetClientPos();
    RECT childPaint;
    if (!IntersectRect(&childPaint, &paint, &client)) {
        // Only float children can show outside the child area.
        for (int i = first; i < end; ++i) {
            CControlUI* child = static_cast<CControlUI*>(items_[i]);
            if (child == stopControl) return false;
            if (!child->IsVisible() || !Meets(paint, child->GetPos())) continue;
            if (!child->IsFloat() || !Meets(itemRect_, child->GetPos())) continue;
            if (!child->Paint(dc, paint, stopControl)) return false;
        }
        return true;
    }
    CClipRegionGuard childClip;
    CClipRegionGuard::GenerateClip(dc, childPaint, childClip);
    for (int i = first; i < end; ++i) {
        CControlUI* child = static_cast<CControlUI*>(items_[i]);
        if (child == stopControl) return false;
        if (!child->IsVisible()) continue;
        OnChildPaintTurn(dc, paint, child);
        if (!Meets(paint, child->GetPos())) continue;
        if (!child->IsFloat()) {
            if (!Meets(client, child->GetPos())) continue;
            if (!child->Paint(dc, paint, stopControl)) return false;
        } else if (Meets(itemRect_, child->GetPos())) {
            CClipRegionGuard::UseOldClipBegin(dc, childClip);
            const bool goOn = child->Paint(dc, paint, stopControl);
            CClipRegionGuard::UseOldClipEnd(dc, childClip);
            if (!goOn) return false;
        }
    }
    return true;
}

void CContainerUI::OnChildPaintTurn(HDC, const RECT&, CControlUI*) {}

bool CContainerUI::PaintScrollBars(HDC dc, const RECT& paint, CControlUI* stopControl) {
    CScrollBarUI* bars[] = {verticalScrollBar_, horizontalScrollBar_};
    for (CScrollBarUI* bar : bars) {
        if (bar == nullptr) continue;
        if (bar == stopControl) return false;
        if (bar->IsVisible() && Meets(paint, bar->GetPos()) && !bar->Paint(dc, paint, stopControl)) return false;
    }
    return true;
}

}  // namespace QuillUI
