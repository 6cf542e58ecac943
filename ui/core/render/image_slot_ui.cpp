#include "ui/core/render/image_slot_ui.h"

#include <new>
#include <utility>

namespace QuillUI {

bool CImageSlotUI::Change(const wchar_t* description) {
    if (description == nullptr) description = L"";
    if (info_ && info_->image != nullptr && info_->drawString == description) return false;
    if (description[0] == L'\0') {
        info_.reset();
        return true;
    }
    // Copied first: the description may be the record's own text.
    CWideString text(description);
    if (info_) {
        info_->Clear();
    } else {
        info_.reset(new (std::nothrow) ImageDrawInfoUI);
        if (!info_) return true;
    }
    info_->drawString = std::move(text);
    return true;
}

}  // namespace QuillUI
