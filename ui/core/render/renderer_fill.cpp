#include "ui/core/render/alpha_blend_ui.h"
#include "ui/core/values/color_ui.h"
#include "ui/core/render/platform_functions_ui.h"
#include "ui/core/render/renderer_ui.h"
#include "ui/core/render/gdi_handles.h"

namespace QuillUI {

namespace {

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// An opaque fill that, unlike FillRect, needs no brush.
void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
    const COLORREF old = SetBkColor(dc, color);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, L"", 0, nullptr);
    SetBkColor(dc, old);
}

void FillGradient(HDC dc, const RECT& rect, DWORD first, DWORD second, bool vertical, int steps) {
    if (GradientFillFunction gradientFill = GetPlatformFunctions().gradientFill) {
        // Channels are 16 bits wide.
        TRIVERTEX vertices[2] = {};
        const DWORD colors[2] = {first, second};
        for (int i = 0; i < 2; ++i) {
            vertices[i].Red = static_cast<COLOR16>(((colors[i] >> 16) & 0xFF) << 8);
            vertices[i].Green = static_cast<COLOR16>(((colors[i] >> 8) & 0xFF) << 8);
            vertices[i].Blue = static_cast<COLOR16>((colors[i] & 0xFF) << 8);
            vertices[i].Alpha = 0xFF00;
        }
        vertices[0].x = rect.left;
        vertices[0].y = rect.top;
        vertices[1].x = rect.right;
        vertices[1].y = rect.bottom;
        GRADIENT_RECT mesh = {0, 1};
        gradientFill(dc, vertices, 2, &mesh, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
        return;
    }
    const int shift = steps >= 64 ? 6 : steps >= 32 ? 5 : steps >= 16 ? 4 : steps >= 8 ? 3 : steps >= 4 ? 2 : 1;
    const int bands = 1 << shift;
    const long long extent = vertical ? Height(rect) : Width(rect);
    for (int i = 0; i < bands; ++i) {
        const DWORD r = ((((second >> 16) & 0xFF) * (bands - i)) + (((first >> 16) & 0xFF) * i)) >> shift;
        const DWORD g = ((((second >> 8) & 0xFF) * (bands - i)) + (((first >> 8) & 0xFF) * i)) >> shift;
        const DWORD b = (((second & 0xFF) * (bands - i)) + ((first & 0xFF) * i)) >> shift;
        // Bands are counted from the right or bottom edge, where the second colour is.
        const LONG nearEdge = static_cast<LONG>((extent * i) >> shift);
        const LONG farEdge = static_cast<LONG>((extent * (i + 1)) >> shift);
        if (farEdge <= nearEdge) continue;
        RECT band = rect;
        if (vertical) {
            band.bottom = rect.bottom - nearEdge;
            band.top = rect.bottom - farEdge;
        } else {
            band.right = rect.right - nearEdge;
            band.left = rect.right - farEdge;
        }
        FillSolid(dc, band, RGB(r, g, b));
    }
}

}  // namespace

void CRendererUI::DrawColor(HDC dc, const RECT& rect, DWORD color) {
    const BYTE alpha = AlphaOf(color);
    if (dc == nullptr || alpha == 0 || Width(rect) <= 0 || Height(rect) <= 0) return;
    if (alpha == 255) {
        FillSolid(dc, rect, ToColorRef(color));
        return;
    }
    // One premultiplied pixel stretched over the rectangle.
    uint8_t* bits = nullptr;
    ScopedBitmap pixel(CreateARGB32Bitmap(dc, 1, 1, &bits));
    ScopedMemoryDC memory(CreateCompatibleDC(dc));
    if (!pixel || bits == nullptr || !memory) return;
    bits[0] = static_cast<uint8_t>((color & 0xFF) * alpha / 255);
    bits[1] = static_cast<uint8_t>(((color >> 8) & 0xFF) * alpha / 255);
    bits[2] = static_cast<uint8_t>(((color >> 16) & 0xFF) * alpha / 255);
    bits[3] = alpha;
    ScopedSelectObject select(memory.Get(), pixel.Get());
    const RECT one = {0, 0, 1, 1};
    BlendPiece(dc, rect, memory.Get(), one, 255, true);
}

void CRendererUI::DrawGradient(HDC dc, const RECT& rect, DWORD first, DWORD second, bool vertical, int steps) {
    const int alpha = (AlphaOf(first) + AlphaOf(second)) / 2;
    const int width = Width(rect), height = Height(rect);
    if (dc == nullptr || alpha == 0 || width <= 0 || height <= 0) return;
    if (alpha == 255) {
        FillGradient(dc, rect, first, second, vertical, steps);
        return;
    }
    // Drawn aside, then blended with one constant alpha: GDI leaves the
    // alpha bytes of what it draws at 0.
    uint8_t* bits = nullptr;
    ScopedBitmap bitmap(CreateARGB32Bitmap(dc, width, height, &bits));
    ScopedMemoryDC memory(CreateCompatibleDC(dc));
    if (!bitmap || !memory) return;
    ScopedSelectObject select(memory.Get(), bitmap.Get());
    const RECT local = {0, 0, width, height};
    FillGradient(memory.Get(), local, first, second, vertical, steps);
    BlendPiece(dc, rect, memory.Get(), local, static_cast<uint8_t>(alpha), false);
}

void CRendererUI::DrawLine(HDC dc, const RECT& rect, int width, DWORD color, int penStyle) {
    if (dc == nullptr) return;
    ScopedPen pen(CreatePen(penStyle, width, ToColorRef(color)));
    if (!pen) return;
    ScopedSelectObject select(dc, pen.Get());
    POINT old = {};
    MoveToEx(dc, rect.left, rect.top, &old);
    LineTo(dc, rect.right, rect.bottom);
    MoveToEx(dc, old.x, old.y, nullptr);
}

void CRendererUI::DrawRect(HDC dc, const RECT& rect, int width, DWORD color, int penStyle) {
    if (dc == nullptr) return;
    ScopedPen pen(CreatePen(penStyle | PS_INSIDEFRAME, width, ToColorRef(color)));
    if (!pen) return;
    ScopedSelectObject selectPen(dc, pen.Get());
    ScopedSelectObject selectBrush(dc, GetStockObject(HOLLOW_BRUSH));
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
}

void CRendererUI::DrawRoundRect(HDC dc, const RECT& rect, int width, int cornerWidth, int cornerHeight, DWORD color,
                                int penStyle) {
    if (dc == nullptr) return;
    ScopedPen pen(CreatePen(penStyle | PS_INSIDEFRAME, width, ToColorRef(color)));
    if (!pen) return;
    ScopedSelectObject selectPen(dc, pen.Get());
    ScopedSelectObject selectBrush(dc, GetStockObject(HOLLOW_BRUSH));
    RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, cornerWidth, cornerHeight);
}

}  // namespace QuillUI
