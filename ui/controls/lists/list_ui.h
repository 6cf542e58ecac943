// The control of the markup tag "List": a vertical run of list items under
// an optional row of column headers. The list owns exactly two children of
// its own, the header (index 0) and the body after it; every item given to
// it goes into the body, header items go into the header. It keeps one
// selected and one expanded item, answers keyboard and wheel navigation,
// and shares its ListInfoUI (columns, item look) with its items.
//
// The container accessors (GetCount, GetItemAt, ...) and the scroll
// operations are the body's; the list's own layout, painting and hit tests
// see the header and the body.
#pragma once
#include "ui/controls/containers/vertical_layout_ui.h"
#include "ui/controls/lists/list_owner_ui.h"

namespace QuillUI {

class CListBodyUI;
class CListHeaderUI;

class CListUI : public CVerticalLayoutUI, public IListUI {
public:
    CListUI();
    ~CListUI() override;

    const wchar_t* GetClass() const override;
    // "List" answers the list, "IList" and "IListOwner" its IListUI part.
    void* GetInterface(const wchar_t* name) override;
    // A tab stop.
    UINT GetControlFlags() const override;

    // ---- IContainerUI, routed by kind ------------------------------------
    // A control answering "ListHeader" is a header, one whose class name
    // contains "ListHeaderItem" a header item, anything else an item.
    CControlUI* GetItemAt(int index) const override;
    int GetItemIndex(CControlUI* control) const override;
    bool SetItemIndex(CControlUI* control, int newIndex) override;
    bool MoveItems(CControlUI* control, int count, int newIndex) override;
    int GetCount() const override;
    // A header replaces the current one while that has no items.
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    // The current header cannot be removed (hide it instead).
    bool Remove(CControlUI* control, bool keep = false) override;
    bool RemoveAt(int index, bool keep = false) override;
    void RemoveAll() override;

    // ---- IListOwnerUI, IListUI -------------------------------------------
    ListInfoUI* GetListInfo() override;
    int GetCurSel() const override;
    // Sends "itemselect" (new index, old index) when the selection changed.
    bool SelectItem(int index, bool takeFocus = false, bool sendNotify = true) override;
    // Keyboard and wheel navigation; the rest as the vertical layout.
    void DoEvent(ControlEventUI& event) override;
    bool ExpandItem(int index, bool expand = true) override;
    int GetExpandedItem() const override;
    CListHeaderUI* GetHeader() const override;
    CContainerUI* GetList() const override;
    IListTextCallbackUI* GetTextCallback() const override;
    void SetTextCallback(IListTextCallbackUI* callback) override;

    // Scrolls the item at index into the body's client area (only while
    // something is selected).
    void EnsureVisible(int index);
    void Scroll(int dx, int dy);
    // The wheel moves the selection instead of scrolling.
    bool IsScrollSelect() const { return scrollSelect_; }
    void SetScrollSelect(bool scrollSelect);
    // Expanding an item leaves the others expanded.
    bool IsMultiExpanding() const { return listInfo_.multiExpandable; }
    void SetMultiExpanding(bool multiExpanding);

    // ---- The body's ------------------------------------------------------
    int GetChildPadding() const override;
    void SetChildPadding(int padding) override;
    SIZE GetScrollPos() const override;
    SIZE GetScrollRange() const override;
    void SetScrollPos(SIZE pos) override;
    void LineUp() override;
    void LineDown() override;
    void PageUp() override;
    void PageDown() override;
    void HomeUp() override;
    void EndDown() override;
    void LineLeft() override;
    void LineRight() override;
    void PageLeft() override;
    void PageRight() override;
    void HomeLeft() override;
    void EndRight() override;
    void EnableScrollBar(bool enableVertical = true, bool enableHorizontal = false) override;
    CScrollBarUI* GetVerticalScrollBar() const override;
    CScrollBarUI* GetHorizontalScrollBar() const override;

    // ---- CControlUI ------------------------------------------------------
    // Copies the header items' rectangles into the column table before and
    // after laying out the header and the body.
    void SetPos(RECT rect, bool needInvalidate = true) override;
    void Move(int dx, int dy, bool needInvalidate = true) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

protected:
    // The item at index as a list item, or null.
    IListItemUI* ListItemAt(int index) const;
    // Each item from first to last (inclusive, cut to the items) learns its
    // position.
    void Renumber(int first, int last);
    bool AddHeader(CControlUI* header);
    bool RemoveItemAt(int index, bool keep);
    // The column table from the header items, laid out between left and
    // right; a hidden header is laid out for it in a zero-height strip.
    void UpdateColumns(int left, int right, bool layOutHeader);

    bool scrollSelect_ = false;
    int curSel_ = -1;
    int expandedItem_ = -1;
    IListTextCallbackUI* textCallback_ = nullptr;
    CListBodyUI* body_ = nullptr;
    CListHeaderUI* header_ = nullptr;
    ListInfoUI listInfo_;
};

}  // namespace QuillUI
