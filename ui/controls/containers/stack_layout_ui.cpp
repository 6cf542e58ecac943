// The two-pass placement of a stacking layout, written once for both axes:
// "main" is the stacking direction (x for the horizontal layout, y for the
// vertical one) and "cross" the other.
#include "ui/controls/containers/stack_layout_ui.h"

#include "ui/controls/containers/scroll_bar_ui.h"
#include "ui/core/values/clamp_ui.h"

#include <algorithm>

namespace QuillUI {

namespace {

struct Axis {
    bool h;

    int Main(const SIZE& s) const { return h ? s.cx : s.cy; }
    int Cross(const SIZE& s) const { return h ? s.cy : s.cx; }
    SIZE Size(int main, int cross) const { return h ? SIZE{main, cross} : SIZE{cross, main}; }
    RECT Rect(int mainLo, int crossLo, int mainHi, int crossHi) const {
        return h ? RECT{mainLo, crossLo, mainHi, crossHi} : RECT{crossLo, mainLo, crossHi, mainHi};
    }
    int MainLo(const RECT& r) const { return h ? r.left : r.top; }
    int MainHi(const RECT& r) const { return h ? r.right : r.bottom; }
    int CrossLo(const RECT& r) const { return h ? r.top : r.left; }
    int CrossHi(const RECT& r) const { return h ? r.bottom : r.right; }
    int FixedMain(const CControlUI* c) const { return h ? c->GetFixedWidth() : c->GetFixedHeight(); }
    int FixedCross(const CControlUI* c) const { return h ? c->GetFixedHeight() : c->GetFixedWidth(); }
    int MinMain(const CControlUI* c) const { return h ? c->GetMinWidth() : c->GetMinHeight(); }
    int MaxMain(const CControlUI* c) const { return h ? c->GetMaxWidth() : c->GetMaxHeight(); }
    int MinCross(const CControlUI* c) const { return h ? c->GetMinHeight() : c->GetMinWidth(); }
    int MaxCross(const CControlUI* c) const { return h ? c->GetMaxHeight() : c->GetMaxWidth(); }
};

bool IsShown(const CScrollBarUI* bar) { return bar != nullptr && bar->IsVisible(); }

// The available size cut to the child's fixed size where it has one, else
// to its maximum.
SIZE Capped(SIZE available, const CControlUI* child) {
    const int capWidth = child->GetFixedWidth() > 0 ? child->GetFixedWidth() : child->GetMaxWidth();
    const int capHeight = child->GetFixedHeight() > 0 ? child->GetFixedHeight() : child->GetMaxHeight();
    if (available.cx > capWidth) available.cx = capWidth;
    if (available.cy > capHeight) available.cy = capHeight;
    return available;
}

}  // namespace

void CStackLayoutUI::SetPos(RECT rect, bool needInvalidate) {
    CControlUI::SetPos(rect, needInvalidate);
    const Axis axis{horizontal_};
    // The child area without the space of this layout's own bars (not the
    // accessors, which a derived class may forward elsewhere).
    const RECT rc = CContainerUI::GetClientPos();
    if (items_.IsEmpty()) {
        ProcessScrollBar(rc, 0, 0);
        return;
    }
    const CScrollBarUI* mainBar = horizontal_ ? horizontalScrollBar_ : verticalScrollBar_;
    const CScrollBarUI* crossBar = horizontal_ ? verticalScrollBar_ : horizontalScrollBar_;
    const bool mainBarShown = IsShown(mainBar);
    const bool crossBarShown = IsShown(crossBar);
    const int mainRange = mainBarShown ? mainBar->GetScrollRange() : 0;
    const int mainPos = mainBarShown ? mainBar->GetScrollPos() : 0;
    const int crossRange = crossBarShown ? crossBar->GetScrollRange() : 0;
    const int crossPos = crossBarShown ? crossBar->GetScrollPos() : 0;

    // The whole scrollable extent.
    const int availMain = axis.MainHi(rc) - axis.MainLo(rc) + mainRange;
    const int availCross = axis.CrossHi(rc) - axis.CrossLo(rc) + crossRange;

    // First pass: what the children of known size take.
    int adjustables = 0;
    int fixed = 0;
    int stacked = 0;
    int crossNeeded = 0;
    for (int i = 0; i < items_.GetSize(); ++i) {
        CControlUI* child = static_cast<CControlUI*>(items_[i]);
        if (!child->IsVisible() || child->IsFloat()) continue;
        const RECT pad = child->GetPadding();
        const int padMain = axis.MainLo(pad) + axis.MainHi(pad);
        const int padCross = axis.CrossLo(pad) + axis.CrossHi(pad);
        const SIZE available = Capped(axis.Size(availMain, availCross - padCross), child);
        SIZE estimate;
        bool adjustable = false;
        if (horizontal_ && child->GetFixedWidth() == 0) {
            // Without a width of its own the child is not measured.
            adjustable = true;
            estimate = SIZE{0, child->GetFixedHeight()};
        } else {
            estimate = child->EstimateSize(available);
            adjustable = axis.Main(estimate) == 0;
        }
        int main = axis.Main(estimate);
        if (adjustable) {
            ++adjustables;
        } else {
            main = Clamp(main, axis.MinMain(child), axis.MaxMain(child));
        }
        fixed += main + padMain;
        int cross = std::max(0, axis.Cross(estimate));
        cross = Clamp(cross, axis.MinCross(child), axis.MaxCross(child));
        crossNeeded = std::max(crossNeeded, cross + padCross);
        ++stacked;
    }
    const int paddings = stacked > 1 ? (stacked - 1) * childPadding_ : 0;
    fixed += paddings;

    int expand = 0;
    if (adjustables > 0) expand = std::max(0, (availMain - fixed) / adjustables);

    // Second pass: place them.
    int at = axis.MainLo(rc) - mainPos;
    int remaining = availMain;
    int fixedRemaining = fixed;
    int mainNeeded = 0;
    int adjustable = 0;
    int placed = 0;
    for (int i = 0; i < items_.GetSize(); ++i) {
        CControlUI* child = ChildToPlace(i);
        if (child == nullptr) continue;
        const RECT pad = child->GetPadding();
        const int padMainLo = axis.MainLo(pad);
        const int padMainHi = axis.MainHi(pad);
        const int padCrossLo = axis.CrossLo(pad);
        const int padCrossHi = axis.CrossHi(pad);
        remaining -= padMainLo;
        const SIZE available = Capped(axis.Size(remaining, availCross - padCrossLo - padCrossHi), child);
        fixedRemaining -= padMainLo + padMainHi;
        if (placed > 0) fixedRemaining -= childPadding_;

        const SIZE estimate = child->EstimateSize(available);
        int main = 0;
        const bool isAdjustable = (horizontal_ && child->GetFixedWidth() == 0) || axis.Main(estimate) == 0;
        if (isAdjustable) {
            ++adjustable;
            main = expand;
            // The last one takes what is left, remainders of the division included.
            if (adjustable == adjustables) main = std::max(0, remaining - padMainHi - fixedRemaining);
            main = Clamp(main, axis.MinMain(child), axis.MaxMain(child));
        } else {
            main = Clamp(axis.Main(estimate), axis.MinMain(child), axis.MaxMain(child));
            fixedRemaining -= main;
        }

        int cross = axis.MaxCross(child);
        if (cross == 0) cross = availCross - padCrossLo - padCrossHi;
        if (cross < 0) cross = 0;
        if (cross > axis.Cross(available)) cross = axis.Cross(available);
        if (cross < axis.MinCross(child)) cross = axis.MinCross(child);

        // Across the axis: the layout's child valign (horizontal) or child
        // align (vertical); centre and far count the bar's range.
        const UINT align = horizontal_ ? childVAlign_ : childAlign_;
        const UINT centre = horizontal_ ? DT_VCENTER : DT_CENTER;
        const UINT farAlign = horizontal_ ? DT_BOTTOM : DT_RIGHT;
        const int mainLo = at + padMainLo;
        RECT placement;
        if (align == centre) {
            const int middle = (axis.CrossLo(rc) + axis.CrossHi(rc)) / 2 + crossRange / 2 - crossPos;
            placement = axis.Rect(mainLo, middle - cross / 2, mainLo + main, middle + cross - cross / 2);
        } else if (align == farAlign) {
            const int edge = axis.CrossHi(rc) + crossRange - crossPos;
            placement = axis.Rect(mainLo, edge - padCrossHi - cross, mainLo + main, edge - padCrossHi);
        } else {
            const int edge = axis.CrossLo(rc) - crossPos;
            placement = axis.Rect(mainLo, edge + padCrossLo, mainLo + main, edge + padCrossLo + cross);
        }
        child->SetPos(placement, false);

        at += main + childPadding_ + padMainLo + padMainHi;
        mainNeeded += main + padMainLo + padMainHi;
        remaining -= main + childPadding_ + padMainHi;
        ++placed;
    }
    mainNeeded += paddings;
    const SIZE needed = axis.Size(mainNeeded, crossNeeded);
    ProcessScrollBar(rc, needed.cx, needed.cy);
}

}  // namespace QuillUI
