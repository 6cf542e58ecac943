#include "ui/controls/lists/list_info_attributes_ui.h"

#include "ui/core/markup/attribute_value_ui.h"
#include "ui/core/values/number_list_ui.h"

#include <cstdlib>
#include <cwchar>

namespace QuillUI {

namespace {

bool Contains(const wchar_t* value, const wchar_t* part) { return wcsstr(value, part) != nullptr; }

struct ColorAttribute {
    const wchar_t* name;
    DWORD ListInfoUI::*field;
};

const ColorAttribute kColors[] = {
    {L"itemtextcolor", &ListInfoUI::textColor},
    {L"itembkcolor", &ListInfoUI::bkColor},
    {L"itemselectedtextcolor", &ListInfoUI::selectedTextColor},
    {L"itemselectedbkcolor", &ListInfoUI::selectedBkColor},
    {L"itemhottextcolor", &ListInfoUI::hotTextColor},
    {L"itemhotbkcolor", &ListInfoUI::hotBkColor},
    {L"itemdisabledtextcolor", &ListInfoUI::disabledTextColor},
    {L"itemdisabledbkcolor", &ListInfoUI::disabledBkColor},
    {L"itemhlinecolor", &ListInfoUI::hLineColor},
    {L"itemvlinecolor", &ListInfoUI::vLineColor},
};

struct ImageAttribute {
    const wchar_t* name;
    CImageSlotUI ListInfoUI::*field;
};

const ImageAttribute kImages[] = {
    {L"itembkimage", &ListInfoUI::bkImage},
    {L"itemselectedimage", &ListInfoUI::selectedImage},
    {L"itemhotimage", &ListInfoUI::hotImage},
    {L"itemdisabledimage", &ListInfoUI::disabledImage},
};

}  // namespace

UINT ApplyAlignValue(UINT style, const wchar_t* value) {
    if (value == nullptr) return style;
    if (Contains(value, L"left")) style &= ~static_cast<UINT>(DT_CENTER | DT_RIGHT);
    if (Contains(value, L"center")) style = (style & ~static_cast<UINT>(DT_RIGHT)) | DT_CENTER;
    if (Contains(value, L"right")) style = (style & ~static_cast<UINT>(DT_CENTER)) | DT_RIGHT;
    return style;
}

UINT ApplyVAlignValue(UINT style, const wchar_t* value) {
    if (value == nullptr) return style;
    if (Contains(value, L"top")) style &= ~static_cast<UINT>(DT_VCENTER | DT_BOTTOM);
    if (Contains(value, L"vcenter")) style = (style & ~static_cast<UINT>(DT_BOTTOM)) | DT_VCENTER;
    if (Contains(value, L"bottom")) style = (style & ~static_cast<UINT>(DT_VCENTER)) | DT_BOTTOM;
    return style;
}

UINT ApplyEndEllipsisValue(UINT style, const wchar_t* value) {
    return IsTrueValue(value) ? style | DT_END_ELLIPSIS : style & ~static_cast<UINT>(DT_END_ELLIPSIS);
}

UINT ApplyMultiLineValue(UINT style, const wchar_t* value) {
    if (!IsTrueValue(value)) return style | DT_SINGLELINE;
    return (style & ~static_cast<UINT>(DT_SINGLELINE)) | DT_WORDBREAK;
}

CImageSlotUI* FindListInfoImage(ListInfoUI& info, const wchar_t* name) {
    if (name == nullptr) return nullptr;
    for (const ImageAttribute& image : kImages) {
        if (wcscmp(name, image.name) == 0) return &(info.*image.field);
    }
    return nullptr;
}

bool ReadListInfoAttribute(ListInfoUI& info, const wchar_t* name, const wchar_t* value, ListInfoChangeUI& change) {
    change = ListInfoChangeUI::None;
    if (name == nullptr) return false;
    if (value == nullptr) value = L"";
    for (const ColorAttribute& color : kColors) {
        if (wcscmp(name, color.name) != 0) continue;
        info.*color.field = ReadColorValue(value);
        change = ListInfoChangeUI::Redraw;
        return true;
    }
    if (wcscmp(name, L"itemheight") == 0) {
        info.itemHeight = _wtoi(value);
    } else if (wcscmp(name, L"itemfont") == 0) {
        info.font = _wtoi(value);
    } else if (wcscmp(name, L"itemalign") == 0) {
        info.textStyle = ApplyAlignValue(info.textStyle, value);
    } else if (wcscmp(name, L"itemtextpadding") == 0) {
        info.textPadding = ParseRectList(value);
        change = ListInfoChangeUI::Relayout;
    } else if (wcscmp(name, L"itemaltbk") == 0) {
        info.alternateBk = IsTrueValue(value);
        change = ListInfoChangeUI::Redraw;
    } else if (wcscmp(name, L"itemhlinesize") == 0) {
        info.hLineSize = _wtoi(value);
        change = ListInfoChangeUI::Redraw;
    } else if (wcscmp(name, L"itemvlinesize") == 0) {
        info.vLineSize = _wtoi(value);
        change = ListInfoChangeUI::Redraw;
    } else if (wcscmp(name, L"itemshowhtml") == 0) {
        const bool showHtml = IsTrueValue(value);
        if (showHtml != info.showHtml) change = ListInfoChangeUI::Relayout;
        info.showHtml = showHtml;
    } else {
        return false;
    }
    return true;
}

}  // namespace QuillUI
