#include "ui/controls/tree/tree_node_ui.h"

#include "ui/controls/buttons/check_box_ui.h"
#include "ui/controls/buttons/option_ui.h"
#include "ui/controls/containers/horizontal_layout_ui.h"
#include "ui/controls/text/label_ui.h"
#include "ui/controls/tree/tree_view_ui.h"
#include "ui/core/markup/dialog_builder_tags.h"
#include "ui/core/manager/window_manager_ui.h"

#include <cwchar>
#include <new>

namespace QuillUI {

namespace {

const int kRowHeight = 18;
const int kRowWidth = 250;
const int kRootLineWidth = 2;

bool AddToNodeRow(CControlUI* parentNode, CControlUI* control) {
    CTreeNodeUI* node = AsTreeNode(parentNode);
    return node != nullptr && node->AddToRow(control);
}

// Markup controls under a node that are no nodes go into its row; the
// builder learns so before any node can have such children, unless the
// program routes them itself.
void RouteMarkupIntoRows() {
    if (GetTreeBuildOps().addToNodeRow != nullptr) return;
    TreeBuildOpsUI ops = GetTreeBuildOps();
    ops.addToNodeRow = &AddToNodeRow;
    SetTreeBuildOps(ops);
}

}  // namespace

CTreeNodeUI* AsTreeNode(CControlUI* control) {
    return control != nullptr ? static_cast<CTreeNodeUI*>(control->GetInterface(L"TreeNode")) : nullptr;
}

CTreeNodeUI::CTreeNodeUI(CTreeNodeUI* parent) {
    RouteMarkupIntoRows();
    SetFixedHeight(kRowHeight);
    SetFixedWidth(kRowWidth);
    rowLayout_ = new (std::nothrow) CHorizontalLayoutUI();
    folderButton_ = new (std::nothrow) CCheckBoxUI();
    dottedLine_ = new (std::nothrow) CLabelUI();
    checkBox_ = new (std::nothrow) CCheckBoxUI();
    itemButton_ = new (std::nothrow) COptionUI();
    if (rowLayout_ == nullptr || folderButton_ == nullptr || dottedLine_ == nullptr || checkBox_ == nullptr ||
        itemButton_ == nullptr) {
        // A node without its row still works as a node.
        CControlUI* made[] = {rowLayout_, folderButton_, dottedLine_, checkBox_, itemButton_};
        for (CControlUI* control : made) {
            if (control != nullptr) control->Delete();
        }
        rowLayout_ = nullptr;
        folderButton_ = nullptr;
        dottedLine_ = nullptr;
        checkBox_ = nullptr;
        itemButton_ = nullptr;
        return;
    }
    folderButton_->SetFixedWidth(kRowHeight);
    checkBox_->SetFixedWidth(kRowHeight);
    dottedLine_->SetFixedWidth(kRootLineWidth);
    itemButton_->SetAttribute(L"align", L"left");
    // Clicks on the text reach the node.
    itemButton_->SetMouseEnabled(false);
    dottedLine_->SetVisible(false);
    checkBox_->SetVisible(false);
    if (parent != nullptr) {
        if (_wcsicmp(parent->GetClass(), L"TreeNode") != 0) return;
        // Indented as its child already; it becomes the parent's child
        // node only when added, so that a node never points at a parent
        // that does not list it.
        dottedLine_->SetVisible(parent->IsVisible());
        if (parent->dottedLine_ != nullptr)
            dottedLine_->SetFixedWidth(parent->dottedLine_->GetFixedWidth() + kIndentStep);
    }
    rowAttached_ = rowLayout_->Add(dottedLine_) && rowLayout_->Add(folderButton_) && rowLayout_->Add(checkBox_) &&
                   rowLayout_->Add(itemButton_) && CContainerUI::Add(rowLayout_);
}

CTreeNodeUI::~CTreeNodeUI() {
    if (parentNode_ != nullptr) parentNode_->ForgetChild(this);
    for (int i = 0; i < childNodes_.GetSize(); ++i) static_cast<CTreeNodeUI*>(childNodes_[i])->parentNode_ = nullptr;
    if (!rowAttached_ && rowLayout_ != nullptr) {
        // The row may hold some of the parts already; the rest are loose.
        CControlUI* parts[] = {dottedLine_, folderButton_, checkBox_, itemButton_};
        for (CControlUI* part : parts) {
            if (rowLayout_->GetItemIndex(part) < 0) part->Delete();
        }
        rowLayout_->Delete();
    }
}

const wchar_t* CTreeNodeUI::GetClass() const { return L"TreeNode"; }

void* CTreeNodeUI::GetInterface(const wchar_t* name) {
    if (name != nullptr && wcscmp(name, L"TreeNode") == 0) return static_cast<CTreeNodeUI*>(this);
    return CListContainerElementUI::GetInterface(name);
}

// ---- Child nodes ------------------------------------------------------------

CTreeNodeUI* CTreeNodeUI::GetChildNode(int index) const { return static_cast<CTreeNodeUI*>(childNodes_.GetAt(index)); }

CTreeNodeUI* CTreeNodeUI::GetLastNode() {
    CTreeNodeUI* last = this;
    while (last->HasChildNode()) last = last->GetChildNode(last->GetChildNodeCount() - 1);
    return last;
}

int CTreeNodeUI::GetTreeIndex() const {
    if (treeView_ == nullptr) return -1;
    // The row's own index is kept by the view; the search is the fallback.
    CControlUI* self = const_cast<CTreeNodeUI*>(this);
    if (treeView_->GetItemAt(index_) == self) return index_;
    return treeView_->GetItemIndex(self);
}

bool CTreeNodeUI::CanAdopt(const CTreeNodeUI* node) const {
    // A node of another subtree, or of a view, would be a row twice over;
    // this node or an ancestor would make the subtree its own part.
    if (node == nullptr || node->treeView_ != nullptr || node->parentNode_ != nullptr) return false;
    for (const CTreeNodeUI* up = this; up != nullptr; up = up->parentNode_) {
        if (up == node) return false;
    }
    return true;
}

void CTreeNodeUI::PrepareChild(CTreeNodeUI* node) {
    node->parentNode_ = this;
    node->IndentBelow(this);
    if (node->itemButton_ != nullptr && itemButton_ != nullptr)
        node->itemButton_->SetGroup(itemButton_->GetGroup().GetData());
}

void CTreeNodeUI::IndentBelow(const CTreeNodeUI* parent) {
    if (dottedLine_ != nullptr) {
        dottedLine_->SetVisible(true);
        const int width = parent->dottedLine_ != nullptr ? parent->dottedLine_->GetFixedWidth() : kRootLineWidth;
        dottedLine_->SetFixedWidth(width + kIndentStep);
    }
    // A subtree made beforehand is indented for where it joins.
    for (int i = 0; i < childNodes_.GetSize(); ++i) GetChildNode(i)->IndentBelow(this);
}

void CTreeNodeUI::ForgetChild(CTreeNodeUI* node) {
    const int at = childNodes_.Find(node);
    if (at >= 0) childNodes_.Remove(at);
}

bool CTreeNodeUI::AddChildNode(CTreeNodeUI* node) {
    if (!CanAdopt(node)) return false;
    // Taken before the node joins: its rows go after the subtree as it is.
    const int afterSubtree = treeView_ != nullptr ? GetLastNode()->GetTreeIndex() + 1 : 0;
    PrepareChild(node);
    if (treeView_ != nullptr && (afterSubtree <= 0 || treeView_->InsertSubtree(node, afterSubtree) < 0)) {
        node->parentNode_ = nullptr;
        return false;
    }
    if (!childNodes_.Add(node)) {
        if (treeView_ != nullptr) treeView_->Remove(node, true);
        node->parentNode_ = nullptr;
        return false;
    }
    return true;
}

bool CTreeNodeUI::Add(CControlUI* control) {
    if (CTreeNodeUI* node = AsTreeNode(control)) return AddChildNode(node);
    return CContainerUI::Add(control);
}

bool CTreeNodeUI::AddAt(CControlUI* control, int index) {
    CTreeNodeUI* node = AsTreeNode(control);
    if (!CanAdopt(node)) return false;
    CTreeNodeUI* const atIndex = GetChildNode(index);
    int row = 0;
    if (treeView_ != nullptr) {
        row = atIndex != nullptr ? atIndex->GetTreeIndex() : GetLastNode()->GetTreeIndex() + 1;
        if (row <= 0) return false;
    }
    PrepareChild(node);
    if (treeView_ != nullptr && treeView_->InsertSubtree(node, row) < 0) {
        node->parentNode_ = nullptr;
        return false;
    }
    const bool recorded = atIndex != nullptr ? childNodes_.InsertAt(index, node) : childNodes_.Add(node);
    if (!recorded) {
        if (treeView_ != nullptr) treeView_->Remove(node, true);
        node->parentNode_ = nullptr;
        return false;
    }
    return true;
}

bool CTreeNodeUI::AddToRow(CControlUI* control) { return rowLayout_ != nullptr && rowLayout_->Add(control); }

// ---- Row parts ----------------------------------------------------------------

CWideString CTreeNodeUI::GetItemText() const { return itemButton_ != nullptr ? itemButton_->GetText() : CWideString(); }

void CTreeNodeUI::SetVisibleFolderBtn(bool visible) {
    if (folderButton_ != nullptr) folderButton_->SetVisible(visible);
}

void CTreeNodeUI::SetVisibleCheckBtn(bool visible) {
    if (checkBox_ != nullptr) checkBox_->SetVisible(visible);
}

void CTreeNodeUI::SetItemTextColor(DWORD color) {
    itemTextColor_ = color;
    if (itemButton_ != nullptr) itemButton_->SetTextColor(color);
}

void CTreeNodeUI::SetItemHotTextColor(DWORD color) {
    itemHotTextColor_ = color;
    Invalidate();
}

void CTreeNodeUI::SetSelItemTextColor(DWORD color) {
    selItemTextColor_ = color;
    Invalidate();
}

void CTreeNodeUI::SetSelItemHotTextColor(DWORD color) {
    selItemHotTextColor_ = color;
    Invalidate();
}

bool CTreeNodeUI::Select(bool select, bool sendNotify) {
    CWindowManagerUI::ControlWatch watch(*this);
    const bool result = CListContainerElementUI::Select(select, sendNotify);
    // "itemselect" may have deleted the node.
    if (watch.IsGone()) return result;
    if (itemButton_ != nullptr) itemButton_->SetTextColor(IsSelected() ? selItemTextColor_ : itemTextColor_);
    return result;
}

void CTreeNodeUI::DoEvent(ControlEventUI& event) {
    const int kind = event.kind;
    RowWatch watch(*this, *this);
    CListContainerElementUI::DoEvent(event);
    // A listener of "itemclick", "itemselect" or "itemactivate" may have
    // removed the node: nothing more is sent for it.
    if (!watch.Holds()) return;
    // Mouse input the node does not take went to its owner.
    if (!IsMouseEnabled() && IsMouseEventKind(kind)) return;
    if (kind == EventDblClick) {
        if (!IsEnabled()) return;
        // Repainted first: the notification may end the node.
        Invalidate();
        if (manager_ != nullptr) manager_->SendNotify(this, L"itemdbclick");
        return;
    }
    if (itemButton_ == nullptr || (kind != EventMouseEnter && kind != EventMouseLeave)) return;
    if (!IsEnabled()) {
        itemButton_->SetTextColor(itemButton_->GetDisabledTextColor());
    } else if (kind == EventMouseEnter) {
        itemButton_->SetTextColor(IsSelected() && selItemHotTextColor_ != 0 ? selItemHotTextColor_ : itemHotTextColor_);
    } else if (IsSelected()) {
        if (selItemTextColor_ != 0) itemButton_->SetTextColor(selItemTextColor_);
    } else {
        itemButton_->SetTextColor(itemTextColor_);
    }
}

void CTreeNodeUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr) return;
    if (value == nullptr) value = L"";
    struct PartAttribute {
        const wchar_t* name;
        CControlUI* part;
    };
    const PartAttribute parts[] = {
        {L"horizattr", rowLayout_},    {L"dotlineattr", dottedLine_}, {L"folderattr", folderButton_},
        {L"checkboxattr", checkBox_}, {L"itemattr", itemButton_},
    };
    for (const PartAttribute& part : parts) {
        if (wcscmp(name, part.name) != 0) continue;
        if (part.part != nullptr) part.part->ApplyAttributeList(value);
        return;
    }
    if (wcscmp(name, L"text") == 0) {
        if (itemButton_ != nullptr) itemButton_->SetText(value);
    } else if (!SetTreeItemColorAttribute(*this, name, value)) {
        CListContainerElementUI::SetAttribute(name, value);
    }
}

}  // namespace QuillUI
