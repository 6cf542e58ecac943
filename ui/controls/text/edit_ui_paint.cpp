// The edit's state image and its text, or a row of password characters.
#include "ui/controls/text/edit_ui.h"

#include "ui/controls/buttons/control_state_ui.h"
#include "ui/core/render/renderer_ui.h"

namespace QuillUI {

void CEditUI::PaintStatusImage(HDC dc) {
    UpdateFocusAndDisabledBits(state_, *this);
    if ((state_ & StateDisabled) != 0) {
        if (DrawImage(dc, disabledImage_)) return;
    } else if ((state_ & StateFocused) != 0) {
        if (DrawImage(dc, focusedImage_)) return;
    } else if ((state_ & StateHot) != 0) {
        if (DrawImage(dc, hotImage_)) return;
    }
    DrawImage(dc, normalImage_);
}

void CEditUI::PaintText(HDC dc) {
    FillDefaultColors();
    if (text_.IsEmpty()) return;
    CWideString shown = text_;
    if (password_) {
        shown.Empty();
        for (int i = text_.GetLength(); i > 0; --i) shown += passwordChar_;
    }
    RECT rect = GetTextRect();
    CRendererUI::DrawText(dc, manager_, rect, shown.GetData(), IsEnabled() ? textColor_ : disabledTextColor_, font_,
                          textStyle_ | DT_SINGLELINE);
}

}  // namespace QuillUI
