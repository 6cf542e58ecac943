// The body's layout: the rows' records, and placing the rows in view.
#include "ui/controls/lists/list_body_ui.h"

#include "ui/controls/containers/scroll_bar_ui.h"
#include "ui/controls/lists/list_header_ui.h"
#include "ui/controls/lists/list_owner_ui.h"
#include "ui/controls/lists/list_ui.h"
#include "ui/core/values/clamp_ui.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace QuillUI {

// One row's share of the layout, so that a pass over many rows reads a
// compact array instead of every control.
struct CListBodyUI::RowRecord {
    CControlUI* row;  // the item the record was read from
    int height;       // the clamped estimated height, without the padding
    int extent;       // top padding + height + bottom padding; -1 takes no place
    int width;        // the clamped estimated width, for the widest row
    int top;          // of the top padding, from the first row's
    int ordinal;      // the list items before it that paint, for the draw index
    bool listItem;
    bool floating;    // a visible float row, placed by its anchors
    bool dirty;
};

// What every row is laid out against.
struct CListBodyUI::Frame {
    RECT rc;  // the child area: the inset rectangle less the visible bars
    int availWidth;
    int availHeight;
    int gap;
    bool headerWidth;
    CListHeaderUI* header;
    const ListInfoUI* info;
};

struct CListBodyUI::Measures {
    int neededWidth;
    int neededHeight;
};

namespace {

bool SameKey(const void* a, const void* b, size_t size) { return std::memcmp(a, b, size) == 0; }

}  // namespace

CListBodyUI::Frame CListBodyUI::GetFrame() const {
    Frame frame = {};
    frame.rc = GetInsetRect();
    if (IsShown(verticalScrollBar_)) frame.rc.right -= verticalScrollBar_->GetFixedWidth();
    if (IsShown(horizontalScrollBar_)) frame.rc.bottom -= horizontalScrollBar_->GetFixedHeight();
    frame.availWidth = frame.rc.right - frame.rc.left;
    frame.availHeight = frame.rc.bottom - frame.rc.top;
    if (IsShown(horizontalScrollBar_)) frame.availWidth += horizontalScrollBar_->GetScrollRange();
    frame.info = owner_ != nullptr ? owner_->GetListInfo() : nullptr;
    frame.gap = childPadding_ + (frame.info != nullptr ? frame.info->hLineSize : 0);
    if (frame.info != nullptr && frame.info->columnCount > 0)
        frame.availWidth = frame.info->columns[frame.info->columnCount - 1].right - frame.info->columns[0].left;
    frame.header = owner_ != nullptr ? owner_->GetHeader() : nullptr;
    frame.headerWidth = frame.header != nullptr && frame.header->GetCount() > 0;
    return frame;
}

void CListBodyUI::SetPos(RECT rect, bool needInvalidate) {
    CControlUI::SetPos(rect, needInvalidate);
    const Frame frame = GetFrame();
    if (!ReadRecords(frame)) {
        PlaceAllRows(frame);
        return;
    }
    Measures measures = SumRecords(frame);
    if (frame.headerWidth) {
        const SIZE size = frame.header->EstimateSize(SIZE{rect.right - rect.left, rect.bottom - rect.top});
        measures.neededWidth = std::max(0, static_cast<int>(size.cx));
    }
    PlaceRowsInView(frame);
    ProcessScrollBar(frame.rc, measures.neededWidth, measures.neededHeight);
}

// ---- Records ----------------------------------------------------------------------

bool CListBodyUI::ReadRecords(const Frame& frame) {
    const int count = items_.GetSize();
    if (recordCount_ != count) {
        void* grown = std::realloc(records_, static_cast<size_t>(count > 0 ? count : 1) * sizeof(RowRecord));
        if (grown == nullptr) {
            ForgetRecords();
            return false;
        }
        records_ = static_cast<RowRecord*>(grown);
        for (int i = recordCount_; i < count; ++i) records_[i] = RowRecord{nullptr, 0, -1, 0, 0, 0, false, false, true};
        recordCount_ = count;
        allDirty_ = true;
    }
    Key key = {};
    key.availWidth = frame.availWidth;
    key.availHeight = frame.availHeight;
    key.gap = frame.gap;
    key.headerWidth = frame.headerWidth;
    if (frame.info != nullptr) {
        key.itemHeight = frame.info->itemHeight;
        key.font = frame.info->font;
        key.textStyle = frame.info->textStyle;
        key.textPadding = frame.info->textPadding;
        key.showHtml = frame.info->showHtml;
    }
    if (!SameKey(&key, &key_, sizeof(Key))) allDirty_ = true;
    key_ = key;

    // The rows in view are placed anyway: their records are read with them.
    const int viewEnd = std::min(viewEnd_, count);
    for (int i = 0; i < count; ++i) {
        RowRecord& record = records_[i];
        const bool inView = placedInView_ && i >= viewFirst_ && i < viewEnd;
        if (allDirty_ || record.dirty || inView || record.row != items_[i]) ReadRecord(i, frame);
        if (record.floating) {
            // Float rows are placed by their anchors among the others.
            allDirty_ = true;
            return false;
        }
    }
    allDirty_ = false;
    return true;
}

void CListBodyUI::ReadRecord(int index, const Frame& frame) {
    RowRecord& record = records_[index];
    CControlUI* child = static_cast<CControlUI*>(items_[index]);
    const bool same = record.row == child;
    const int oldTop = same ? record.top : 0;
    // A row stays of its class: asking it by name costs more than the rest.
    const bool listItem = same ? record.listItem : child->GetInterface(L"IListItem") != nullptr;
    record = RowRecord{child, 0, -1, 0, oldTop, 0, listItem, false, false};
    if (!child->IsVisible()) return;
    if (child->IsFloat()) {
        record.floating = true;
        return;
    }
    const RECT pad = child->GetPadding();
    if (!frame.headerWidth) record.width = EstimateRowWidth(child, pad, frame);
    // The height left below the rows before it, as a pass from the top
    // would offer it.
    const int remaining = frame.availHeight - oldTop - pad.top;
    const SIZE size = child->EstimateSize(SpaceFor(child, SIZE{frame.availWidth - pad.left - pad.right, remaining}));
    record.height = Clamp(size.cy, child->GetMinHeight(), child->GetMaxHeight());
    record.extent = pad.top + record.height + pad.bottom;
}

CListBodyUI::Measures CListBodyUI::SumRecords(const Frame& frame) {
    Measures measures = {0, 0};
    int top = 0;
    int placed = 0;
    int ordinal = 0;
    for (int i = 0; i < recordCount_; ++i) {
        RowRecord& record = records_[i];
        record.top = top;
        record.ordinal = ordinal;
        if (record.extent < 0) continue;
        if (record.listItem) ++ordinal;
        top += record.extent + frame.gap;
        ++placed;
        measures.neededWidth = std::max(measures.neededWidth, record.width);
    }
    measures.neededHeight = placed > 0 ? top - frame.gap : 0;
    return measures;
}

int CListBodyUI::RowOrdinal(int index) const { return records_[index].ordinal; }

void CListBodyUI::ForgetRecords() {
    std::free(records_);
    records_ = nullptr;
    recordCount_ = 0;
    allDirty_ = true;
}

void CListBodyUI::ChildNeedsUpdate(CControlUI* child) {
    // A row knows its index among the list's items, which are the body's.
    IListItemUI* item = child != nullptr ? static_cast<IListItemUI*>(child->GetInterface(L"IListItem")) : nullptr;
    const int index = item != nullptr ? item->GetIndex() : -1;
    if (index >= 0 && index < recordCount_ && records_[index].row == child)
        records_[index].dirty = true;
    else
        allDirty_ = true;
    CControlUI::NeedUpdate();
}

void CListBodyUI::SetVisible(bool visible) {
    // The rows' visibility follows the body's.
    allDirty_ = true;
    CVerticalLayoutUI::SetVisible(visible);
}

void CListBodyUI::SetInternVisible(bool visible) {
    allDirty_ = true;
    CVerticalLayoutUI::SetInternVisible(visible);
}

// ---- Placing ----------------------------------------------------------------------

POINT CListBodyUI::GetOrigin(const Frame& frame) const {
    return POINT{frame.rc.left - (IsShown(horizontalScrollBar_) ? horizontalScrollBar_->GetScrollPos() : 0),
                 frame.rc.top - (IsShown(verticalScrollBar_) ? verticalScrollBar_->GetScrollPos() : 0)};
}

int CListBodyUI::EstimateRowWidth(CControlUI* child, const RECT& pad, const Frame& frame) {
    const SIZE size =
        child->EstimateSize(SpaceFor(child, SIZE{frame.availWidth - pad.left - pad.right, frame.availHeight}));
    return Clamp(std::max(0, static_cast<int>(size.cx)), child->GetMinWidth(), child->GetMaxWidth());
}

RECT CListBodyUI::RowRect(CControlUI* child, const RECT& pad, const Frame& frame, int y, int height, int remaining) {
    const SIZE space = SpaceFor(child, SIZE{frame.availWidth - pad.left - pad.right, remaining});
    int width = child->GetMaxWidth();
    if (width == 0) width = frame.availWidth - pad.left - pad.right;
    width = std::max(width, 0);
    width = std::min(width, static_cast<int>(space.cx));
    width = std::max(width, child->GetMinWidth());
    const int left = GetOrigin(frame).x + pad.left;
    const int top = y + pad.top;
    return RECT{left, top, left + width, top + height + pad.bottom};
}

void CListBodyUI::PlaceRow(int index, const Frame& frame) {
    const RowRecord& record = records_[index];
    CControlUI* child = record.row;
    const RECT pad = child->GetPadding();
    const int remaining = frame.availHeight - record.top - pad.top;
    child->SetPos(RowRect(child, pad, frame, GetOrigin(frame).y + record.top, record.height, remaining), false);
}

void CListBodyUI::PlaceRowsInView(const Frame& frame) {
    const int y = GetOrigin(frame).y;
    // A row shows when it, or the grid line in the gap below it, meets the
    // child area; the tops only grow, so the first and the last are found
    // by halving.
    const int viewTop = frame.rc.top - y;
    const int viewBottom = frame.rc.bottom - y;
    int low = 0, high = recordCount_;
    while (low < high) {
        const int mid = low + (high - low) / 2;
        const RowRecord& record = records_[mid];
        const int bottom = record.top + std::max(record.extent, 0) + frame.gap;
        if (bottom <= viewTop) low = mid + 1;
        else high = mid;
    }
    const int first = low;
    high = recordCount_;
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (records_[mid].top < viewBottom) low = mid + 1;
        else high = mid;
    }
    const int end = std::max(first, low);

    CPointerArray before(placed_);
    placed_.Empty();
    for (int i = first; i < end; ++i) {
        if (records_[i].extent < 0) continue;
        PlaceRow(i, frame);
        placed_.Add(records_[i].row);
    }
    // The rows that left the view get their place out of it, so that no
    // row keeps a rectangle over the rows now shown.
    for (int n = 0; n < before.GetSize(); ++n) {
        CControlUI* row = static_cast<CControlUI*>(before[n]);
        if (placed_.Find(row) >= 0) continue;
        IListItemUI* item = static_cast<IListItemUI*>(row->GetInterface(L"IListItem"));
        int index = item != nullptr ? item->GetIndex() : -1;
        if (index < 0 || index >= recordCount_ || records_[index].row != row) index = items_.Find(row);
        if (index < 0 || index >= recordCount_ || records_[index].row != row || records_[index].extent < 0) continue;
        PlaceRow(index, frame);
    }
    placedInView_ = true;
    viewFirst_ = first;
    viewEnd_ = end;
}

void CListBodyUI::PlaceAllRows(const Frame& frame) {
    placedInView_ = false;
    placed_.Empty();
    // Measuring pass: the widest item is the width to scroll over, unless
    // the header's columns decide it, when nothing needs measuring here.
    int neededWidth = 0;
    int count = 0;
    for (int i = 0; i < items_.GetSize(); ++i) {
        CControlUI* child = static_cast<CControlUI*>(items_[i]);
        if (!child->IsVisible() || child->IsFloat()) continue;
        ++count;
        if (!frame.headerWidth) neededWidth = std::max(neededWidth, EstimateRowWidth(child, child->GetPadding(), frame));
    }
    if (frame.headerWidth) {
        const SIZE size = frame.header->EstimateSize(
            SIZE{itemRect_.right - itemRect_.left, itemRect_.bottom - itemRect_.top});
        neededWidth = std::max(0, static_cast<int>(size.cx));
    }

    // Placing pass.
    int y = GetOrigin(frame).y;
    int remaining = frame.availHeight;
    int neededHeight = 0;
    for (int i = 0; i < items_.GetSize(); ++i) {
        CControlUI* child = static_cast<CControlUI*>(items_[i]);
        if (!child->IsVisible()) continue;
        if (child->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        const RECT pad = child->GetPadding();
        remaining -= pad.top;
        const SIZE size = child->EstimateSize(SpaceFor(child, SIZE{frame.availWidth - pad.left - pad.right, remaining}));
        const int height = Clamp(size.cy, child->GetMinHeight(), child->GetMaxHeight());
        child->SetPos(RowRect(child, pad, frame, y, height, remaining), false);
        y += height + frame.gap + pad.top + pad.bottom;
        neededHeight += height + pad.top + pad.bottom;
        remaining -= height + frame.gap + pad.bottom;
    }
    if (count > 1) neededHeight += (count - 1) * frame.gap;
    ProcessScrollBar(frame.rc, neededWidth, neededHeight);
}

RECT CListBodyUI::GetRowPos(int index) const {
    CControlUI* child = static_cast<CControlUI*>(items_.GetAt(index));
    if (child == nullptr) return RECT{0, 0, 0, 0};
    RECT pos = child->GetPos();
    if (!placedInView_ || index >= recordCount_) return pos;
    const RowRecord& record = records_[index];
    if (record.row != child || record.extent < 0) return pos;
    const RECT pad = child->GetPadding();
    pos.top = GetOrigin(GetFrame()).y + record.top + pad.top;
    pos.bottom = pos.top + record.height + pad.bottom;
    return pos;
}

void CListBodyUI::SetScrollPos(SIZE pos) {
    int cx = 0;
    int cy = 0;
    if (IsShown(verticalScrollBar_)) {
        const int old = verticalScrollBar_->GetScrollPos();
        verticalScrollBar_->SetScrollPos(pos.cy, true);
        cy = verticalScrollBar_->GetScrollPos() - old;
    }
    if (IsShown(horizontalScrollBar_)) {
        const int old = horizontalScrollBar_->GetScrollPos();
        horizontalScrollBar_->SetScrollPos(pos.cx, true);
        cx = horizontalScrollBar_->GetScrollPos() - old;
    }
    if (cx == 0 && cy == 0) return;
    if (placedInView_ && recordCount_ == items_.GetSize()) {
        // The records hold every row's place: only the view changes.
        PlaceRowsInView(GetFrame());
    } else {
        for (int i = 0; i < items_.GetSize(); ++i) {
            CControlUI* child = static_cast<CControlUI*>(items_[i]);
            if (child->IsVisible() && !child->IsFloat()) child->Move(-cx, -cy, false);
        }
    }
    Invalidate();
    CListHeaderUI* header = owner_ != nullptr ? owner_->GetHeader() : nullptr;
    if (cx == 0 || header == nullptr) return;
    ListInfoUI* info = owner_->GetListInfo();
    info->columnCount = std::min(header->GetCount(), kMaxListColumns);
    for (int i = 0; i < info->columnCount; ++i) {
        CControlUI* item = header->GetItemAt(i);
        if (!item->IsVisible() || item->IsFloat()) continue;
        item->Move(-cx, 0, false);
        info->columns[i] = item->GetPos();
    }
    header->Invalidate();
}

// ---- Edits ------------------------------------------------------------------------

void CListBodyUI::ForgetPlaced(CControlUI* control) {
    const int at = placed_.Find(control);
    if (at >= 0) placed_.Remove(at);
}

bool CListBodyUI::SetItemIndex(CControlUI* control, int newIndex) {
    allDirty_ = true;
    return CVerticalLayoutUI::SetItemIndex(control, newIndex);
}

bool CListBodyUI::MoveItems(CControlUI* control, int count, int newIndex) {
    allDirty_ = true;
    return CVerticalLayoutUI::MoveItems(control, count, newIndex);
}

bool CListBodyUI::Add(CControlUI* control) {
    allDirty_ = true;
    return CVerticalLayoutUI::Add(control);
}

bool CListBodyUI::AddAt(CControlUI* control, int index) {
    allDirty_ = true;
    return CVerticalLayoutUI::AddAt(control, index);
}

bool CListBodyUI::Remove(CControlUI* control, bool keep) {
    allDirty_ = true;
    ForgetPlaced(control);
    return CVerticalLayoutUI::Remove(control, keep);
}

bool CListBodyUI::RemoveAt(int index, bool keep) {
    allDirty_ = true;
    ForgetPlaced(static_cast<CControlUI*>(items_.GetAt(index)));
    return CVerticalLayoutUI::RemoveAt(index, keep);
}

void CListBodyUI::RemoveAll() {
    allDirty_ = true;
    placed_.Empty();
    CVerticalLayoutUI::RemoveAll();
}

}  // namespace QuillUI
