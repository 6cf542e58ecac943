// The list's layout and column table, and the scroll operations that it
// hands to its body.
#include "ui/controls/lists/list_ui.h"

#include "ui/controls/containers/scroll_bar_ui.h"
#include "ui/controls/lists/list_body_ui.h"
#include "ui/controls/lists/list_header_ui.h"

#include <algorithm>

namespace QuillUI {

void CListUI::UpdateColumns(int left, int right, bool layOutHeader) {
    listInfo_.columnCount = std::min(header_->GetCount(), kMaxListColumns);
    // A hidden header still defines the columns: its items are laid out in
    // a zero-height strip across the list, then hidden again. The header's
    // own visibility is left as it was, so that it can be shown later.
    const bool hidden = !header_->IsVisible();
    if (hidden) {
        for (int i = header_->GetCount() - 1; i >= 0; --i) header_->GetItemAt(i)->SetInternVisible(true);
    }
    if (layOutHeader || hidden) header_->SetPos(RECT{left, 0, right, 0}, false);
    const int dx = body_ != nullptr ? body_->GetScrollPos().cx : 0;
    for (int i = 0; i < listInfo_.columnCount; ++i) {
        CControlUI* item = header_->GetItemAt(i);
        if (!item->IsVisible() || item->IsFloat()) continue;
        if (dx > 0) {
            RECT shifted = item->GetPos();
            shifted.left -= dx;
            shifted.right -= dx;
            item->SetPos(shifted, false);
        }
        listInfo_.columns[i] = item->GetPos();
    }
    if (hidden) {
        for (int i = header_->GetCount() - 1; i >= 0; --i) header_->GetItemAt(i)->SetInternVisible(false);
    }
}

void CListUI::SetPos(RECT rect, bool needInvalidate) {
    // The body needs the columns for its width before it is laid out.
    if (header_ != nullptr) UpdateColumns(rect.left + inset_.left, rect.right - inset_.right, true);
    CVerticalLayoutUI::SetPos(rect, needInvalidate);
    if (header_ == nullptr) return;
    // The list's own bars, which it never shows: its scrolling is the body's.
    int left = itemRect_.left + inset_.left;
    int right = itemRect_.right - inset_.right;
    if (IsShown(verticalScrollBar_)) right -= verticalScrollBar_->GetFixedWidth();
    if (IsShown(horizontalScrollBar_)) {
        left -= horizontalScrollBar_->GetScrollPos();
        right -= horizontalScrollBar_->GetScrollPos();
        right += horizontalScrollBar_->GetScrollRange();
    }
    UpdateColumns(left, right, false);
}

void CListUI::Move(int dx, int dy, bool needInvalidate) {
    CVerticalLayoutUI::Move(dx, dy, needInvalidate);
    if (header_ != nullptr && !header_->IsVisible()) header_->Move(dx, dy, false);
    // The columns are the header items' rectangles, which moved with it.
    for (int i = 0; i < listInfo_.columnCount; ++i) OffsetRect(&listInfo_.columns[i], dx, dy);
}

// ---- The body's -----------------------------------------------------------------

int CListUI::GetChildPadding() const { return body_ != nullptr ? body_->GetChildPadding() : 0; }

void CListUI::SetChildPadding(int padding) {
    if (body_ != nullptr) body_->SetChildPadding(padding);
}

SIZE CListUI::GetScrollPos() const { return body_ != nullptr ? body_->GetScrollPos() : SIZE{0, 0}; }

SIZE CListUI::GetScrollRange() const { return body_ != nullptr ? body_->GetScrollRange() : SIZE{0, 0}; }

void CListUI::SetScrollPos(SIZE pos) {
    if (body_ != nullptr) body_->SetScrollPos(pos);
}

void CListUI::LineUp() {
    if (body_ != nullptr) body_->LineUp();
}

void CListUI::LineDown() {
    if (body_ != nullptr) body_->LineDown();
}

void CListUI::PageUp() {
    if (body_ != nullptr) body_->PageUp();
}

void CListUI::PageDown() {
    if (body_ != nullptr) body_->PageDown();
}

void CListUI::HomeUp() {
    if (body_ != nullptr) body_->HomeUp();
}

void CListUI::EndDown() {
    if (body_ != nullptr) body_->EndDown();
}

void CListUI::LineLeft() {
    if (body_ != nullptr) body_->LineLeft();
}

void CListUI::LineRight() {
    if (body_ != nullptr) body_->LineRight();
}

void CListUI::PageLeft() {
    if (body_ != nullptr) body_->PageLeft();
}

void CListUI::PageRight() {
    if (body_ != nullptr) body_->PageRight();
}

void CListUI::HomeLeft() {
    if (body_ != nullptr) body_->HomeLeft();
}

void CListUI::EndRight() {
    if (body_ != nullptr) body_->EndRight();
}

void CListUI::EnableScrollBar(bool enableVertical, bool enableHorizontal) {
    if (body_ != nullptr) body_->EnableScrollBar(enableVertical, enableHorizontal);
}

CScrollBarUI* CListUI::GetVerticalScrollBar() const {
    return body_ != nullptr ? body_->GetVerticalScrollBar() : nullptr;
}

CScrollBarUI* CListUI::GetHorizontalScrollBar() const {
    return body_ != nullptr ? body_->GetHorizontalScrollBar() : nullptr;
}

}  // namespace QuillUI
