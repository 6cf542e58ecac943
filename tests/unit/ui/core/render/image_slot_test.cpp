#include "tests/unit/ui/support/render_test_support.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/render/image_slot_ui.h"
#include "ui/core/render/renderer_ui.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace QuillUI;

namespace {

class ImageSlot : public ::testing::Test {
protected:
    void SetUp() override {
        skin_.reset(new ScopedSkinFolder(L"slot"));
        skin_->Write(L"dot.png", EncodePng(1, 1, {0xFFFF0000}));
        manager_.reset(new CWindowManagerUI);
    }
    void TearDown() override {
        manager_.reset();
        skin_.reset();
    }

    // Parses and loads, as a control's first draw does.
    bool Load(CImageSlotUI& slot) {
        ImageDrawInfoUI* info = slot.Get();
        const RECT none = {0, 0, 0, 0};
        return info != nullptr && CRendererUI::DrawImageString(nullptr, manager_.get(), none, none, *info);
    }

    std::unique_ptr<ScopedSkinFolder> skin_;
    std::unique_ptr<CWindowManagerUI> manager_;
};

TEST_F(ImageSlot, UnsetHoldsNoRecordAndAnEmptyDescriptionFreesIt) {
    static_assert(sizeof(CImageSlotUI) == sizeof(void*), "an unset slot is one pointer");
    CImageSlotUI slot;
    EXPECT_EQ(slot.Get(), nullptr);
    EXPECT_TRUE(slot.IsEmpty());
    EXPECT_TRUE(slot.GetDescription().IsEmpty());
    EXPECT_EQ(slot.GetImage(), nullptr);
    slot.SetFade(10);
    slot.SetDest(CRectUI(1, 2, 3, 4));
    EXPECT_EQ(slot.Get(), nullptr);
    // Empty and null descriptions change the look (a repaint) but keep no
    // record.
    EXPECT_TRUE(slot.Change(L""));
    EXPECT_TRUE(slot.Change(nullptr));
    EXPECT_EQ(slot.Get(), nullptr);

    EXPECT_TRUE(slot.Change(L"file='dot.png' fade='80'"));
    ASSERT_NE(slot.Get(), nullptr);
    EXPECT_FALSE(slot.IsEmpty());
    EXPECT_EQ(std::wstring(slot.GetDescription().GetData()), L"file='dot.png' fade='80'");
    ASSERT_TRUE(Load(slot));
    EXPECT_EQ(slot.GetImage(), manager_->GetImage(L"dot.png"));
    EXPECT_EQ(slot.Get()->fade, 80);
    slot.SetFade(200);
    EXPECT_EQ(slot.Get()->fade, 200);
    EXPECT_TRUE(slot.Change(L""));
    EXPECT_EQ(slot.Get(), nullptr);
}

TEST_F(ImageSlot, OnlyTheSameDescriptionOfALoadedImageChangesNothing) {
    CImageSlotUI slot;
    ASSERT_TRUE(slot.Change(L"dot.png"));
    // Not loaded yet: the same description is taken again.
    EXPECT_TRUE(slot.Change(L"dot.png"));
    ASSERT_TRUE(Load(slot));
    EXPECT_FALSE(slot.Change(L"dot.png"));
    EXPECT_NE(slot.GetImage(), nullptr);
    // Another description drops the loaded image and keeps its own text,
    // even when it is read from the record's own description.
    EXPECT_TRUE(slot.Change(L"file='dot.png'"));
    EXPECT_EQ(slot.GetImage(), nullptr);
    EXPECT_TRUE(slot.Change(slot.Get()->drawString.GetData()));
    EXPECT_EQ(std::wstring(slot.GetDescription().GetData()), L"file='dot.png'");
    // A description whose image is missing loads nothing and draws nothing.
    EXPECT_TRUE(slot.Change(L"missing.png"));
    EXPECT_FALSE(Load(slot));
    EXPECT_TRUE(slot.Change(L"missing.png"));
}

}  // namespace
