// The root of a combo box's popup: a vertical layout over the combo's items
// while the popup is open, painted as a list body paints its rows (draw
// indexes for alternate backgrounds, the combo's horizontal grid lines).
#pragma once
#include "ui/controls/containers/vertical_layout_ui.h"

namespace QuillUI {

class CComboUI;
struct ListInfoUI;

class CComboBodyUI : public CVerticalLayoutUI {
public:
    // The owner is not owned.
    explicit CComboBodyUI(CComboUI* owner);
    ~CComboBodyUI() override;

    bool DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) override;

protected:
    void OnChildPaintTurn(HDC dc, const RECT& paint, CControlUI* child) override;

private:
    CComboUI* owner_;
    // While painting: the owner's record and the next row's draw index.
    const ListInfoUI* paintInfo_ = nullptr;
    int drawIndex_ = 0;
};

}  // namespace QuillUI
