// The IListItemUI state and rules that the text items and the container
// items of a list share: index, draw index, selection, hot tracking and
// the owner, kept beside whichever control class the item derives from.
#pragma once
#include "common/win.h"
#include "ui/controls/lists/list_item_look_ui.h"
#include "ui/controls/lists/list_owner_ui.h"
#include "ui/core/manager/window_manager_ui.h"

namespace QuillUI {

class CControlUI;
struct ControlEventUI;

class CListItemCoreUI : public IListItemUI {
public:
    // The items' control flags; the window manager gives the value no meaning.
    static constexpr UINT kControlFlags = 4;

    int GetIndex() const override;
    void SetIndex(int index) override;
    int GetDrawIndex() const override;
    void SetDrawIndex(int index) override;
    IListOwnerUI* GetOwner() override;
    // The control's "IListOwner" interface; null leaves the item without
    // an owner.
    void SetOwner(CControlUI* owner) override;
    bool IsSelected() const override;

protected:
    CListItemCoreUI() = default;
    ~CListItemCoreUI() = default;

    // Whether the item is still what it was when the watch began: alive,
    // and the same owner's row at the same index. A listener of the item's
    // own notification may remove the row (and keep or delete it), or the
    // window; another row may then be at the index. Code that goes on after
    // a notification asks first, and stops otherwise.
    class RowWatch {
    public:
        RowWatch(CListItemCoreUI& item, CControlUI& self);
        RowWatch(const RowWatch&) = delete;
        RowWatch& operator=(const RowWatch&) = delete;
        bool Holds() const;

    private:
        CWindowManagerUI::ControlWatch alive_;
        const CListItemCoreUI& item_;
        const CControlUI& self_;
        const IListOwnerUI* owner_;
        int index_;
    };

    // The owner's record, or null.
    ListInfoUI* GetOwnerListInfo() const;
    ListItemStateUI GetLookState(const CControlUI& self) const;
    // Selecting is refused while disabled; deselecting always succeeds, so
    // that a list never shows two selected rows. Selecting tells the owner,
    // which takes the focus when sendNotify is set.
    bool SelectAs(CControlUI& self, bool select, bool sendNotify);
    // "itemactivate" once the control agreed to activate.
    static void NotifyActivated(CControlUI& self);
    // Activates the item (double click, Enter), then repaints it unless a
    // listener removed it.
    void ActivateRow(CControlUI& self);
    // A hidden item is no longer selected, and neither is its owner's row.
    void DropSelectionIfHidden(const CControlUI& self);
    // "itemclick", then selecting through the owner with the focus.
    void Click(CControlUI& self);
    // Mouse enter and leave keep the hot bit; true when a leave stopped
    // because the point is still inside.
    bool TrackHot(CControlUI& self, const ControlEventUI& event);

    int index_ = -1;
    int drawIndex_ = 0;
    bool selected_ = false;
    UINT state_ = 0;  // ControlStateUI bits; items use the hot one
    IListOwnerUI* owner_ = nullptr;
    // The control behind owner_, whose rows tell whether this item is one.
    CControlUI* ownerControl_ = nullptr;
};

}  // namespace QuillUI
