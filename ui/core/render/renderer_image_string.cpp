#include "ui/core/render/renderer_ui.h"
#include "ui/core/manager/window_manager_ui.h"

#include <algorithm>

namespace QuillUI {

bool CRendererUI::DrawImageString(HDC dc, CWindowManagerUI* manager, const RECT& item, const RECT& paint,
                                  ImageDrawInfoUI& info) {
    if (info.image == nullptr) {
        // Controls built before they have a manager keep the description and
        // load it at their first paint with one.
        if (manager == nullptr) return false;
        ImageDescriptionUI request;
        ParseImageDescription(info.drawString.GetData(), info, request);
        info.image = manager->GetImageEx(request.name.GetData(),
                                         request.resourceType.IsEmpty() ? nullptr : request.resourceType.GetData(),
                                         request.mask, request.useHsl);
        if (info.image == nullptr) return false;
        if (info.source.left == 0 && info.source.top == 0 && info.source.right == 0 && info.source.bottom == 0)
            info.source = CRectUI(0, 0, info.image->width, info.image->height);
    }
    ImageInfoUI* image = info.image;
    info.source.right = std::min<LONG>(info.source.right, image->width);
    info.source.bottom = std::min<LONG>(info.source.bottom, image->height);
    if (dc == nullptr) return true;

    RECT dest = item;
    const CRectUI& d = info.dest;
    if (d.left != 0 || d.top != 0 || d.right != 0 || d.bottom != 0) {
        dest.left = item.left + d.left;
        dest.top = item.top + d.top;
        dest.right = std::min<LONG>(item.left + d.right, item.right);
        dest.bottom = std::min<LONG>(item.top + d.bottom, item.bottom);
    }
    RECT visible;
    if (!IntersectRect(&visible, &dest, &item) || !IntersectRect(&visible, &visible, &paint)) return true;
    DrawImage(dc, image->bitmap, dest, paint, info.source, info.corner, image->hasAlpha, info.fade, info.hole,
              info.xTiled, info.yTiled);
    return true;
}

}  // namespace QuillUI
