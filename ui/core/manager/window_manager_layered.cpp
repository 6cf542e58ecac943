// Opacity, layered windows and invalidation of the paint window.
#include "ui/core/manager/window_manager_ui.h"

#include "ui/core/render/image_draw_info_ui.h"
#include "ui/core/render/platform_functions_ui.h"
#include "ui/core/render/renderer_ui.h"

namespace QuillUI {

namespace {

const UINT_PTR kLayeredTimerId = 0x2000;
const UINT kLayeredTimerInterval = 10;

}  // namespace

void CWindowManagerUI::SetOpacity(BYTE opacity) {
    opacity_ = opacity;
    if (paintWindow_ == nullptr) return;
    LONG_PTR exStyle = ::GetWindowLongPtrW(paintWindow_, GWL_EXSTYLE);
    if ((exStyle & WS_EX_LAYERED) == 0) ::SetWindowLongPtrW(paintWindow_, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    SetLayeredWindowAttributesFunction setAttributes = GetPlatformFunctions().setLayeredWindowAttributes;
    if (setAttributes != nullptr) setAttributes(paintWindow_, 0, opacity, LWA_ALPHA);
    // Constant opacity replaces per-pixel layering and its repaint timer.
    if (layered_) ::KillTimer(paintWindow_, kLayeredTimerId);
    layered_ = false;
    Invalidate();
}

void CWindowManagerUI::SetLayered(bool layered) {
    if (paintWindow_ == nullptr || layered == layered_) return;
    if ((::GetWindowLongPtrW(paintWindow_, GWL_STYLE) & WS_CHILD) != 0) return;
    if (GetPlatformFunctions().updateLayeredWindow == nullptr) return;
    layered_ = layered;
    LONG_PTR exStyle = ::GetWindowLongPtrW(paintWindow_, GWL_EXSTYLE);
    if (layered) {
        ::SetWindowLongPtrW(paintWindow_, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
        ::SetTimer(paintWindow_, kLayeredTimerId, kLayeredTimerInterval, nullptr);
    } else {
        ::SetWindowLongPtrW(paintWindow_, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
        ::KillTimer(paintWindow_, kLayeredTimerId);
    }
    // The surfaces differ between layered and normal windows: lay out and
    // make them anew.
    ReleaseSurfaces();
    updateNeeded_ = true;
    Invalidate();
}

void CWindowManagerUI::SetLayeredOpacity(int opacity) {
    opacity_ = static_cast<BYTE>(opacity < 0 ? 0 : (opacity > 255 ? 255 : opacity));
    layeredChanged_ = true;
    Invalidate();
}

void CWindowManagerUI::SetLayeredImage(const wchar_t* description) {
    if (!layeredImage_) layeredImage_.reset(new (std::nothrow) ImageDrawInfoUI);
    if (!layeredImage_) return;
    layeredImage_->Clear();
    layeredImage_->drawString = description;
    const RECT none = {0, 0, 0, 0};
    CRendererUI::DrawImageString(nullptr, this, none, none, *layeredImage_);
    layeredChanged_ = true;
    Invalidate();
}

void CWindowManagerUI::Invalidate() {
    if (paintWindow_ == nullptr) return;
    RECT client = {};
    ::GetClientRect(paintWindow_, &client);
    Invalidate(client);
}

void CWindowManagerUI::Invalidate(RECT rect) {
    if (rect.left < 0) rect.left = 0;
    if (rect.top < 0) rect.top = 0;
    if (rect.right < rect.left) rect.right = rect.left;
    if (rect.bottom < rect.top) rect.bottom = rect.top;
    // An empty rectangle adds nothing to what is invalid, yet would cost a
    // trip into the system: controls not laid out yet ask for it often.
    if (::IsRectEmpty(&rect)) return;
    if (layered_) {
        RECT joined = {};
        ::UnionRect(&joined, &layeredUpdateRect_, &rect);
        layeredUpdateRect_ = joined;
    } else if (paintWindow_ != nullptr) {
        // Each call costs a trip into the system (under Wine, to its
        // server): a rectangle inside the last one, which no paint has
        // validated since, is invalid already. Many children of a container
        // that change at once invalidate the same container over and over.
        RECT inside = {};
        if (::IntersectRect(&inside, &rect, &lastInvalidated_) && ::EqualRect(&inside, &rect)) return;
        ::InvalidateRect(paintWindow_, &rect, FALSE);
        lastInvalidated_ = rect;
    }
}

}  // namespace QuillUI
