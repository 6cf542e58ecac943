#include "ui/controls/lists/list_body_ui.h"

#include "ui/controls/containers/scroll_bar_ui.h"
#include "ui/controls/lists/list_header_ui.h"
#include "ui/controls/lists/list_ui.h"

namespace QuillUI {

CListBodyUI::CListBodyUI(CListUI* owner) : owner_(owner) {}

CListBodyUI::~CListBodyUI() { ForgetRecords(); }

CControlUI* CListBodyUI::FindControl(FindControlProcUI proc, void* data, UINT flags) {
    // The rows out of view keep older rectangles, which a point must not
    // meet, and are laid out when they come into view.
    if ((flags & (FindHitTest | FindUpdateTest)) != 0 && placedInView_)
        return FindControlAmong(proc, data, flags, viewFirst_, viewEnd_);
    return CVerticalLayoutUI::FindControl(proc, data, flags);
}

void CListBodyUI::DoEvent(ControlEventUI& event) {
    if (owner_ == nullptr) {
        CControlUI::DoEvent(event);
        return;
    }
    if (!mouseEnabled_ && IsMouseEventKind(event.kind)) {
        owner_->DoEvent(event);
        return;
    }
    if (event.kind == EventScrollWheel && IsShown(horizontalScrollBar_) && horizontalScrollBar_->IsEnabled() &&
        ::PtInRect(&horizontalScrollBar_->GetPos(), event.mousePoint)) {
        const WORD direction = LOWORD(event.wParam);
        if (direction == 0) {
            owner_->LineLeft();
            return;
        }
        if (direction == 1) {
            owner_->LineRight();
            return;
        }
    }
    owner_->DoEvent(event);
}

}  // namespace QuillUI
