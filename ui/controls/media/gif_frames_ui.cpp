#include "ui/controls/media/gif_frames_ui.h"

#include <objidl.h>
#include <gdiplus.h>

#include <cstdlib>
#include <cstring>

namespace QuillUI {

namespace {

using namespace Gdiplus::DllExports;
using Gdiplus::Ok;

// The time dimension of animated images.
const GUID kFrameDimensionTime = {0x6AEDBD6D, 0x3FB5, 0x418A, {0x83, 0xA6, 0x7F, 0x45, 0x22, 0x9D, 0xC8, 0x72}};

// Images have one or two frame dimensions; more is a damaged file.
const UINT kMaxDimensions = 16;

}  // namespace

bool CGifFramesUI::Decode(const unsigned char* bytes, size_t size) {
    Reset();
    if (bytes == nullptr || size == 0) return false;
    HGLOBAL memory = GlobalAlloc(GMEM_FIXED, size);
    if (memory == nullptr) return false;
    // A fixed block's handle is its address.
    memcpy(memory, bytes, size);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream)) || stream == nullptr) {
        GlobalFree(memory);
        return false;
    }
    Gdiplus::GpImage* image = nullptr;
    if (GdipLoadImageFromStream(stream, &image) != Ok || image == nullptr) {
        if (image != nullptr) GdipDisposeImage(image);
        stream->Release();
        return false;
    }
    image_ = image;
    stream_ = stream;
    ReadFrameCount();
    ReadDelays();
    return true;
}

void CGifFramesUI::Reset() {
    if (image_ != nullptr) GdipDisposeImage(image_);
    image_ = nullptr;
    if (stream_ != nullptr) stream_->Release();
    stream_ = nullptr;
    free(delays_);
    delays_ = nullptr;
    delayCount_ = 0;
    frameCount_ = 0;
}

void CGifFramesUI::ReadFrameCount() {
    UINT dimensions = 0;
    if (GdipImageGetFrameDimensionsCount(image_, &dimensions) != Ok || dimensions == 0 || dimensions > kMaxDimensions)
        return;
    GUID list[kMaxDimensions];
    if (GdipImageGetFrameDimensionsList(image_, list, dimensions) != Ok) return;
    UINT frames = 0;
    if (GdipImageGetFrameCount(image_, &list[0], &frames) == Ok) frameCount_ = frames;
}

void CGifFramesUI::ReadDelays() {
    UINT size = 0;
    if (GdipGetPropertyItemSize(image_, PropertyTagFrameDelay, &size) != Ok || size < sizeof(Gdiplus::PropertyItem))
        return;
    unsigned char* block = static_cast<unsigned char*>(malloc(size));
    if (block == nullptr) return;
    Gdiplus::PropertyItem* item = reinterpret_cast<Gdiplus::PropertyItem*>(block);
    if (GdipGetPropertyItem(image_, PropertyTagFrameDelay, size, item) != Ok) {
        free(block);
        return;
    }
    // Only delays inside the block count, whatever length the item claims.
    const unsigned char* value = static_cast<const unsigned char*>(item->value);
    const unsigned char* end = block + size;
    size_t bytes = 0;
    if (value >= block && value <= end) bytes = static_cast<size_t>(end - value);
    if (bytes > item->length) bytes = item->length;
    delays_ = block;
    delayCount_ = static_cast<unsigned int>(bytes / sizeof(UINT32));
}

unsigned int CGifFramesUI::GetDelay(unsigned int frame) const {
    if (delays_ == nullptr || frame >= delayCount_) return 0;
    const Gdiplus::PropertyItem* item = reinterpret_cast<const Gdiplus::PropertyItem*>(delays_);
    UINT32 delay = 0;
    memcpy(&delay, static_cast<const unsigned char*>(item->value) + frame * sizeof(UINT32), sizeof(delay));
    return delay;
}

unsigned int CGifFramesUI::GetWidth() const {
    UINT width = 0;
    if (image_ != nullptr) GdipGetImageWidth(image_, &width);
    return width;
}

unsigned int CGifFramesUI::GetHeight() const {
    UINT height = 0;
    if (image_ != nullptr) GdipGetImageHeight(image_, &height);
    return height;
}

void CGifFramesUI::Draw(HDC dc, const RECT& rect, unsigned int frame) const {
    if (image_ == nullptr || dc == nullptr) return;
    // The frame is selected before it is drawn, so that what shows is the
    // frame whose delay the timer runs for.
    if (frame < frameCount_) GdipImageSelectActiveFrame(image_, &kFrameDimensionTime, frame);
    Gdiplus::GpGraphics* graphics = nullptr;
    if (GdipCreateFromHDC(dc, &graphics) != Ok || graphics == nullptr) return;
    GdipDrawImageRectI(graphics, image_, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    GdipDeleteGraphics(graphics);
}

}  // namespace QuillUI
