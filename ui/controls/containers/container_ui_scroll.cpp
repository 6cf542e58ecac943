#include "ui/controls/containers/container_ui.h"
#include "ui/controls/containers/scroll_bar_ui.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/values/clamp_ui.h"

#include <cstdint>
#include <new>

namespace QuillUI {

namespace {

bool IsUsable(const CScrollBarUI* bar) { return IsShown(bar) && bar->IsEnabled(); }

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

void CContainerUI::ScrollTo(LONG SIZE::*component, LONG value) {
    SIZE pos = GetScrollPos();
    pos.*component = value;
    SetScrollPos(pos);
}

void CContainerUI::ScrollBy(LONG SIZE::*component, int64_t delta) {
    ScrollTo(component, ClampToInt(int64_t(GetScrollPos().*component) + delta));
}

void CContainerUI::LineUp() { ScrollBy(&SIZE::cy, -int64_t(GetVerticalLineStep())); }
void CContainerUI::LineDown() { ScrollBy(&SIZE::cy, GetVerticalLineStep()); }
void CContainerUI::PageUp() { ScrollBy(&SIZE::cy, -int64_t(GetVerticalPageStep())); }
void CContainerUI::PageDown() { ScrollBy(&SIZE::cy, GetVerticalPageStep()); }
void CContainerUI::HomeUp() { ScrollTo(&SIZE::cy, 0); }
void CContainerUI::EndDown() { ScrollTo(&SIZE::cy, GetScrollRange().cy); }
void CContainerUI::LineLeft() { ScrollBy(&SIZE::cx, -int64_t(GetHorizontalLineStep())); }
void CContainerUI::LineRight() { ScrollBy(&SIZE::cx, GetHorizontalLineStep()); }
void CContainerUI::PageLeft() { ScrollBy(&SIZE::cx, -int64_t(GetHorizontalPageStep())); }
void CContainerUI::PageRight() { ScrollBy(&SIZE::cx, GetHorizontalPageStep()); }
void CContainerUI::HomeLeft() { ScrollTo(&SIZE::cx, 0); }
void CContainerUI::EndRight() { ScrollTo(&SIZE::cx, GetScrollRange().cx); }

namespace {

// Creates or deletes one of a container's bars; a new bar takes the
// window's default attribute list for its kind.
void SwitchBar(CScrollBarUI*& bar, bool wanted, bool horizontal, CContainerUI* owner, CWindowManagerUI* manager) {
    if (!wanted) {
        if (bar != nullptr) bar->Delete();
        bar = nullptr;
        return;
    }
    if (bar != nullptr) return;
    bar = new (std::nothrow) CScrollBarUI();
    if (bar == nullptr) return;
    if (horizontal) bar->SetHorizontal(true);
    bar->SetOwner(owner);
    bar->SetManager(manager, nullptr, false);
    if (manager == nullptr) return;
    if (const wchar_t* list = manager->GetDefaultAttributeList(horizontal ? L"HScrollBar" : L"VScrollBar"))
        bar->ApplyAttributeList(list);
}

}  // namespace

void CContainerUI::EnableScrollBar(bool enableVertical, bool enableHorizontal) {
    SwitchBar(verticalScrollBar_, enableVertical, false, this, manager_);
    SwitchBar(horizontalScrollBar_, enableHorizontal, true, this, manager_);
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
