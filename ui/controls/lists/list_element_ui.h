// The base of a list's text items: a control that a list or a combo box
// owns as an IListItemUI, with selection, activation, hot tracking and the
// row background from its owner's ListInfoUI.
#pragma once
#include "common/win.h"
#include "ui/controls/lists/list_item_core_ui.h"
#include "ui/core/control/control_ui.h"

namespace QuillUI {

class CListElementUI : public CControlUI, public CListItemCoreUI {
public:
    CListElementUI();
    ~CListElementUI() override;

    const wchar_t* GetClass() const override;
    // "IListItem" answers the IListItemUI part, "ListElement" the element.
    void* GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;

    // ---- IListItemUI ------------------------------------------------------
    bool Select(bool select = true, bool sendNotify = true) override;
    // Text items do not expand.
    bool IsExpanded() const override;
    bool Expand(bool expand = true) override;
    void DrawItemText(HDC dc, const RECT& rect) override;

    // ---- CControlUI -------------------------------------------------------
    // "itemactivate" once the base agreed.
    bool Activate() override;
    // Hiding the selected element clears the owner's selection.
    void SetVisible(bool visible = true) override;
    // Disabling clears the state word.
    void SetEnabled(bool enabled = true) override;
    // Double click and Enter activate; the rest goes to the owner.
    void DoEvent(ControlEventUI& event) override;
    // "selected" (whatever its value) selects.
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    // The row background over rect.
    void DrawItemBk(HDC dc, const RECT& rect);
    // Redraws only the part the list shows.
    void Invalidate();
};

}  // namespace QuillUI
