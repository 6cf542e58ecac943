#include "ui/controls/lists/combo_body_ui.h"

#include "ui/controls/lists/combo_ui.h"
#include "ui/controls/lists/list_item_look_ui.h"

namespace QuillUI {

CComboBodyUI::CComboBodyUI(CComboUI* owner) : owner_(owner) {}

CComboBodyUI::~CComboBodyUI() = default;

bool CComboBodyUI::DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) {
    paintInfo_ = owner_ != nullptr ? owner_->GetListInfo() : nullptr;
    drawIndex_ = 0;
    const bool goOn = CVerticalLayoutUI::DoPaint(dc, paint, stopControl);
    paintInfo_ = nullptr;
    return goOn;
}

void CComboBodyUI::OnChildPaintTurn(HDC dc, const RECT& paint, CControlUI* child) {
    MarkListRow(dc, *child, paintInfo_, paint, drawIndex_);
}

}  // namespace QuillUI
