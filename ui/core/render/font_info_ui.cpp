#include "ui/core/render/font_info_ui.h"

namespace QuillUI {

void FontInfoUI::EnsureMetrics(HDC dc) {
    if (HasMetrics() || dc == nullptr || !font) return;
    ScopedSelectObject select(dc, font.Get());
    ::GetTextMetricsW(dc, &metrics);
}

}  // namespace QuillUI
