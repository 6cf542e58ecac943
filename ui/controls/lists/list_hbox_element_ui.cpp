#include "ui/controls/lists/list_hbox_element_ui.h"

#include <cwchar>

namespace QuillUI {

CListHBoxElementUI::CListHBoxElementUI() = default;

CListHBoxElementUI::~CListHBoxElementUI() = default;

const wchar_t* CListHBoxElementUI::GetClass() const { return L"ListHBoxElement"; }

void* CListHBoxElementUI::GetInterface(const wchar_t* name) {
    if (name != nullptr && wcscmp(name, L"ListHBoxElement") == 0) return static_cast<CListHBoxElementUI*>(this);
    return CListContainerElementUI::GetInterface(name);
}

void CListHBoxElementUI::SetPos(RECT rect, bool needInvalidate) {
    if (owner_ == nullptr) {
        CListContainerElementUI::SetPos(rect, needInvalidate);
        return;
    }
    CControlUI::SetPos(rect, needInvalidate);
    const ListInfoUI* info = GetOwnerListInfo();
    if (info == nullptr) return;
    int column = 0;
    for (int i = 0; i < items_.GetSize(); ++i) {
        CControlUI* child = static_cast<CControlUI*>(items_[i]);
        if (!child->IsVisible()) continue;
        if (child->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        const RECT pad = child->GetPadding();
        if (info->columnCount == 0) {
            child->SetPos(RECT{itemRect_.left + pad.left, itemRect_.top + pad.top, itemRect_.right - pad.right,
                               itemRect_.bottom - pad.bottom},
                          false);
            continue;
        }
        // Children past the columns keep their old places.
        if (column >= info->columnCount) continue;
        const RECT& cell = info->columns[column];
        RECT placed = {cell.left + pad.left, itemRect_.top + pad.top, cell.right - pad.right,
                       itemRect_.bottom - pad.bottom};
        if (info->vLineSize > 0 && column != info->columnCount - 1) placed.right -= info->vLineSize;
        child->SetPos(placed, false);
        ++column;
    }
}

bool CListHBoxElementUI::DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) {
    ListInfoUI* info = GetOwnerListInfo();
    if (info == nullptr) return true;
    DrawItemBk(dc, itemRect_);
    if (info->vLineSize > 0) {
        for (int i = 0; i + 1 < info->columnCount; ++i)
            DrawListColumnLine(dc, *this, *info, info->columns[i], itemRect_.top, itemRect_.bottom);
    }
    return CContainerUI::DoPaint(dc, paint, stopControl);
}

}  // namespace QuillUI
