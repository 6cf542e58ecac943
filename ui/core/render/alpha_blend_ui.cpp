#include "ui/core/render/alpha_blend_ui.h"

#include "ui/core/render/dib_section_ui.h"
#include "ui/core/render/platform_functions_ui.h"
#include "ui/core/render/gdi_handles.h"

namespace QuillUI {

namespace {

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

}  // namespace

bool FallbackAlphaBlend(HDC target, const RECT& d, HDC source, const RECT& s, uint8_t constantAlpha,
                        bool perPixelAlpha) {
    const int width = Width(d), height = Height(d);
    if (width <= 0 || height <= 0 || Width(s) <= 0 || Height(s) <= 0) return false;
    uint8_t* sourceBits = nullptr;
    uint8_t* targetBits = nullptr;
    ScopedBitmap sourceBitmap(CreateDibSection32(target, width, height, true, &sourceBits));
    ScopedBitmap targetBitmap(CreateDibSection32(target, width, height, true, &targetBits));
    ScopedMemoryDC sourceDc(CreateCompatibleDC(target));
    ScopedMemoryDC targetDc(CreateCompatibleDC(target));
    if (!sourceBitmap || !targetBitmap || !sourceDc || !targetDc) return false;
    ScopedSelectObject selectSource(sourceDc.Get(), sourceBitmap.Get());
    ScopedSelectObject selectTarget(targetDc.Get(), targetBitmap.Get());
    SetStretchBltMode(sourceDc.Get(), COLORONCOLOR);
    StretchBlt(sourceDc.Get(), 0, 0, width, height, source, s.left, s.top, Width(s), Height(s), SRCCOPY);
    BitBlt(targetDc.Get(), 0, 0, width, height, target, d.left, d.top, SRCCOPY);
    GdiFlush();

    const unsigned c = constantAlpha;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t i = 0; i < count; ++i, sourceBits += 4, targetBits += 4) {
        const unsigned sourceAlpha = perPixelAlpha ? sourceBits[3] : 255;
        // Premultiplied source: its colour is scaled by the constant alpha
        // only; the destination keeps what the source leaves uncovered.
        const unsigned cover = sourceAlpha * c / 255;
        for (int channel = 0; channel < 3; ++channel) {
            const unsigned value = sourceBits[channel] * c / 255 + targetBits[channel] * (255 - cover) / 255;
            targetBits[channel] = static_cast<uint8_t>(value > 255 ? 255 : value);
        }
        const unsigned alpha = cover + targetBits[3] * (255 - cover) / 255;
        targetBits[3] = static_cast<uint8_t>(alpha > 255 ? 255 : alpha);
    }
    return BitBlt(target, d.left, d.top, width, height, targetDc.Get(), 0, 0, SRCCOPY) != FALSE;
}

bool BlendPiece(HDC target, const RECT& d, HDC source, const RECT& s, uint8_t constantAlpha, bool perPixelAlpha) {
    if (Width(d) <= 0 || Height(d) <= 0 || Width(s) <= 0 || Height(s) <= 0) return false;
    if (AlphaBlendFunction alphaBlend = GetPlatformFunctions().alphaBlend) {
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, constantAlpha, static_cast<BYTE>(perPixelAlpha ? AC_SRC_ALPHA : 0)};
        return alphaBlend(target, d.left, d.top, Width(d), Height(d), source, s.left, s.top, Width(s), Height(s),
                          blend) != FALSE;
    }
    return FallbackAlphaBlend(target, d, source, s, constantAlpha, perPixelAlpha);
}

}  // namespace QuillUI
