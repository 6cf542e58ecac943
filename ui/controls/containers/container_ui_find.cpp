#include "ui/controls/containers/container_ui.h"
#include "ui/controls/containers/scroll_bar_ui.h"

namespace QuillUI {

CControlUI* CContainerUI::FindControl(FindControlProcUI proc, void* data, UINT flags) {
    return FindControlAmong(proc, data, flags, 0, items_.GetSize());
}

CControlUI* CContainerUI::FindControlAmong(FindControlProcUI proc, void* data, UINT flags, int first, int end) {
    const bool hitTest = (flags & FindHitTest) != 0;
    if ((flags & FindVisible) && !IsVisible()) return nullptr;
    if ((flags & FindEnabled) && !IsEnabled()) return nullptr;
    if (hitTest && !PtInRect(&itemRect_, *static_cast<const POINT*>(data))) return nullptr;
    if ((flags & FindUpdateTest) && proc(this, data) != nullptr) return nullptr;

    const bool mayBeMe = !hitTest || mouseEnabled_;
    const bool mayDescend = !hitTest || mouseChildEnabled_;
    CControlUI* result = nullptr;
    if ((flags & FindMeFirst) && mayBeMe) result = proc(this, data);
    if (result == nullptr && cover_ != nullptr && mayDescend) result = cover_->FindControl(proc, data, flags);
    if (result == nullptr && verticalScrollBar_ != nullptr && mayBeMe)
        result = verticalScrollBar_->FindControl(proc, data, flags);
    if (result == nullptr && horizontalScrollBar_ != nullptr && mayBeMe)
        result = horizontalScrollBar_->FindControl(proc, data, flags);
    if (result != nullptr) return result;

    if (mayDescend) {
        const RECT client = GetClientPos();
        if (first < 0) first = 0;
        if (end > items_.GetSize()) end = items_.GetSize();
        const bool topFirst = (flags & FindTopFirst) != 0;
        for (int n = first; n < end; ++n) {
            CControlUI* child = static_cast<CControlUI*>(items_[topFirst ? end - 1 - (n - first) : n]);
            CControlUI* found = child->FindControl(proc, data, flags);
            if (found == nullptr) continue;
            // A float child may lie outside the child area, and so may
            // whatever it holds; anything else is hidden there.
            if (!hitTest || found->IsFloat() || child->IsFloat() ||
                PtInRect(&client, *static_cast<const POINT*>(data)))
                return found;
        }
    }
    if (!(flags & FindMeFirst) && mayBeMe) return proc(this, data);
    return nullptr;
}

int CContainerUI::FindSelectable(int index, bool forward) const {
    // Through the accessors: a list offers its body's items here.
    const int count = GetCount();
    if (count <= 0) return -1;
    if (index < 0) index = 0;
    if (index > count - 1) index = count - 1;
    auto selectable = [this](int i) {
        CControlUI* item = GetItemAt(i);
        return item != nullptr && item->GetInterface(L"IListItem") != nullptr && item->IsVisible() &&
               item->IsEnabled();
    };
    if (forward) {
        for (int i = index; i < count; ++i) {
            if (selectable(i)) return i;
        }
        return -1;
    }
    for (int i = index; i >= 0; --i) {
        if (selectable(i)) return i;
    }
    return FindSelectable(0, true);
}

}  // namespace QuillUI
