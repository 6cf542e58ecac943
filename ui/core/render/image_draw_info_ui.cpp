#include "ui/core/render/image_draw_info_ui.h"

#include "ui/core/markup/attribute_value_ui.h"
#include "ui/core/values/clamp_ui.h"
#include "ui/core/values/number_list_ui.h"

#include <cwchar>

namespace QuillUI {

namespace {

bool IsBlank(wchar_t c) { return c > 0 && c <= 32; }

void SkipBlanks(const wchar_t*& p) {
    while (IsBlank(*p)) ++p;
}

void ReadRect(const CWideString& value, CRectUI& rect) { rect = ParseRectList(value.GetData()); }

// Kept in 8 bits, so larger values must not wrap around.
uint8_t ReadFade(const CWideString& value) {
    return static_cast<uint8_t>(Clamp(wcstol(value.GetData(), nullptr, 10), 0, 255));
}

void Apply(const CWideString& key, const CWideString& value, ImageDrawInfoUI& info, ImageDescriptionUI& out) {
    if (key == L"file" || key == L"res") {
        out.name = value;
    } else if (key == L"restype") {
        out.resourceType = value;
    } else if (key == L"color") {
        out.resourceType = L"*COLOR*";
        out.name = value;
    } else if (key == L"dest") {
        ReadRect(value, info.dest);
    } else if (key == L"source") {
        ReadRect(value, info.source);
    } else if (key == L"corner" || key == L"scale9") {
        ReadRect(value, info.corner);
    } else if (key == L"mask") {
        out.mask = ReadColorValue(value.GetData());
    } else if (key == L"fade") {
        info.fade = ReadFade(value);
    } else if (key == L"hole") {
        info.hole = IsTrueValue(value.GetData());
    } else if (key == L"xtiled") {
        info.xTiled = IsTrueValue(value.GetData());
    } else if (key == L"ytiled") {
        info.yTiled = IsTrueValue(value.GetData());
    } else if (key == L"hsl") {
        out.useHsl = IsTrueValue(value.GetData());
    }
}

}  // namespace

void ImageDrawInfoUI::Clear() {
    drawString.Empty();
    imageName.Empty();
    parsed = false;
    image = nullptr;
    dest = source = corner = CRectUI();
    fade = 255;
    hole = xTiled = yTiled = false;
}

void ParseImageDescription(const wchar_t* description, ImageDrawInfoUI& info, ImageDescriptionUI& out) {
    if (description == nullptr) description = L"";
    out = ImageDescriptionUI();
    out.name = description;
    info.dest = info.source = info.corner = CRectUI();
    info.fade = 255;
    info.hole = info.xTiled = info.yTiled = false;

    const wchar_t* p = description;
    for (;;) {
        SkipBlanks(p);
        const wchar_t* keyStart = p;
        while (*p != 0 && *p != L'=' && !IsBlank(*p)) ++p;
        const CWideString key(keyStart, static_cast<int>(p - keyStart));
        SkipBlanks(p);
        if (*p != L'=') break;
        ++p;
        SkipBlanks(p);
        if (*p != L'\'') break;
        ++p;
        const wchar_t* valueStart = p;
        while (*p != 0 && *p != L'\'') ++p;
        if (*p == 0) break;  // no closing quote
        const CWideString value(valueStart, static_cast<int>(p - valueStart));
        ++p;
        if (!value.IsEmpty()) Apply(key, value, info, out);
        if (*p != L' ') break;
        ++p;
    }
    info.imageName = out.name;
    info.parsed = true;
}

}  // namespace QuillUI
