// The list's identity and the routing of children: header, header items
// and items, with the item indices, the selection and the expanded item
// kept on the same items through every insertion, removal and move.
#include "ui/controls/lists/list_ui.h"

#include "ui/controls/lists/list_body_ui.h"
#include "ui/controls/lists/list_header_ui.h"

#include <algorithm>
#include <cwchar>
#include <new>

namespace QuillUI {

namespace {

bool IsHeader(CControlUI* control) { return control->GetInterface(L"ListHeader") != nullptr; }

bool IsHeaderItem(CControlUI* control) {
    const wchar_t* name = control->GetClass();
    return name != nullptr && wcsstr(name, L"ListHeaderItem") != nullptr;
}

IListItemUI* AsListItem(CControlUI* control) {
    return control != nullptr ? static_cast<IListItemUI*>(control->GetInterface(L"IListItem")) : nullptr;
}

// An index kept across the removal of the item at removed: the items past
// it move up by one.
int AfterRemoval(int tracked, int removed) { return tracked > removed ? tracked - 1 : tracked; }

}  // namespace

CListUI::CListUI() {
    body_ = new (std::nothrow) CListBodyUI(this);
    if (CListHeaderUI* header = new (std::nothrow) CListHeaderUI()) {
        if (!CListUI::Add(header)) header->Delete();
    }
    if (body_ != nullptr && !CContainerUI::Add(body_)) {
        body_->Delete();
        body_ = nullptr;
    }
}

// The header and the body go with the container's children.
CListUI::~CListUI() = default;

const wchar_t* CListUI::GetClass() const { return L"List"; }

void* CListUI::GetInterface(const wchar_t* name) {
    if (name != nullptr) {
        if (wcscmp(name, L"List") == 0) return static_cast<CListUI*>(this);
        if (wcscmp(name, L"IList") == 0) return static_cast<IListUI*>(this);
        if (wcscmp(name, L"IListOwner") == 0) return static_cast<IListOwnerUI*>(this);
    }
    return CVerticalLayoutUI::GetInterface(name);
}

UINT CListUI::GetControlFlags() const { return ControlFlagTabStop; }

ListInfoUI* CListUI::GetListInfo() { return &listInfo_; }
int CListUI::GetCurSel() const { return curSel_; }
int CListUI::GetExpandedItem() const { return expandedItem_; }
CListHeaderUI* CListUI::GetHeader() const { return header_; }
CContainerUI* CListUI::GetList() const { return body_; }
IListTextCallbackUI* CListUI::GetTextCallback() const { return textCallback_; }
void CListUI::SetTextCallback(IListTextCallbackUI* callback) { textCallback_ = callback; }

IListItemUI* CListUI::ListItemAt(int index) const { return AsListItem(GetItemAt(index)); }

void CListUI::Renumber(int first, int last) {
    last = std::min(last, GetCount() - 1);
    for (int i = std::max(first, 0); i <= last; ++i) {
        if (IListItemUI* item = ListItemAt(i)) item->SetIndex(i);
    }
}

// ---- Accessors ----------------------------------------------------------------

CControlUI* CListUI::GetItemAt(int index) const { return body_ != nullptr ? body_->GetItemAt(index) : nullptr; }

int CListUI::GetCount() const { return body_ != nullptr ? body_->GetCount() : 0; }

int CListUI::GetItemIndex(CControlUI* control) const {
    if (control == nullptr) return -1;
    if (IsHeader(control)) return CContainerUI::GetItemIndex(control);
    if (IsHeaderItem(control)) return header_ != nullptr ? header_->GetItemIndex(control) : -1;
    return body_ != nullptr ? body_->GetItemIndex(control) : -1;
}

// ---- Adding ---------------------------------------------------------------------

bool CListUI::AddHeader(CControlUI* header) {
    // Twice among the children would be destroyed twice.
    if (items_.Find(header) >= 0) return false;
    // A header without items gives way; one with items stays the header and
    // the newcomer is a plain child.
    const bool replaces = header_ == nullptr || header_->GetCount() == 0;
    if (!CContainerUI::AddAt(header, 0)) return false;
    if (replaces) {
        CListHeaderUI* old = header_;
        header_ = static_cast<CListHeaderUI*>(header->GetInterface(L"ListHeader"));
        if (old != nullptr) CContainerUI::Remove(old, false);
        listInfo_.columnCount = std::min(header_->GetCount(), kMaxListColumns);
    }
    return true;
}

bool CListUI::Add(CControlUI* control) {
    if (control == nullptr) return false;
    if (IsHeader(control)) return AddHeader(control);
    if (IsHeaderItem(control)) {
        if (header_ == nullptr) return false;
        const bool added = header_->Add(control);
        listInfo_.columnCount = std::min(header_->GetCount(), kMaxListColumns);
        return added;
    }
    if (body_ == nullptr) return false;
    if (IListItemUI* item = AsListItem(control)) {
        item->SetOwner(this);
        item->SetIndex(GetCount());
    }
    return body_->Add(control);
}

bool CListUI::AddAt(CControlUI* control, int index) {
    if (control == nullptr) return false;
    if (IsHeader(control)) return AddHeader(control);
    if (IsHeaderItem(control)) {
        if (header_ == nullptr) return false;
        const bool added = header_->AddAt(control, index);
        listInfo_.columnCount = std::min(header_->GetCount(), kMaxListColumns);
        return added;
    }
    if (body_ == nullptr || !body_->AddAt(control, index)) return false;
    if (IListItemUI* item = AsListItem(control)) {
        item->SetOwner(this);
        item->SetIndex(index);
    }
    Renumber(index + 1, GetCount() - 1);
    if (curSel_ >= index) ++curSel_;
    if (expandedItem_ >= index) ++expandedItem_;
    return true;
}

// ---- Removing -------------------------------------------------------------------

bool CListUI::Remove(CControlUI* control, bool keep) {
    if (control == nullptr) return false;
    if (IsHeader(control)) {
        // The list and its body keep using the current header.
        if (control == header_) return false;
        return CContainerUI::Remove(control, keep);
    }
    if (IsHeaderItem(control)) {
        if (header_ == nullptr || !header_->Remove(control, keep)) return false;
        listInfo_.columnCount = std::min(header_->GetCount(), kMaxListColumns);
        return true;
    }
    if (body_ == nullptr) return false;
    const int index = body_->GetItemIndex(control);
    if (index < 0) return false;
    return RemoveItemAt(index, keep);
}

bool CListUI::RemoveAt(int index, bool keep) {
    if (GetItemAt(index) == nullptr) return false;
    return RemoveItemAt(index, keep);
}

bool CListUI::RemoveItemAt(int index, bool keep) {
    // A removed item no longer steers the list, whether it is kept, waits
    // for its delayed destruction or is deleted now (hence before).
    IListItemUI* item = ListItemAt(index);
    if (item != nullptr) item->SetOwner(nullptr);
    if (!body_->RemoveAt(index, keep)) {
        if (item != nullptr) item->SetOwner(this);
        return false;
    }
    // A kept item lives on elsewhere, perhaps longer than this list: it
    // shows none of the list's selection.
    if (keep && item != nullptr) item->Select(false, false);
    Renumber(index, GetCount() - 1);
    if (expandedItem_ == index)
        expandedItem_ = -1;
    else
        expandedItem_ = AfterRemoval(expandedItem_, index);
    if (curSel_ == index) {
        curSel_ = -1;
        SelectItem(FindSelectable(index, false), false, true);
    } else {
        curSel_ = AfterRemoval(curSel_, index);
    }
    return true;
}

void CListUI::RemoveAll() {
    curSel_ = -1;
    expandedItem_ = -1;
    if (body_ == nullptr) return;
    // Items waiting for their delayed destruction steer the list no more.
    for (int i = 0; i < GetCount(); ++i) {
        if (IListItemUI* item = ListItemAt(i)) item->SetOwner(nullptr);
    }
    body_->RemoveAll();
}

// ---- Moving ---------------------------------------------------------------------

bool CListUI::SetItemIndex(CControlUI* control, int newIndex) {
    if (control == nullptr) return false;
    if (IsHeader(control)) return CContainerUI::SetItemIndex(control, newIndex);
    if (IsHeaderItem(control)) return header_ != nullptr && header_->SetItemIndex(control, newIndex);
    if (body_ == nullptr) return false;
    const int oldIndex = body_->GetItemIndex(control);
    if (oldIndex < 0) return false;
    if (oldIndex == newIndex) return true;
    CControlUI* selected = GetItemAt(curSel_);
    CControlUI* expanded = GetItemAt(expandedItem_);
    if (!body_->SetItemIndex(control, newIndex)) return false;
    Renumber(std::min(oldIndex, newIndex), std::max(oldIndex, newIndex));
    if (selected != nullptr) curSel_ = body_->GetItemIndex(selected);
    if (expanded != nullptr) expandedItem_ = body_->GetItemIndex(expanded);
    return true;
}

bool CListUI::MoveItems(CControlUI* control, int count, int newIndex) {
    if (control == nullptr || count < 0 || newIndex < 0) return false;
    if (IsHeader(control)) return CContainerUI::MoveItems(control, count, newIndex);
    if (IsHeaderItem(control)) return header_ != nullptr && header_->MoveItems(control, count, newIndex);
    const int oldIndex = GetItemIndex(control);
    if (oldIndex < 0) return false;
    if (oldIndex == newIndex) return true;
    const int total = GetCount();
    if (count > total - oldIndex || count > total - newIndex) return false;
    CControlUI* selected = GetItemAt(curSel_);
    CControlUI* expanded = GetItemAt(expandedItem_);
    if (!body_->MoveItems(control, count, newIndex)) return false;
    Renumber(std::min(oldIndex, newIndex), std::max(oldIndex, newIndex) + count - 1);
    if (selected != nullptr) curSel_ = body_->GetItemIndex(selected);
    if (expanded != nullptr) expandedItem_ = body_->GetItemIndex(expanded);
    return true;
}

}  // namespace QuillUI
