#include "ui/controls/containers/tab_layout_ui.h"

#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/values/clamp_ui.h"

#include <cwchar>

namespace QuillUI {

CTabLayoutUI::CTabLayoutUI() = default;

CTabLayoutUI::~CTabLayoutUI() = default;

const wchar_t* CTabLayoutUI::GetClass() const { return L"TabLayout"; }

void* CTabLayoutUI::GetInterface(const wchar_t* name) {
    if (name != nullptr && wcscmp(name, L"TabLayout") == 0) return this;
    return CContainerUI::GetInterface(name);
}

bool CTabLayoutUI::Add(CControlUI* control) {
    if (!CContainerUI::Add(control)) return false;
    if (curSel_ == -1 && control->IsVisible())
        curSel_ = GetItemIndex(control);
    else
        control->SetVisible(false);
    return true;
}

bool CTabLayoutUI::AddAt(CControlUI* control, int index) {
    if (!CContainerUI::AddAt(control, index)) return false;
    const int at = GetItemIndex(control);
    if (curSel_ == -1 && control->IsVisible()) {
        curSel_ = at;
        return true;
    }
    // A page put in front of the selection moves it on; whatever its own
    // visibility, only the selection shows.
    if (curSel_ != -1 && at <= curSel_) ++curSel_;
    control->SetVisible(false);
    return true;
}

bool CTabLayoutUI::Remove(CControlUI* control, bool keep) {
    if (control == nullptr) return false;
    const int index = GetItemIndex(control);
    if (!CContainerUI::Remove(control, keep)) return false;
    if (index == curSel_) {
        if (GetCount() > 0) {
            curSel_ = 0;
            GetItemAt(0)->SetVisible(true);
        } else {
            curSel_ = -1;
        }
        NeedParentUpdate();
    } else if (index < curSel_) {
        --curSel_;
    }
    return true;
}

bool CTabLayoutUI::RemoveAt(int index, bool keep) {
    // Through the tab's own Remove, so the selection follows.
    CControlUI* control = GetItemAt(index);
    if (control == nullptr) return false;
    return Remove(control, keep);
}

void CTabLayoutUI::RemoveAll() {
    curSel_ = -1;
    CContainerUI::RemoveAll();
    NeedParentUpdate();
}

void CTabLayoutUI::FollowSelection(CControlUI* selected) {
    if (selected != nullptr) curSel_ = GetItemIndex(selected);
}

bool CTabLayoutUI::SetItemIndex(CControlUI* control, int newIndex) {
    CControlUI* selected = GetItemAt(curSel_);
    const bool moved = CContainerUI::SetItemIndex(control, newIndex);
    FollowSelection(selected);
    return moved;
}

bool CTabLayoutUI::MoveItems(CControlUI* control, int count, int newIndex) {
    CControlUI* selected = GetItemAt(curSel_);
    const bool moved = CContainerUI::MoveItems(control, count, newIndex);
    FollowSelection(selected);
    return moved;
}

bool CTabLayoutUI::SelectItem(int index, bool notify) {
    if (index < 0 || index >= items_.GetSize()) return false;
    if (index == curSel_) return true;
    const int old = curSel_;
    curSel_ = index;
    for (int i = 0; i < items_.GetSize(); ++i) {
        CControlUI* page = static_cast<CControlUI*>(items_[i]);
        if (i == index) {
            page->SetVisible(true);
            page->SetFocus();
        } else {
            page->SetVisible(false);
        }
    }
    NeedParentUpdate();
    if (manager_ != nullptr) {
        manager_->SetNextTabControl(true);
        if (notify) manager_->SendNotify(this, L"tabselect", static_cast<WPARAM>(curSel_), static_cast<LPARAM>(old));
    }
    return true;
}

void CTabLayoutUI::SetPos(RECT rect, bool needInvalidate) {
    CControlUI::SetPos(rect, needInvalidate);
    // The pages take the inner area; scroll bars play no part.
    RECT rc = GetInsetRect();
    for (int i = 0; i < items_.GetSize(); ++i) {
        CControlUI* child = ChildToPlace(i);
        if (child == nullptr) continue;
        if (i != curSel_) continue;
        const RECT padding = child->GetPadding();
        rc.left += padding.left;
        rc.top += padding.top;
        rc.right -= padding.right;
        rc.bottom -= padding.bottom;
        const SIZE available = {rc.right - rc.left, rc.bottom - rc.top};
        const SIZE estimate = child->EstimateSize(available);
        int width = estimate.cx;
        if (width == 0) width = available.cx < 0 ? 0 : available.cx;
        width = Clamp(width, child->GetMinWidth(), child->GetMaxWidth());
        int height = estimate.cy;
        if (height == 0) height = available.cy < 0 ? 0 : available.cy;
        height = Clamp(height, child->GetMinHeight(), child->GetMaxHeight());
        child->SetPos(RECT{rc.left, rc.top, rc.left + width, rc.top + height}, false);
    }
}

void CTabLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr || value == nullptr) return;
    if (wcscmp(name, L"selectedid") == 0) SelectItem(static_cast<int>(wcstol(value, nullptr, 10)));
    CContainerUI::SetAttribute(name, value);
}

}  // namespace QuillUI
