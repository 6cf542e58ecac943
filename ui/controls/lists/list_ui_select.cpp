// The list's selection, expansion and keyboard and wheel navigation.
#include "ui/controls/lists/list_ui.h"

#include "ui/controls/lists/list_body_ui.h"
#include "ui/core/manager/window_manager_ui.h"

namespace QuillUI {

void CListUI::SetScrollSelect(bool scrollSelect) { scrollSelect_ = scrollSelect; }

void CListUI::SetMultiExpanding(bool multiExpanding) { listInfo_.multiExpandable = multiExpanding; }

bool CListUI::SelectItem(int index, bool takeFocus, bool sendNotify) {
    if (index == curSel_) return true;
    const int old = curSel_;
    if (curSel_ >= 0) {
        if (IListItemUI* item = ListItemAt(curSel_)) item->Select(false, sendNotify);
        curSel_ = -1;
    }
    if (index < 0) return false;
    CControlUI* control = GetItemAt(index);
    if (control == nullptr || !control->IsVisible() || !control->IsEnabled()) return false;
    IListItemUI* item = ListItemAt(index);
    if (item == nullptr) return false;
    curSel_ = index;
    if (!item->Select(true, sendNotify)) {
        curSel_ = -1;
        return false;
    }
    EnsureVisible(curSel_);
    if (takeFocus) control->SetFocus();
    if (sendNotify && manager_ != nullptr) manager_->SendNotify(this, L"itemselect", index, old);
    return true;
}

bool CListUI::ExpandItem(int index, bool expand) {
    // The item being expanded again is left alone: collapsing it here would
    // have it expand itself through this call once more, without end.
    const bool again = expand && index == expandedItem_;
    if (expandedItem_ >= 0 && !listInfo_.multiExpandable && !again) {
        if (IListItemUI* item = ListItemAt(expandedItem_)) item->Expand(false);
        expandedItem_ = -1;
    }
    if (expand) {
        CControlUI* control = GetItemAt(index);
        IListItemUI* item = ListItemAt(index);
        if (control == nullptr || !control->IsVisible() || item == nullptr) return false;
        expandedItem_ = index;
        if (!item->Expand(true)) {
            expandedItem_ = -1;
            return false;
        }
    }
    NeedUpdate();
    return true;
}

void CListUI::EnsureVisible(int index) {
    if (curSel_ < 0 || body_ == nullptr) return;
    if (GetItemAt(index) == nullptr) return;
    // A row out of view may keep an older rectangle; the body knows its place.
    const RECT itemRect = body_->GetRowPos(index);
    // Only its top and bottom count: the body less its inset and the
    // visible horizontal bar.
    const RECT area = body_->CContainerUI::GetClientPos();
    if (itemRect.top >= area.top && itemRect.bottom < area.bottom) return;
    int dy = 0;
    if (itemRect.top < area.top) dy = itemRect.top - area.top;
    if (itemRect.bottom > area.bottom) dy = itemRect.bottom - area.bottom;
    Scroll(0, dy);
}

void CListUI::Scroll(int dx, int dy) {
    if ((dx == 0 && dy == 0) || body_ == nullptr) return;
    const SIZE pos = body_->GetScrollPos();
    body_->SetScrollPos(SIZE{pos.cx + dx, pos.cy + dy});
}

void CListUI::DoEvent(ControlEventUI& event) {
    const int kind = event.kind;
    if (!IsMouseEnabled() && IsMouseEventKind(kind)) {
        if (parent_ != nullptr)
            parent_->DoEvent(event);
        else
            CVerticalLayoutUI::DoEvent(event);
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
        switch (event.key) {
        case VK_UP: SelectItem(FindSelectable(curSel_ - 1, false), true, true); break;
        case VK_DOWN: SelectItem(FindSelectable(curSel_ + 1, true), true, true); break;
        case VK_PRIOR: PageUp(); break;
        case VK_NEXT: PageDown(); break;
        case VK_HOME: SelectItem(FindSelectable(0, false), true, true); break;
        case VK_END: SelectItem(FindSelectable(GetCount() - 1, true), true, true); break;
        case VK_RETURN:
            if (CControlUI* item = GetItemAt(curSel_)) item->Activate();
            break;
        default: break;
        }
        return;
    }
    if (kind == EventScrollWheel && IsEnabled()) {
        switch (LOWORD(event.wParam)) {
        case 0:
            if (scrollSelect_)
                SelectItem(FindSelectable(curSel_ - 1, false), true, true);
            else
                LineUp();
            return;
        case 1:
            if (scrollSelect_)
                SelectItem(FindSelectable(curSel_ + 1, true), true, true);
            else
                LineDown();
            return;
        default: break;
        }
    }
    CVerticalLayoutUI::DoEvent(event);
}

}  // namespace QuillUI
