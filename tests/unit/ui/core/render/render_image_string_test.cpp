#include "tests/unit/ui/support/render_test_support.h"
#include "ui/core/render/renderer_ui.h"
#include "ui/core/manager/window_manager_ui.h"

#include <gtest/gtest.h>

#include <memory>

using namespace QuillUI;

namespace {

const uint32_t kGrey = 0xFF808080;

class ImageString : public ::testing::Test {
protected:
    void SetUp() override {
        skin_.reset(new ScopedSkinFolder(L"string"));
        skin_->Write(L"quad.png", EncodePng(2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}));
        manager_.reset(new CWindowManagerUI);
    }
    void TearDown() override {
        manager_.reset();
        skin_.reset();
    }

    bool Draw(const wchar_t* description, const RECT& item, const RECT& paint, ImageDrawInfoUI& info) {
        info.drawString = description;
        return CRendererUI::DrawImageString(surface_.Dc(), manager_.get(), item, paint, info);
    }

    std::unique_ptr<ScopedSkinFolder> skin_;
    std::unique_ptr<CWindowManagerUI> manager_;
    DibSurface surface_{40, 40, kGrey};
    const RECT all_ = {0, 0, 40, 40};
};

TEST_F(ImageString, APlainNameIsStretchedOverTheItem) {
    ImageDrawInfoUI info;
    ASSERT_TRUE(Draw(L"quad.png", RECT{10, 10, 30, 30}, all_, info));
    EXPECT_EQ(surface_.Rgb(10, 10), 0xFF0000u);
    EXPECT_EQ(surface_.Rgb(29, 10), 0x00FF00u);
    EXPECT_EQ(surface_.Rgb(10, 29), 0x0000FFu);
    EXPECT_EQ(surface_.Rgb(29, 29), 0xFFFFFFu);
    EXPECT_EQ(surface_.Rgb(9, 9), kGrey & 0xFFFFFF);
    EXPECT_EQ(surface_.Rgb(30, 30), kGrey & 0xFFFFFF);
    // The source became the whole image, and the record keeps the image.
    EXPECT_EQ(info.source.right, 2);
    EXPECT_EQ(info.source.bottom, 2);
    EXPECT_EQ(info.image, manager_->GetImage(L"quad.png"));
}

TEST_F(ImageString, DestIsRelativeToTheItemAndClampedToIt) {
    ImageDrawInfoUI info;
    ASSERT_TRUE(Draw(L"file='quad.png' source='0,0,1,1' dest='5,5,100,100'", RECT{10, 10, 30, 30}, all_, info));
    EXPECT_EQ(surface_.Rgb(14, 14), kGrey & 0xFFFFFF);
    EXPECT_EQ(surface_.Rgb(15, 15), 0xFF0000u);
    EXPECT_EQ(surface_.Rgb(29, 29), 0xFF0000u);
    EXPECT_EQ(surface_.Rgb(30, 30), kGrey & 0xFFFFFF);
}

TEST_F(ImageString, ColourImagesAndTranslucentOnes) {
    ImageDrawInfoUI green, half;
    ASSERT_TRUE(Draw(L"color='FF00FF00'", RECT{0, 0, 20, 40}, all_, green));
    EXPECT_EQ(surface_.Rgb(0, 0), 0x00FF00u);
    EXPECT_EQ(surface_.Rgb(19, 39), 0x00FF00u);
    surface_.Fill(0xFFFFFFFF);
    ASSERT_TRUE(Draw(L"color='#80FF0000'", all_, all_, half));
    EXPECT_EQ(surface_.Rgb(20, 20), 0xFF7F7Fu);
}

TEST_F(ImageString, WithoutManagerOrImageNothingIsLoadedAndLaterCallsRetry) {
    ImageDrawInfoUI info;
    info.drawString = L"quad.png";
    EXPECT_FALSE(CRendererUI::DrawImageString(surface_.Dc(), nullptr, all_, all_, info));
    EXPECT_EQ(info.image, nullptr);
    EXPECT_EQ(surface_.Rgb(0, 0), kGrey & 0xFFFFFF);

    // A null DC parses and loads only.
    EXPECT_TRUE(CRendererUI::DrawImageString(nullptr, manager_.get(), all_, all_, info));
    EXPECT_NE(info.image, nullptr);
    EXPECT_EQ(surface_.Rgb(0, 0), kGrey & 0xFFFFFF);

    // A paint rectangle away from the item draws nothing.
    EXPECT_TRUE(CRendererUI::DrawImageString(surface_.Dc(), manager_.get(), RECT{0, 0, 10, 10},
                                             RECT{20, 20, 40, 40}, info));
    EXPECT_EQ(surface_.Rgb(0, 0), kGrey & 0xFFFFFF);

    ImageDrawInfoUI missing;
    EXPECT_FALSE(Draw(L"file='nothere.png' corner='1,1,1,1'", all_, all_, missing));
    EXPECT_EQ(missing.image, nullptr);
    EXPECT_EQ(manager_->GetImage(L"nothere.png"), nullptr);
}

}  // namespace
