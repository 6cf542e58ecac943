#include "ui/core/control/control_ui.h"
#include "ui/core/render/gdi_handles.h"
#include "ui/core/render/renderer_ui.h"
#include "ui/core/manager/window_manager_ui.h"

namespace QuillUI {

HBITMAP CRendererUI::GenerateBitmap(CWindowManagerUI* manager, const RECT& rect, CControlUI* stopControl,
                                    DWORD overlay) {
    if (manager == nullptr) return nullptr;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0 || rect.left < 0 || rect.top < 0) return nullptr;
    HDC windowDc = manager->GetPaintDC();
    ScopedMemoryDC sourceDc(CreateCompatibleDC(windowDc));
    if (!sourceDc) return nullptr;

    HBITMAP source = nullptr;
    ScopedBitmap painted;
    if (stopControl == nullptr && !manager->IsLayered() && manager->GetOffscreenBitmap() != nullptr) {
        source = manager->GetOffscreenBitmap();
    } else {
        // A surface as large as the rectangle's far corner, for the control
        // tree to paint into up to the stop control; it stays empty while
        // the window has no tree.
        uint8_t* bits = nullptr;
        painted.Reset(CreateARGB32Bitmap(windowDc, rect.right, rect.bottom, &bits));
        source = painted.Get();
    }
    if (source == nullptr) return nullptr;
    ScopedSelectObject selectSource(sourceDc.Get(), source);
    CControlUI* root = manager->GetRoot();
    if (painted && root != nullptr) root->Paint(sourceDc.Get(), rect, stopControl);

    ScopedMemoryDC targetDc(CreateCompatibleDC(windowDc));
    uint8_t* bits = nullptr;
    ScopedBitmap result(CreateARGB32Bitmap(windowDc, width, height, &bits));
    if (!targetDc || !result || bits == nullptr) return nullptr;
    {
        ScopedSelectObject selectTarget(targetDc.Get(), result.Get());
        BitBlt(targetDc.Get(), 0, 0, width, height, sourceDc.Get(), rect.left, rect.top, SRCCOPY);
        if ((overlay >> 24) != 0) {
            const RECT all = {0, 0, width, height};
            DrawColor(targetDc.Get(), all, overlay);
        }
    }
    return result.Release();
}

}  // namespace QuillUI
