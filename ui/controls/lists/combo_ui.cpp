// The combo's identity, its items and its selection.
#include "ui/controls/lists/combo_ui.h"

#include "ui/controls/lists/combo_wnd.h"
#include "ui/core/manager/window_manager_ui.h"

#include <algorithm>
#include <cwchar>

namespace QuillUI {

namespace {

IListItemUI* AsListItem(CControlUI* control) {
    return control != nullptr ? static_cast<IListItemUI*>(control->GetInterface(L"IListItem")) : nullptr;
}

}  // namespace

CComboUI::CComboUI() = default;

CComboUI::~CComboUI() {
    if (window_ == nullptr) return;
    // The items go back before the popup and its manager do, and the
    // popup's end touches this combo no more.
    CComboWnd* window = window_;
    window_ = nullptr;
    window->ReturnItems();
    window->ReleaseOwner();
    if (HWND hwnd = window->GetHWND()) ::DestroyWindow(hwnd);
}

const wchar_t* CComboUI::GetClass() const { return L"Combo"; }

void* CComboUI::GetInterface(const wchar_t* name) {
    if (name != nullptr) {
        if (wcscmp(name, L"IListOwner") == 0) return static_cast<IListOwnerUI*>(this);
        if (wcscmp(name, L"Combo") == 0) return static_cast<CComboUI*>(this);
    }
    return CContainerUI::GetInterface(name);
}

UINT CComboUI::GetControlFlags() const { return ControlFlagTabStop; }

CWideString CComboUI::GetText() const {
    CControlUI* selected = GetItemAt(curSel_);
    return selected != nullptr ? selected->GetText() : CWideString();
}

ListInfoUI* CComboUI::GetListInfo() { return &listInfo_; }
int CComboUI::GetCurSel() const { return curSel_; }
bool CComboUI::ExpandItem(int, bool) { return false; }
int CComboUI::GetExpandedItem() const { return -1; }

IListItemUI* CComboUI::ListItemAt(int index) const { return AsListItem(GetItemAt(index)); }

void CComboUI::Renumber(int first, int last) {
    last = std::min(last, GetCount() - 1);
    for (int i = std::max(first, 0); i <= last; ++i) {
        if (IListItemUI* item = ListItemAt(i)) item->SetIndex(i);
    }
}

// ---- Selection --------------------------------------------------------------

bool CComboUI::SelectItem(int index, bool takeFocus, bool sendNotify) {
    if (selectCloses_ && window_ != nullptr) window_->Close(1);
    if (index == curSel_) return true;
    const int old = curSel_;
    if (curSel_ >= 0) {
        // A selection left on an index without an item is dropped as well,
        // or no later selection could ever succeed.
        if (IListItemUI* item = ListItemAt(curSel_)) item->Select(false, sendNotify);
        curSel_ = -1;
    }
    const int count = GetCount();
    if (index < 0 || count == 0) return false;
    index = std::min(index, count - 1);
    CControlUI* control = GetItemAt(index);
    IListItemUI* item = AsListItem(control);
    if (!control->IsVisible() || !control->IsEnabled() || item == nullptr) return false;
    curSel_ = index;
    if (window_ != nullptr || takeFocus) control->SetFocus();
    item->Select(true, sendNotify);
    // Repainted first: the notification may end the window.
    Invalidate();
    if (manager_ != nullptr && sendNotify) manager_->SendNotify(this, L"itemselect", index, old);
    return true;
}

void CComboUI::SelectFromKeys(int index, bool forward) {
    selectCloses_ = false;
    if (manager_ != nullptr) {
        CWindowManagerUI::LifeWatch watch(*manager_);
        SelectItem(FindSelectable(index, forward), false, true);
        if (watch.IsGone()) return;
    } else {
        SelectItem(FindSelectable(index, forward), false, true);
    }
    selectCloses_ = true;
}

// ---- Items --------------------------------------------------------------------

bool CComboUI::Add(CControlUI* control) {
    if (IListItemUI* item = AsListItem(control)) {
        item->SetOwner(this);
        item->SetIndex(GetCount());
    }
    return CContainerUI::Add(control);
}

bool CComboUI::AddAt(CControlUI* control, int index) {
    if (!CContainerUI::AddAt(control, index)) return false;
    if (IListItemUI* item = AsListItem(control)) {
        item->SetOwner(this);
        item->SetIndex(index);
    }
    Renumber(index + 1, GetCount() - 1);
    if (index <= curSel_) ++curSel_;
    return true;
}

bool CComboUI::Remove(CControlUI* control, bool keep) {
    const int index = GetItemIndex(control);
    return index >= 0 && RemoveAt(index, keep);
}

bool CComboUI::RemoveAt(int index, bool keep) {
    CControlUI* control = GetItemAt(index);
    if (control == nullptr) return false;
    // An open popup lets go of it first: the item may be destroyed now.
    if (window_ != nullptr) window_->ForgetItem(control);
    // A removed item no longer steers the combo, whether it is kept, waits
    // for its delayed destruction or is deleted now (hence before).
    IListItemUI* item = AsListItem(control);
    if (item != nullptr) item->SetOwner(nullptr);
    if (!CContainerUI::RemoveAt(index, keep)) {
        if (item != nullptr) item->SetOwner(this);
        return false;
    }
    // A kept item lives on elsewhere, perhaps longer than this combo box.
    if (keep && item != nullptr) item->Select(false, false);
    Renumber(index, GetCount() - 1);
    if (index == curSel_) {
        curSel_ = -1;
        SelectItem(FindSelectable(index, false), false, true);
    } else if (index < curSel_) {
        --curSel_;
    }
    return true;
}

void CComboUI::RemoveAll() {
    curSel_ = -1;
    if (window_ != nullptr) {
        for (int i = 0; i < GetCount(); ++i) window_->ForgetItem(GetItemAt(i));
    }
    // Items waiting for their delayed destruction steer the combo no more.
    for (int i = 0; i < GetCount(); ++i) {
        if (IListItemUI* item = ListItemAt(i)) item->SetOwner(nullptr);
    }
    CContainerUI::RemoveAll();
}

bool CComboUI::SetItemIndex(CControlUI* control, int newIndex) {
    const int oldIndex = GetItemIndex(control);
    if (oldIndex < 0) return false;
    CControlUI* selected = GetItemAt(curSel_);
    if (!CContainerUI::SetItemIndex(control, newIndex)) return false;
    Renumber(std::min(oldIndex, newIndex), std::max(oldIndex, newIndex));
    if (selected != nullptr) curSel_ = GetItemIndex(selected);
    return true;
}

bool CComboUI::MoveItems(CControlUI* control, int count, int newIndex) {
    const int oldIndex = GetItemIndex(control);
    if (oldIndex < 0) return false;
    CControlUI* selected = GetItemAt(curSel_);
    if (!CContainerUI::MoveItems(control, count, newIndex)) return false;
    Renumber(std::min(oldIndex, newIndex), std::max(oldIndex, newIndex) + count - 1);
    if (selected != nullptr) curSel_ = GetItemIndex(selected);
    return true;
}

// ---- Settings ---------------------------------------------------------------------

void CComboUI::SetShowText(bool show) {
    showText_ = show;
    Invalidate();
}

void CComboUI::SetTextPadding(RECT padding) {
    textPadding_ = padding;
    Invalidate();
}

void CComboUI::SetDropBoxSize(SIZE size) {
    dropBoxSize_ = CSizeUI(std::max<LONG>(size.cx, 0), std::max<LONG>(size.cy, 0));
}

void CComboUI::SetNormalImage(const wchar_t* description) { ChangeImage(normalImage_, description); }
void CComboUI::SetHotImage(const wchar_t* description) { ChangeImage(hotImage_, description); }
void CComboUI::SetPushedImage(const wchar_t* description) { ChangeImage(pushedImage_, description); }
void CComboUI::SetFocusedImage(const wchar_t* description) { ChangeImage(focusedImage_, description); }
void CComboUI::SetDisabledImage(const wchar_t* description) { ChangeImage(disabledImage_, description); }

}  // namespace QuillUI
