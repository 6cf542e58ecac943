// The view's identity and its rows: every node of a subtree becomes a row
// after its parent's earlier descendants, and leaves with its subtree.
#include "ui/controls/tree/tree_view_ui.h"

#include "ui/controls/buttons/check_box_ui.h"
#include "ui/controls/lists/list_header_ui.h"
#include "ui/controls/tree/tree_node_ui.h"
#include "ui/core/values/delegate.h"

#include <cwchar>

namespace QuillUI {

namespace {

using ViewDelegate = CDelegate<CTreeViewUI, CTreeViewUI>;

// The node and its descendants, depth first: the order of their rows.
bool CollectSubtree(CTreeNodeUI* node, CPointerArray& rows) {
    if (!rows.Add(node)) return false;
    for (int i = 0; i < node->GetChildNodeCount(); ++i) {
        if (!CollectSubtree(node->GetChildNode(i), rows)) return false;
    }
    return true;
}

CTreeNodeUI* NodeAt(const CPointerArray& rows, int index) { return static_cast<CTreeNodeUI*>(rows[index]); }

}  // namespace

CTreeViewUI::CTreeViewUI() {
    if (header_ != nullptr) header_->SetVisible(false);
}

CTreeViewUI::~CTreeViewUI() {
    ForEachNode([this](CTreeNodeUI* node) { Detach(node); });
}

const wchar_t* CTreeViewUI::GetClass() const { return L"TreeView"; }

void* CTreeViewUI::GetInterface(const wchar_t* name) {
    if (name != nullptr && wcscmp(name, L"TreeView") == 0) return static_cast<CTreeViewUI*>(this);
    return CListUI::GetInterface(name);
}

void CTreeViewUI::Notify(NotifyMessageUI&) {}

void CTreeViewUI::Attach(CTreeNodeUI* node) {
    node->OnNotify.Add(ViewDelegate(this, &CTreeViewUI::OnItemDbClick));
    if (CCheckBoxUI* folder = node->GetFolderButton()) {
        folder->OnNotify.Add(ViewDelegate(this, &CTreeViewUI::OnFolderChanged));
        folder->SetVisible(visibleFolderBtn_);
    }
    if (CCheckBoxUI* check = node->GetCheckBox()) {
        check->OnNotify.Add(ViewDelegate(this, &CTreeViewUI::OnCheckBoxChanged));
        check->SetVisible(visibleCheckBtn_);
    }
    if (itemMinWidth_ > 0) node->SetMinWidth(static_cast<int>(itemMinWidth_));
    node->SetTreeView(this);
}

void CTreeViewUI::Detach(CTreeNodeUI* node) {
    node->OnNotify.Remove(ViewDelegate(this, &CTreeViewUI::OnItemDbClick));
    if (CCheckBoxUI* folder = node->GetFolderButton())
        folder->OnNotify.Remove(ViewDelegate(this, &CTreeViewUI::OnFolderChanged));
    if (CCheckBoxUI* check = node->GetCheckBox())
        check->OnNotify.Remove(ViewDelegate(this, &CTreeViewUI::OnCheckBoxChanged));
    node->SetTreeView(nullptr);
}

// ---- Adding -----------------------------------------------------------------------

int CTreeViewUI::InsertSubtree(CTreeNodeUI* node, int index) {
    if (node == nullptr || index < 0 || index > GetCount()) return -1;
    CPointerArray rows;
    if (!CollectSubtree(node, rows)) return -1;
    for (int i = 0; i < rows.GetSize(); ++i) {
        if (CListUI::AddAt(NodeAt(rows, i), index + i)) {
            Attach(NodeAt(rows, i));
            continue;
        }
        // All or nothing: a part of a subtree would leave the rest unowned.
        for (int j = i - 1; j >= 0; --j) {
            Detach(NodeAt(rows, j));
            CListUI::Remove(NodeAt(rows, j), true);
        }
        return -1;
    }
    return index + rows.GetSize();
}

int CTreeViewUI::AddAt(CTreeNodeUI* node, int index) {
    // A child node's rows are placed by its parent, which knows where its
    // subtree ends.
    if (node == nullptr || node->GetTreeView() != nullptr || node->GetParentNode() != nullptr) return -1;
    return InsertSubtree(node, index);
}

bool CTreeViewUI::AddAt(CTreeNodeUI* node, CTreeNodeUI* reference) {
    if (node == nullptr || reference == nullptr) return false;
    const int index = GetItemIndex(reference);
    return index >= 0 && AddAt(node, index) >= 0;
}

bool CTreeViewUI::Add(CControlUI* control) {
    CTreeNodeUI* node = AsTreeNode(control);
    return node != nullptr && AddAt(node, GetCount()) >= 0;
}

bool CTreeViewUI::AddAt(CControlUI* control, int index) {
    CTreeNodeUI* node = AsTreeNode(control);
    return node != nullptr && AddAt(node, index) >= 0;
}

// ---- Removing ---------------------------------------------------------------------

bool CTreeViewUI::Remove(CControlUI* control, bool keep) {
    if (control == nullptr) return false;
    CTreeNodeUI* node = AsTreeNode(control);
    if (node == nullptr) return CListUI::Remove(control, keep);
    if (node->GetTreeView() != this || GetItemIndex(node) < 0) return false;
    CPointerArray rows;
    if (!CollectSubtree(node, rows)) return false;
    if (CTreeNodeUI* parent = node->GetParentNode()) {
        parent->ForgetChild(node);
        node->SetParentNode(nullptr);
    }
    // The last row first: a selection inside the subtree moves once, to
    // the row after it, and each node still has its parent while it goes.
    for (int i = rows.GetSize() - 1; i >= 0; --i) {
        Detach(NodeAt(rows, i));
        CListUI::Remove(NodeAt(rows, i), keep);
    }
    return true;
}

bool CTreeViewUI::RemoveAt(int index, bool keep) {
    CControlUI* item = GetItemAt(index);
    if (item == nullptr) return false;
    if (AsTreeNode(item) != nullptr) return Remove(item, keep);
    return CListUI::Remove(item, keep);
}

void CTreeViewUI::RemoveAll() {
    ForEachNode([this](CTreeNodeUI* node) { Detach(node); });
    CListUI::RemoveAll();
}

}  // namespace QuillUI
