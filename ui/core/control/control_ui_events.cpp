#include "ui/core/control/control_ui.h"

#include "ui/core/manager/window_manager_ui.h"

namespace QuillUI {

void CControlUI::Init() {
    DoInit();
    if (OnInit.HasDelegates()) OnInit.Invoke(this);
}

void CControlUI::DoInit() {}

void CControlUI::Event(ControlEventUI& event) {
    if (OnEvent.Invoke(&event)) DoEvent(event);
}

void CControlUI::DoEvent(ControlEventUI& event) {
    switch (event.kind) {
    case EventSetCursor:
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        return;
    case EventSetFocus:
        focused_ = true;
        Invalidate();
        return;
    case EventKillFocus:
        focused_ = false;
        Invalidate();
        return;
    case EventTimer:
        if (manager_ != nullptr) manager_->SendNotify(this, L"timer", event.wParam, event.lParam);
        return;
    case EventContextMenu:
        if (IsContextMenuUsed()) {
            if (manager_ != nullptr) manager_->SendNotify(this, L"menu", event.wParam, event.lParam);
            return;
        }
        break;
    default:
        break;
    }
    if (parent_ != nullptr) parent_->DoEvent(event);
}

}  // namespace QuillUI
