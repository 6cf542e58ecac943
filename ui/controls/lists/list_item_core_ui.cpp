#include "ui/controls/lists/list_item_core_ui.h"

#include "ui/controls/buttons/control_state_ui.h"
#include "ui/core/control/control_ui.h"
#include "ui/core/manager/window_manager_ui.h"

namespace QuillUI {

int CListItemCoreUI::GetIndex() const { return index_; }
void CListItemCoreUI::SetIndex(int index) { index_ = index; }
int CListItemCoreUI::GetDrawIndex() const { return drawIndex_; }
void CListItemCoreUI::SetDrawIndex(int index) { drawIndex_ = index; }
IListOwnerUI* CListItemCoreUI::GetOwner() { return owner_; }
bool CListItemCoreUI::IsSelected() const { return selected_; }

void CListItemCoreUI::SetOwner(CControlUI* owner) {
    owner_ = owner != nullptr ? static_cast<IListOwnerUI*>(owner->GetInterface(L"IListOwner")) : nullptr;
}

ListInfoUI* CListItemCoreUI::GetOwnerListInfo() const { return owner_ != nullptr ? owner_->GetListInfo() : nullptr; }

ListItemStateUI CListItemCoreUI::GetLookState(const CControlUI& self) const {
    return ListItemStateUI{(state_ & StateHot) != 0, selected_, !self.IsEnabled(), drawIndex_};
}

bool CListItemCoreUI::SelectAs(CControlUI& self, bool select, bool sendNotify) {
    if (select && !self.IsEnabled()) return false;
    if (selected_ == select) return true;
    selected_ = select;
    InvalidateListItem(self);
    // When the owner itself selects this item, it finds the index selected
    // already and returns at once.
    if (select && owner_ != nullptr) owner_->SelectItem(index_, sendNotify, true);
    return true;
}

void CListItemCoreUI::NotifyActivated(CControlUI& self) {
    if (CWindowManagerUI* manager = self.GetManager()) manager->SendNotify(&self, L"itemactivate");
}

void CListItemCoreUI::DropSelectionIfHidden(const CControlUI& self) {
    if (self.IsVisible() || !selected_) return;
    selected_ = false;
    if (owner_ != nullptr) owner_->SelectItem(-1, false, true);
}

void CListItemCoreUI::Click(CControlUI& self) {
    if (!self.IsEnabled()) return;
    if (CWindowManagerUI* manager = self.GetManager()) manager->SendNotify(&self, L"itemclick");
    SelectAs(self, true, true);
    InvalidateListItem(self);
}

bool CListItemCoreUI::TrackHot(CControlUI& self, const ControlEventUI& event) {
    const bool inside = ::PtInRect(&self.GetPos(), event.mousePoint) != FALSE;
    if (event.kind == EventMouseEnter) {
        if (inside && self.IsEnabled() && (state_ & StateHot) == 0) {
            state_ |= StateHot;
            InvalidateListItem(self);
        }
        return false;
    }
    if (event.kind != EventMouseLeave) return false;
    CWindowManagerUI* manager = self.GetManager();
    if (inside) {
        if (manager != nullptr) manager->AddMouseLeaveNeeded(&self);
        return true;
    }
    if (self.IsEnabled() && (state_ & StateHot) != 0) {
        state_ &= ~static_cast<UINT>(StateHot);
        InvalidateListItem(self);
    }
    if (manager != nullptr) manager->RemoveMouseLeaveNeeded(&self);
    return false;
}

}  // namespace QuillUI
