#include "ui/controls/text/text_extent_ui.h"

#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/render/font_info_ui.h"
#include "ui/core/render/renderer_ui.h"

namespace QuillUI {

namespace {

const int kMeasureExtent = 9999;

}  // namespace

SIZE MeasureTextExtent(CWindowManagerUI& manager, const TextExtentRequestUI& request, SIZE start, SIZE available) {
    const UINT style = (request.style & ~static_cast<UINT>(DT_CENTER | DT_RIGHT)) | DT_CALCRECT;
    const RECT& pad = request.padding;
    // The measuring functions leave the rectangle alone for an empty text.
    auto measure = [&](RECT& rc) {
        if (request.text == nullptr || *request.text == L'\0') {
            rc.right = rc.left;
            rc.bottom = rc.top;
            return;
        }
        HDC dc = manager.GetPaintDC();
        if (request.html) {
            int links = 0;
            CRendererUI::DrawHtmlText(dc, &manager, rc, request.text, 0, nullptr, nullptr, links, request.font, style);
        } else {
            CRendererUI::DrawText(dc, &manager, rc, request.text, 0, request.font, style);
        }
    };
    SIZE size = start;
    if ((request.style & DT_SINGLELINE) == 0) {
        if (size.cx == 0) size.cx = available.cx;
        RECT rc = {pad.left, 0, size.cx - pad.right, kMeasureExtent};
        measure(rc);
        size.cy = rc.bottom - rc.top + pad.top + pad.bottom;
        return size;
    }
    if (size.cy == 0) {
        const FontInfoUI* font = manager.GetFontInfo(request.font);
        size.cy = (font != nullptr ? font->metrics.tmHeight : 0) + 8 + pad.top + pad.bottom;
    }
    if (size.cx == 0) {
        RECT rc = {0, 0, kMeasureExtent, size.cy};
        measure(rc);
        size.cx = rc.right - rc.left + pad.left + pad.right;
    }
    return size;
}

}  // namespace QuillUI
