// A rectangle with the layout of a Windows RECT, so it goes wherever a RECT
// is expected.
#pragma once
#include "common/win.h"

namespace QuillUI {

class CRectUI : public RECT {
public:
    CRectUI() { left = top = right = bottom = 0; }
    CRectUI(const RECT& source) {  // NOLINT: converts implicitly like a RECT
        left = source.left;
        top = source.top;
        right = source.right;
        bottom = source.bottom;
    }
    CRectUI(int l, int t, int r, int b) {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }

    int GetWidth() const;
    int GetHeight() const;
    // The union of both rectangles' extents; empty rectangles are not skipped.
    void Join(const RECT& other);
    // Moves the rectangle so that its top-left corner is 0,0.
    void ResetOffset();
    void Offset(int dx, int dy);
};

}  // namespace QuillUI
