// A skin image loaded into a 32-bit DIB section, as the window manager's
// image table keeps it.
#pragma once
#include "common/win.h"
#include "ui/core/values/wide_string.h"

#include <cstdint>

namespace QuillUI {

struct ImageInfoUI {
    HBITMAP bitmap = nullptr;      // top-down 32-bit DIB section
    uint8_t* bits = nullptr;       // its pixels: BGRA, premultiplied
    // A malloc'd copy of the pixels as loaded (width x height x 4 bytes), the
    // source of colour adjustment; null when none.
    uint8_t* sourceBits = nullptr;
    int width = 0;
    int height = 0;
    bool hasAlpha = false;         // some pixel is not fully opaque, or the mask cleared one
    bool useHsl = false;           // takes part in the hue/saturation/lightness adjustment
    // Kept by the image table.
    CWideString resourceType;
    DWORD mask = 0;
};

}  // namespace QuillUI
