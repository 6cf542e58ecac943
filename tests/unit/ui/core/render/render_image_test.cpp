#include "tests/unit/ui/support/render_test_support.h"
#include "ui/core/render/renderer_ui.h"
#include "ui/core/skin/skin_location.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace QuillUI;

namespace {

struct ImageDeleter {
    void operator()(ImageInfoUI* image) const { CRendererUI::FreeImage(image); }
};
using ImagePtr = std::unique_ptr<ImageInfoUI, ImageDeleter>;

ImagePtr Load(const wchar_t* name, const wchar_t* type = nullptr, DWORD mask = 0) {
    return ImagePtr(CRendererUI::LoadSkinImage(ResourceNameOrId(name), type, mask));
}

uint32_t ImagePixel(const ImageInfoUI& image, int x, int y) {
    return reinterpret_cast<const uint32_t*>(image.bits)[y * image.width + x];
}

// Which path draws: StretchBlt/BitBlt for opaque images, AlphaBlend, or our
// replacement of it.
enum class DrawPath { kCopy, kAlphaBlend, kFallback };
const DrawPath kAllPaths[] = {DrawPath::kCopy, DrawPath::kAlphaBlend, DrawPath::kFallback};
const char* PathName(DrawPath path) {
    return path == DrawPath::kCopy ? "copy" : path == DrawPath::kAlphaBlend ? "AlphaBlend" : "fallback";
}

void DrawWith(DrawPath path, HDC dc, const ImageInfoUI& image, const RECT& dest, const RECT& source,
              const RECT& corners, bool hole = false, bool xTiled = false, bool yTiled = false) {
    std::unique_ptr<ScopedForcedFallbacks> forced;
    if (path == DrawPath::kFallback) forced.reset(new ScopedForcedFallbacks);
    const RECT paint = {-1000, -1000, 1000, 1000};
    CRendererUI::DrawImage(dc, image.bitmap, dest, paint, source, corners, path != DrawPath::kCopy, 255, hole, xTiled,
                           yTiled);
}

// Every pixel tells where it came from: red = 10 x column, green = 10 x row.
uint32_t SourceColor(int x, int y) { return 0xFF000000u | (x * 10u) << 16 | (y * 10u) << 8; }

std::vector<uint32_t> CoordinateImage(int width, int height) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(SourceColor(x, y));
    return pixels;
}

TEST(SkinImage, DecodedPixelsArePremultipliedBgraAndTheMaskClearsExactMatches) {
    ScopedSkinFolder skin(L"pixels");
    skin.Write(L"alpha.png", EncodePng(2, 2, {0xFFFF0000, 0x80FF0000, 0xFFFF00FF, 0x00000000}));
    ImagePtr image = Load(L"alpha.png");
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 2);
    EXPECT_EQ(image->height, 2);
    EXPECT_TRUE(image->hasAlpha);
    EXPECT_FALSE(image->useHsl);
    EXPECT_EQ(image->sourceBits, nullptr);
    EXPECT_EQ(ImagePixel(*image, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(ImagePixel(*image, 1, 0), 0x80800000u);
    EXPECT_EQ(ImagePixel(*image, 0, 1), 0xFFFF00FFu);
    EXPECT_EQ(ImagePixel(*image, 1, 1), 0u);

    skin.Write(L"opaque.png", EncodePng(2, 1, {0xFFFF0000, 0xFFFF00FF}));
    const struct {
        DWORD mask;
        uint32_t magenta;
        bool hasAlpha;
    } cases[] = {
        {0, 0xFFFF00FF, false},
        {0xFFFF00FF, 0, true},
        {0x00FF00FF, 0xFFFF00FF, false},  // six digits: alpha 0, matches nothing opaque
    };
    for (const auto& c : cases) {
        ImagePtr masked = Load(L"opaque.png", nullptr, c.mask);
        ASSERT_TRUE(masked);
        EXPECT_EQ(ImagePixel(*masked, 0, 0), 0xFFFF0000u) << std::hex << c.mask;
        EXPECT_EQ(ImagePixel(*masked, 1, 0), c.magenta) << std::hex << c.mask;
        EXPECT_EQ(masked->hasAlpha, c.hasAlpha) << std::hex << c.mask;
    }
}

TEST(SkinImage, SourcesAndFailures) {
    ScopedSkinFolder other(L"elsewhere");
    const std::wstring absolute = other.Write(L"away.png", EncodePng(1, 1, {0xFF123456}));
    ScopedSkinFolder skin(L"sources");
    skin.Write(L"quad.png", EncodePng(2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}));
    skin.Write(L"garbage.png", "this is no image at all");
    skin.Write(L"empty.png", "");

    const struct {
        const wchar_t* name;
        const wchar_t* type;
        int width;          // 0: no image
        uint32_t first;     // the first pixel
        bool hasAlpha;
    } cases[] = {
        {L"quad.png", nullptr, 2, 0xFFFF0000, false},
        {L"FF00FF00", L"*COLOR*", 1, 0xFF00FF00, false},
        {L"#80FF0000", L"*COLOR*", 1, 0x80800000, true},  // premultiplied like decoded pixels
        {absolute.c_str(), nullptr, 1, 0xFF123456, false},  // not in the skin: tried as a path of its own
        {L"missing.png", nullptr, 0, 0, false},
        {L"garbage.png", nullptr, 0, 0, false},
        {L"empty.png", nullptr, 0, 0, false},
        // No such resource, and no such file in the current folder.
        {L"quad.png", L"NOSUCHTYPE", 0, 0, false},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        const auto& c = cases[i];
        ImagePtr image = Load(c.name, c.type);
        if (c.width == 0) {
            EXPECT_FALSE(image) << i;
            continue;
        }
        ASSERT_TRUE(image) << i;
        EXPECT_EQ(image->width, c.width) << i;
        EXPECT_EQ(ImagePixel(*image, 0, 0), c.first) << i;
        EXPECT_EQ(image->hasAlpha, c.hasAlpha) << i;
    }
    EXPECT_FALSE(CRendererUI::LoadSkinImage(ResourceNameOrId(static_cast<WORD>(7)), nullptr, 0));
}

TEST(SkinImage, FromTheSkinZipAndNotBeyondTheSizeCap) {
    ScopedSkinFolder skin(L"zip");
    CSkinLocationUI::SetResourcePath(FixturePath(L"").c_str());
    CSkinLocationUI::SetResourceZipState(L"images.zip", false, nullptr);
    ImagePtr image = Load(L"images/quad.png");  // letters of either case
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 2);
    EXPECT_EQ(ImagePixel(*image, 1, 1), 0xFFFFFFFFu);
    EXPECT_FALSE(Load(L"images/none.png"));

    // The directory claims almost 4 GiB for a 75-byte item: refused before
    // anything is allocated.
    CSkinLocationUI::SetResourceZipState(L"images_huge_claim.zip", false, nullptr);
    EXPECT_FALSE(Load(L"Images/Quad.PNG"));
}

class ImageDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        skin_.reset(new ScopedSkinFolder(L"draw"));
        skin_->Write(L"coords.png", EncodePng(20, 20, CoordinateImage(20, 20)));
        skin_->Write(L"small.png", EncodePng(6, 6, CoordinateImage(6, 6)));
        skin_->Write(L"row.png", EncodePng(4, 1, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF000000}));
        coords_ = Load(L"coords.png");
        small_ = Load(L"small.png");
        row_ = Load(L"row.png");
        ASSERT_TRUE(coords_ && small_ && row_);
    }

    std::unique_ptr<ScopedSkinFolder> skin_;
    ImagePtr coords_, small_, row_;
};

TEST_F(ImageDrawing, NineGridCopiesCornersOneToOneAndStretchesEdges) {
    for (DrawPath path : kAllPaths) {
        SCOPED_TRACE(PathName(path));
        DibSurface surface(40, 40);
        DrawWith(path, surface.Dc(), *coords_, RECT{0, 0, 40, 40}, RECT{0, 0, 20, 20}, RECT{4, 4, 4, 4});
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                EXPECT_EQ(surface.Rgb(x, y), SourceColor(x, y) & 0xFFFFFF) << x << "," << y;
                EXPECT_EQ(surface.Rgb(36 + x, y), SourceColor(16 + x, y) & 0xFFFFFF) << x << "," << y;
                EXPECT_EQ(surface.Rgb(x, 36 + y), SourceColor(x, 16 + y) & 0xFFFFFF) << x << "," << y;
                EXPECT_EQ(surface.Rgb(36 + x, 36 + y), SourceColor(16 + x, 16 + y) & 0xFFFFFF) << x << "," << y;
            }
        }
        // The top edge keeps its rows and spreads source columns 4-15 over 4-35.
        EXPECT_EQ(surface.Rgb(4, 2), SourceColor(4, 2) & 0xFFFFFF);
        EXPECT_EQ(surface.Rgb(35, 2), SourceColor(15, 2) & 0xFFFFFF);
        EXPECT_EQ(surface.Rgb(20, 2) & 0xFF00, SourceColor(0, 2) & 0xFF00);
        // The left edge keeps its columns.
        EXPECT_EQ(surface.Rgb(1, 35), SourceColor(1, 15) & 0xFFFFFF);
        // The centre is stretched from 12x12 to 32x32.
        EXPECT_EQ(surface.Rgb(4, 4), SourceColor(4, 4) & 0xFFFFFF);
        EXPECT_EQ(surface.Rgb(35, 35), SourceColor(15, 15) & 0xFFFFFF);

        surface.Fill(0xFFFFFFFF);
        DrawWith(path, surface.Dc(), *coords_, RECT{0, 0, 40, 40}, RECT{0, 0, 20, 20}, RECT{4, 4, 4, 4}, true);
        EXPECT_EQ(surface.Rgb(20, 20), 0xFFFFFFu) << "a hole leaves the centre";
        EXPECT_EQ(surface.Rgb(0, 0), SourceColor(0, 0) & 0xFFFFFF);
    }
}

TEST_F(ImageDrawing, TilesRepeatAndTheLastOneIsCutNotSqueezed) {
    const uint32_t r = 0xFF0000, g = 0x00FF00, b = 0x0000FF, k = 0;
    const uint32_t expectedRow[10] = {r, g, b, k, r, g, b, k, r, g};
    for (DrawPath path : kAllPaths) {
        SCOPED_TRACE(PathName(path));
        DibSurface surface(10, 3);
        DrawWith(path, surface.Dc(), *row_, RECT{0, 0, 10, 3}, RECT{0, 0, 4, 1}, RECT{0, 0, 0, 0}, false, true);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 10; ++x) EXPECT_EQ(surface.Rgb(x, y), expectedRow[x]) << x << "," << y;

        // Both directions: 2x3 tiles of a 3x2 source over 7x5.
        DibSurface both(7, 5);
        DrawWith(path, both.Dc(), *coords_, RECT{0, 0, 7, 5}, RECT{0, 0, 3, 2}, RECT{0, 0, 0, 0}, false, true, true);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                EXPECT_EQ(both.Rgb(x, y), SourceColor(x % 3, y % 2) & 0xFFFFFF) << x << "," << y;
    }
}

TEST_F(ImageDrawing, SourceOutsideTheBitmapAndOversizedCornersDrawNothingWrong) {
    for (DrawPath path : kAllPaths) {
        SCOPED_TRACE(PathName(path));
        // Left and top before the bitmap start at 0; right and bottom after it end there.
        DibSurface surface(10, 10);
        DrawWith(path, surface.Dc(), *coords_, RECT{0, 0, 10, 10}, RECT{-5, -5, 10, 10}, RECT{0, 0, 0, 0});
        EXPECT_EQ(surface.Rgb(0, 0), SourceColor(0, 0) & 0xFFFFFF);
        EXPECT_EQ(surface.Rgb(9, 9), SourceColor(9, 9) & 0xFFFFFF);
        surface.Fill(0xFFFFFFFF);
        DrawWith(path, surface.Dc(), *small_, RECT{0, 0, 10, 10}, RECT{0, 0, 50, 50}, RECT{0, 0, 0, 0});
        EXPECT_EQ(surface.Rgb(9, 9), SourceColor(5, 5) & 0xFFFFFF);

        // Corners wider than the 6x6 source: no centre and no edges, where a
        // negative extent would mirror the picture.
        DibSurface wide(40, 40);
        DrawWith(path, wide.Dc(), *small_, RECT{0, 0, 40, 40}, RECT{0, 0, 6, 6}, RECT{4, 4, 4, 4});
        EXPECT_EQ(wide.Rgb(20, 20), 0xFFFFFFu);
        EXPECT_EQ(wide.Rgb(20, 1), 0xFFFFFFu);
        EXPECT_EQ(wide.Rgb(0, 0), SourceColor(0, 0) & 0xFFFFFF);
        EXPECT_EQ(wide.Rgb(39, 39), SourceColor(5, 5) & 0xFFFFFF);

        // Corners wider than the destination: the corners alone, unscaled.
        DibSurface narrow(6, 6);
        DrawWith(path, narrow.Dc(), *coords_, RECT{0, 0, 6, 6}, RECT{0, 0, 20, 20}, RECT{4, 4, 4, 4});
        EXPECT_EQ(narrow.Rgb(0, 0), SourceColor(0, 0) & 0xFFFFFF);
        EXPECT_EQ(narrow.Rgb(5, 5), SourceColor(19, 19) & 0xFFFFFF);
    }
}

TEST_F(ImageDrawing, FadeAndTranslucentColourImagesBlend) {
    ImagePtr red = Load(L"FFFF0000", L"*COLOR*");
    ImagePtr halfRed = Load(L"80FF0000", L"*COLOR*");
    ImagePtr green = Load(L"FF00FF00", L"*COLOR*");
    ASSERT_TRUE(red && halfRed && green);
    const RECT all = {0, 0, 8, 8}, one = {0, 0, 1, 1}, none = {0, 0, 0, 0};
    for (bool forced : {false, true}) {
        SCOPED_TRACE(forced ? "fallback" : "AlphaBlend");
        std::unique_ptr<ScopedForcedFallbacks> fallbacks(forced ? new ScopedForcedFallbacks : nullptr);
        DibSurface surface(8, 8);
        CRendererUI::DrawImage(surface.Dc(), green->bitmap, all, all, one, none, green->hasAlpha);
        EXPECT_EQ(surface.Rgb(0, 0), 0x00FF00u);
        EXPECT_EQ(surface.Rgb(7, 7), 0x00FF00u);

        surface.Fill(0xFFFFFFFF);
        CRendererUI::DrawImage(surface.Dc(), red->bitmap, all, all, one, none, red->hasAlpha, 128);
        EXPECT_TRUE(Near(0xFF7F7F, surface.Rgb(3, 3)));

        surface.Fill(0xFFFFFFFF);
        CRendererUI::DrawImage(surface.Dc(), halfRed->bitmap, all, all, one, none, halfRed->hasAlpha);
        EXPECT_TRUE(Near(0xFF7F7F, surface.Rgb(3, 3)));

        // Only what meets the paint rectangle is drawn.
        surface.Fill(0xFFFFFFFF);
        const RECT left = {0, 0, 4, 8};
        CRendererUI::DrawImage(surface.Dc(), row_->bitmap, all, left, RECT{0, 0, 4, 1}, RECT{0, 0, 0, 0}, false, 255,
                               false, true);
        EXPECT_EQ(surface.Rgb(1, 0), 0x00FF00u);
        EXPECT_EQ(surface.Rgb(6, 0), 0xFFFFFFu);
    }
}

}  // namespace
