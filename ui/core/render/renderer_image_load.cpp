#include "common/win.h"
#include "ui/core/markup/attribute_value_ui.h"
#include "ui/core/render/dib_section_ui.h"
#include "ui/core/render/renderer_ui.h"
#include "ui/core/skin/skin_bytes.h"
#include "ui/core/manager/window_manager_ui.h"

#include "stb_image.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>

namespace QuillUI {

namespace {

const long long kMaxPixels = 4096LL * 4096LL;

const wchar_t kColorType[] = L"*COLOR*";

class DecodedPixels {
public:
    explicit DecodedPixels(unsigned char* pixels) : pixels_(pixels) {}
    DecodedPixels(const DecodedPixels&) = delete;
    DecodedPixels& operator=(const DecodedPixels&) = delete;
    ~DecodedPixels() {
        if (pixels_ != nullptr) stbi_image_free(pixels_);
    }
    const unsigned char* Get() const { return pixels_; }

private:
    unsigned char* pixels_;
};

bool ReadResource(ResourceNameOrId name, const wchar_t* type, SkinBytesUI& out) {
    // Without an instance set, null names the program's own module.
    HMODULE module = CWindowManagerUI::GetResourceDll();
    HRSRC found = FindResourceW(module, name.Get(), type);
    if (found == nullptr) return false;
    const DWORD size = SizeofResource(module, found);
    if (size == 0 || size > kMaxImageFileSize) return false;
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr || !out.Allocate(size)) return false;
    memcpy(out.GetBuffer(), data, size);
    return true;
}

// rgba is R, G, B, A per pixel, as decoded. The mask compares the pixel as
// written, 0xAARRGGBB, before the colour is premultiplied.
ImageInfoUI* MakeImage(const unsigned char* rgba, int width, int height, DWORD mask) {
    uint8_t* bits = nullptr;
    HBITMAP bitmap = CreateDibSection32(nullptr, width, height, true, &bits);
    if (bitmap == nullptr) return nullptr;
    uint8_t* const first = bits;
    bool hasAlpha = false;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t i = 0; i < count; ++i, rgba += 4, bits += 4) {
        const unsigned r = rgba[0], g = rgba[1], b = rgba[2], a = rgba[3];
        const DWORD argb = (a << 24) | (r << 16) | (g << 8) | b;
        if (mask != 0 && argb == mask) {
            bits[0] = bits[1] = bits[2] = bits[3] = 0;
            hasAlpha = true;
            continue;
        }
        if (a < 255) {
            bits[0] = static_cast<uint8_t>(b * a / 255);
            bits[1] = static_cast<uint8_t>(g * a / 255);
            bits[2] = static_cast<uint8_t>(r * a / 255);
            hasAlpha = true;
        } else {
            bits[0] = static_cast<uint8_t>(b);
            bits[1] = static_cast<uint8_t>(g);
            bits[2] = static_cast<uint8_t>(r);
        }
        bits[3] = static_cast<uint8_t>(a);
    }
    ImageInfoUI* image = new (std::nothrow) ImageInfoUI;
    if (image == nullptr) {
        DeleteObject(bitmap);
        return nullptr;
    }
    image->bitmap = bitmap;
    image->bits = first;
    image->width = width;
    image->height = height;
    image->hasAlpha = hasAlpha;
    return image;
}

}  // namespace

ImageInfoUI* CRendererUI::LoadSkinImage(ResourceNameOrId name, const wchar_t* type, DWORD mask) {
    if (type != nullptr && *type == 0) type = nullptr;
    if (type != nullptr && wcscmp(type, kColorType) == 0) {
        // A solid colour needs no bytes.
        if (name.IsId() || name.Get() == nullptr) return nullptr;
        const DWORD color = ReadColorValue(name.Get());
        const unsigned char rgba[4] = {static_cast<unsigned char>(color >> 16), static_cast<unsigned char>(color >> 8),
                                       static_cast<unsigned char>(color), static_cast<unsigned char>(color >> 24)};
        return MakeImage(rgba, 1, 1, mask);
    }

    SkinBytesUI bytes;
    if (type == nullptr) {
        if (name.IsId() || name.Get() == nullptr) return nullptr;
        ReadSkinFile(name.Get(), kMaxImageFileSize, bytes);
    } else {
        ReadResource(name, type, bytes);
    }
    if (bytes.IsEmpty() && !name.IsId() && name.Get() != nullptr)
        ReadFileBytes(name.Get(), kMaxImageFileSize, bytes);
    if (bytes.IsEmpty()) return nullptr;

    const int length = static_cast<int>(bytes.GetSize());
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(bytes.GetData(), length, &width, &height, &channels)) return nullptr;
    if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > kMaxPixels) return nullptr;
    DecodedPixels pixels(stbi_load_from_memory(bytes.GetData(), length, &width, &height, &channels, 4));
    if (pixels.Get() == nullptr) return nullptr;
    return MakeImage(pixels.Get(), width, height, mask);
}

void CRendererUI::FreeImage(ImageInfoUI* image, bool deleteRecord) {
    if (image == nullptr) return;
    if (image->bitmap != nullptr) DeleteObject(image->bitmap);
    image->bitmap = nullptr;
    image->bits = nullptr;
    free(image->sourceBits);
    image->sourceBits = nullptr;
    if (deleteRecord) delete image;
}

HBITMAP CRendererUI::CreateARGB32Bitmap(HDC dc, int width, int height, uint8_t** bits) {
    return CreateDibSection32(dc, width, height, false, bits);
}

}  // namespace QuillUI
