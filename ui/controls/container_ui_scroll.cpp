#include "ui/controls/container_ui.h"
#include "ui/controls/scroll_bar_ui.h"
#include "ui/core/window_manager_ui.h"

#include <climits>
#include <cstdint>
#include <new>

namespace QuillUI {

namespace {

bool IsShown(const CScrollBarUI* bar) { return bar != nullptr && bar->IsVisible(); }
bool IsUsable(const CScrollBarUI* bar) { return IsShown(bar) && bar->IsEnabled(); }

// Steps near the ends of a huge range must not wrap; the bars clamp.
LONG Offset(LONG value, int64_t by) {
    const int64_t sum = int64_t(value) + by;
    if (sum < INT_MIN) return INT_MIN;
    if (sum > INT_MAX) return INT_MAX;
    return static_cast<LONG>(sum);
}

}  // namespace

SIZE CContainerUI::GetScrollPos() const {
    SIZE size = {0, 0};
    if (IsShown(horizontalScrollBar_)) size.cx = horizontalScrollBar_->GetScrollPos();
    if (IsShown(verticalScrollBar_)) size.cy = verticalScrollBar_->GetScrollPos();
    return size;
}

SIZE CContainerUI::GetScrollRange() const {
    SIZE size = {0, 0};
    if (IsShown(horizontalScrollBar_)) size.cx = horizontalScrollBar_->GetScrollRange();
    if (IsShown(verticalScrollBar_)) size.cy = verticalScrollBar_->GetScrollRange();
    return size;
}

void CContainerUI::SetScrollPos(SIZE pos) {
    int dx = 0;
    int dy = 0;
    if (IsShown(verticalScrollBar_)) {
        const int old = verticalScrollBar_->GetScrollPos();
        verticalScrollBar_->SetScrollPos(pos.cy, true);
        dy = verticalScrollBar_->GetScrollPos() - old;
    }
    if (IsShown(horizontalScrollBar_)) {
        const int old = horizontalScrollBar_->GetScrollPos();
        horizontalScrollBar_->SetScrollPos(pos.cx, true);
        dx = horizontalScrollBar_->GetScrollPos() - old;
    }
    if (dx == 0 && dy == 0) return;
    for (int i = 0; i < items_.GetSize(); ++i) {
        CControlUI* child = static_cast<CControlUI*>(items_[i]);
        if (child->IsVisible() && !child->IsFloat()) child->Move(-dx, -dy, false);
    }
    Invalidate();
}

int CContainerUI::GetVerticalLineStep() {
    if (verticalScrollBar_ != nullptr && verticalScrollBar_->GetScrollUnit() > 1)
        return verticalScrollBar_->GetScrollUnit();
    int step = 8;
    if (manager_ != nullptr) {
        if (FontInfoUI* font = manager_->GetDefaultFontInfo()) {
            font->EnsureMetrics(manager_->GetPaintDC());
            step += font->metrics.tmHeight;
        }
    }
    return step;
}

int CContainerUI::GetHorizontalLineStep() const {
    if (horizontalScrollBar_ != nullptr && horizontalScrollBar_->GetScrollUnit() > 1)
        return horizontalScrollBar_->GetScrollUnit();
    return 8;
}

int CContainerUI::GetVerticalPageStep() const {
    int page = itemRect_.bottom - itemRect_.top - inset_.top - inset_.bottom;
    if (IsShown(horizontalScrollBar_)) page -= horizontalScrollBar_->GetFixedHeight();
    return page;
}

int CContainerUI::GetHorizontalPageStep() const {
    int page = itemRect_.right - itemRect_.left - inset_.left - inset_.right;
    if (IsShown(verticalScrollBar_)) page -= verticalScrollBar_->GetFixedWidth();
    return page;
}

void CContainerUI::LineUp() {
    SIZE pos = GetScrollPos();
    pos.cy = Offset(pos.cy, -int64_t(GetVerticalLineStep()));
    SetScrollPos(pos);
}

void CContainerUI::LineDown() {
    SIZE pos = GetScrollPos();
    pos.cy = Offset(pos.cy, GetVerticalLineStep());
    SetScrollPos(pos);
}

void CContainerUI::PageUp() {
    SIZE pos = GetScrollPos();
    pos.cy = Offset(pos.cy, -int64_t(GetVerticalPageStep()));
    SetScrollPos(pos);
}

void CContainerUI::PageDown() {
    SIZE pos = GetScrollPos();
    pos.cy = Offset(pos.cy, GetVerticalPageStep());
    SetScrollPos(pos);
}

void CContainerUI::HomeUp() {
    SIZE pos = GetScrollPos();
    pos.cy = 0;
    SetScrollPos(pos);
}

void CContainerUI::EndDown() {
    SIZE pos = GetScrollPos();
    pos.cy = GetScrollRange().cy;
    SetScrollPos(pos);
}

void CContainerUI::LineLeft() {
    SIZE pos = GetScrollPos();
    pos.cx = Offset(pos.cx, -int64_t(GetHorizontalLineStep()));
    SetScrollPos(pos);
}

void CContainerUI::LineRight() {
    SIZE pos = GetScrollPos();
    pos.cx = Offset(pos.cx, GetHorizontalLineStep());
    SetScrollPos(pos);
}

void CContainerUI::PageLeft() {
    SIZE pos = GetScrollPos();
    pos.cx = Offset(pos.cx, -int64_t(GetHorizontalPageStep()));
    SetScrollPos(pos);
}

void CContainerUI::PageRight() {
    SIZE pos = GetScrollPos();
    pos.cx = Offset(pos.cx, GetHorizontalPageStep());
    SetScrollPos(pos);
}

void CContainerUI::HomeLeft() {
    SIZE pos = GetScrollPos();
    pos.cx = 0;
    SetScrollPos(pos);
}

void CContainerUI::EndRight() {
    SIZE pos = GetScrollPos();
    pos.cx = GetScrollRange().cx;
    SetScrollPos(pos);
}

void CContainerUI::EnableScrollBar(bool enableVertical, bool enableHorizontal) {
    if (enableVertical && verticalScrollBar_ == nullptr) {
        verticalScrollBar_ = new (std::nothrow) CScrollBarUI();
        if (verticalScrollBar_ != nullptr) {
            verticalScrollBar_->SetOwner(this);
            verticalScrollBar_->SetManager(manager_, nullptr, false);
            if (manager_ != nullptr) {
                if (const wchar_t* list = manager_->GetDefaultAttributeList(L"VScrollBar"))
                    verticalScrollBar_->ApplyAttributeList(list);
            }
        }
    } else if (!enableVertical && verticalScrollBar_ != nullptr) {
        verticalScrollBar_->Delete();
        verticalScrollBar_ = nullptr;
    }
    if (enableHorizontal && horizontalScrollBar_ == nullptr) {
        horizontalScrollBar_ = new (std::nothrow) CScrollBarUI();
        if (horizontalScrollBar_ != nullptr) {
            horizontalScrollBar_->SetHorizontal(true);
            horizontalScrollBar_->SetOwner(this);
            horizontalScrollBar_->SetManager(manager_, nullptr, false);
            if (manager_ != nullptr) {
                if (const wchar_t* list = manager_->GetDefaultAttributeList(L"HScrollBar"))
                    horizontalScrollBar_->ApplyAttributeList(list);
            }
        }
    } else if (!enableHorizontal && horizontalScrollBar_ != nullptr) {
        horizontalScrollBar_->Delete();
        horizontalScrollBar_ = nullptr;
    }
    NeedUpdate();
}

CScrollBarUI* CContainerUI::GetVerticalScrollBar() const { return verticalScrollBar_; }
CScrollBarUI* CContainerUI::GetHorizontalScrollBar() const { return horizontalScrollBar_; }

void CContainerUI::DoEvent(ControlEventUI& event) {
    const int kind = event.kind;
    if (!mouseEnabled_ && IsMouseEventKind(kind)) {
        if (parent_ != nullptr)
            parent_->DoEvent(event);
        else
            CControlUI::DoEvent(event);
        return;
    }
    if (kind == EventSetFocus) {
        focused_ = true;
        return;
    }
    if (kind == EventKillFocus) {
        focused_ = false;
        return;
    }
    if (kind == EventKeyDown && IsKeyboardEnabled() && IsEnabled()) {
        if (IsUsable(verticalScrollBar_)) {
            switch (event.key) {
            case VK_PRIOR: PageUp(); return;
            case VK_NEXT: PageDown(); return;
            case VK_HOME: HomeUp(); return;
            case VK_END: EndDown(); return;
            case VK_UP: LineUp(); return;
            case VK_DOWN: LineDown(); return;
            default: break;
            }
        } else if (IsUsable(horizontalScrollBar_)) {
            switch (event.key) {
            case VK_PRIOR: PageLeft(); return;
            case VK_NEXT: PageRight(); return;
            case VK_HOME: HomeLeft(); return;
            case VK_END: EndRight(); return;
            case VK_UP: LineLeft(); return;
            case VK_DOWN: LineRight(); return;
            default: break;
            }
        }
    } else if (kind == EventScrollWheel) {
        const WORD direction = LOWORD(event.wParam);
        if (direction == 0 || direction == 1) {
            const bool up = direction == 0;
            const bool overHorizontal =
                IsUsable(horizontalScrollBar_) && PtInRect(&horizontalScrollBar_->GetPos(), event.mousePoint);
            if (!overHorizontal && IsUsable(verticalScrollBar_)) {
                if (up)
                    LineUp();
                else
                    LineDown();
                return;
            }
            if (IsUsable(horizontalScrollBar_)) {
                if (up)
                    LineLeft();
                else
                    LineRight();
                return;
            }
        }
    }
    CControlUI::DoEvent(event);
}

}  // namespace QuillUI
