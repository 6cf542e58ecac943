#include "tests/unit/ui/support/render_test_support.h"
#include "ui/core/render/clip_region_guard.h"
#include "ui/core/render/renderer_ui.h"
#include "ui/core/manager/window_manager_ui.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <set>

using namespace QuillUI;

namespace {

TEST(DrawColor, OpaqueFillsTranslucentBlendsOnceAndClearDrawsNothing) {
    for (bool forced : {false, true}) {
        SCOPED_TRACE(forced ? "fallback" : "AlphaBlend");
        std::unique_ptr<ScopedForcedFallbacks> fallbacks(forced ? new ScopedForcedFallbacks : nullptr);
        DibSurface surface(10, 10);
        const RECT inner = {2, 2, 8, 8};
        CRendererUI::DrawColor(surface.Dc(), inner, 0x80FF0000);
        EXPECT_EQ(surface.Rgb(4, 4), 0xFF7F7Fu);
        EXPECT_EQ(surface.Rgb(1, 1), 0xFFFFFFu);
        EXPECT_EQ(surface.Rgb(8, 8), 0xFFFFFFu);

        CRendererUI::DrawColor(surface.Dc(), inner, 0xFF00FF00);
        EXPECT_EQ(surface.Rgb(2, 2), 0x00FF00u);
        EXPECT_EQ(surface.Rgb(7, 7), 0x00FF00u);
        CRendererUI::DrawColor(surface.Dc(), inner, 0x000000FF);
        EXPECT_EQ(surface.Rgb(5, 5), 0x00FF00u);
    }
}

// The distinct colours along the middle row or column.
std::set<uint32_t> Colours(const DibSurface& surface, int length, bool vertical) {
    std::set<uint32_t> found;
    for (int i = 0; i < length; ++i) found.insert(vertical ? surface.Rgb(2, i) : surface.Rgb(i, 2));
    return found;
}

TEST(DrawGradient, BandsWithoutGradientFillAndASmoothRampWithIt) {
    const RECT rect = {0, 0, 64, 64};
    {
        ScopedForcedFallbacks fallbacks;
        const struct {
            int steps;
            size_t bands;
        } cases[] = {{16, 16}, {3, 2}, {4, 4}, {200, 64}};
        for (const auto& c : cases) {
            for (bool vertical : {false, true}) {
                DibSurface surface(64, 64);
                CRendererUI::DrawGradient(surface.Dc(), rect, 0xFF000000, 0xFFFFFFFF, vertical, c.steps);
                EXPECT_EQ(Colours(surface, 64, vertical).size(), c.bands) << c.steps << " " << vertical;
                // The second colour at the right or bottom.
                EXPECT_EQ(vertical ? surface.Rgb(2, 63) : surface.Rgb(63, 2), 0xFFFFFFu);
            }
        }
        // 16 bands of 4 pixels over 64: the second band from the left is
        // (white x 2 + black x 14) / 16.
        DibSurface surface(64, 64);
        CRendererUI::DrawGradient(surface.Dc(), rect, 0xFF000000, 0xFFFFFFFF, false, 16);
        EXPECT_EQ(surface.Rgb(5, 2), 0x1F1F1Fu);
    }
    DibSurface surface(64, 64);
    CRendererUI::DrawGradient(surface.Dc(), rect, 0xFFFF0000, 0xFF0000FF, false, 16);
    EXPECT_GT(Colours(surface, 64, false).size(), 32u);
    EXPECT_TRUE(Near(0xFF0000, surface.Rgb(0, 2), 8));
    EXPECT_TRUE(Near(0x0000FF, surface.Rgb(63, 2), 8));
    // Red and blue channels swap over along the row, never green.
    EXPECT_EQ(surface.Rgb(32, 2) & 0x00FF00, 0u);
}

TEST(DrawGradient, TranslucentGradientsBlendWithTheMeanAlpha) {
    const RECT rect = {0, 0, 16, 16};
    for (bool forced : {false, true}) {
        SCOPED_TRACE(forced ? "fallback" : "msimg32");
        std::unique_ptr<ScopedForcedFallbacks> fallbacks(forced ? new ScopedForcedFallbacks : nullptr);
        DibSurface surface(16, 16);
        // (0x60 + 0xA0) / 2 = 0x80 of black over white.
        CRendererUI::DrawGradient(surface.Dc(), rect, 0x60000000, 0xA0000000, true, 16);
        EXPECT_TRUE(Near(0x7F7F7F, surface.Rgb(8, 8)));
        surface.Fill(0xFFFFFFFF);
        CRendererUI::DrawGradient(surface.Dc(), rect, 0x00000000, 0x01000000, true, 16);
        EXPECT_EQ(surface.Rgb(8, 8), 0xFFFFFFu);
    }
}

TEST(DrawLines, PensTakeTheMarkupColourInGdiByteOrder) {
    DibSurface surface(20, 20);
    CRendererUI::DrawLine(surface.Dc(), RECT{0, 5, 20, 5}, 1, 0xFFFF0000);
    EXPECT_EQ(surface.Rgb(10, 5), 0xFF0000u);
    EXPECT_EQ(surface.Rgb(10, 6), 0xFFFFFFu);

    surface.Fill(0xFFFFFFFF);
    CRendererUI::DrawRect(surface.Dc(), RECT{2, 2, 18, 18}, 2, 0xFF0000FF);
    // Inside the rectangle, two pixels wide, and hollow.
    for (int at : {2, 3, 16, 17}) EXPECT_EQ(surface.Rgb(at, 10), 0x0000FFu) << at;
    EXPECT_EQ(surface.Rgb(1, 10), 0xFFFFFFu);
    EXPECT_EQ(surface.Rgb(18, 10), 0xFFFFFFu);
    EXPECT_EQ(surface.Rgb(10, 10), 0xFFFFFFu);

    surface.Fill(0xFFFFFFFF);
    CRendererUI::DrawRoundRect(surface.Dc(), RECT{0, 0, 20, 20}, 1, 10, 10, 0xFF00FF00);
    EXPECT_EQ(surface.Rgb(10, 0), 0x00FF00u);
    EXPECT_EQ(surface.Rgb(0, 0), 0xFFFFFFu);  // the corner is rounded off
    EXPECT_EQ(surface.Rgb(10, 10), 0xFFFFFFu);
    // The pens were deselected before they were deleted.
    EXPECT_EQ(GetCurrentObject(surface.Dc(), OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetCurrentObject(surface.Dc(), OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
}

TEST(ClipRegionGuard, AnInnerGuardGivesBackTheOuterRoundRegion) {
    DibSurface surface(40, 40);
    HDC dc = surface.Dc();
    const RECT item = {0, 0, 39, 39};
    {
        CClipRegionGuard outer;
        CClipRegionGuard::GenerateRoundClip(dc, surface.Bounds(), item, 20, 20, outer);
        ScopedRegion round(CreateRectRgn(0, 0, 0, 0));
        ASSERT_EQ(GetClipRgn(dc, round.Get()), 1);
        {
            CClipRegionGuard inner;
            CClipRegionGuard::GenerateClip(dc, RECT{10, 10, 30, 30}, inner);
            CRendererUI::DrawColor(dc, surface.Bounds(), 0xFF00FF00);
            EXPECT_EQ(surface.Rgb(5, 20), 0xFFFFFFu);
            EXPECT_EQ(surface.Rgb(20, 20), 0x00FF00u);

            CClipRegionGuard::UseOldClipBegin(dc, inner);
            CRendererUI::DrawColor(dc, RECT{5, 20, 6, 21}, 0xFFFF0000);
            CClipRegionGuard::UseOldClipEnd(dc, inner);
            EXPECT_EQ(surface.Rgb(5, 20), 0xFF0000u);
            CRendererUI::DrawColor(dc, RECT{5, 21, 6, 22}, 0xFFFF0000);
            EXPECT_EQ(surface.Rgb(5, 21), 0xFFFFFFu);
        }
        ScopedRegion now(CreateRectRgn(0, 0, 0, 0));
        ASSERT_EQ(GetClipRgn(dc, now.Get()), 1);
        EXPECT_TRUE(EqualRgn(now.Get(), round.Get()));
        CRendererUI::DrawColor(dc, surface.Bounds(), 0xFF0000FF);
        EXPECT_EQ(surface.Rgb(0, 0), 0xFFFFFFu);  // outside the round corner
        EXPECT_EQ(surface.Rgb(20, 0), 0x0000FFu);
    }
    // No clip was set before the outer guard, and none is after it.
    ScopedRegion after(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetClipRgn(dc, after.Get()), 0);
}

TEST(AdjustColor, NeutralValuesKeepTheColourAndExtremesStayInRange) {
    const struct {
        DWORD color;
        short hue, saturation, lightness;
        DWORD expected;
    } cases[] = {
        {0x80123456, 180, 100, 100, 0x80123456},
        {0xFFFF0000, 300, 100, 100, 0xFF00FF00},   // +120 degrees
        {0x80FF0000, 60, 100, 100, 0x800000FF},    // -120 degrees wraps below 0
        {0xFFFF0000, 180 + 720, 100, 100, 0xFFFF0000},  // whole turns
        {0xFF804040, 180, 100, 0, 0xFF000000},
        {0xFF804040, 180, 100, 10000, 0xFFFFFFFF},  // lightness capped at 1
        {0xFF804040, 180, 0, 100, 0xFF606060},      // no saturation: grey of the same lightness
        {0xFF804040, 180, 10000, 100, 0xFFC00000},  // saturation capped at 1
    };
    for (const auto& c : cases)
        EXPECT_TRUE(Near(c.expected, CRendererUI::AdjustColor(c.color, c.hue, c.saturation, c.lightness)))
            << std::hex << c.color << std::dec << " " << c.hue << "," << c.saturation << "," << c.lightness;
    EXPECT_EQ(CRendererUI::AdjustColor(0x80FF0000, 60, 100, 100) >> 24, 0x80u);
}

TEST(AdjustImage, AdjustsThePixelsAsTheyLookAndRestoresTheOriginal) {
    ImageInfoUI* image = CRendererUI::LoadSkinImage(ResourceNameOrId(L"80FF0000"), L"*COLOR*", 0);
    ASSERT_NE(image, nullptr);
    uint32_t* pixel = reinterpret_cast<uint32_t*>(image->bits);
    image->sourceBits = static_cast<uint8_t*>(malloc(4));
    memcpy(image->sourceBits, image->bits, 4);
    CRendererUI::AdjustImage(true, image, 300, 100, 100);
    EXPECT_EQ(*pixel, 0x80800000u) << "only images registered for it are adjusted";
    image->useHsl = true;
    CRendererUI::AdjustImage(true, image, 300, 100, 100);
    EXPECT_TRUE(Near(0x80008000, *pixel)) << std::hex << *pixel;
    EXPECT_EQ(*pixel >> 24, 0x80u);
    CRendererUI::AdjustImage(true, image, 180, 100, 1000);
    EXPECT_TRUE(Near(0x80808080, *pixel)) << "no channel above the alpha: " << std::hex << *pixel;
    CRendererUI::AdjustImage(false, image, 300, 100, 100);
    EXPECT_EQ(*pixel, 0x80800000u);
    CRendererUI::FreeImage(image);
}

}  // namespace

namespace {

TEST(GenerateBitmap, CopiesTheRectangleWithTheOverlay) {
    CWindowManagerUI manager;
    EXPECT_EQ(CRendererUI::GenerateBitmap(nullptr, RECT{0, 0, 4, 4}), nullptr);
    EXPECT_EQ(CRendererUI::GenerateBitmap(&manager, RECT{4, 4, 4, 8}), nullptr);
    for (DWORD overlay : {0xFFFF0000u, 0x80FF0000u}) {
        ScopedBitmap bitmap(CRendererUI::GenerateBitmap(&manager, RECT{2, 3, 7, 9}, nullptr, overlay));
        ASSERT_TRUE(bitmap);
        BITMAP info = {};
        ASSERT_NE(GetObjectW(bitmap.Get(), sizeof(info), &info), 0);
        EXPECT_EQ(info.bmWidth, 5);
        EXPECT_EQ(std::abs(info.bmHeight), 6);
        EXPECT_EQ(info.bmBitsPixel, 32);
        GdiFlush();
        const uint32_t* pixels = static_cast<const uint32_t*>(info.bmBits);
        // Over an empty surface a translucent overlay keeps its premultiplied colour.
        const uint32_t expected = overlay == 0xFFFF0000u ? 0xFF0000u : 0x800000u;
        EXPECT_EQ(pixels[0] & 0xFFFFFF, expected) << std::hex << overlay;
        EXPECT_EQ(pixels[29] & 0xFFFFFF, expected) << std::hex << overlay;
    }
}

}  // namespace
