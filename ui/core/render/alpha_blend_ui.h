// Source-over blending of one piece of a bitmap onto a DC: AlphaBlend when
// msimg32 has it, else the framework's own replacement.
#pragma once
#include "common/win.h"

#include <cstdint>

namespace QuillUI {

// source is a DC with a 32-bit bitmap selected; with perPixelAlpha its
// pixels are premultiplied BGRA. The piece is stretched to the destination.
// False when nothing could be drawn.
bool BlendPiece(HDC target, const RECT& destination, HDC source, const RECT& sourceRect, uint8_t constantAlpha,
                bool perPixelAlpha);

// The replacement alone: dst = src * c / 255 + dst * (1 - srcA * c / 255²),
// source alpha taken as 255 without perPixelAlpha.
bool FallbackAlphaBlend(HDC target, const RECT& destination, HDC source, const RECT& sourceRect,
                        uint8_t constantAlpha, bool perPixelAlpha);

}  // namespace QuillUI
