#include "ui/controls/media/gif_anim_ui.h"
#include "ui/core/markup/dialog_build_budget.h"

#include "tests/unit/common/log_capture.h"
#include "tests/unit/common/test_paths.h"
#include "tests/unit/ui/support/managed_window.h"
#include "tests/unit/ui/support/widget_test_support.h"
#include "ui/core/skin/skin_location.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace QuillUI;

namespace {

const uint32_t kRed = 0xFF0000, kLime = 0x00FF00, kBlue = 0x0000FF;

// The animations that the build made with ImageMagick.
std::wstring GifFixture(const wchar_t* name) { return TestExeFolder() + L"gif_fixtures\\" + name; }

std::string ReadGifFixture(const wchar_t* name) {
    std::string bytes;
    ReadWholeFile(GifFixture(name), bytes);
    return bytes;
}

// A 40 by 40 GifAnim inside a layout, so that attaching initialises it.
std::wstring GifMarkup(const std::wstring& attributes) {
    return L"<Window><VerticalLayout><GifAnim name=\"gif\" width=\"40\" height=\"40\" " + attributes +
           L"/></VerticalLayout></Window>";
}

// The colour at the middle of the control after a paint.
uint32_t Shown(WidgetWindow& window) {
    DibSurface surface(300, 200);
    window.Paint(surface);
    return surface.Rgb(20, 20);
}

void Tick(CGifAnimUI* gif, UINT timerId = CGifAnimUI::kTimerId) {
    ControlEventUI event = MakeEvent(EventTimer, 0, 0, timerId);
    gif->Event(event);
}

// When the frame timer reached the control.
struct TimerSteps {
    bool Record(void* argument) {
        const ControlEventUI* event = static_cast<const ControlEventUI*>(argument);
        if (event->kind == EventTimer) times.push_back(GetTickCount());
        return true;
    }
    std::vector<DWORD> times;
};

// The three-frame animation in a window, with an empty skin folder: it is
// found by its path.
class GifAnim : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(window.Build(GifMarkup(L"bkimage=\"" + GifFixture(L"anim.gif") + L"\"").c_str()), nullptr);
        gif = window.Find<CGifAnimUI>(L"gif");
    }

    ScopedSkinFolder skin{L"gif"};
    WidgetWindow window;
    CGifAnimUI* gif = nullptr;
};

}  // namespace

TEST_F(GifAnim, EachFramePlaysForItsOwnDelay) {
    ASSERT_TRUE(gif->HasImage());
    ASSERT_EQ(gif->GetFrameCount(), 3u);
    EXPECT_TRUE(gif->IsPlaying());
    // Delays of 10, 0 and 5 hundredths; a delay of 0, or none at all, plays
    // at 100 ms.
    EXPECT_EQ(gif->GetFrameInterval(0), 100u);
    EXPECT_EQ(gif->GetFrameInterval(1), 100u);
    EXPECT_EQ(gif->GetFrameInterval(2), 50u);
    EXPECT_EQ(gif->GetFrameInterval(3), 100u);

    // What shows is the frame whose delay runs.
    EXPECT_EQ(Shown(window), kRed);
    const uint32_t expected[] = {kLime, kBlue, kRed, kLime};
    for (uint32_t colour : expected) {
        Tick(gif);
        EXPECT_EQ(Shown(window), colour) << "after frame step to " << gif->GetCurrentFrame();
    }
    EXPECT_EQ(gif->GetCurrentFrame(), 1u);

    // Other timers and other events are not the animation's.
    Tick(gif, 7);
    window.Click(20, 20);
    EXPECT_EQ(gif->GetCurrentFrame(), 1u);
}

TEST_F(GifAnim, HidingReturnsToTheFirstFrameAndShowingPlaysFromThere) {
    Tick(gif);
    Tick(gif);
    ASSERT_EQ(Shown(window), kBlue);

    gif->SetVisible(false);
    EXPECT_FALSE(gif->IsPlaying());
    EXPECT_EQ(gif->GetCurrentFrame(), 0u);
    Tick(gif);
    EXPECT_EQ(gif->GetCurrentFrame(), 0u);

    gif->SetVisible(true);
    window.Layout();
    EXPECT_TRUE(gif->IsPlaying());
    EXPECT_EQ(Shown(window), kRed);
}

TEST_F(GifAnim, ANewFileOrANewInitialisationStartsAfresh) {
    Tick(gif);
    Tick(gif);

    // Initialised again, as a popup does with its items.
    gif->Init();
    EXPECT_TRUE(gif->IsPlaying());
    EXPECT_EQ(gif->GetCurrentFrame(), 0u);
    EXPECT_EQ(gif->GetFrameCount(), 3u);

    // A new name drops the animation; the next paint loads the new file.
    gif->SetBkImage(GifFixture(L"still.gif").c_str());
    EXPECT_FALSE(gif->HasImage());
    EXPECT_FALSE(gif->IsPlaying());
    EXPECT_EQ(Shown(window), kRed);
    EXPECT_TRUE(gif->HasImage());
    EXPECT_EQ(gif->GetFrameCount(), 1u);
    EXPECT_FALSE(gif->IsPlaying());

    gif->SetBkImage(GifFixture(L"anim.gif").c_str());
    Shown(window);
    EXPECT_EQ(gif->GetFrameCount(), 3u);
    EXPECT_TRUE(gif->IsPlaying());
}

TEST(GifAnimSettings, HoldsGdiplusForItsLifeAndMayWaitToBeStarted) {
    const int before = CGdiplusStarterUI::GetReferenceCount();
    {
        ScopedSkinFolder skin(L"gif_settings");
        WidgetWindow window;
        const std::wstring path = GifFixture(L"anim.gif");
        ASSERT_NE(window.Build(GifMarkup(L"autoplay=\"false\" bkimage=\"" + path + L"\"").c_str()), nullptr);
        CGifAnimUI* gif = window.Find<CGifAnimUI>(L"gif");
        EXPECT_EQ(before + 1, CGdiplusStarterUI::GetReferenceCount());
        EXPECT_STREQ(L"GifAnim", gif->GetClass());
        EXPECT_EQ(static_cast<void*>(gif), gif->GetInterface(L"GifAnim"));
        EXPECT_EQ(path, gif->GetBkImage().GetData());
        EXPECT_TRUE(gif->HasImage());
        EXPECT_FALSE(gif->IsPlaying());
        gif->StartAnimation();
        EXPECT_TRUE(gif->IsPlaying());
    }
    EXPECT_EQ(before, CGdiplusStarterUI::GetReferenceCount());
}

TEST(GifAnimSources, LoadsFromTheSkinOrAPathAndRefusesWhatItCannotPlay) {
    struct Case {
        const char* what;
        const wchar_t* zip;  // the skin zip, or null for the skin folder
        std::wstring file;
        bool loaded;
        bool playing;
        SIZE size;  // with "autosize"
    };
    const Case cases[] = {
        {"a file of the skin folder", nullptr, L"skin.gif", true, true, {4, 4}},
        {"a path outside the skin", nullptr, GifFixture(L"anim.gif"), true, true, {4, 4}},
        {"an item of the skin zip, in other letters", L"anim.zip", L"ANIM/spin.gif", true, true, {4, 4}},
        {"a zip item that the zip lacks", L"anim.zip", L"anim/none.gif", false, false, {0, 0}},
        {"a zip item that claims 3 GB", L"anim_huge_claim.zip", L"anim/Spin.GIF", false, false, {0, 0}},
        {"a still GIF", nullptr, GifFixture(L"still.gif"), true, false, {5, 3}},
        {"a PNG", nullptr, GifFixture(L"still.png"), true, false, {5, 3}},
        {"a truncated GIF", nullptr, GifFixture(L"truncated.gif"), false, false, {0, 0}},
        {"a missing file", nullptr, L"missing.gif", false, false, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScopedSkinFolder skin(L"gif_sources");
        skin.Write(L"skin.gif", ReadGifFixture(L"anim.gif"));
        if (c.zip != nullptr) {
            CSkinLocationUI::SetResourcePath(GifFixture(L"").c_str());
            CSkinLocationUI::SetResourceZipState(c.zip, false, nullptr);
        }
        WidgetWindow window;
        ASSERT_NE(window.Build(GifMarkup(L"autosize=\"true\" bkimage=\"" + c.file + L"\"").c_str()), nullptr);
        CGifAnimUI* gif = window.Find<CGifAnimUI>(L"gif");
        EXPECT_EQ(gif->HasImage(), c.loaded);
        EXPECT_EQ(gif->IsPlaying(), c.playing);
        EXPECT_EQ(gif->GetFixedWidth(), c.loaded ? c.size.cx : 40);
        EXPECT_EQ(gif->GetFixedHeight(), c.loaded ? c.size.cy : 40);
        // Hidden and shown again, and ticked, an image that cannot play stays still.
        gif->SetVisible(false);
        gif->SetVisible(true);
        Tick(gif);
        EXPECT_EQ(gif->IsPlaying(), c.playing);
        Shown(window);
        EXPECT_EQ(gif->HasImage(), c.loaded);
    }
}

TEST(GifAnimTimer, TheWindowsTimerStepsTheFrames) {
    TimerSteps steps;  // outlives the control that reports to it
    ScopedSkinFolder skin(L"gif_loop");
    ManagedWindow window(100, 100);
    CDialogBuilder builder;
    CControlUI* root =
        builder.Create(GifMarkup(L"bkimage=\"" + GifFixture(L"anim.gif") + L"\"").c_str(), nullptr, nullptr, &window.manager);
    ASSERT_NE(root, nullptr);
    ASSERT_TRUE(window.manager.AttachDialog(root));
    root->SetPos(RECT{0, 0, 100, 100});
    CGifAnimUI* gif = static_cast<CGifAnimUI*>(window.manager.FindControl(L"gif"));
    ASSERT_TRUE(gif->IsPlaying());

    // After the first step, frames of 100, 50, 100 and 100 ms. Each frame's
    // timer is armed by the step that shows it, so the time between two
    // steps is never shorter, however late the thread gets to them (less a
    // tick of the system clock); only the lower bounds are firm, and the
    // wait is generous for a loaded machine.
    gif->OnEvent.Add(CDelegate<TimerSteps, TimerSteps>(&steps, &TimerSteps::Record));
    const DWORD start = GetTickCount();
    while (steps.times.size() < 5 && GetTickCount() - start < 20000) PumpFor(2);
    ASSERT_EQ(steps.times.size(), 5u);
    const DWORD minimum[] = {100, 50, 100, 100};
    for (size_t i = 0; i + 1 < steps.times.size(); ++i)
        EXPECT_GE(steps.times[i + 1] - steps.times[i] + 16, minimum[i]) << "step " << i + 1;
}

TEST(GifAnimBudget, AnAnimationTheBuildCannotAffordIsNotPlayed) {
    ScopedSkinFolder skin{L"gif"};
    const std::wstring gif = L"<GifAnim name=\"gif\" width=\"40\" height=\"40\" bkimage=\"" +
                             GifFixture(L"wide.gif") + L"\" />";
    {
        // Its file and frame weigh some 260 units: a small window has room.
        WidgetWindow window;
        ASSERT_NE(window.Build((L"<Window><VerticalLayout>" + gif + L"</VerticalLayout></Window>").c_str()), nullptr);
        EXPECT_TRUE(window.Find<CGifAnimUI>(L"gif")->HasImage());
    }
    // A window whose build left a hundred units has not.
    std::wstring markup = L"<Window><VerticalLayout>";
    for (long i = 0; i < CDialogBuildBudget::kMaxUnits - 100; ++i) markup += L"<Control />";
    markup += gif + L"</VerticalLayout></Window>";
    LogCapture log;
    WidgetWindow window;
    ASSERT_NE(window.Build(markup.c_str()), nullptr);
    CGifAnimUI* control = window.Find<CGifAnimUI>(L"gif");
    ASSERT_NE(nullptr, control);
    EXPECT_FALSE(control->HasImage());
    EXPECT_FALSE(control->IsPlaying());
    EXPECT_TRUE(log.Has("not played"));
}
