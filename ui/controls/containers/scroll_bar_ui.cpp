#include "ui/controls/containers/scroll_bar_ui.h"

#include "ui/core/markup/attribute_value_ui.h"
#include "ui/controls/containers/container_ui.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/values/clamp_ui.h"

#include <cstdint>
#include <cstdlib>
#include <cwchar>

namespace QuillUI {

CScrollBarUI::CScrollBarUI() {
    fixedSize_.cx = 16;
}

CScrollBarUI::~CScrollBarUI() = default;

const wchar_t* CScrollBarUI::GetClass() const { return L"ScrollBar"; }

void* CScrollBarUI::GetInterface(const wchar_t* name) {
    if (name != nullptr && wcscmp(name, L"ScrollBar") == 0) return this;
    return CControlUI::GetInterface(name);
}

void CScrollBarUI::SetOwner(CContainerUI* owner) { owner_ = owner; }

void CScrollBarUI::SetHorizontal(bool horizontal) {
    if (horizontal_ == horizontal) return;
    horizontal_ = horizontal;
    if (horizontal_) {
        if (fixedSize_.cy == 0) {
            fixedSize_.cx = 0;
            fixedSize_.cy = 16;
        }
    } else if (fixedSize_.cx == 0) {
        fixedSize_.cx = 16;
        fixedSize_.cy = 0;
    }
    if (owner_ != nullptr)
        owner_->NeedUpdate();
    else
        NeedParentUpdate();
}

void CScrollBarUI::SetScrollRange(int range) {
    if (range_ == range) return;
    range_ = range < 0 ? 0 : range;
    if (position_ > range_) position_ = range_;
    SetPos(itemRect_, true);
}

void CScrollBarUI::SetScrollPos(int position, bool notify) {
    if (position_ == position) return;
    const int old = position_;
    int64_t wanted = position < 0 ? 0 : position;
    if (scrollUnit_ > 1) {
        const int64_t rest = wanted % scrollUnit_;
        if (rest != 0) wanted += rest < scrollUnit_ / 2 ? -rest : scrollUnit_ - rest;
    }
    position_ = Clamp(wanted, 0, range_);
    SetPos(itemRect_, true);
    if (notify && manager_ != nullptr && position_ != old)
        manager_->SendNotify(this, L"scroll", static_cast<WPARAM>(position_), static_cast<LPARAM>(old), true);
}

int CScrollBarUI::GetLineSize() const { return scrollUnit_ >= 2 ? scrollUnit_ : lineSize_; }

void CScrollBarUI::SetLineSize(int size) {
    if (size >= 0) lineSize_ = size;
}

void CScrollBarUI::SetScrollUnit(int unit) {
    if (unit >= 0) scrollUnit_ = unit;
}

void CScrollBarUI::SetShowButton1(bool show) {
    showButton1_ = show;
    SetPos(itemRect_, true);
}

void CScrollBarUI::SetShowButton2(bool show) {
    showButton2_ = show;
    SetPos(itemRect_, true);
}

void CScrollBarUI::SetButton1Color(DWORD color) {
    if (button1Color_ == color) return;
    button1Color_ = color;
    Invalidate();
}

void CScrollBarUI::SetButton2Color(DWORD color) {
    if (button2Color_ == color) return;
    button2Color_ = color;
    Invalidate();
}

void CScrollBarUI::SetThumbColor(DWORD color) {
    if (thumbColor_ == color) return;
    thumbColor_ = color;
    Invalidate();
}

void CScrollBarUI::SetButton1NormalImage(const wchar_t* d) { ChangeImage(button1Images_.normal, d); }
void CScrollBarUI::SetButton1HotImage(const wchar_t* d) { ChangeImage(button1Images_.hot, d); }
void CScrollBarUI::SetButton1PushedImage(const wchar_t* d) { ChangeImage(button1Images_.pushed, d); }
void CScrollBarUI::SetButton1DisabledImage(const wchar_t* d) { ChangeImage(button1Images_.disabled, d); }
void CScrollBarUI::SetButton2NormalImage(const wchar_t* d) { ChangeImage(button2Images_.normal, d); }
void CScrollBarUI::SetButton2HotImage(const wchar_t* d) { ChangeImage(button2Images_.hot, d); }
void CScrollBarUI::SetButton2PushedImage(const wchar_t* d) { ChangeImage(button2Images_.pushed, d); }
void CScrollBarUI::SetButton2DisabledImage(const wchar_t* d) { ChangeImage(button2Images_.disabled, d); }
void CScrollBarUI::SetThumbNormalImage(const wchar_t* d) { ChangeImage(thumbImages_.normal, d); }
void CScrollBarUI::SetThumbHotImage(const wchar_t* d) { ChangeImage(thumbImages_.hot, d); }
void CScrollBarUI::SetThumbPushedImage(const wchar_t* d) { ChangeImage(thumbImages_.pushed, d); }
void CScrollBarUI::SetThumbDisabledImage(const wchar_t* d) { ChangeImage(thumbImages_.disabled, d); }
void CScrollBarUI::SetRailNormalImage(const wchar_t* d) { ChangeImage(railImages_.normal, d); }
void CScrollBarUI::SetRailHotImage(const wchar_t* d) { ChangeImage(railImages_.hot, d); }
void CScrollBarUI::SetRailPushedImage(const wchar_t* d) { ChangeImage(railImages_.pushed, d); }
void CScrollBarUI::SetRailDisabledImage(const wchar_t* d) { ChangeImage(railImages_.disabled, d); }
void CScrollBarUI::SetBkNormalImage(const wchar_t* d) { ChangeImage(bkImages_.normal, d); }
void CScrollBarUI::SetBkHotImage(const wchar_t* d) { ChangeImage(bkImages_.hot, d); }
void CScrollBarUI::SetBkPushedImage(const wchar_t* d) { ChangeImage(bkImages_.pushed, d); }
void CScrollBarUI::SetBkDisabledImage(const wchar_t* d) { ChangeImage(bkImages_.disabled, d); }

int CScrollBarUI::GetThickness() const { return horizontal_ ? fixedSize_.cy : fixedSize_.cx; }

namespace {

// The parts along the bar, as [start, end) spans of one axis.
struct TrackLayout {
    int button1Start, button1End;
    int button2Start, button2End;
    int thumbStart, thumbEnd;
    bool hasThumb;
    int buttonThickness;  // across the bar: s, or 0 for a hidden button
    int button2Thickness;
};

// start and end bound the bar along its axis and s is its thickness.
TrackLayout LayOutTrack(int start, int end, int s, bool show1, bool show2, int range, int position) {
    TrackLayout t = {};
    const int track = end - start;
    int rail = track;
    if (show1) rail -= s;
    if (show2) rail -= s;
    if (rail <= s) {
        // Too short for a thumb: two buttons share the length.
        int button = track / 2;
        if (button > s) button = s;
        t = {start, start + button, end - button, end, 0, 0, false, s, s};
        return t;
    }
    // A hidden button is an empty span at its end of the bar.
    t.button1Start = start;
    t.button1End = show1 ? start + s : start;
    t.buttonThickness = show1 ? s : 0;
    t.button2Start = show2 ? end - s : end;
    t.button2End = end;
    t.button2Thickness = show2 ? s : 0;
    t.hasThumb = true;
    if (range < 1) {
        t.thumbStart = t.button1End;
        t.thumbEnd = t.button2Start;
        return t;
    }
    // The products reach 64 bits for large ranges.
    int length = static_cast<int>(int64_t(track) * rail / (int64_t(range) + track));
    if (length < s) length = s;
    t.thumbStart = static_cast<int>(int64_t(rail - length) * position / range) + t.button1End;
    t.thumbEnd = t.thumbStart + length;
    if (t.thumbEnd > t.button2Start) {
        t.thumbStart = t.button2Start - length;
        t.thumbEnd = t.button2Start;
    }
    return t;
}

}  // namespace

void CScrollBarUI::SetPos(RECT rect, bool needInvalidate) {
    CControlUI::SetPos(rect, needInvalidate);
    const RECT rc = itemRect_;
    const int s = GetThickness();
    if (!horizontal_) {
        const TrackLayout t = LayOutTrack(rc.top, rc.bottom, s, showButton1_, showButton2_, range_, position_);
        button1_ = CRectUI(rc.left, t.button1Start, rc.left + t.buttonThickness, t.button1End);
        button2_ = CRectUI(rc.left, t.button2Start, rc.left + t.button2Thickness, t.button2End);
        thumb_ = t.hasThumb ? CRectUI(rc.left, t.thumbStart, rc.left + s, t.thumbEnd) : CRectUI();
    } else {
        const TrackLayout t = LayOutTrack(rc.left, rc.right, s, showButton1_, showButton2_, range_, position_);
        button1_ = CRectUI(t.button1Start, rc.top, t.button1End, rc.top + t.buttonThickness);
        button2_ = CRectUI(t.button2Start, rc.top, t.button2End, rc.top + t.button2Thickness);
        thumb_ = t.hasThumb ? CRectUI(t.thumbStart, rc.top, t.thumbEnd, rc.top + s) : CRectUI();
    }
}

void CScrollBarUI::SetVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    focused_ = false;
}

void CScrollBarUI::SetEnabled(bool enabled) {
    CControlUI::SetEnabled(enabled);
    if (!IsEnabled()) button1State_ = button2State_ = thumbState_ = 0;
}

void CScrollBarUI::SetFocus() {
    if (owner_ != nullptr)
        owner_->SetFocus();
    else
        CControlUI::SetFocus();
}

void CScrollBarUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    struct ImageAttribute {
        const wchar_t* name;
        void (CScrollBarUI::*set)(const wchar_t*);
    };
    static const ImageAttribute kImages[] = {
        {L"button1normalimage", &CScrollBarUI::SetButton1NormalImage},
        {L"button1hotimage", &CScrollBarUI::SetButton1HotImage},
        {L"button1pushedimage", &CScrollBarUI::SetButton1PushedImage},
        {L"button1disabledimage", &CScrollBarUI::SetButton1DisabledImage},
        {L"button2normalimage", &CScrollBarUI::SetButton2NormalImage},
        {L"button2hotimage", &CScrollBarUI::SetButton2HotImage},
        {L"button2pushedimage", &CScrollBarUI::SetButton2PushedImage},
        {L"button2disabledimage", &CScrollBarUI::SetButton2DisabledImage},
        {L"thumbnormalimage", &CScrollBarUI::SetThumbNormalImage},
        {L"thumbhotimage", &CScrollBarUI::SetThumbHotImage},
        {L"thumbpushedimage", &CScrollBarUI::SetThumbPushedImage},
        {L"thumbdisabledimage", &CScrollBarUI::SetThumbDisabledImage},
        {L"railnormalimage", &CScrollBarUI::SetRailNormalImage},
        {L"railhotimage", &CScrollBarUI::SetRailHotImage},
        {L"railpushedimage", &CScrollBarUI::SetRailPushedImage},
        {L"raildisabledimage", &CScrollBarUI::SetRailDisabledImage},
        {L"bknormalimage", &CScrollBarUI::SetBkNormalImage},
        {L"bkhotimage", &CScrollBarUI::SetBkHotImage},
        {L"bkpushedimage", &CScrollBarUI::SetBkPushedImage},
        {L"bkdisabledimage", &CScrollBarUI::SetBkDisabledImage},
    };
    if (name == nullptr || value == nullptr) return;
    for (const ImageAttribute& entry : kImages) {
        if (wcscmp(name, entry.name) == 0) {
            (this->*entry.set)(value);
            return;
        }
    }
    if (wcscmp(name, L"button1color") == 0)
        SetButton1Color(ReadColorValue(value));
    else if (wcscmp(name, L"button2color") == 0)
        SetButton2Color(ReadColorValue(value));
    else if (wcscmp(name, L"thumbcolor") == 0)
        SetThumbColor(ReadColorValue(value));
    else if (wcscmp(name, L"hor") == 0)
        SetHorizontal(IsTrueValue(value));
    else if (wcscmp(name, L"linesize") == 0)
        SetLineSize(_wtoi(value));
    else if (wcscmp(name, L"range") == 0)
        SetScrollRange(_wtoi(value));
    else if (wcscmp(name, L"value") == 0)
        SetScrollPos(_wtoi(value), true);
    else if (wcscmp(name, L"scrollunit") == 0)
        SetScrollUnit(_wtoi(value));
    else if (wcscmp(name, L"showbutton1") == 0)
        SetShowButton1(IsTrueValue(value));
    else if (wcscmp(name, L"showbutton2") == 0)
        SetShowButton2(IsTrueValue(value));
    else
        CControlUI::SetAttribute(name, value);
}

}  // namespace QuillUI
