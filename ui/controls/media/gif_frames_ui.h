// A decoded animation: the GDI+ image, the stream it was loaded from and its
// frame delays, with one owner that frees all three together. GDI+ must be
// running for as long as an object holds an image.
#pragma once
#include "common/win.h"

#include <cstddef>

namespace Gdiplus {
class GpImage;
}
struct IStream;

namespace QuillUI {

class CGifFramesUI {
public:
    CGifFramesUI() = default;
    CGifFramesUI(const CGifFramesUI&) = delete;
    CGifFramesUI& operator=(const CGifFramesUI&) = delete;
    ~CGifFramesUI() { Reset(); }

    // Replaces what was held with the image the bytes decode to; false,
    // holding nothing, when they decode to none.
    bool Decode(const unsigned char* bytes, size_t size);
    void Reset();

    bool IsLoaded() const { return image_ != nullptr; }
    // Frames of the image's first frame dimension.
    unsigned int GetFrameCount() const { return frameCount_; }
    // Whether the image has a frame-delay block; stills and PNGs have none.
    bool HasDelays() const { return delays_ != nullptr; }
    // The frame's delay in hundredths of a second; 0 for a frame the block
    // has no entry for.
    unsigned int GetDelay(unsigned int frame) const;
    unsigned int GetWidth() const;
    unsigned int GetHeight() const;
    // Makes the frame the image's active one and draws it scaled into rect.
    void Draw(HDC dc, const RECT& rect, unsigned int frame) const;

private:
    void ReadFrameCount();
    void ReadDelays();

    Gdiplus::GpImage* image_ = nullptr;
    // GDI+ reads frames from the stream as they are selected: it lives as
    // long as the image.
    IStream* stream_ = nullptr;
    unsigned int frameCount_ = 0;
    // The whole property item, as GDI+ hands it out.
    unsigned char* delays_ = nullptr;
    unsigned int delayCount_ = 0;
};

}  // namespace QuillUI
