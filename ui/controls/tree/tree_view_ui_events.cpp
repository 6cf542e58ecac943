// The view's answers to its nodes: folding, check marks, and the settings
// it gives every row.
#include "ui/controls/tree/tree_view_ui.h"

#include "ui/controls/buttons/check_box_ui.h"
#include "ui/core/manager/notify_message_ui.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/markup/attribute_value_ui.h"

#include <cstdlib>
#include <cwchar>

namespace QuillUI {

namespace {

const NotifyMessageUI* AsMessage(void* param, const wchar_t* type) {
    const NotifyMessageUI* message = static_cast<const NotifyMessageUI*>(param);
    return message != nullptr && message->sender != nullptr && message->type == type ? message : nullptr;
}

// The node whose row holds a folder button or a check box.
CTreeNodeUI* NodeOfRowPart(CControlUI* part) {
    CControlUI* row = part->GetParent();
    return row != nullptr ? AsTreeNode(row->GetParent()) : nullptr;
}

bool IsFolded(CTreeNodeUI* node) {
    CCheckBoxUI* folder = node->GetFolderButton();
    return folder != nullptr && folder->IsSelected();
}

// Every check box below node, or of every row without one; false once
// gone() says the window ended.
template <class Gone>
bool MarkChecks(CTreeViewUI& view, bool checked, CTreeNodeUI* node, Gone gone) {
    auto mark = [&](CTreeNodeUI* target) {
        if (CCheckBoxUI* check = target->GetCheckBox()) check->Selected(checked, true);
        if (gone()) return false;
        return !target->HasChildNode() || target->GetTreeView() != &view || MarkChecks(view, checked, target, gone);
    };
    if (node == nullptr) {
        for (int i = 0; i < view.GetCount(); ++i) {
            CTreeNodeUI* item = AsTreeNode(view.GetItemAt(i));
            if (item != nullptr && !mark(item)) return false;
        }
        return true;
    }
    const CPointerArray children = node->GetTreeNodes();
    for (int i = 0; i < children.GetSize(); ++i) {
        CTreeNodeUI* child = static_cast<CTreeNodeUI*>(children[i]);
        if (child->GetParentNode() == node && !mark(child)) return false;
    }
    return true;
}

}  // namespace

bool CTreeViewUI::OnCheckBoxChanged(void* param) {
    const NotifyMessageUI* message = AsMessage(param, L"selectchanged");
    if (message == nullptr) return true;
    CTreeNodeUI* node = NodeOfRowPart(message->sender);
    if (node == nullptr || node->GetTreeView() != this || node->GetCheckBox() != message->sender) return true;
    SetItemCheckBox(node->GetCheckBox()->IsSelected(), node);
    return true;
}

bool CTreeViewUI::OnFolderChanged(void* param) {
    const NotifyMessageUI* message = AsMessage(param, L"selectchanged");
    if (message == nullptr) return true;
    CTreeNodeUI* node = NodeOfRowPart(message->sender);
    if (node == nullptr || node->GetTreeView() != this || node->GetFolderButton() != message->sender) return true;
    const bool folded = IsFolded(node);
    node->SetVisibleTag(!folded);
    SetItemExpand(!folded, node);
    return true;
}

bool CTreeViewUI::OnItemDbClick(void* param) {
    const NotifyMessageUI* message = AsMessage(param, L"itemdbclick");
    if (message == nullptr) return true;
    CTreeNodeUI* node = AsTreeNode(message->sender);
    if (node == nullptr || node->GetTreeView() != this) return true;
    CCheckBoxUI* folder = node->GetFolderButton();
    if (folder == nullptr) return true;
    if (manager_ != nullptr) {
        // The folder's own "selectchanged" may end the window.
        CWindowManagerUI::LifeWatch watch(*manager_);
        folder->Selected(!folder->IsSelected(), true);
        if (watch.IsGone()) return true;
    } else {
        folder->Selected(!folder->IsSelected(), true);
    }
    if (node->GetTreeView() != this) return true;
    const bool folded = IsFolded(node);
    node->SetVisibleTag(!folded);
    SetItemExpand(!folded, node);
    return true;
}

bool CTreeViewUI::SetItemCheckBox(bool checked, CTreeNodeUI* node) {
    // Each change is notified, and a listener may end the window or edit
    // the tree: the walk ends with the window and skips nodes that left.
    if (manager_ == nullptr) {
        MarkChecks(*this, checked, node, [] { return false; });
    } else {
        CWindowManagerUI::LifeWatch watch(*manager_);
        MarkChecks(*this, checked, node, [&watch] { return watch.IsGone(); });
    }
    return true;
}

void CTreeViewUI::SetItemExpand(bool expanded, CTreeNodeUI* node) {
    auto show = [&](CTreeNodeUI* target) {
        target->SetVisible(expanded);
        if (target->HasChildNode() && !IsFolded(target)) SetItemExpand(expanded, target);
    };
    if (node == nullptr) {
        ForEachNode(show);
        return;
    }
    for (int i = 0; i < node->GetChildNodeCount(); ++i) show(node->GetChildNode(i));
}

// ---- Settings of every row ----------------------------------------------------------

void CTreeViewUI::SetVisibleFolderBtn(bool visible) {
    visibleFolderBtn_ = visible;
    ForEachNode([visible](CTreeNodeUI* node) { node->SetVisibleFolderBtn(visible); });
}

void CTreeViewUI::SetVisibleCheckBtn(bool visible) {
    visibleCheckBtn_ = visible;
    ForEachNode([visible](CTreeNodeUI* node) { node->SetVisibleCheckBtn(visible); });
}

void CTreeViewUI::SetItemMinWidth(UINT width) {
    itemMinWidth_ = width;
    ForEachNode([width](CTreeNodeUI* node) { node->SetMinWidth(static_cast<int>(width)); });
    Invalidate();
}

void CTreeViewUI::SetItemTextColor(DWORD color) {
    ForEachNode([color](CTreeNodeUI* node) { node->SetItemTextColor(color); });
}

void CTreeViewUI::SetItemHotTextColor(DWORD color) {
    ForEachNode([color](CTreeNodeUI* node) { node->SetItemHotTextColor(color); });
}

void CTreeViewUI::SetSelItemTextColor(DWORD color) {
    ForEachNode([color](CTreeNodeUI* node) { node->SetSelItemTextColor(color); });
}

void CTreeViewUI::SetSelItemHotTextColor(DWORD color) {
    ForEachNode([color](CTreeNodeUI* node) { node->SetSelItemHotTextColor(color); });
}

void CTreeViewUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr) return;
    if (value == nullptr) value = L"";
    if (wcscmp(name, L"visiblefolderbtn") == 0) {
        SetVisibleFolderBtn(IsTrueValue(value));
    } else if (wcscmp(name, L"visiblecheckbtn") == 0) {
        SetVisibleCheckBtn(IsTrueValue(value));
    } else if (wcscmp(name, L"itemminwidth") == 0) {
        const int width = _wtoi(value);
        SetItemMinWidth(width > 0 ? static_cast<UINT>(width) : 0);
    } else if (!SetTreeItemColorAttribute(*this, name, value)) {
        CListUI::SetAttribute(name, value);
    }
}

}  // namespace QuillUI
