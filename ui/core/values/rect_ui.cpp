#include "ui/core/values/rect_ui.h"

#include <cstdint>

namespace QuillUI {

namespace {

// Two's-complement wrap instead of signed overflow for values taken from
// skin markup.
LONG Wrap(int64_t value) { return static_cast<LONG>(static_cast<uint32_t>(value)); }

}  // namespace

int CRectUI::GetWidth() const { return Wrap(int64_t(right) - left); }

int CRectUI::GetHeight() const { return Wrap(int64_t(bottom) - top); }

void CRectUI::Join(const RECT& other) {
    if (other.left < left) left = other.left;
    if (other.top < top) top = other.top;
    if (other.right > right) right = other.right;
    if (other.bottom > bottom) bottom = other.bottom;
}

void CRectUI::ResetOffset() { Offset(-left, -top); }

void CRectUI::Offset(int dx, int dy) {
    left = Wrap(int64_t(left) + dx);
    right = Wrap(int64_t(right) + dx);
    top = Wrap(int64_t(top) + dy);
    bottom = Wrap(int64_t(bottom) + dy);
}

}  // namespace QuillUI
