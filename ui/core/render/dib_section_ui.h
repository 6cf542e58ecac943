// 32-bit DIB sections, the surfaces of images and of blending.
#pragma once
#include "common/win.h"

#include <cstdint>

namespace QuillUI {

// Rows run from the top when topDown is set, else from the bottom. Null, with
// bits null, when the section cannot be made (a 0x0 size, no memory).
HBITMAP CreateDibSection32(HDC dc, int width, int height, bool topDown, uint8_t** bits);

}  // namespace QuillUI
