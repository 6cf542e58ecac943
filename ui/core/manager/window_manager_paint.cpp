// Layout and painting of the paint window: double-buffered for normal
// windows, per-pixel alpha through UpdateLayeredWindow for layered ones.
#include "ui/core/control/control_ui.h"
#include "ui/core/render/dib_section_ui.h"
#include "ui/core/render/image_draw_info_ui.h"
#include "ui/core/render/platform_functions_ui.h"
#include "ui/core/render/renderer_ui.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/values/listed_walk.h"

#include <algorithm>
#include <cstring>

namespace QuillUI {

namespace {

const UINT kLayoutWalkFlags = FindVisible | FindUpdateTest | FindMeFirst;

// Collects the controls that asked for a layout; they are not searched
// further, as their own layout places their children.
CControlUI* UpdateProc(CControlUI* control, void*) {
    if (!control->IsUpdateNeeded()) return nullptr;
    CWindowManagerUI* manager = control->GetManager();
    if (manager != nullptr) manager->GetFoundControls()->Add(control);
    return control;
}

RECT Shrunk(const RECT& rect, const RECT& inset) {
    RECT out = {rect.left + inset.left, rect.top + inset.top, rect.right - inset.right, rect.bottom - inset.bottom};
    return out;
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info = {};
    if (bitmap == nullptr || ::GetObjectW(bitmap, sizeof(info), &info) == 0) return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

// Rows of a bottom-up surface of the given width and height, clipped to it.
void ClearRows(uint8_t* bytes, int width, int height, const RECT& area) {
    DWORD* pixels = reinterpret_cast<DWORD*>(bytes);
    RECT all = {0, 0, width, height};
    RECT clear = {};
    if (pixels == nullptr || !::IntersectRect(&clear, &all, &area)) return;
    ::GdiFlush();
    for (int y = clear.top; y < clear.bottom; ++y) {
        DWORD* row = pixels + static_cast<size_t>(height - 1 - y) * width;
        std::memset(row + clear.left, 0, static_cast<size_t>(clear.right - clear.left) * sizeof(DWORD));
    }
}

}  // namespace

void CWindowManagerUI::NeedUpdate() { updateNeeded_ = true; }

bool CWindowManagerUI::EnsureOffscreen(const RECT& client) {
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    const SIZE have = BitmapSize(offscreenBitmap_.Get());
    if (offscreenDC_ && offscreenBitmap_ && have.cx == width && have.cy == height) return true;
    ReleaseSurfaces();
    // A 0x0 client, or no memory: no surface, and nothing is written.
    if (width <= 0 || height <= 0) return false;
    offscreenDC_.Reset(::CreateCompatibleDC(paintDC_.Get()));
    if (layered_) {
        uint8_t* bits = nullptr;
        offscreenBitmap_.Reset(CreateDibSection32(paintDC_.Get(), width, height, false, &bits));
        offscreenPixels_ = bits;
        if (offscreenPixels_ == nullptr) offscreenBitmap_.Reset();
    } else {
        offscreenBitmap_.Reset(::CreateCompatibleBitmap(paintDC_.Get(), width, height));
    }
    if (!offscreenDC_ || !offscreenBitmap_) {
        ReleaseSurfaces();
        return false;
    }
    return true;
}

bool CWindowManagerUI::LayOut(const RECT& client) {
    if (!updateNeeded_) {
        if (layered_ && layeredChanged_) {
            const SIZE size = BitmapSize(offscreenBitmap_.Get());
            ClearRows(offscreenPixels_, size.cx, size.cy, client);
            root_->SetPos(Shrunk(client, layeredInset_), false);
        }
        return true;
    }
    updateNeeded_ = false;
    if (::IsRectEmpty(&client)) return true;
    if (root_->IsUpdateNeeded()) {
        ReleaseSurfaces();
        root_->SetPos(layered_ ? Shrunk(client, layeredInset_) : client, true);
    } else {
        // Only this pass's controls: earlier ones may be gone.
        foundControls_.Empty();
        root_->FindControl(UpdateProc, nullptr, kLayoutWalkFlags);
        ForEachStillListed(foundControls_, [](void* found) {
            CControlUI* control = static_cast<CControlUI*>(found);
            control->SetPos(control->IsFloat() ? control->GetRelativePos() : control->GetPos(), true);
            return true;
        });
    }
    if (firstLayout_) {
        firstLayout_ = false;
        LifeWatch watch(*this);
        SendNotify(root_, L"windowinit", 0, 0, false);
        // Its handler may end the window, or the tree.
        if (watch.IsGone()) return false;
        if (root_ == nullptr) return false;
        if (layered_ && layeredChanged_) {
            Invalidate();
            return false;
        }
    }
    return true;
}

void CWindowManagerUI::OnPaint() {
    if (root_ == nullptr) {
        // Painted inside BeginPaint, which validates: else WM_PAINT never stops.
        PAINTSTRUCT ps = {};
        HDC dc = ::BeginPaint(paintWindow_, &ps);
        if (dc != nullptr) CRendererUI::DrawColor(dc, ps.rcPaint, 0xFF000000);
        ::EndPaint(paintWindow_, &ps);
        return;
    }
    RECT client = {};
    ::GetClientRect(paintWindow_, &client);
    RECT paint = {};
    if (layered_) {
        // However large the window was made, its surfaces, their pixel
        // loops and what UpdateLayeredWindow shows stay within the bound.
        const SIZE bound = GetScreenBound();
        if (client.right > bound.cx) client.right = bound.cx;
        if (client.bottom > bound.cy) client.bottom = bound.cy;
        offscreenPaint_ = true;
        ::IntersectRect(&paint, &layeredUpdateRect_, &client);
        ::SetRectEmpty(&layeredUpdateRect_);
        if (::IsRectEmpty(&paint)) {
            ::ValidateRect(paintWindow_, nullptr);
            return;
        }
    } else if (!::GetUpdateRect(paintWindow_, &paint, FALSE)) {
        return;
    }
    LifeWatch watch(*this);
    if (focusNeeded_) SetNextTabControl(true);
    // The focus handlers may have ended the window or its tree; the next
    // pass paints what is left.
    if (watch.IsGone() || root_ == nullptr) return;
    painting_ = true;
    const bool painted = LayOut(client) && root_ != nullptr;
    if (watch.IsGone()) return;
    if (!painted) {
        painting_ = false;
        return;
    }
    const bool offscreen = offscreenPaint_ && EnsureOffscreen(client);
    if (layered_ && !offscreen) {
        ::ValidateRect(paintWindow_, nullptr);
        painting_ = false;
        return;
    }

    PAINTSTRUCT ps = {};
    HDC screen = ::BeginPaint(paintWindow_, &ps);
    // The layout may have invalidated more than was asked for; BeginPaint
    // validates all of it, so all of it is painted now.
    if (!layered_) {
        RECT pending = ps.rcPaint;
        ::IntersectRect(&pending, &pending, &client);
        ::UnionRect(&paint, &paint, &pending);
    }
    if (!offscreen) {
        const int saved = ::SaveDC(screen);
        root_->Paint(screen, paint, nullptr);
        ::RestoreDC(screen, saved);
    } else {
        ScopedSelectObject select(offscreenDC_.Get(), offscreenBitmap_.Get());
        const bool hasLayeredImage = layeredImage_ && !layeredImage_->drawString.IsEmpty();
        if (layered_ && !hasLayeredImage) ClearRows(offscreenPixels_, client.right, client.bottom, paint);
        const int saved = ::SaveDC(offscreenDC_.Get());
        root_->Paint(offscreenDC_.Get(), paint, nullptr);
        ::RestoreDC(offscreenDC_.Get(), saved);
        if (layered_) PrintLayeredNativeWindows(paint);
        CPointerArray postPaint(postPaintControls_);
        for (int i = 0; i < postPaint.GetSize(); ++i) {
            if (postPaintControls_.Find(postPaint[i]) < 0) continue;
            static_cast<CControlUI*>(postPaint[i])->DoPostPaint(offscreenDC_.Get(), paint);
        }
        if (!layered_) {
            ::BitBlt(screen, paint.left, paint.top, paint.right - paint.left, paint.bottom - paint.top,
                     offscreenDC_.Get(), paint.left, paint.top, SRCCOPY);
        } else {
            ComposeLayered(client, paint);
        }
    }
    if (showUpdateRect_ && !layered_) {
        ScopedSelectObject pen(screen, GetOutlinePen());
        ScopedSelectObject brush(screen, ::GetStockObject(HOLLOW_BRUSH));
        ::Rectangle(screen, paint.left, paint.top, paint.right, paint.bottom);
    }
    ::EndPaint(paintWindow_, &ps);
    painting_ = false;
    layeredChanged_ = false;
    if (updateNeeded_) Invalidate();
}

void CWindowManagerUI::PrintLayeredNativeWindows(const RECT& paint) {
    for (int i = 0; i < nativeWindows_.GetSize();) {
        HWND child = static_cast<HWND>(nativeWindows_[i]);
        if (!::IsWindow(child)) {
            nativeWindows_.Remove(i);
            nativeWindowControls_.Remove(i);
            continue;
        }
        ++i;
        const RECT at = GetChildWindowRect(child);
        RECT meet = {};
        if (!::IsWindowVisible(child) || !::IntersectRect(&meet, &at, &paint)) continue;
        // A child larger than the bound shows no more than the surface.
        const SIZE bound = GetScreenBound();
        const int width = std::min<LONG>(at.right - at.left, bound.cx);
        const int height = std::min<LONG>(at.bottom - at.top, bound.cy);
        uint8_t* bits = nullptr;
        ScopedBitmap bitmap(CreateDibSection32(offscreenDC_.Get(), width, height, true, &bits));
        ScopedMemoryDC dc(::CreateCompatibleDC(offscreenDC_.Get()));
        if (!bitmap || bits == nullptr || !dc) continue;
        ScopedSelectObject select(dc.Get(), bitmap.Get());
        ::SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc.Get()),
                       PRF_OWNED | PRF_CHILDREN | PRF_CLIENT | PRF_CHECKVISIBLE);
        ::GdiFlush();
        // GDI leaves alpha 0, which the layered window would show as a hole.
        DWORD* pixels = reinterpret_cast<DWORD*>(bits);
        for (size_t p = 0, n = static_cast<size_t>(width) * height; p < n; ++p) {
            if (pixels[p] != 0) pixels[p] |= 0xFF000000;
        }
        ::BitBlt(offscreenDC_.Get(), at.left, at.top, width, height, dc.Get(), 0, 0, SRCCOPY);
    }
}

void CWindowManagerUI::ComposeLayered(const RECT& client, const RECT& paint) {
    const int width = client.right, height = client.bottom;
    const bool hasLayeredImage = layeredImage_ && !layeredImage_->drawString.IsEmpty();
    if (hasLayeredImage) {
        if (!backgroundBitmap_ || layeredChanged_) {
            if (!backgroundBitmap_) {
                uint8_t* bits = nullptr;
                backgroundDC_.Reset(::CreateCompatibleDC(paintDC_.Get()));
                backgroundBitmap_.Reset(CreateDibSection32(paintDC_.Get(), width, height, false, &bits));
                backgroundPixels_ = bits;
            }
            if (backgroundDC_ && backgroundBitmap_ && backgroundPixels_ != nullptr) {
                ScopedSelectObject select(backgroundDC_.Get(), backgroundBitmap_.Get());
                ClearRows(backgroundPixels_, width, height, client);
                CRendererUI::DrawImageString(backgroundDC_.Get(), this, client, Shrunk(client, layeredInset_),
                                             *layeredImage_);
                ::GdiFlush();
            }
        }
        if (backgroundPixels_ != nullptr && layeredImage_->image != nullptr && layeredImage_->image->hasAlpha) {
            const DWORD* background = reinterpret_cast<const DWORD*>(backgroundPixels_);
            DWORD* painted = reinterpret_cast<DWORD*>(offscreenPixels_);
            RECT all = {0, 0, width, height};
            RECT area = {};
            ::IntersectRect(&area, &all, &paint);
            ::GdiFlush();
            for (int y = area.top; y < area.bottom; ++y) {
                const size_t row = static_cast<size_t>(height - 1 - y) * width;
                for (int x = area.left; x < area.right; ++x) {
                    BYTE* pixel = reinterpret_cast<BYTE*>(painted + row + x);
                    const DWORD alpha = background[row + x] >> 24;
                    for (int c = 0; c < 3; ++c) pixel[c] = static_cast<BYTE>(pixel[c] * alpha / 255);
                }
            }
        }
    }
    UpdateLayeredWindowFunction update = GetPlatformFunctions().updateLayeredWindow;
    if (update == nullptr) return;
    RECT window = {};
    ::GetWindowRect(paintWindow_, &window);
    POINT position = {window.left, window.top};
    SIZE size = {width, height};
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, opacity_, AC_SRC_ALPHA};
    update(paintWindow_, paintDC_.Get(), &position, &size, offscreenDC_.Get(), &source, 0, &blend, ULW_ALPHA);
}

}  // namespace QuillUI
