#include "ui/controls/values/slider_ui.h"

#include "ui/controls/buttons/control_state_ui.h"
#include "ui/core/markup/attribute_value_ui.h"
#include "ui/core/values/clamp_ui.h"
#include "ui/core/values/number_list_ui.h"

#include <cwchar>

namespace QuillUI {

namespace {

// A side less a thumb, within int so that the products stay within 64 bits.
int64_t TrackLength(LONG low, LONG high, int thumb) { return ClampToInt(int64_t(high) - low - thumb); }

}  // namespace

CSliderUI::CSliderUI() { textStyle_ = DT_SINGLELINE | DT_CENTER; }

CSliderUI::~CSliderUI() = default;

const wchar_t* CSliderUI::GetClass() const { return L"Slider"; }

void* CSliderUI::GetInterface(const wchar_t* name) {
    if (name != nullptr && wcscmp(name, L"Slider") == 0) return this;
    return CProgressUI::GetInterface(name);
}

UINT CSliderUI::GetControlFlags() const { return IsEnabled() ? ControlFlagTabStop | ControlFlagSetCursor : 0; }

void CSliderUI::SetEnabled(bool enabled) {
    CProgressUI::SetEnabled(enabled);
    if (!IsEnabled()) state_ = 0;
}

void CSliderUI::SetThumbSize(int width, int height) {
    thumbWidth_ = width;
    thumbHeight_ = height;
}

void CSliderUI::SetThumbImage(const wchar_t* description) { ChangeImage(thumbImage_, description); }
void CSliderUI::SetThumbHotImage(const wchar_t* description) { ChangeImage(thumbHotImage_, description); }
void CSliderUI::SetThumbPushedImage(const wchar_t* description) { ChangeImage(thumbPushedImage_, description); }

RECT CSliderUI::GetThumbRect() const {
    const RECT& r = itemRect_;
    const int64_t offset = int64_t(value_) - min_;
    int x = 0;
    int y = 0;
    if (horizontal_) {
        x = ClampToInt(TrackLength(r.left, r.right, thumbWidth_) * offset / GetSpan() + r.left);
        y = ClampToInt((int64_t(r.bottom) + r.top - thumbHeight_) / 2);
    } else {
        x = ClampToInt((int64_t(r.right) + r.left - thumbWidth_) / 2);
        y = ClampToInt(int64_t(r.bottom) - thumbHeight_ -
                       TrackLength(r.top, r.bottom, thumbHeight_) * offset / GetSpan());
    }
    return CRectUI(x, y, ClampToInt(int64_t(x) + thumbWidth_), ClampToInt(int64_t(y) + thumbHeight_));
}

int CSliderUI::ValueFromPoint(POINT point) const {
    const RECT& r = itemRect_;
    int64_t along = 0;
    int64_t track = 0;
    if (horizontal_) {
        const int half = thumbWidth_ / 2;
        if (point.x >= int64_t(r.right) - half) return max_;
        if (point.x <= int64_t(r.left) + half) return min_;
        along = int64_t(point.x) - r.left - half;
        track = TrackLength(r.left, r.right, thumbWidth_);
    } else {
        const int half = thumbHeight_ / 2;
        if (point.y >= int64_t(r.bottom) - half) return min_;
        if (point.y <= int64_t(r.top) + half) return max_;
        along = int64_t(r.bottom) - point.y - half;
        track = TrackLength(r.top, r.bottom, thumbHeight_);
    }
    // A track no longer than the thumb has no inside points but its ends.
    if (track <= 0) return min_;
    return ClampToInt(GetSpan() * ClampToInt(along) / track + min_);
}

void CSliderUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr) return;
    if (value == nullptr) value = L"";
    if (wcscmp(name, L"thumbimage") == 0) {
        SetThumbImage(value);
    } else if (wcscmp(name, L"thumbhotimage") == 0) {
        SetThumbHotImage(value);
    } else if (wcscmp(name, L"thumbpushedimage") == 0) {
        SetThumbPushedImage(value);
    } else if (wcscmp(name, L"thumbsize") == 0) {
        long size[2] = {0, 0};
        ParseNumberList(value, size, 2);
        SetThumbSize(static_cast<int>(size[0]), static_cast<int>(size[1]));
    } else if (wcscmp(name, L"step") == 0) {
        SetStep(_wtoi(value));
    } else if (wcscmp(name, L"imm") == 0) {
        SetImmediate(IsTrueValue(value));
    } else {
        CProgressUI::SetAttribute(name, value);
    }
}

void CSliderUI::PaintStatusImage(HDC dc) {
    CProgressUI::PaintStatusImage(dc);
    CRectUI thumb = GetThumbRect();
    thumb.Offset(-itemRect_.left, -itemRect_.top);
    if ((state_ & StateCaptured) != 0) {
        if (DrawThumb(dc, thumbPushedImage_, thumb)) return;
    } else if ((state_ & StateHot) != 0) {
        if (DrawThumb(dc, thumbHotImage_, thumb)) return;
    }
    DrawThumb(dc, thumbImage_, thumb);
}

bool CSliderUI::DrawThumb(HDC dc, CImageSlotUI& image, const RECT& thumb) {
    // Loaded first, as reading the description sets the destination too.
    if (!DrawImage(nullptr, image)) return false;
    image.SetDest(thumb);
    return DrawImage(dc, image);
}

}  // namespace QuillUI
