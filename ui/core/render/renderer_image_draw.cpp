#include "ui/core/render/alpha_blend_ui.h"
#include "ui/core/render/renderer_ui.h"
#include "ui/core/render/gdi_handles.h"

#include <algorithm>
#include <cstdlib>

namespace QuillUI {

namespace {

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

RECT Rect(LONG left, LONG top, LONG right, LONG bottom) {
    RECT r = {left, top, right, bottom};
    return r;
}

// Draws pieces of one selected bitmap onto the target.
class PieceDrawer {
public:
    PieceDrawer(HDC target, HDC source, const RECT& paint, bool blend, uint8_t fade)
        : target_(target), source_(source), paint_(paint), blend_(blend), fade_(fade) {}

    // A piece with no extent on either side is skipped: corners wider than
    // the source or the destination leave nothing sensible to draw.
    void Draw(const RECT& d, const RECT& s) const {
        if (Width(d) <= 0 || Height(d) <= 0 || Width(s) <= 0 || Height(s) <= 0) return;
        RECT visible;
        if (!IntersectRect(&visible, &d, &paint_)) return;
        if (blend_) {
            BlendPiece(target_, d, source_, s, fade_, true);
        } else if (Width(d) == Width(s) && Height(d) == Height(s)) {
            BitBlt(target_, visible.left, visible.top, Width(visible), Height(visible), source_,
                   s.left + visible.left - d.left, s.top + visible.top - d.top, SRCCOPY);
        } else {
            StretchBlt(target_, d.left, d.top, Width(d), Height(d), source_, s.left, s.top, Width(s), Height(s),
                       SRCCOPY);
        }
    }

    // Repeats the source tile over d; the last tile in each direction is cut
    // to what is left and takes as much less of the source.
    void Tile(const RECT& d, const RECT& s, bool xTiled, bool yTiled) const {
        const int tileWidth = Width(s), tileHeight = Height(s);
        const int stepX = xTiled ? tileWidth : Width(d);
        const int stepY = yTiled ? tileHeight : Height(d);
        if (stepX <= 0 || stepY <= 0) return;
        for (LONG top = d.top; top < d.bottom; top += stepY) {
            const LONG bottom = std::min<LONG>(top + stepY, d.bottom);
            const LONG sourceBottom = yTiled ? s.top + (bottom - top) : s.bottom;
            for (LONG left = d.left; left < d.right; left += stepX) {
                const LONG right = std::min<LONG>(left + stepX, d.right);
                const LONG sourceRight = xTiled ? s.left + (right - left) : s.right;
                Draw(Rect(left, top, right, bottom), Rect(s.left, s.top, sourceRight, sourceBottom));
            }
        }
    }

private:
    HDC target_;
    HDC source_;
    RECT paint_;
    bool blend_;
    uint8_t fade_;
};

}  // namespace

void CRendererUI::DrawImage(HDC dc, HBITMAP bitmap, const RECT& d, const RECT& paint, const RECT& source,
                            const RECT& c, bool alpha, uint8_t fade, bool hole, bool xTiled, bool yTiled) {
    if (dc == nullptr || bitmap == nullptr) return;
    BITMAP info = {};
    if (GetObjectW(bitmap, sizeof(info), &info) == 0) return;
    // Pieces outside the bitmap are refused by AlphaBlend and undefined for
    // StretchBlt, so the source is kept inside it.
    RECT s = source;
    s.left = std::max<LONG>(s.left, 0);
    s.top = std::max<LONG>(s.top, 0);
    s.right = std::min<LONG>(s.right, info.bmWidth);
    s.bottom = std::min<LONG>(s.bottom, std::abs(info.bmHeight));
    if (Width(s) <= 0 || Height(s) <= 0) return;

    ScopedMemoryDC memory(CreateCompatibleDC(dc));
    if (!memory) return;
    ScopedSelectObject select(memory.Get(), bitmap);
    const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    PieceDrawer drawer(dc, memory.Get(), paint, alpha || fade < 255, fade);

    if (!hole) {
        const RECT centre = Rect(d.left + c.left, d.top + c.top, d.right - c.right, d.bottom - c.bottom);
        const RECT sourceCentre = Rect(s.left + c.left, s.top + c.top, s.right - c.right, s.bottom - c.bottom);
        RECT visible;
        if (Width(sourceCentre) > 0 && Height(sourceCentre) > 0 && IntersectRect(&visible, &centre, &paint)) {
            if (xTiled || yTiled) drawer.Tile(centre, sourceCentre, xTiled, yTiled);
            else drawer.Draw(centre, sourceCentre);
        }
    }
    if (c.left > 0 && c.top > 0)
        drawer.Draw(Rect(d.left, d.top, d.left + c.left, d.top + c.top),
                    Rect(s.left, s.top, s.left + c.left, s.top + c.top));
    if (c.top > 0)
        drawer.Draw(Rect(d.left + c.left, d.top, d.right - c.right, d.top + c.top),
                    Rect(s.left + c.left, s.top, s.right - c.right, s.top + c.top));
    if (c.right > 0 && c.top > 0)
        drawer.Draw(Rect(d.right - c.right, d.top, d.right, d.top + c.top),
                    Rect(s.right - c.right, s.top, s.right, s.top + c.top));
    if (c.left > 0)
        drawer.Draw(Rect(d.left, d.top + c.top, d.left + c.left, d.bottom - c.bottom),
                    Rect(s.left, s.top + c.top, s.left + c.left, s.bottom - c.bottom));
    if (c.right > 0)
        drawer.Draw(Rect(d.right - c.right, d.top + c.top, d.right, d.bottom - c.bottom),
                    Rect(s.right - c.right, s.top + c.top, s.right, s.bottom - c.bottom));
    if (c.left > 0 && c.bottom > 0)
        drawer.Draw(Rect(d.left, d.bottom - c.bottom, d.left + c.left, d.bottom),
                    Rect(s.left, s.bottom - c.bottom, s.left + c.left, s.bottom));
    if (c.bottom > 0)
        drawer.Draw(Rect(d.left + c.left, d.bottom - c.bottom, d.right - c.right, d.bottom),
                    Rect(s.left + c.left, s.bottom - c.bottom, s.right - c.right, s.bottom));
    if (c.right > 0 && c.bottom > 0)
        drawer.Draw(Rect(d.right - c.right, d.bottom - c.bottom, d.right, d.bottom),
                    Rect(s.right - c.right, s.bottom - c.bottom, s.right, s.bottom));
    SetStretchBltMode(dc, oldMode);
}

}  // namespace QuillUI
