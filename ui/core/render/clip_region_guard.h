// A clip region set on a device context for a scope: the region in force
// before is saved and selected again when the guard ends.
#pragma once
#include "common/win.h"

namespace QuillUI {

class CClipRegionGuard {
public:
    CClipRegionGuard() = default;
    CClipRegionGuard(const CClipRegionGuard&) = delete;
    CClipRegionGuard& operator=(const CClipRegionGuard&) = delete;
    ~CClipRegionGuard();

    // The DC's clip is intersected with rect.
    static void GenerateClip(HDC dc, const RECT& rect, CClipRegionGuard& guard);
    // As GenerateClip with paint, further intersected with a round rectangle
    // over item (right and bottom included) with the given corner ellipse.
    static void GenerateRoundClip(HDC dc, const RECT& paint, const RECT& item, int cornerWidth, int cornerHeight,
                                  CClipRegionGuard& guard);
    // Selects the saved clip for drawing outside the guard, and the guard's again.
    static void UseOldClipBegin(HDC dc, CClipRegionGuard& guard);
    static void UseOldClipEnd(HDC dc, CClipRegionGuard& guard);

private:
    void Save(HDC dc, const RECT& rect);
    void SelectOld();

    RECT rect_ = {0, 0, 0, 0};
    HDC dc_ = nullptr;
    HRGN region_ = nullptr;    // the guard's clip
    HRGN oldRegion_ = nullptr; // the clip before; null when the DC had none
};

}  // namespace QuillUI
