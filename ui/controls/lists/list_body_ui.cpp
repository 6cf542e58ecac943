#include "ui/controls/lists/list_body_ui.h"

#include "ui/controls/containers/scroll_bar_ui.h"
#include "ui/controls/lists/list_header_ui.h"
#include "ui/controls/lists/list_ui.h"
#include "ui/core/values/clamp_ui.h"

#include <algorithm>

namespace QuillUI {

CListBodyUI::CListBodyUI(CListUI* owner) : owner_(owner) {}

CListBodyUI::~CListBodyUI() = default;

void CListBodyUI::SetPos(RECT rect, bool needInvalidate) {
    CControlUI::SetPos(rect, needInvalidate);
    RECT rc = GetInsetRect();
    if (IsShown(verticalScrollBar_)) rc.right -= verticalScrollBar_->GetFixedWidth();
    if (IsShown(horizontalScrollBar_)) rc.bottom -= horizontalScrollBar_->GetFixedHeight();
    int availWidth = rc.right - rc.left;
    const int availHeight = rc.bottom - rc.top;
    if (IsShown(horizontalScrollBar_)) availWidth += horizontalScrollBar_->GetScrollRange();

    const ListInfoUI* info = owner_ != nullptr ? owner_->GetListInfo() : nullptr;
    const int gap = childPadding_ + (info != nullptr ? info->hLineSize : 0);
    if (info != nullptr && info->columnCount > 0)
        availWidth = info->columns[info->columnCount - 1].right - info->columns[0].left;
    CListHeaderUI* header = owner_ != nullptr ? owner_->GetHeader() : nullptr;
    const bool headerWidth = header != nullptr && header->GetCount() > 0;

    // Measuring pass: the widest item is the width to scroll over, unless
    // the header's columns decide it, when nothing needs measuring here.
    int neededWidth = 0;
    int count = 0;
    for (int i = 0; i < items_.GetSize(); ++i) {
        CControlUI* child = static_cast<CControlUI*>(items_[i]);
        if (!child->IsVisible() || child->IsFloat()) continue;
        ++count;
        if (headerWidth) continue;
        const RECT pad = child->GetPadding();
        const SIZE size = child->EstimateSize(SpaceFor(child, SIZE{availWidth - pad.left - pad.right, availHeight}));
        const int width = Clamp(std::max(0, static_cast<int>(size.cx)), child->GetMinWidth(), child->GetMaxWidth());
        neededWidth = std::max(neededWidth, width);
    }
    if (headerWidth) {
        const SIZE size = header->EstimateSize(
            SIZE{rect.right - rect.left, rect.bottom - rect.top});
        neededWidth = std::max(0, static_cast<int>(size.cx));
    }

    // Placing pass.
    int y = rc.top - (IsShown(verticalScrollBar_) ? verticalScrollBar_->GetScrollPos() : 0);
    const int x = rc.left - (IsShown(horizontalScrollBar_) ? horizontalScrollBar_->GetScrollPos() : 0);
    int remaining = availHeight;
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
        const SIZE space = SpaceFor(child, SIZE{availWidth - pad.left - pad.right, remaining});
        const SIZE size = child->EstimateSize(space);
        const int height = Clamp(size.cy, child->GetMinHeight(), child->GetMaxHeight());
        int width = child->GetMaxWidth();
        if (width == 0) width = availWidth - pad.left - pad.right;
        width = std::max(width, 0);
        width = std::min(width, static_cast<int>(space.cx));
        width = std::max(width, child->GetMinWidth());
        const int left = x + pad.left;
        const int top = y + pad.top;
        child->SetPos(RECT{left, top, left + width, top + height + pad.bottom}, false);
        y += height + gap + pad.top + pad.bottom;
        neededHeight += height + pad.top + pad.bottom;
        remaining -= height + gap + pad.bottom;
    }
    if (count > 1) neededHeight += (count - 1) * gap;
    ProcessScrollBar(rc, neededWidth, neededHeight);
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
    for (int i = 0; i < items_.GetSize(); ++i) {
        CControlUI* child = static_cast<CControlUI*>(items_[i]);
        if (child->IsVisible() && !child->IsFloat()) child->Move(-cx, -cy, false);
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

void CListBodyUI::DoEvent(ControlEventUI& event) {
    if (owner_ == nullptr) {
        CControlUI::DoEvent(event);
        return;
    }
    if (!mouseEnabled_ && IsMouseEventKind(event.kind)) {
        owner_->DoEvent(event);
        return;
    }
    if (event.kind == EventScrollWheel && IsShown(horizontalScrollBar_) && horizontalScrollBar_->IsEnabled() &&
        ::PtInRect(&horizontalScrollBar_->GetPos(), event.mousePoint)) {
        const WORD direction = LOWORD(event.wParam);
        if (direction == 0) {
            owner_->LineLeft();
            return;
        }
        if (direction == 1) {
            owner_->LineRight();
            return;
        }
    }
    owner_->DoEvent(event);
}

}  // namespace QuillUI
