// Owners of GDI objects and device contexts: each closes its handle in one
// place, so no font, bitmap, pen, region or DC outlives its owner.
#pragma once
#include "common/unique_handle.h"
#include "common/win.h"

#include <utility>

namespace QuillUI {

template <typename T>
struct GdiObjectTraits {  // fonts, bitmaps, pens, brushes, regions
    using Handle = T;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { DeleteObject(h); }
};
struct MemoryDCTraits {  // DCs from CreateCompatibleDC
    using Handle = HDC;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { DeleteDC(h); }
};

using ScopedFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using ScopedBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using ScopedPen = UniqueHandle<GdiObjectTraits<HPEN>>;
using ScopedBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using ScopedRegion = UniqueHandle<GdiObjectTraits<HRGN>>;
using ScopedMemoryDC = UniqueHandle<MemoryDCTraits>;

// A window's DC from GetDC, given back with ReleaseDC.
class ScopedWindowDC {
public:
    ScopedWindowDC() = default;
    explicit ScopedWindowDC(HWND window) : window_(window), dc_(window != nullptr ? ::GetDC(window) : nullptr) {}
    ~ScopedWindowDC() { Reset(); }
    ScopedWindowDC(const ScopedWindowDC&) = delete;
    ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
    ScopedWindowDC(ScopedWindowDC&& other) noexcept
        : window_(std::exchange(other.window_, nullptr)), dc_(std::exchange(other.dc_, nullptr)) {}
    ScopedWindowDC& operator=(ScopedWindowDC&& other) noexcept {
        if (this != &other) {
            Reset();
            window_ = std::exchange(other.window_, nullptr);
            dc_ = std::exchange(other.dc_, nullptr);
        }
        return *this;
    }

    HDC Get() const { return dc_; }
    HWND GetWindow() const { return window_; }
    void Reset() {
        if (dc_ != nullptr) ::ReleaseDC(window_, dc_);
        dc_ = nullptr;
        window_ = nullptr;
    }

private:
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
};

// Selects an object into a DC for one scope and puts the previous one back,
// so that the object can be deleted afterwards.
class ScopedSelectObject {
public:
    ScopedSelectObject(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(dc != nullptr && object != nullptr ? ::SelectObject(dc, object) : nullptr) {}
    ~ScopedSelectObject() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
    }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace QuillUI
