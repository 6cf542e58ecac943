#include "ui/core/render/clip_region_guard.h"

namespace QuillUI {

CClipRegionGuard::~CClipRegionGuard() {
    SelectOld();
    if (region_ != nullptr) DeleteObject(region_);
    if (oldRegion_ != nullptr) DeleteObject(oldRegion_);
}

// Keeps the DC's real clip region, not its bounding box: an outer round
// clip must come back whole when an inner guard ends.
void CClipRegionGuard::Save(HDC dc, const RECT& rect) {
    SelectOld();
    if (region_ != nullptr) DeleteObject(region_);
    if (oldRegion_ != nullptr) DeleteObject(oldRegion_);
    region_ = oldRegion_ = nullptr;
    dc_ = dc;
    rect_ = rect;
    oldRegion_ = CreateRectRgn(0, 0, 0, 0);
    if (oldRegion_ != nullptr && GetClipRgn(dc, oldRegion_) != 1) {
        DeleteObject(oldRegion_);
        oldRegion_ = nullptr;
    }
}

void CClipRegionGuard::SelectOld() {
    if (dc_ != nullptr) SelectClipRgn(dc_, oldRegion_);
}

void CClipRegionGuard::GenerateClip(HDC dc, const RECT& rect, CClipRegionGuard& guard) {
    guard.Save(dc, rect);
    HRGN region = CreateRectRgnIndirect(&rect);
    if (region == nullptr) return;
    ExtSelectClipRgn(dc, region, RGN_AND);
    // The clip now in force, so that UseOldClipEnd brings back the
    // intersection and not the rectangle alone.
    if (GetClipRgn(dc, region) != 1) {
        DeleteObject(region);
        region = nullptr;
    }
    guard.region_ = region;
}

void CClipRegionGuard::GenerateRoundClip(HDC dc, const RECT& paint, const RECT& item, int cornerWidth,
                                         int cornerHeight, CClipRegionGuard& guard) {
    guard.Save(dc, paint);
    HRGN region = CreateRectRgnIndirect(&paint);
    HRGN round = CreateRoundRectRgn(item.left, item.top, item.right + 1, item.bottom + 1, cornerWidth, cornerHeight);
    if (region != nullptr && round != nullptr) {
        CombineRgn(region, region, round, RGN_AND);
        ExtSelectClipRgn(dc, region, RGN_AND);
        if (GetClipRgn(dc, region) != 1) {
            DeleteObject(region);
            region = nullptr;
        }
    } else if (region != nullptr) {
        DeleteObject(region);
        region = nullptr;
    }
    if (round != nullptr) DeleteObject(round);
    guard.region_ = region;
}

void CClipRegionGuard::UseOldClipBegin(HDC dc, CClipRegionGuard& guard) { SelectClipRgn(dc, guard.oldRegion_); }

void CClipRegionGuard::UseOldClipEnd(HDC dc, CClipRegionGuard& guard) { SelectClipRgn(dc, guard.region_); }

}  // namespace QuillUI
