// The grid is computed in 64 bits: item sizes, gaps and column counts come
// from markup, and their products must not wrap.
#include "ui/controls/containers/tile_layout_ui.h"

#include "ui/controls/containers/scroll_bar_ui.h"
#include "ui/core/values/clamp_ui.h"
#include "ui/core/values/number_list_ui.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>

namespace QuillUI {

namespace {

bool IsShown(const CScrollBarUI* bar) { return bar != nullptr && bar->IsVisible(); }

// Far beyond any screen, and far enough from the int limits that the scroll
// arithmetic on top of it stays in range.
int ToCoordinate(int64_t value) {
    const int limit = 0x3FFFFFFF;
    return Clamp(value, -limit, limit);
}

// Where a child of that extent starts in its cell: at the near edge (any
// value but centre and far), centred, or at the far edge.
int64_t OffsetInCell(UINT align, UINT centre, UINT farEdge, int64_t cell, int64_t extent) {
    if (align == centre) return (cell - extent) / 2;
    if (align == farEdge) return cell - extent;
    return 0;
}

}  // namespace

CTileLayoutUI::CTileLayoutUI() = default;

CTileLayoutUI::~CTileLayoutUI() = default;

const wchar_t* CTileLayoutUI::GetClass() const { return L"TileLayout"; }

void* CTileLayoutUI::GetInterface(const wchar_t* name) {
    if (name != nullptr && wcscmp(name, L"TileLayout") == 0) return this;
    return CContainerUI::GetInterface(name);
}

void CTileLayoutUI::SetItemSize(SIZE size) {
    // A cell without width would divide the area by zero.
    if (size.cx < 1 || size.cy < 1) return;
    if (size.cx == itemSize_.cx && size.cy == itemSize_.cy) return;
    itemSize_ = size;
    NeedUpdate();
}

void CTileLayoutUI::SetColumns(int columns) {
    if (columns < 0) return;
    columns_ = columns;
    NeedUpdate();
}

void CTileLayoutUI::SetChildVPadding(int padding) {
    childVPadding_ = padding < 0 ? 0 : padding;
    NeedUpdate();
}

void CTileLayoutUI::SetPos(RECT rect, bool needInvalidate) {
    CControlUI::SetPos(rect, needInvalidate);
    const RECT rc = CContainerUI::GetClientPos();
    if (items_.IsEmpty()) {
        ProcessScrollBar(rc, 0, 0);
        return;
    }
    const bool hShown = IsShown(horizontalScrollBar_);
    const bool vShown = IsShown(verticalScrollBar_);
    const int64_t width = rc.right - rc.left;
    const int64_t availableWidth = width + (hShown ? horizontalScrollBar_->GetScrollRange() : 0);
    const int64_t iw = itemSize_.cx;
    const int64_t ih = itemSize_.cy;
    const int64_t vgap = childVPadding_;
    // The cells up to the last child placed: hidden children keep theirs,
    // so the extent covers every child that shows.
    int64_t cells = 0;
    for (int i = 0; i < items_.GetSize(); ++i) {
        const CControlUI* child = static_cast<const CControlUI*>(items_[i]);
        if (child->IsVisible() && !child->IsFloat()) cells = i + 1;
    }

    int64_t gap = childPadding_;
    int64_t columns = 0;
    int64_t neededWidth = 0;
    if (columns_ == 0) {
        if (width < iw) {
            columns = 1;
            neededWidth = iw;
        } else {
            columns = width / iw;
            neededWidth = width;
        }
        // The free width spread between the columns.
        if (columns < 2)
            gap = 0;
        else if (gap < 1)
            gap = std::max<int64_t>(0, (width - columns * iw) / (columns - 1));
    } else {
        columns = columns_;
        if (columns < 2) {
            gap = 0;
        } else if (gap < 1) {
            const int64_t spread = hShown && width < columns * iw ? availableWidth : width;
            gap = std::max<int64_t>(0, (spread - columns * iw) / (columns - 1));
        }
        const int64_t across = std::min(cells, columns);
        neededWidth = std::max<int64_t>(0, across * iw + (across - 1) * gap);
    }
    const int64_t rows = cells == 0 ? 0 : (cells - 1) / columns + 1;
    const int64_t neededHeight = rows == 0 ? 0 : rows * ih + (rows - 1) * vgap;

    const int64_t scrollX = hShown ? horizontalScrollBar_->GetScrollPos() : 0;
    const int64_t scrollY = vShown ? verticalScrollBar_->GetScrollPos() : 0;
    for (int i = 0; i < items_.GetSize(); ++i) {
        CControlUI* child = ChildToPlace(i);
        if (child == nullptr) continue;
        const RECT pad = child->GetPadding();
        const int64_t w = std::max<int64_t>(0, std::min<int64_t>(iw - pad.left - pad.right, child->GetMaxWidth()));
        const int64_t h = std::max<int64_t>(0, std::min<int64_t>(ih - pad.top - pad.bottom, child->GetMaxHeight()));
        const int64_t x = rc.left + (iw + gap) * (i % columns) - scrollX;
        const int64_t y = rc.top + (ih + vgap) * (i / columns) - scrollY;
        // The padding comes off the cell size and again off the placed edges.
        const int64_t left = x + OffsetInCell(childAlign_, DT_CENTER, DT_RIGHT, iw, w);
        const int64_t top = y + OffsetInCell(childVAlign_, DT_VCENTER, DT_BOTTOM, ih, h);
        const RECT place = {ToCoordinate(left + pad.left), ToCoordinate(top + pad.top),
                            ToCoordinate(left + w - pad.right), ToCoordinate(top + h - pad.bottom)};
        child->SetPos(place, false);
    }
    ProcessScrollBar(rc, ToCoordinate(neededWidth), ToCoordinate(neededHeight));
}

void CTileLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr || value == nullptr) return;
    if (wcscmp(name, L"itemsize") == 0) {
        long size[2] = {0, 0};
        ParseNumberList(value, size, 2);
        SetItemSize(SIZE{size[0], size[1]});
    } else if (wcscmp(name, L"columns") == 0) {
        SetColumns(static_cast<int>(wcstol(value, nullptr, 10)));
    } else if (wcscmp(name, L"childvpadding") == 0) {
        SetChildVPadding(static_cast<int>(wcstol(value, nullptr, 10)));
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

}  // namespace QuillUI
