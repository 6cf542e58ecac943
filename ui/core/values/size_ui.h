// A size, also used as a point, with the layout of a Windows SIZE.
#pragma once
#include "common/win.h"

namespace QuillUI {

class CSizeUI : public SIZE {
public:
    CSizeUI() { cx = cy = 0; }
    CSizeUI(int width, int height) {
        cx = width;
        cy = height;
    }
    CSizeUI(const SIZE& source) {  // NOLINT: converts implicitly like a SIZE
        cx = source.cx;
        cy = source.cy;
    }
};

}  // namespace QuillUI
