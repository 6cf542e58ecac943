#include "ui/controls/values/progress_ui.h"

#include "ui/core/markup/attribute_value_ui.h"
#include "ui/core/values/clamp_ui.h"

#include <cwchar>

namespace QuillUI {

CProgressUI::CProgressUI() {
    textStyle_ = DT_SINGLELINE | DT_CENTER;
    SetFixedHeight(12);
}

CProgressUI::~CProgressUI() = default;

const wchar_t* CProgressUI::GetClass() const { return L"Progress"; }

void* CProgressUI::GetInterface(const wchar_t* name) {
    if (name != nullptr && wcscmp(name, L"Progress") == 0) return this;
    return CLabelUI::GetInterface(name);
}

void CProgressUI::SetHorizontal(bool horizontal) {
    if (horizontal_ == horizontal) return;
    horizontal_ = horizontal;
    Invalidate();
}

void CProgressUI::SetMin(int min) {
    min_ = min;
    Invalidate();
}

void CProgressUI::SetMax(int max) {
    max_ = max;
    Invalidate();
}

void CProgressUI::SetValue(int value) {
    if (value > max_) value = max_;
    if (value < min_) value = min_;
    value_ = value;
    Invalidate();
}

void CProgressUI::SetForeImage(const wchar_t* description) { ChangeImage(foreImage_, description); }

int64_t CProgressUI::GetSpan() const {
    const int64_t span = int64_t(max_) - min_;
    return span > 0 ? span : 1;
}

void CProgressUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr) return;
    if (value == nullptr) value = L"";
    if (wcscmp(name, L"foreimage") == 0) {
        SetForeImage(value);
    } else if (wcscmp(name, L"hor") == 0) {
        SetHorizontal(IsTrueValue(value));
    } else if (wcscmp(name, L"min") == 0) {
        SetMin(_wtoi(value));
    } else if (wcscmp(name, L"max") == 0) {
        SetMax(_wtoi(value));
    } else if (wcscmp(name, L"value") == 0) {
        SetValue(_wtoi(value));
    } else {
        CLabelUI::SetAttribute(name, value);
    }
}

void CProgressUI::PaintStatusImage(HDC dc) {
    // A minimum of INT_MAX leaves no room above it; GetSpan then counts 1.
    if (max_ <= min_) max_ = ClampToInt(int64_t(min_) + 1);
    if (value_ > max_) value_ = max_;
    if (value_ < min_) value_ = min_;
    // Sides within int keep the products within 64 bits.
    const int64_t width = ClampToInt(int64_t(itemRect_.right) - itemRect_.left);
    const int64_t height = ClampToInt(int64_t(itemRect_.bottom) - itemRect_.top);
    // Loaded first, as reading the description sets the destination too.
    DrawImage(nullptr, foreImage_);
    if (horizontal_) {
        foreImage_.SetDest(CRectUI(0, 0, ClampToInt(width * (int64_t(value_) - min_) / GetSpan()),
                                   static_cast<int>(height)));
    } else {
        foreImage_.SetDest(CRectUI(0, ClampToInt(height * (int64_t(max_) - value_) / GetSpan()),
                                   static_cast<int>(width), static_cast<int>(height)));
    }
    DrawImage(dc, foreImage_);
}

}  // namespace QuillUI
