// The scrolling part of a list, created by the list as its second child:
// it lays the items out from top to bottom as wide as the list's columns,
// keeps the header in step with its horizontal scrolling, numbers the rows
// as it paints them and draws the horizontal grid lines. Its events go to
// the list, so navigation is the same whichever of the two received them.
#pragma once
#include "ui/controls/containers/vertical_layout_ui.h"

namespace QuillUI {

class CListUI;
struct ListInfoUI;

class CListBodyUI : public CVerticalLayoutUI {
public:
    // The owner is not owned; without one the body is a plain vertical
    // container for events and lays out without columns.
    explicit CListBodyUI(CListUI* owner);
    ~CListBodyUI() override;

    CListUI* GetOwner() const { return owner_; }

    void SetPos(RECT rect, bool needInvalidate = true) override;
    // Moves the items by what the bars moved; a horizontal change moves the
    // header items and the columns as well.
    void SetScrollPos(SIZE pos) override;
    void DoEvent(ControlEventUI& event) override;
    bool DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) override;

protected:
    // Numbers the row and draws its grid line.
    void OnChildPaintTurn(HDC dc, const RECT& paint, CControlUI* child) override;

    CListUI* owner_;
    // While painting: the owner's record and the next row's draw index.
    const ListInfoUI* paintInfo_ = nullptr;
    int drawIndex_ = 0;
};

}  // namespace QuillUI
