// The layout of the markup tag "TabLayout": pages of which exactly one shows
// at a time, laid out over the whole inner area. A change of page is
// announced with "tabselect" (new page, old page).
#pragma once
#include "common/win.h"
#include "ui/controls/containers/container_ui.h"

namespace QuillUI {

class CTabLayoutUI : public CContainerUI {
public:
    CTabLayoutUI();
    ~CTabLayoutUI() override;

    const wchar_t* GetClass() const override;
    // "TabLayout" answers the layout; other names go to the container.
    void* GetInterface(const wchar_t* name) override;

    // The first visible page added becomes the selection; every other page
    // is hidden as it comes, and the selection follows the edits.
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control, bool keep = false) override;
    bool RemoveAt(int index, bool keep = false) override;
    void RemoveAll() override;
    bool SetItemIndex(CControlUI* control, int newIndex) override;
    bool MoveItems(CControlUI* control, int count, int newIndex) override;

    // Only the selected page and the float children are placed.
    void SetPos(RECT rect, bool needInvalidate = true) override;
    // "selectedid" selects (and is kept among the custom attributes too).
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    // -1 when no page is selected.
    int GetCurSel() const { return curSel_; }
    // Shows the page, hides the others and moves the focus on; false for an
    // index out of range. Reselecting the current page sends nothing.
    bool SelectItem(int index, bool notify = true);

private:
    // The selection's index again after children changed places.
    void FollowSelection(CControlUI* selected);

    int curSel_ = -1;
};

}  // namespace QuillUI
