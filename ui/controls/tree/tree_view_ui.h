// The control of the markup tags "Tree" and "TreeView": a list whose rows
// are tree nodes at every depth, each directly after its parent's earlier
// descendants. The view listens to each node, its folder button and its
// check box: a folder button folds and unfolds the node's descendants, a
// double click on a node does the same, and a check mark reaches every
// descendant. The header is hidden.
#pragma once
#include "ui/controls/lists/list_ui.h"
#include "ui/controls/tree/tree_node_ui.h"
#include "ui/core/manager/window_listeners_ui.h"

namespace QuillUI {

class CTreeViewUI : public CListUI, public INotifyUI {
public:
    CTreeViewUI();
    // Lets go of the nodes that outlive it.
    ~CTreeViewUI() override;

    const wchar_t* GetClass() const override;
    // "TreeView" answers the view.
    void* GetInterface(const wchar_t* name) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void Notify(NotifyMessageUI& message) override;

    // ---- IContainerUI: tree nodes only -------------------------------------
    // Appends the node and its whole subtree, depth first. Refuses what is
    // no tree node, a row already, and a child node of another node (that
    // one's parent places it).
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    // The node's subtree at index (the item count appends); the index after
    // its last row, or -1.
    int AddAt(CTreeNodeUI* node, int index);
    // The node's subtree at the row of reference.
    bool AddAt(CTreeNodeUI* node, CTreeNodeUI* reference);
    // A node leaves its parent's child nodes and takes its descendants'
    // rows with it, each with the same keep; what is kept no longer hears
    // from the view.
    bool Remove(CControlUI* control, bool keep = false) override;
    bool RemoveAt(int index, bool keep = false) override;
    void RemoveAll() override;

    // ---- Notification handlers ---------------------------------------------
    // "selectchanged" of a node's check box: its descendants follow.
    virtual bool OnCheckBoxChanged(void* param);
    // "selectchanged" of a node's folder button: checked folds.
    virtual bool OnFolderChanged(void* param);
    // "itemdbclick" of a node: its folder button toggles. Always true, so
    // that later subscribers hear every notification.
    virtual bool OnItemDbClick(void* param);

    // Every check box below node (every row without one) is set, with
    // notification; node itself is left as it is.
    virtual bool SetItemCheckBox(bool checked, CTreeNodeUI* node = nullptr);
    // The child nodes of node (every row without one) are shown or hidden,
    // and so are the descendants of those that are unfolded.
    virtual void SetItemExpand(bool expanded, CTreeNodeUI* node = nullptr);
    virtual void SetVisibleFolderBtn(bool visible);
    virtual bool GetVisibleFolderBtn() const { return visibleFolderBtn_; }
    virtual void SetVisibleCheckBtn(bool visible);
    virtual bool GetVisibleCheckBtn() const { return visibleCheckBtn_; }
    virtual void SetItemMinWidth(UINT width);
    virtual UINT GetItemMinWidth() const { return itemMinWidth_; }
    // Given to every node; the view keeps none of them.
    virtual void SetItemTextColor(DWORD color);
    virtual void SetItemHotTextColor(DWORD color);
    virtual void SetSelItemTextColor(DWORD color);
    virtual void SetSelItemHotTextColor(DWORD color);

private:
    friend class CTreeNodeUI;

    // The rows of node's subtree from index on, depth first; the index
    // after the last, or -1 with nothing inserted.
    int InsertSubtree(CTreeNodeUI* node, int index);
    // Subscribes the node and gives it the view's settings.
    void Attach(CTreeNodeUI* node);
    void Detach(CTreeNodeUI* node);
    // Each row that is a node, in order.
    template <class Visit>
    void ForEachNode(Visit visit) {
        for (int i = 0; i < GetCount(); ++i) {
            if (CTreeNodeUI* node = AsTreeNode(GetItemAt(i))) visit(node);
        }
    }

    UINT itemMinWidth_ = 0;
    bool visibleFolderBtn_ = true;
    bool visibleCheckBtn_ = false;
};

}  // namespace QuillUI
