#include "ui/controls/containers/container_ui.h"
#include "ui/controls/containers/scroll_bar_ui.h"
#include "ui/core/values/clamp_ui.h"

namespace QuillUI {

namespace {

bool IsShown(const CScrollBarUI* bar) { return bar != nullptr && bar->IsVisible(); }

}  // namespace

RECT CContainerUI::GetInsetRect() const {
    RECT rc = itemRect_;
    rc.left += inset_.left;
    rc.top += inset_.top;
    rc.right -= inset_.right;
    rc.bottom -= inset_.bottom;
    return rc;
}

RECT CContainerUI::GetClientPos() const {
    RECT rc = GetInsetRect();
    if (IsShown(verticalScrollBar_)) rc.right -= verticalScrollBar_->GetFixedWidth();
    if (IsShown(horizontalScrollBar_)) rc.bottom -= horizontalScrollBar_->GetFixedHeight();
    return rc;
}

RECT CContainerUI::GetLayoutArea() const {
    RECT rc = GetInsetRect();
    if (IsShown(verticalScrollBar_)) {
        rc.top -= verticalScrollBar_->GetScrollPos();
        rc.bottom = rc.bottom - verticalScrollBar_->GetScrollPos() + verticalScrollBar_->GetScrollRange();
        rc.right -= verticalScrollBar_->GetFixedWidth();
    }
    if (IsShown(horizontalScrollBar_)) {
        rc.left -= horizontalScrollBar_->GetScrollPos();
        rc.right = rc.right - horizontalScrollBar_->GetScrollPos() + horizontalScrollBar_->GetScrollRange();
        rc.bottom -= horizontalScrollBar_->GetFixedHeight();
    }
    return rc;
}

void CContainerUI::SetPos(RECT rect, bool needInvalidate) {
    CControlUI::SetPos(rect, needInvalidate);
    if (items_.IsEmpty()) return;
    const RECT area = GetLayoutArea();
    for (int i = 0; i < items_.GetSize(); ++i) {
        CControlUI* child = ChildToPlace(i);
        if (child == nullptr) continue;
        const int width = Clamp(area.right - area.left, child->GetMinWidth(), child->GetMaxWidth());
        const int height = Clamp(area.bottom - area.top, child->GetMinHeight(), child->GetMaxHeight());
        child->SetPos(RECT{area.left, area.top, area.left + width, area.top + height}, false);
    }
}

void CContainerUI::Move(int dx, int dy, bool needInvalidate) {
    CControlUI::Move(dx, dy, needInvalidate);
    if (IsShown(verticalScrollBar_)) verticalScrollBar_->Move(dx, dy, false);
    if (IsShown(horizontalScrollBar_)) horizontalScrollBar_->Move(dx, dy, false);
    for (int i = 0; i < items_.GetSize(); ++i) {
        CControlUI* child = static_cast<CControlUI*>(items_[i]);
        if (child->IsVisible()) child->Move(dx, dy, false);
    }
}

void CContainerUI::SetFloatPos(int index) {
    if (index < 0 || index >= items_.GetSize()) return;
    CControlUI* child = static_cast<CControlUI*>(items_[index]);
    if (!child->IsVisible() || !child->IsFloat()) return;
    const double width = itemRect_.right - itemRect_.left;
    const double height = itemRect_.bottom - itemRect_.top;
    const SIZE xy = child->GetFixedXY();
    const FloatPercentUI percent = child->GetFloatPercent();
    // The casts truncate toward zero.
    RECT rc;
    rc.left = static_cast<LONG>(width * percent.left) + xy.cx;
    rc.top = static_cast<LONG>(height * percent.top) + xy.cy;
    rc.right = static_cast<LONG>(width * percent.right) + xy.cx + child->GetFixedWidth();
    rc.bottom = static_cast<LONG>(height * percent.bottom) + xy.cy + child->GetFixedHeight();
    child->SetPos(rc, false);
}

CControlUI* CContainerUI::ChildToPlace(int index) {
    CControlUI* child = static_cast<CControlUI*>(items_[index]);
    if (!child->IsVisible()) return nullptr;
    if (!child->IsFloat()) return child;
    SetFloatPos(index);
    return nullptr;
}

void CContainerUI::Relayout(bool needInvalidate) {
    SetPos(IsFloat() ? GetRelativePos() : RECT(itemRect_), needInvalidate);
}

void CContainerUI::ProcessScrollBar(RECT rc, int cxRequired, int cyRequired) {
    CScrollBarUI* vbar = verticalScrollBar_;
    CScrollBarUI* hbar = horizontalScrollBar_;
    if (vbar == nullptr && hbar == nullptr) return;
    const bool wasProcessing = scrollProcess_;
    // Shows the bar's space to the children: one more layout with the flag
    // set, so that the nested pass does not take the bar away again.
    auto relayoutShown = [&]() {
        scrollProcess_ = true;
        Relayout(true);
        scrollProcess_ = wasProcessing;
    };

    if (hbar == nullptr || vbar == nullptr) {
        CScrollBarUI* bar = vbar != nullptr ? vbar : hbar;
        const bool vertical = bar == vbar;
        const int have = vertical ? rc.bottom - rc.top : rc.right - rc.left;
        const int need = vertical ? cyRequired : cxRequired;
        if (have < need && !bar->IsVisible()) {
            bar->SetVisible(true);
            bar->SetScrollRange(need - have);
            bar->SetScrollPos(0, true);
            relayoutShown();
            return;
        }
        if (!bar->IsVisible()) return;
        const int d = need - have;
        if (d <= 0 && !scrollProcess_) {
            bar->SetVisible(false);
            bar->SetScrollPos(0, true);
            bar->SetScrollRange(0);
            Relayout(true);
            return;
        }
        if (vertical)
            bar->SetPos(RECT{rc.right, rc.top, rc.right + bar->GetFixedWidth(), rc.bottom}, false);
        else
            bar->SetPos(RECT{rc.left, rc.bottom, rc.right, rc.bottom + bar->GetFixedHeight()}, false);
        // Content that fits needs no range (not the size of the gap).
        const int range = d > 0 ? d : 0;
        if (bar->GetScrollRange() != range) {
            const int old = bar->GetScrollPos();
            bar->SetScrollRange(range);
            if (bar->GetScrollRange() == 0) {
                bar->SetVisible(false);
                bar->SetScrollPos(0, true);
            }
            if (old > bar->GetScrollPos()) Relayout(false);
        }
        return;
    }

    // Both bars: the horizontal one first, since it takes height.
    bool needRelayout = false;
    const int width = rc.right - rc.left;
    const int hbarHeight = hbar->GetFixedHeight();
    const int vbarWidth = vbar->GetFixedWidth();
    if (width < cxRequired) {
        if (!hbar->IsVisible()) {
            hbar->SetVisible(true);
            hbar->SetScrollPos(0, true);
            rc.bottom -= hbarHeight;
        }
        hbar->SetPos(RECT{rc.left, rc.bottom, rc.right, rc.bottom + hbarHeight}, false);
        if (hbar->GetScrollRange() != cxRequired - width) {
            hbar->SetScrollRange(cxRequired - width);
            needRelayout = true;
        }
    } else if (hbar->IsVisible()) {
        hbar->SetVisible(false);
        rc.bottom += hbarHeight;
    }

    const int height = rc.bottom - rc.top;
    if (height < cyRequired && !vbar->IsVisible()) {
        vbar->SetVisible(true);
        vbar->SetScrollRange(cyRequired - height);
        vbar->SetScrollPos(0, true);
        if (hbar->IsVisible()) {
            hbar->SetPos(RECT{rc.left, rc.bottom, rc.right - vbarWidth, rc.bottom + hbarHeight}, false);
            hbar->SetScrollRange(cxRequired - (width - vbarWidth));
        }
        relayoutShown();
        return;
    }
    if (!vbar->IsVisible()) {
        if (needRelayout) Relayout(true);
        return;
    }
    const int d = cyRequired - height;
    if (d <= 0 && !scrollProcess_) {
        vbar->SetVisible(false);
        vbar->SetScrollPos(0, true);
        vbar->SetScrollRange(0);
        if (hbar->IsVisible()) {
            hbar->SetPos(RECT{rc.left, rc.bottom, rc.right + vbarWidth, rc.bottom + hbarHeight}, false);
            hbar->SetScrollRange(cxRequired - (width + vbarWidth));
        }
        Relayout(true);
        return;
    }
    vbar->SetPos(RECT{rc.right, rc.top, rc.right + vbarWidth, rc.bottom}, false);
    const int old = vbar->GetScrollPos();
    const int range = d > 0 ? d : 0;
    if (vbar->GetScrollRange() != range) {
        vbar->SetScrollRange(range);
        if (vbar->GetScrollRange() == 0) {
            vbar->SetVisible(false);
            vbar->SetScrollPos(0, true);
        }
    }
    if (old > vbar->GetScrollPos() || needRelayout) Relayout(false);
}

}  // namespace QuillUI
