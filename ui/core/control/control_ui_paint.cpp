#include "ui/core/control/control_ui.h"

#include "ui/core/render/clip_region_guard.h"
#include "ui/core/values/color_ui.h"
#include "ui/core/render/renderer_ui.h"
#include "ui/core/manager/window_manager_ui.h"

namespace QuillUI {

namespace {

// Stores the value; false when it was already there.
template <class T>
bool Changed(T& field, T value) {
    if (field == value) return false;
    field = value;
    return true;
}

}  // namespace

bool CControlUI::Paint(HDC dc, const RECT& paint, CControlUI* stopControl) {
    if (stopControl == this) return false;
    if (!IntersectRect(&paintRect_, &paint, &itemRect_)) return true;
    // A delegate that answers false has painted in the control's place.
    if (OnPaint.HasDelegates() && !OnPaint.Invoke(this)) return true;
    if (!DoPaint(dc, paint, stopControl)) return false;
    if (cover_ != nullptr) return cover_->Paint(dc, paint, nullptr);
    return true;
}

bool CControlUI::DoPaint(HDC dc, const RECT&, CControlUI*) {
    const bool round = borderRound_.cx >= 1 || borderRound_.cy >= 1;
    CClipRegionGuard clip;
    if (round) CClipRegionGuard::GenerateRoundClip(dc, paintRect_, itemRect_, borderRound_.cx, borderRound_.cy, clip);
    PaintBkColor(dc);
    PaintBkImage(dc);
    PaintStatusImage(dc);
    PaintText(dc);
    PaintBorder(dc);
    return true;
}

void CControlUI::PaintBkColor(HDC dc) {
    if (bkColor_ == 0) return;
    const DWORD first = GetAdjustColor(bkColor_);
    if (bkColor2_ == 0) {
        // A translucent colour covers the whole control so that it blends
        // evenly; an opaque one needs only the part being painted.
        CRendererUI::DrawColor(dc, AlphaOf(first) < 255 ? itemRect_ : paintRect_, first);
        return;
    }
    const DWORD second = GetAdjustColor(bkColor2_);
    if (bkColor3_ == 0) {
        CRendererUI::DrawGradient(dc, itemRect_, first, second, true, 16);
        return;
    }
    const DWORD third = GetAdjustColor(bkColor3_);
    const int middle = (itemRect_.top + itemRect_.bottom) / 2;
    CRendererUI::DrawGradient(dc, CRectUI(itemRect_.left, itemRect_.top, itemRect_.right, middle), first, second,
                              true, 8);
    CRendererUI::DrawGradient(dc, CRectUI(itemRect_.left, middle, itemRect_.right, itemRect_.bottom), second, third,
                              true, 8);
}

void CControlUI::PaintBkImage(HDC dc) {
    if (bkImage_.IsEmpty()) return;
    DrawImage(dc, bkImage_);
}

void CControlUI::PaintStatusImage(HDC) {}

void CControlUI::PaintText(HDC) {}

void CControlUI::PaintBorder(HDC dc) {
    const RECT& w = borderRect_;
    if (w.left <= 0) return;
    // Colour 0 means no border: a focus colour alone draws only while focused.
    const DWORD chosen = IsFocused() && focusBorderColor_ != 0 ? focusBorderColor_ : borderColor_;
    if (chosen == 0) return;
    const DWORD color = GetAdjustColor(chosen);
    const RECT& r = itemRect_;
    if (borderRound_.cx >= 1 || borderRound_.cy >= 1) {
        CRendererUI::DrawRoundRect(dc, r, w.left, borderRound_.cx, borderRound_.cy, color, borderStyle_);
        return;
    }
    if (w.left == w.top && w.left == w.right && w.left == w.bottom) {
        CRendererUI::DrawRect(dc, r, w.left, color, borderStyle_);
        return;
    }
    // Each side along the middle of its band.
    if (w.left > 0) {
        const int x = r.left + w.left / 2;
        CRendererUI::DrawLine(dc, CRectUI(x, r.top, x, r.bottom), w.left, color, borderStyle_);
    }
    if (w.top > 0) {
        const int y = r.top + w.top / 2;
        CRendererUI::DrawLine(dc, CRectUI(r.left + w.left, y, r.right - w.right, y), w.top, color, borderStyle_);
    }
    if (w.right > 0) {
        const int x = r.right - w.right / 2;
        CRendererUI::DrawLine(dc, CRectUI(x, r.top, x, r.bottom), w.right, color, borderStyle_);
    }
    if (w.bottom > 0) {
        const int y = r.bottom - w.bottom / 2;
        CRendererUI::DrawLine(dc, CRectUI(r.left + w.left, y, r.right - w.right, y), w.bottom, color,
                              borderStyle_);
    }
}

bool CControlUI::DoPostPaint(HDC, const RECT&) {
    if (!OnPostPaint.HasDelegates()) return false;
    return OnPostPaint.Invoke(this);
}

// ---- Appearance ---------------------------------------------------------

void CControlUI::SetBkColor(DWORD color) {
    if (Changed(bkColor_, color)) Invalidate();
}

void CControlUI::SetBkColor2(DWORD color) {
    if (Changed(bkColor2_, color)) Invalidate();
}

void CControlUI::SetBkColor3(DWORD color) {
    if (Changed(bkColor3_, color)) Invalidate();
}

void CControlUI::SetBorderColor(DWORD color) {
    if (Changed(borderColor_, color)) Invalidate();
}

void CControlUI::SetFocusBorderColor(DWORD color) {
    if (Changed(focusBorderColor_, color)) Invalidate();
}

void CControlUI::SetColorHSL(bool colorHSL) {
    if (Changed(colorHSL_, colorHSL)) Invalidate();
}

void CControlUI::SetBorderSize(int size) {
    borderRect_ = CRectUI(size, size, size, size);
    Invalidate();
}

void CControlUI::SetBorderRect(int left, int top, int right, int bottom) {
    borderRect_ = CRectUI(left, top, right, bottom);
    Invalidate();
}

void CControlUI::SetBorderRound(int cx, int cy) {
    borderRound_ = CSizeUI(cx, cy);
    Invalidate();
}

void CControlUI::SetBorderStyle(int penStyle) {
    borderStyle_ = penStyle;
    Invalidate();
}

bool CControlUI::ChangeImage(CImageSlotUI& slot, const wchar_t* description) {
    if (!slot.Change(description)) return false;
    Invalidate();
    return true;
}

void CControlUI::SetBkImage(const wchar_t* description) {
    if (ChangeImage(bkImage_, description)) LoadBkImage();
}

// Without a manager nothing loads: the description waits for SetManager
// or the first paint.
void CControlUI::LoadBkImage() {
    if (bkImage_.IsEmpty() || bkImage_.GetImage() != nullptr) return;
    if (!DrawImage(nullptr, bkImage_) || bkImage_.GetImage() == nullptr) return;
    // A float control without a size of its own takes the image's.
    if (float_ && fixedSize_.cx == 0 && fixedSize_.cy == 0) {
        fixedSize_.cx = bkImage_.GetImage()->width;
        fixedSize_.cy = bkImage_.GetImage()->height;
    }
}

bool CControlUI::DrawImage(HDC dc, ImageDrawInfoUI& info) {
    return CRendererUI::DrawImageString(dc, manager_, itemRect_, paintRect_, info);
}

bool CControlUI::DrawImage(HDC dc, CImageSlotUI& slot) {
    ImageDrawInfoUI* info = slot.Get();
    return info != nullptr && DrawImage(dc, *info);
}

DWORD CControlUI::GetAdjustColor(DWORD color) const {
    if (!colorHSL_) return color;
    short hue = 180, saturation = 100, lightness = 100;
    CWindowManagerUI::GetHSL(&hue, &saturation, &lightness);
    return CRendererUI::AdjustColor(color, hue, saturation, lightness);
}

}  // namespace QuillUI
