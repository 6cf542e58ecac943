#include "ui/core/control/control_ui.h"

#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/values/clamp_ui.h"


namespace QuillUI {

namespace {

// Rounds toward zero, as the anchoring of float controls does.
int Scaled(int length, double percent) { return static_cast<int>(length * percent); }

}  // namespace

void CControlUI::SetPos(RECT rect, bool needInvalidate) {
    if (rect.right < rect.left) rect.right = rect.left;
    if (rect.bottom < rect.top) rect.bottom = rect.top;

    CRectUI area = itemRect_;
    if (IsRectEmpty(&area)) area = rect;

    if (float_) {
        // The rectangle is relative to the parent; the anchors follow from it.
        if (parent_ != nullptr) {
            const RECT& p = parent_->GetPos();
            const int w = p.right - p.left, h = p.bottom - p.top;
            itemRect_ = rect;
            itemRect_.Offset(p.left, p.top);
            fixedXY_.cx = rect.left - Scaled(w, floatPercent_.left);
            fixedXY_.cy = rect.top - Scaled(h, floatPercent_.top);
            fixedSize_.cx = rect.right - Scaled(w, floatPercent_.right) - fixedXY_.cx;
            fixedSize_.cy = rect.bottom - Scaled(h, floatPercent_.bottom) - fixedXY_.cy;
        }
    } else {
        itemRect_ = rect;
    }
    if (manager_ == nullptr) return;

    if (!inSizeNotify_) {
        inSizeNotify_ = true;
        if (OnSize.HasDelegates()) OnSize.Invoke(this);
        inSizeNotify_ = false;
    }
    updateNeeded_ = false;

    if (needInvalidate && IsVisible()) {
        area.Join(itemRect_);
        if (!InvalidateThroughAncestors(area)) return;
    }
    PlaceCover(itemRect_);
}

// The cover is laid over the item rectangle, absolute for an ordinary
// cover, relative to this control for a float one.
void CControlUI::PlaceCover(const RECT& rect) {
    if (cover_ == nullptr || !cover_->IsVisible()) return;
    if (!cover_->IsFloat()) {
        const int cx = Clamp(rect.right - rect.left, cover_->GetMinWidth(), cover_->GetMaxWidth());
        const int cy = Clamp(rect.bottom - rect.top, cover_->GetMinHeight(), cover_->GetMaxHeight());
        cover_->SetPos(CRectUI(rect.left, rect.top, rect.left + cx, rect.top + cy), false);
        return;
    }
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    const SIZE xy = cover_->GetFixedXY();
    const FloatPercentUI percent = cover_->GetFloatPercent();
    const int left = Scaled(w, percent.left) + xy.cx;
    const int top = Scaled(h, percent.top) + xy.cy;
    const int right = Scaled(w, percent.right) + xy.cx + cover_->GetFixedWidth();
    const int bottom = Scaled(h, percent.bottom) + xy.cy + cover_->GetFixedHeight();
    cover_->SetPos(CRectUI(left, top, right, bottom), false);
}

bool CControlUI::InvalidateThroughAncestors(RECT area) {
    for (CControlUI* ancestor = parent_; ancestor != nullptr; ancestor = ancestor->GetParent()) {
        if (!ancestor->IsVisible()) return false;
        RECT clipped;
        if (!IntersectRect(&clipped, &area, &ancestor->GetPos())) return false;
        area = clipped;
    }
    manager_->Invalidate(area);
    return true;
}

void CControlUI::Move(int dx, int dy, bool needInvalidate) {
    CRectUI area = itemRect_;
    itemRect_.Offset(dx, dy);
    if (needInvalidate && manager_ != nullptr && IsVisible()) {
        area.Join(itemRect_);
        if (!InvalidateThroughAncestors(area)) return;
    }
    if (cover_ != nullptr && cover_->IsVisible()) cover_->Move(dx, dy, false);
}

void CControlUI::Invalidate() {
    if (!IsVisible()) return;
    RECT area = itemRect_;
    for (CControlUI* ancestor = parent_; ancestor != nullptr; ancestor = ancestor->GetParent()) {
        if (!IntersectRect(&area, &area, &ancestor->GetPos())) return;
    }
    if (manager_ != nullptr) manager_->Invalidate(area);
}

void CControlUI::NeedUpdate() {
    if (!IsVisible()) return;
    updateNeeded_ = true;
    Invalidate();
    if (manager_ != nullptr) manager_->NeedUpdate();
}

void CControlUI::NeedParentUpdate() {
    // The parent's NeedUpdate invalidates it already: a second invalidation
    // would cost a call into the system for each of many children that a
    // container hides or shows at once (a tree's fold).
    if (parent_ != nullptr) {
        parent_->ChildNeedsUpdate(this);
    } else {
        NeedUpdate();
    }
    if (manager_ != nullptr) manager_->NeedUpdate();
}

void CControlUI::ChildNeedsUpdate(CControlUI*) { NeedUpdate(); }

CControlUI* CControlUI::FindControl(FindControlProcUI proc, void* data, UINT flags) {
    if (proc == nullptr) return nullptr;
    if ((flags & FindVisible) != 0 && !IsVisible()) return nullptr;
    if ((flags & FindEnabled) != 0 && !IsEnabled()) return nullptr;
    const bool hitTest = (flags & FindHitTest) != 0;
    if (hitTest && (data == nullptr || !PtInRect(&itemRect_, *static_cast<const POINT*>(data)))) return nullptr;
    if ((flags & FindUpdateTest) != 0 && proc(this, data) != nullptr) return nullptr;

    const bool answers = !hitTest || IsMouseEnabled();
    const bool meFirst = (flags & FindMeFirst) != 0;
    CControlUI* result = nullptr;
    if (meFirst && answers) result = proc(this, data);
    if (result == nullptr && cover_ != nullptr) result = cover_->FindControl(proc, data, flags);
    if (result == nullptr && !meFirst && answers) result = proc(this, data);
    return result;
}

}  // namespace QuillUI
