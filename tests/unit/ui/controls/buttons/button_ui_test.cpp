#include "ui/controls/buttons/button_ui.h"
#include "ui/controls/buttons/check_box_ui.h"
#include "ui/controls/containers/container_ui.h"
#include "ui/controls/buttons/control_state_ui.h"
#include "ui/controls/buttons/option_ui.h"
#include "ui/core/render/font_info_ui.h"
#include "ui/core/values/pointer_array.h"
#include "tests/unit/ui/support/widget_test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace QuillUI;

namespace {

// Two buttons side by side: "b" over 0-100, "other" over 100-200.
const wchar_t kTwoButtons[] =
    L"<Window><HorizontalLayout><Button name=\"b\" width=\"100\" text=\"Go\" />"
    L"<Button name=\"other\" width=\"100\" /><Control /></HorizontalLayout></Window>";

struct ClickCase {
    const char* what;
    std::function<void(WidgetWindow&, CButtonUI*)> act;
    const wchar_t* heard;
};

const UINT kPressBits = StatePushed | StateCaptured;

CButtonUI* g_clicked = nullptr;
UINT g_stateAtClick = 0;

void RememberState(NotifyMessageUI& message) {
    if (message.type == L"click" && g_clicked != nullptr) g_stateAtClick = g_clicked->GetState();
}

}  // namespace

TEST(ButtonInput, ClickSequences) {
    const ClickCase cases[] = {
        {"down and up inside", [](WidgetWindow& w, CButtonUI*) { w.Click(50, 25); }, L"click:b"},
        {"down inside, up outside",
         [](WidgetWindow& w, CButtonUI*) {
             w.Move(50, 25);
             w.Down(50, 25);
             w.Move(150, 25);
             w.Up(150, 25);
         },
         L""},
        {"out and back in before the release",
         [](WidgetWindow& w, CButtonUI*) {
             w.Down(50, 25);
             w.Move(250, 25);
             w.Move(60, 25);
             w.Up(60, 25);
         },
         L"click:b"},
        {"down on another button, up on this one",
         [](WidgetWindow& w, CButtonUI*) {
             w.Down(150, 25);
             w.Up(50, 25);
         },
         L""},
        {"space and enter on the focused button",
         [](WidgetWindow& w, CButtonUI* b) {
             b->SetFocus();
             w.Key(VK_SPACE);
             w.Key(VK_RETURN);
             w.Key('A');
         },
         L"click:b click:b"},
        {"keys on a disabled button",
         [](WidgetWindow& w, CButtonUI* b) {
             b->SetFocus();
             b->SetEnabled(false);
             w.Key(VK_SPACE);
             w.Key(VK_RETURN);
         },
         L""},
        {"a click on a disabled button",
         [](WidgetWindow& w, CButtonUI* b) {
             b->SetEnabled(false);
             w.Click(50, 25);
         },
         L""},
        {"no keys while the keyboard is off",
         [](WidgetWindow& w, CButtonUI* b) {
             b->SetFocus();
             b->SetKeyboardEnabled(false);
             w.Key(VK_SPACE);
         },
         L""},
    };
    for (const ClickCase& c : cases) {
        WidgetWindow window(300, 50);
        ASSERT_NE(nullptr, window.Build(kTwoButtons)) << c.what;
        auto* button = window.Find<CButtonUI>(L"b");
        c.act(window, button);
        EXPECT_EQ(std::wstring(c.heard), window.notifier.Summary()) << c.what;
        EXPECT_EQ(0u, button->GetState() & kPressBits) << c.what;
    }
}

TEST(ButtonInput, PressAndCaptureAreClearedBeforeTheClickIsSent) {
    WidgetWindow window(300, 50);
    ASSERT_NE(nullptr, window.Build(kTwoButtons));
    g_clicked = window.Find<CButtonUI>(L"b");
    g_stateAtClick = kPressBits;
    window.notifier.onNotify = &RememberState;
    window.Down(50, 25);
    EXPECT_EQ(kPressBits, g_clicked->GetState() & kPressBits);
    window.Up(50, 25);
    EXPECT_EQ(0u, g_stateAtClick & kPressBits);
    g_clicked = nullptr;
}

TEST(ButtonInput, AUrlStartsItsProgramInsteadOfClicking) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring program =
        std::wstring(temp) + L"quill_button_url_" + std::to_wstring(GetCurrentProcessId()) + L".exe";
    const std::wstring record = program + L".record";
    DeleteFileW(record.c_str());
    ASSERT_TRUE(CopyFileW((TestExeFolder() + L"..\\..\\doubles\\stand_in\\qtest_stand_in.exe").c_str(),
                          program.c_str(), FALSE));
    WidgetWindow window(300, 50);
    const std::wstring markup = L"<Window><HorizontalLayout><Button name=\"b\" width=\"100\" URL=\"" + program +
                                L"\" /><Control /></HorizontalLayout></Window>";
    ASSERT_NE(nullptr, window.Build(markup.c_str()));
    EXPECT_EQ(program, window.Find<CButtonUI>(L"b")->GetUrl().GetData());
    window.Click(50, 25);
    EXPECT_EQ(L"", window.notifier.Summary());
    bool started = false;
    for (int i = 0; i < 500 && !started; ++i) {
        started = GetFileAttributesW(record.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (!started) Sleep(20);
    }
    EXPECT_TRUE(started);
    Sleep(100);
    DeleteFileW(record.c_str());
    DeleteFileW(program.c_str());
}

TEST(ButtonInput, FlagsAndTheHandCursor) {
    WidgetWindow window(300, 50);
    ASSERT_NE(nullptr, window.Build(kTwoButtons));
    auto* button = window.Find<CButtonUI>(L"b");
    EXPECT_EQ(static_cast<UINT>(ControlFlagTabStop | ControlFlagSetCursor), button->GetControlFlags());
    ControlEventUI cursor = MakeEvent(EventSetCursor, 50, 25);
    button->Event(cursor);
    EXPECT_EQ(LoadCursorW(nullptr, IDC_HAND), GetCursor());
    button->SetKeyboardEnabled(false);
    EXPECT_EQ(static_cast<UINT>(ControlFlagSetCursor), button->GetControlFlags());
    button->SetEnabled(false);
    EXPECT_EQ(0u, button->GetControlFlags());
}

TEST(ButtonEstimate, TheFontHeightPlusEightUnlessAHeightIsFixed) {
    WidgetWindow window(300, 100);
    ASSERT_NE(nullptr, window.Build(L"<Window><VerticalLayout><Button name=\"b\" width=\"70\" text=\"a long text\" />"
                                    L"<Button name=\"tall\" height=\"33\" /></VerticalLayout></Window>"));
    const int height = window.manager.GetFontInfo(-1)->metrics.tmHeight;
    ASSERT_GT(height, 0);
    const SIZE size = window.Find<CButtonUI>(L"b")->EstimateSize(SIZE{300, 100});
    EXPECT_EQ(70, size.cx);
    EXPECT_EQ(height + 8, size.cy);
    EXPECT_EQ(33, window.Find<CButtonUI>(L"tall")->EstimateSize(SIZE{300, 100}).cy);
    CButtonUI alone;
    alone.SetFixedWidth(20);
    EXPECT_EQ(0, alone.EstimateSize(SIZE{300, 100}).cy);
}

TEST(ButtonFade, DeltaFiftyOneCompletesInFiveSteps) {
    WidgetWindow window(300, 50);
    ASSERT_NE(nullptr, window.Build(L"<Window><HorizontalLayout><Button name=\"b\" width=\"100\" fadedelta=\"51\" />"
                                    L"<Control /></HorizontalLayout></Window>"));
    auto* button = window.Find<CButtonUI>(L"b");
    EXPECT_EQ(255, button->GetFadeAlpha());
    window.Move(50, 25);
    ASSERT_NE(0u, button->GetState() & StateHot);
    ControlEventUI step = MakeEvent(EventTimer, 0, 0, CButtonUI::kFadeTimerId);
    const int towardHot[] = {204, 153, 102, 51, 0};
    for (int expected : towardHot) {
        button->Event(step);
        EXPECT_EQ(expected, button->GetFadeAlpha());
    }
    window.Move(250, 25);
    ASSERT_EQ(0u, button->GetState() & StateHot);
    for (int expected : {51, 102, 153, 204, 255}) {
        button->Event(step);
        EXPECT_EQ(expected, button->GetFadeAlpha());
    }
    // Other timers are not the fade's.
    ControlEventUI other = MakeEvent(EventTimer, 0, 0, 12);
    button->Event(other);
    EXPECT_EQ(255, button->GetFadeAlpha());
}

TEST(ButtonPaint, TheFiveStatusImageShowsTheSliceOfEachState) {
    ScopedSkinFolder skin(L"five_status");
    // Five slices of 100 x 20: normal, pushed, hot, focused, disabled.
    const uint32_t slices[5] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF808080};
    std::vector<uint32_t> pixels(500 * 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 500; ++x) pixels[y * 500 + x] = slices[x / 100];
    skin.Write(L"five.png", EncodePng(500, 20, pixels));

    WidgetWindow window(300, 100);
    ASSERT_NE(nullptr, window.Build(L"<Window><Container><Button name=\"b\" float=\"true\" "
                                    L"fivestatusimage=\"five.png\" /></Container></Window>"));
    auto* button = window.Find<CButtonUI>(L"b");
    EXPECT_EQ(100, button->GetFixedWidth());
    EXPECT_EQ(20, button->GetFixedHeight());
    EXPECT_EQ(100, button->GetWidth());

    DibSurface surface(300, 100);
    auto shown = [&]() {
        window.Paint(surface);
        return surface.Rgb(50, 10);
    };
    EXPECT_EQ(0xFF0000u, shown()) << "normal";
    window.Move(50, 10);
    EXPECT_EQ(0x0000FFu, shown()) << "hot";
    window.Down(50, 10);
    EXPECT_EQ(0x00FF00u, shown()) << "pushed";
    window.Up(50, 10);
    EXPECT_EQ(0x0000FFu, shown()) << "hot outranks focused";
    window.Move(250, 80);
    EXPECT_TRUE(button->IsFocused());
    EXPECT_EQ(0xFFFF00u, shown()) << "focused";
    button->SetEnabled(false);
    EXPECT_EQ(0x808080u, shown()) << "disabled";
    EXPECT_EQ(0xFFFFFFu, surface.Rgb(150, 10));
}

TEST(ButtonPaint, StateImagesFallBackToTheNormalOneAndTheHotColourCoversTheHotImage) {
    WidgetWindow window(300, 50);
    ASSERT_NE(nullptr, window.Build(L"<Window><HorizontalLayout><Button name=\"b\" width=\"100\" "
                                    L"normalimage=\"file='ffff0000' restype='*COLOR*'\" "
                                    L"hotimage=\"file='ff0000ff' restype='*COLOR*'\" /><Control />"
                                    L"</HorizontalLayout></Window>"));
    auto* button = window.Find<CButtonUI>(L"b");
    DibSurface surface(300, 50);
    window.Paint(surface);
    EXPECT_EQ(0xFF0000u, surface.Rgb(50, 25));
    window.Down(50, 25);
    window.Paint(surface);
    EXPECT_EQ(0xFF0000u, surface.Rgb(50, 25)) << "no pushed image: the normal one";
    window.Up(50, 25);
    window.Move(50, 25);
    window.Paint(surface);
    EXPECT_EQ(0x0000FFu, surface.Rgb(50, 25));
    button->SetHotBkColor(0xFF00FF00);
    window.Paint(surface);
    EXPECT_EQ(0x00FF00u, surface.Rgb(50, 25));
}

TEST(ButtonPaint, TheTextColourOfPushedOutranksHotWhichOutranksFocused) {
    WidgetWindow window(300, 50);
    ASSERT_NE(nullptr, window.Build(L"<Window><HorizontalLayout><Button name=\"b\" width=\"150\" text=\"MMMM\" "
                                    L"textcolor=\"#FF000000\" focusedtextcolor=\"#FF00A000\" "
                                    L"hottextcolor=\"#FF0000FF\" pushedtextcolor=\"#FFFF0000\" />"
                                    L"<Control /></HorizontalLayout></Window>"));
    auto* button = window.Find<CButtonUI>(L"b");
    DibSurface surface(300, 50);
    auto textColour = [&]() {
        window.Paint(surface);
        return DarkestPixel(surface, RECT{0, 0, 150, 50});
    };
    EXPECT_TRUE(Near(0x000000, textColour(), 60)) << "normal";
    button->SetFocus();
    EXPECT_TRUE(Near(0x00A000, textColour(), 60)) << "focused";
    window.Move(75, 25);
    EXPECT_TRUE(Near(0x0000FF, textColour(), 60)) << "hot";
    window.Down(75, 25);
    EXPECT_TRUE(Near(0xFF0000, textColour(), 60)) << "pushed";
    window.Up(75, 25);
}

namespace {

const wchar_t kOptions[] =
    L"<Window><HorizontalLayout>"
    L"<Option name=\"a\" group=\"g\" selected=\"true\" width=\"60\" />"
    L"<Option name=\"b\" group=\"g\" width=\"60\" />"
    L"<Option name=\"solo\" width=\"60\" />"
    L"<CheckBox name=\"check\" width=\"60\" />"
    L"<Control /></HorizontalLayout></Window>";

class OptionGroups : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, window.Build(kOptions));
        window.notifier.heard.clear();
        a = window.Find<COptionUI>(L"a");
        b = window.Find<COptionUI>(L"b");
        solo = window.Find<COptionUI>(L"solo");
    }
    int Members(const wchar_t* group) {
        CPointerArray* members = window.manager.GetOptionGroup(group);
        return members != nullptr ? members->GetSize() : 0;
    }

    WidgetWindow window{300, 50};
    COptionUI* a = nullptr;
    COptionUI* b = nullptr;
    COptionUI* solo = nullptr;
};

}  // namespace

TEST_F(OptionGroups, SelectingOneDeselectsTheOthersSilently) {
    EXPECT_TRUE(a->IsSelected());
    EXPECT_EQ(2, Members(L"g"));
    window.Click(90, 25);
    EXPECT_EQ(L"click:b selectchanged:b", window.notifier.Summary());
    EXPECT_TRUE(b->IsSelected());
    EXPECT_FALSE(a->IsSelected());
    EXPECT_EQ(0u, a->GetState() & StateSelected);

    window.notifier.heard.clear();
    window.Click(90, 25);
    EXPECT_EQ(L"click:b", window.notifier.Summary());
    EXPECT_TRUE(b->IsSelected());
}

TEST_F(OptionGroups, AnOptionWithoutAGroupTogglesOnEveryClick) {
    window.Click(150, 25);
    EXPECT_TRUE(solo->IsSelected());
    window.Click(150, 25);
    EXPECT_FALSE(solo->IsSelected());
    EXPECT_EQ(L"click:solo selectchanged:solo click:solo selectchanged:solo", window.notifier.Summary());
}

TEST_F(OptionGroups, LeavingTheGroupAndBeingDestroyedTakeTheOptionOut) {
    b->SetGroup(nullptr);
    EXPECT_EQ(1, Members(L"g"));
    EXPECT_TRUE(b->GetGroup().IsEmpty());
    window.Click(90, 25);
    EXPECT_TRUE(b->IsSelected());
    EXPECT_TRUE(a->IsSelected()) << "no longer in a's group";
    b->SetGroup(L"g");
    EXPECT_EQ(2, Members(L"g"));
    static_cast<CContainerUI*>(window.root)->Remove(a);
    window.Send(WM_APP + 1);
    EXPECT_EQ(1, Members(L"g"));
}

TEST_F(OptionGroups, DisablingKeepsOnlyTheSelectedBitAndCheckBoxesAreOptions) {
    window.Move(30, 25);
    ASSERT_NE(0u, a->GetState() & StateHot);
    a->SetEnabled(false);
    EXPECT_EQ(static_cast<UINT>(StateSelected), a->GetState());
    CControlUI* check = window.Find<CControlUI>(L"check");
    EXPECT_STREQ(L"CheckBox", check->GetClass());
    EXPECT_NE(nullptr, check->GetInterface(L"Option"));
    EXPECT_NE(nullptr, check->GetInterface(L"Button"));
    EXPECT_NE(nullptr, check->GetInterface(L"Label"));
    window.Click(210, 25);
    EXPECT_EQ(L"click:check selectchanged:check", window.notifier.Summary());
}

TEST(OptionPaint, SelectedImagesComeFirstAndAPressShowsNoPushedImage) {
    WidgetWindow window(300, 50);
    ASSERT_NE(nullptr, window.Build(L"<Window><HorizontalLayout><Option name=\"o\" width=\"100\" "
                                    L"normalimage=\"file='FFFF0000' restype='*COLOR*'\" "
                                    L"pushedimage=\"file='FF00FF00' restype='*COLOR*'\" "
                                    L"selectedimage=\"file='FF0000FF' restype='*COLOR*'\" "
                                    L"selectedhotimage=\"file='FFFFFF00' restype='*COLOR*'\" "
                                    L"foreimage=\"file='FF000000' restype='*COLOR*' dest='0,0,10,10'\" />"
                                    L"<Control /></HorizontalLayout></Window>"));
    DibSurface surface(300, 50);
    auto shown = [&](int x, int y) {
        window.Paint(surface);
        return surface.Rgb(x, y);
    };
    EXPECT_EQ(0xFF0000u, shown(50, 25)) << "normal";
    EXPECT_EQ(0x000000u, shown(5, 5)) << "the option's fore image";
    window.Move(50, 25);
    window.Down(50, 25);
    EXPECT_EQ(0xFF0000u, shown(50, 25)) << "pressed: still the normal image";
    window.Up(50, 25);
    EXPECT_EQ(0xFFFF00u, shown(50, 25)) << "selected and hot";
    window.Move(250, 25);
    EXPECT_EQ(0x0000FFu, shown(50, 25)) << "selected";
    EXPECT_EQ(0x000000u, shown(5, 5));
}

TEST(OptionPaint, TheSelectedTextColourLastsOnlyWhileSelected) {
    WidgetWindow window(300, 50);
    ASSERT_NE(nullptr, window.Build(L"<Window><HorizontalLayout><Option name=\"o\" width=\"100\" "
                                    L"textcolor=\"#FF0000FF\" selectedtextcolor=\"#FFFF0000\" selected=\"true\" "
                                    L"selectedbkcolor=\"#FFE0E0E0\" /><Control /></HorizontalLayout></Window>"));
    auto* option = window.Find<COptionUI>(L"o");
    DibSurface surface(300, 50);
    window.Paint(surface);
    EXPECT_EQ(0xE0E0E0u, surface.Rgb(50, 5));
    EXPECT_EQ(0xFF0000FFu, option->GetTextColor());
    option->Selected(false, false);
    option->SetText(L"MMMM");
    window.Paint(surface);
    EXPECT_EQ(0xFFFFFFu, surface.Rgb(50, 5));
    const uint32_t darkest = DarkestPixel(surface, RECT{0, 0, 100, 50});
    EXPECT_TRUE(Near(0x0000FF, darkest, 60));
    option->Selected(true, false);
    window.Paint(surface);
    EXPECT_EQ(0xFF0000FFu, option->GetTextColor());
}
