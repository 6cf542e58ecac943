// The node of a tree view, markup tag "TreeNode": one row of the view, a
// container list item that builds its own row content (an indentation
// line, a folder button, an optional check box and the item's text). A
// node knows its parent node and its child nodes; the rows themselves,
// the child nodes' included, all belong to the view's list body, so a node
// never deletes its child nodes.
#pragma once
#include "ui/controls/lists/list_container_element_ui.h"
#include "ui/core/markup/attribute_value_ui.h"
#include "ui/core/values/pointer_array.h"
#include "ui/core/values/wide_string.h"

#include <cwchar>

namespace QuillUI {

class CCheckBoxUI;
class CHorizontalLayoutUI;
class CLabelUI;
class COptionUI;
class CTreeViewUI;

class CTreeNodeUI : public CListContainerElementUI {
public:
    // The width each level adds to the indentation line.
    static const int kIndentStep = 16;

    // A parent that is no tree node leaves the row empty.
    explicit CTreeNodeUI(CTreeNodeUI* parent = nullptr);
    // Leaves its parent's child nodes and lets its own go of it.
    ~CTreeNodeUI() override;

    const wchar_t* GetClass() const override;
    // "TreeNode" answers the node.
    void* GetInterface(const wchar_t* name) override;

    // ---- IContainerUI ------------------------------------------------------
    // A tree node becomes a child node (AddChildNode); anything else a
    // child of the node's container.
    bool Add(CControlUI* control) override;
    // A tree node as the child node at index (out of range: the last),
    // its rows before the rows of the child node now there, else after
    // this node's subtree. False for anything else, or when the view
    // refuses; nothing is recorded then.
    bool AddAt(CControlUI* control, int index) override;

    // ---- IListItemUI, CControlUI ---------------------------------------------
    // The list item's selection, then the item text colour of the state.
    bool Select(bool select = true, bool sendNotify = true) override;
    // A double click sends "itemdbclick"; hover sets the item text colour.
    void DoEvent(ControlEventUI& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    // ---- The node --------------------------------------------------------------
    CWideString GetItemText() const;
    bool HasChildNode() const { return !childNodes_.IsEmpty(); }
    int GetChildNodeCount() const { return childNodes_.GetSize(); }
    // Null out of range.
    CTreeNodeUI* GetChildNode(int index) const;
    // A copy of the child-node list.
    CPointerArray GetTreeNodes() const { return childNodes_; }
    // The last row of the subtree: the node itself without child nodes.
    CTreeNodeUI* GetLastNode();
    // Appends node as the last child node, its rows after this node's
    // subtree when this node is in a view. Refuses null, what is no tree
    // node, this node and its ancestors, and nodes that are a child node or
    // a row already.
    bool AddChildNode(CTreeNodeUI* node);
    // A control placed in the row after the item's text (markup children
    // that are no tree nodes).
    bool AddToRow(CControlUI* control);

    CTreeNodeUI* GetParentNode() const { return parentNode_; }
    void SetParentNode(CTreeNodeUI* node) { parentNode_ = node; }
    CTreeViewUI* GetTreeView() const { return treeView_; }
    void SetTreeView(CTreeViewUI* view) { treeView_ = view; }
    // The node's own record of being unfolded.
    bool GetVisibleTag() const { return visibleTag_; }
    void SetVisibleTag(bool visible) { visibleTag_ = visible; }
    // The row of the view, or -1 outside one.
    int GetTreeIndex() const;

    CHorizontalLayoutUI* GetRowLayout() const { return rowLayout_; }
    // Checked means folded.
    CCheckBoxUI* GetFolderButton() const { return folderButton_; }
    CCheckBoxUI* GetCheckBox() const { return checkBox_; }
    COptionUI* GetItemButton() const { return itemButton_; }
    CLabelUI* GetDottedLine() const { return dottedLine_; }
    void SetVisibleFolderBtn(bool visible);
    void SetVisibleCheckBtn(bool visible);

    DWORD GetItemTextColor() const { return itemTextColor_; }
    // Also the item button's text colour.
    void SetItemTextColor(DWORD color);
    DWORD GetItemHotTextColor() const { return itemHotTextColor_; }
    void SetItemHotTextColor(DWORD color);
    DWORD GetSelItemTextColor() const { return selItemTextColor_; }
    void SetSelItemTextColor(DWORD color);
    DWORD GetSelItemHotTextColor() const { return selItemHotTextColor_; }
    void SetSelItemHotTextColor(DWORD color);

private:
    friend class CTreeViewUI;

    bool CanAdopt(const CTreeNodeUI* node) const;
    // Indentation, parent and option group of a new child node.
    void PrepareChild(CTreeNodeUI* node);
    // The line of this node and its descendants, one level below parent.
    void IndentBelow(const CTreeNodeUI* parent);
    // Drops node from the child nodes, when it is one.
    void ForgetChild(CTreeNodeUI* node);

    bool visibleTag_ = true;
    DWORD itemTextColor_ = 0;
    DWORD itemHotTextColor_ = 0;
    DWORD selItemTextColor_ = 0;
    DWORD selItemHotTextColor_ = 0;
    CTreeViewUI* treeView_ = nullptr;
    CHorizontalLayoutUI* rowLayout_ = nullptr;
    CCheckBoxUI* folderButton_ = nullptr;
    CLabelUI* dottedLine_ = nullptr;
    CCheckBoxUI* checkBox_ = nullptr;
    COptionUI* itemButton_ = nullptr;
    // False when the row was left out (a parent that is no tree node): the
    // node deletes it then, as nothing else owns it.
    bool rowAttached_ = false;
    CTreeNodeUI* parentNode_ = nullptr;
    CPointerArray childNodes_;
};

// The control's tree node, or null.
CTreeNodeUI* AsTreeNode(CControlUI* control);

// The four item text colour attributes, which a node and its view take
// alike through their setters of the same names; false for another name.
template <class Target>
bool SetTreeItemColorAttribute(Target& target, const wchar_t* name, const wchar_t* value) {
    struct Row {
        const wchar_t* name;
        void (Target::*set)(DWORD);
    };
    const Row rows[] = {
        {L"itemtextcolor", &Target::SetItemTextColor},
        {L"itemhottextcolor", &Target::SetItemHotTextColor},
        {L"selitemtextcolor", &Target::SetSelItemTextColor},
        {L"selitemhottextcolor", &Target::SetSelItemHotTextColor},
    };
    for (const Row& row : rows) {
        if (wcscmp(name, row.name) != 0) continue;
        (target.*row.set)(ReadColorValue(value));
        return true;
    }
    return false;
}

}  // namespace QuillUI
