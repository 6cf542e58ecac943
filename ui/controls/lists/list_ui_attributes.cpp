#include "ui/controls/lists/list_ui.h"

#include "ui/controls/lists/list_header_ui.h"
#include "ui/controls/lists/list_info_attributes_ui.h"
#include "ui/core/markup/attribute_value_ui.h"

#include <cwchar>

namespace QuillUI {

void CListUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr) return;
    if (value == nullptr) value = L"";
    ListInfoChangeUI change = ListInfoChangeUI::None;
    if (CImageSlotUI* image = FindListInfoImage(listInfo_, name)) {
        ChangeImage(*image, value);
    } else if (ReadListInfoAttribute(listInfo_, name, value, change)) {
        if (change == ListInfoChangeUI::Redraw) Invalidate();
        if (change == ListInfoChangeUI::Relayout) NeedUpdate();
    } else if (wcscmp(name, L"header") == 0) {
        if (header_ != nullptr) header_->SetVisible(wcscmp(value, L"hidden") != 0);
    } else if (wcscmp(name, L"headerbkimage") == 0) {
        if (header_ != nullptr) header_->SetBkImage(value);
    } else if (wcscmp(name, L"scrollselect") == 0) {
        SetScrollSelect(IsTrueValue(value));
    } else if (wcscmp(name, L"multiexpanding") == 0) {
        SetMultiExpanding(IsTrueValue(value));
    } else if (wcscmp(name, L"itemvalign") == 0) {
        listInfo_.textStyle = ApplyVAlignValue(listInfo_.textStyle, value);
    } else if (wcscmp(name, L"itemendellipsis") == 0) {
        listInfo_.textStyle = ApplyEndEllipsisValue(listInfo_.textStyle, value);
    } else if (wcscmp(name, L"itemmultiline") == 0) {
        listInfo_.textStyle = ApplyMultiLineValue(listInfo_.textStyle, value);
    } else {
        CVerticalLayoutUI::SetAttribute(name, value);
    }
}

}  // namespace QuillUI
