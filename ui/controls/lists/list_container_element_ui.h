// The list item of the markup tag "ListContainerElement": a container of
// arbitrary controls that a list owns as an IListItemUI, selectable and,
// when "expandable", expandable through its owner. The tree node derives
// from it.
#pragma once
#include "common/win.h"
#include "ui/controls/containers/container_ui.h"
#include "ui/controls/lists/list_item_core_ui.h"

namespace QuillUI {

class CListContainerElementUI : public CContainerUI, public CListItemCoreUI {
public:
    CListContainerElementUI();
    ~CListContainerElementUI() override;

    const wchar_t* GetClass() const override;
    // "IListItem" answers the IListItemUI part, "ListContainerElement" the
    // element.
    void* GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;

    // ---- IListItemUI ------------------------------------------------------
    bool Select(bool select = true, bool sendNotify = true) override;
    bool IsExpanded() const override;
    // Stores the state; an expandable element also tells its owner and
    // sends "itemexpand" or "itemcollapse". False without an owner.
    bool Expand(bool expand = true) override;
    // Container items draw no text of their own.
    void DrawItemText(HDC dc, const RECT& rect) override;

    bool IsExpandable() const { return expandable_; }
    void SetExpandable(bool expandable);

    // ---- CControlUI -------------------------------------------------------
    bool Activate() override;
    void SetVisible(bool visible = true) override;
    void SetEnabled(bool enabled = true) override;
    void DoEvent(ControlEventUI& event) override;
    // "selected" and "expandable", else the container's.
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    // (fixed width, fixed height), the height the list's item height when
    // it has none.
    SIZE EstimateSize(SIZE available) override;
    // The row background under the container's painting.
    bool DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) override;

    void DrawItemBk(HDC dc, const RECT& rect);
    // Redraws only the part the list shows.
    void Invalidate();

protected:
    bool expandable_ = false;
    bool expanded_ = false;
};

}  // namespace QuillUI
