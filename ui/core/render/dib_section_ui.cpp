#include "ui/core/render/dib_section_ui.h"

namespace QuillUI {

HBITMAP CreateDibSection32(HDC dc, int width, int height, bool topDown, uint8_t** bits) {
    if (bits != nullptr) *bits = nullptr;
    if (width <= 0 || height <= 0) return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = topDown ? -height : height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bitmap != nullptr && pixels == nullptr) {
        DeleteObject(bitmap);
        bitmap = nullptr;
    }
    if (bitmap != nullptr && bits != nullptr) *bits = static_cast<uint8_t*>(pixels);
    return bitmap;
}

}  // namespace QuillUI
