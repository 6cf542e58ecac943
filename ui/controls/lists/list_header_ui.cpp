#include "ui/controls/lists/list_header_ui.h"

#include "ui/core/manager/window_manager_ui.h"

#include <algorithm>
#include <cwchar>

namespace QuillUI {

CListHeaderUI::CListHeaderUI() = default;

CListHeaderUI::~CListHeaderUI() = default;

const wchar_t* CListHeaderUI::GetClass() const { return L"ListHeader"; }

void* CListHeaderUI::GetInterface(const wchar_t* name) {
    if (name != nullptr && wcscmp(name, L"ListHeader") == 0) return this;
    return CHorizontalLayoutUI::GetInterface(name);
}

SIZE CListHeaderUI::EstimateSize(SIZE available) {
    SIZE size = {0, fixedSize_.cy};
    const bool measureHeight = size.cy == 0 && manager_ != nullptr;
    if (measureHeight) {
        const FontInfoUI* font = manager_->GetDefaultFontInfo();
        size.cy = (font != nullptr ? font->metrics.tmHeight : 0) + 8;
    }
    for (int i = 0; i < items_.GetSize(); ++i) {
        const SIZE item = static_cast<CControlUI*>(items_[i])->EstimateSize(available);
        size.cx += item.cx;
        if (measureHeight) size.cy = std::max(size.cy, item.cy);
    }
    return size;
}

}  // namespace QuillUI
