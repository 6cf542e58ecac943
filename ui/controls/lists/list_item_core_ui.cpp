#include "ui/controls/lists/list_item_core_ui.h"

#include "ui/controls/buttons/control_state_ui.h"
#include "ui/controls/containers/container_ui.h"
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
    ownerControl_ = owner_ != nullptr ? owner : nullptr;
}

CListItemCoreUI::RowWatch::RowWatch(CListItemCoreUI& item, CControlUI& self)
    : alive_(self), item_(item), self_(self), owner_(item.owner_), index_(item.index_) {}

bool CListItemCoreUI::RowWatch::Holds() const {
    if (alive_.IsGone()) return false;
    if (item_.owner_ != owner_ || item_.index_ != index_) return false;
    // An item alive with its owner unchanged has a live owner: an owner
    // lets go of the rows it gives up, and deletes the rest with itself.
    if (owner_ == nullptr || item_.ownerControl_ == nullptr) return true;
    const IContainerUI* rows = static_cast<IContainerUI*>(item_.ownerControl_->GetInterface(L"IContainer"));
    return rows == nullptr || rows->GetItemAt(index_) == &self_;
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

void CListItemCoreUI::ActivateRow(CControlUI& self) {
    RowWatch watch(*this, self);
    self.Activate();
    if (watch.Holds()) InvalidateListItem(self);
}

void CListItemCoreUI::DropSelectionIfHidden(const CControlUI& self) {
    if (self.IsVisible() || !selected_) return;
    selected_ = false;
    if (owner_ != nullptr) owner_->SelectItem(-1, false, true);
}

void CListItemCoreUI::Click(CControlUI& self) {
    if (!self.IsEnabled()) return;
    RowWatch watch(*this, self);
    if (CWindowManagerUI* manager = self.GetManager()) manager->SendNotify(&self, L"itemclick");
    // A row removed by a listener selects nothing: its stale index may now
    // be another row's.
    if (!watch.Holds()) return;
    SelectAs(self, true, true);
    // So may "itemselect".
    if (watch.Holds()) InvalidateListItem(self);
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
