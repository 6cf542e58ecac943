// What a list owner (a list, a combo box) shares with its items: the
// appearance record the items draw with, and the interfaces through which
// items and owners talk. An owner that is no list (the combo box) offers
// IListOwnerUI only; items must expect "IList" to be missing.
#pragma once
#include "common/win.h"
#include "ui/core/control/control_event_ui.h"
#include "ui/core/render/image_slot_ui.h"
#include "ui/core/values/rect_ui.h"

namespace QuillUI {

class CControlUI;
class CContainerUI;
class CListHeaderUI;

// The most columns a list's table holds; header items past it have none.
const int kMaxListColumns = 64;

// Colours are ARGB; 0 draws nothing.
struct ListInfoUI {
    int columnCount = 0;
    RECT columns[kMaxListColumns] = {};
    int itemHeight = 0;
    int font = -1;
    UINT textStyle = DT_VCENTER | DT_SINGLELINE;
    CRectUI textPadding;
    DWORD textColor = 0xFF000000;
    DWORD bkColor = 0;
    CImageSlotUI bkImage;
    bool alternateBk = false;
    DWORD selectedTextColor = 0xFF000000;
    DWORD selectedBkColor = 0xFFC1E3FF;
    CImageSlotUI selectedImage;
    DWORD hotTextColor = 0xFF000000;
    DWORD hotBkColor = 0xFFE9F5FF;
    CImageSlotUI hotImage;
    DWORD disabledTextColor = 0xFFCCCCCC;
    DWORD disabledBkColor = 0xFFFFFFFF;
    CImageSlotUI disabledImage;
    int hLineSize = 0;
    DWORD hLineColor = 0xFF3C3C3C;
    int vLineSize = 0;
    DWORD vLineColor = 0xFF3C3C3C;
    bool showHtml = false;
    bool multiExpandable = false;
};

class IListOwnerUI {
public:
    virtual ListInfoUI* GetListInfo() = 0;
    // -1 for none.
    virtual int GetCurSel() const = 0;
    virtual bool SelectItem(int index, bool takeFocus = false, bool sendNotify = true) = 0;
    // Items hand the events they do not consume to their owner here.
    virtual void DoEvent(ControlEventUI& event) = 0;
    virtual bool ExpandItem(int index, bool expand = true) = 0;
    // -1 for none.
    virtual int GetExpandedItem() const = 0;

protected:
    ~IListOwnerUI() = default;
};

// The owner-supplied texts of a list's cells; the text belongs to the
// provider and may be null.
class IListTextCallbackUI {
public:
    virtual const wchar_t* GetItemText(CControlUI* item, int index, int column) = 0;

protected:
    ~IListTextCallbackUI() = default;
};

class IListUI : public IListOwnerUI {
public:
    virtual CListHeaderUI* GetHeader() const = 0;
    // The container that holds the items.
    virtual CContainerUI* GetList() const = 0;
    // Null unless one was set; never owned.
    virtual IListTextCallbackUI* GetTextCallback() const = 0;
    virtual void SetTextCallback(IListTextCallbackUI* callback) = 0;

protected:
    ~IListUI() = default;
};

class IListItemUI {
public:
    // The position in the owner's body.
    virtual int GetIndex() const = 0;
    virtual void SetIndex(int index) = 0;
    // The position among the rows painted last (alternate backgrounds).
    virtual int GetDrawIndex() const = 0;
    virtual void SetDrawIndex(int index) = 0;
    virtual IListOwnerUI* GetOwner() = 0;
    // The owner's "IListOwner" interface; null leaves the item without one
    // (an item that a list gives up and keeps).
    virtual void SetOwner(CControlUI* owner) = 0;
    virtual bool IsSelected() const = 0;
    virtual bool Select(bool select = true, bool sendNotify = true) = 0;
    virtual bool IsExpanded() const = 0;
    virtual bool Expand(bool expand = true) = 0;
    virtual void DrawItemText(HDC dc, const RECT& rect) = 0;

protected:
    ~IListItemUI() = default;
};

}  // namespace QuillUI
