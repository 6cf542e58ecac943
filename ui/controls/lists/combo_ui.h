// The control of the markup tags "Combo" and "ComboBox": a drop-down list.
// Its children are list items, which it neither lays out nor paints: closed,
// it paints its state image and the selected item's text; opened, a popup
// window of its own (CComboWnd, with a manager of its own) shows the same
// items for as long as it is open, and gives them back when it closes. The
// combo owns the ListInfoUI its items draw with, keeps the selection and
// sends "itemselect" and "dropdown".
#pragma once
#include "ui/controls/containers/container_ui.h"
#include "ui/controls/lists/list_owner_ui.h"
#include "ui/core/values/size_ui.h"
#include "ui/core/values/wide_string.h"

namespace QuillUI {

class CComboWnd;

class CComboUI : public CContainerUI, public IListOwnerUI {
public:
    CComboUI();
    // Takes its items back from an open popup and closes it.
    ~CComboUI() override;

    const wchar_t* GetClass() const override;
    // "IListOwner" answers the IListOwnerUI part, "Combo" the combo.
    void* GetInterface(const wchar_t* name) override;
    // A tab stop.
    UINT GetControlFlags() const override;
    // Opens the popup and sends "dropdown"; true at once while it is open.
    bool Activate() override;
    // The selected item's text, or an empty one.
    CWideString GetText() const override;
    // The items get the empty rectangle while they are the combo's.
    void SetPos(RECT rect, bool needInvalidate = true) override;
    void Move(int dx, int dy, bool needInvalidate = true) override;
    void SetEnabled(bool enabled = true) override;
    // Opens on a press and F4; the arrows, Home, End and the wheel select
    // without opening.
    void DoEvent(ControlEventUI& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    // The fixed size; without a fixed height as tall as the window's default
    // font plus 8.
    SIZE EstimateSize(SIZE available) override;
    // The combo's own look only: the items are not painted here.
    bool DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) override;
    void PaintStatusImage(HDC dc) override;
    // The selected item's text in the combo's rectangle less the padding.
    void PaintText(HDC dc) override;

    // ---- IContainerUI: the items keep their indexes and the selection ----
    bool SetItemIndex(CControlUI* control, int newIndex) override;
    bool MoveItems(CControlUI* control, int count, int newIndex) override;
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    // Removing the selected item selects the nearest selectable one at or
    // before its place.
    bool Remove(CControlUI* control, bool keep = false) override;
    bool RemoveAt(int index, bool keep = false) override;
    void RemoveAll() override;

    // ---- IListOwnerUI ------------------------------------------------------
    ListInfoUI* GetListInfo() override;
    int GetCurSel() const override;
    // Closes an open popup unless the combo's own keys or wheel select;
    // sends "itemselect" (new index, old index). An index past the end
    // selects the last item.
    bool SelectItem(int index, bool takeFocus = false, bool sendNotify = true) override;
    bool ExpandItem(int index, bool expand = true) override;
    int GetExpandedItem() const override;

    bool IsShowText() const { return showText_; }
    void SetShowText(bool show);
    RECT GetTextPadding() const { return textPadding_; }
    void SetTextPadding(RECT padding);
    // An attribute list for the popup's body.
    CWideString GetDropBox() const { return dropBox_; }
    void SetDropBox(const wchar_t* attributes) { dropBox_ = attributes; }
    // The popup's width (0: the combo's) and its greatest height; negative
    // values are 0.
    SIZE GetDropBoxSize() const { return dropBoxSize_; }
    void SetDropBoxSize(SIZE size);
    void SetNormalImage(const wchar_t* description);
    void SetHotImage(const wchar_t* description);
    void SetPushedImage(const wchar_t* description);
    void SetFocusedImage(const wchar_t* description);
    void SetDisabledImage(const wchar_t* description);

private:
    friend class CComboWnd;

    IListItemUI* ListItemAt(int index) const;
    // The state image an attribute names, or null.
    CImageSlotUI* FindStateImage(const wchar_t* name);
    void Renumber(int first, int last);
    // Selects the nearest selectable item from index on, the popup staying
    // open.
    void SelectFromKeys(int index, bool forward);

    CComboWnd* window_ = nullptr;
    int curSel_ = -1;
    bool showText_ = true;
    bool selectCloses_ = true;
    CRectUI textPadding_;
    CWideString dropBox_;
    CSizeUI dropBoxSize_{0, 150};
    UINT state_ = 0;
    CImageSlotUI normalImage_;
    CImageSlotUI hotImage_;
    CImageSlotUI pushedImage_;
    CImageSlotUI focusedImage_;
    CImageSlotUI disabledImage_;
    ListInfoUI listInfo_;
};

}  // namespace QuillUI
