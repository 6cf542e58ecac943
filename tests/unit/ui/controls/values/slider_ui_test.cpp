#include "ui/controls/buttons/control_state_ui.h"
#include "ui/controls/values/slider_ui.h"
#include "tests/unit/ui/support/ui_test_support.h"
#include "tests/unit/ui/support/widget_test_support.h"

#include <gtest/gtest.h>

#include <string>

using namespace QuillUI;

namespace {

std::string Narrow(const wchar_t* text) { return std::string(text, text + wcslen(text)); }

// A slider at 0,0 (110 by 20 unless the attributes say otherwise) over an
// empty control.
class SliderWindow : public WidgetWindow {
public:
    explicit SliderWindow(const wchar_t* attributes) : WidgetWindow(300, 150) {
        const std::wstring markup = L"<Window><VerticalLayout><Slider name=\"s\" width=\"110\" height=\"20\" " +
                                    std::wstring(attributes) + L" /><Control /></VerticalLayout></Window>";
        if (Build(markup.c_str()) != nullptr) slider = Find<CSliderUI>(L"s");
    }
    int Heard(const wchar_t* type) const {
        int count = 0;
        for (const HeardNotify& h : notifier.heard) count += h.type == type ? 1 : 0;
        return count;
    }
    void Wheel(WPARAM direction) {
        ControlEventUI event = MakeEvent(EventScrollWheel, 50, 10, direction);
        slider->Event(event);
    }

    CSliderUI* slider = nullptr;
};

}  // namespace

TEST(SliderGeometry, TheThumbSitsAtTheValueAlongTheTrack) {
    struct Case {
        const wchar_t* attributes;
        RECT thumb;
    };
    const Case cases[] = {
        {L"value=\"50\"", {50, 5, 60, 15}},
        {L"value=\"0\"", {0, 5, 10, 15}},
        {L"value=\"100\"", {100, 5, 110, 15}},
        {L"width=\"20\" height=\"110\" hor=\"false\" value=\"50\"", {5, 50, 15, 60}},
        {L"width=\"20\" height=\"110\" hor=\"false\" value=\"100\"", {5, 0, 15, 10}},
        {L"thumbsize=\"20,8\" value=\"50\"", {45, 6, 65, 14}},
        {L"min=\"-2000000000\" max=\"2000000000\" value=\"0\"", {50, 5, 60, 15}},
    };
    for (const Case& c : cases) {
        SliderWindow window(c.attributes);
        ASSERT_NE(nullptr, window.slider) << Narrow(c.attributes);
        const RECT thumb = window.slider->GetThumbRect();
        EXPECT_TRUE(EqualRect(&c.thumb, &thumb))
            << Narrow(c.attributes) << ": " << thumb.left << "," << thumb.top << "," << thumb.right << ","
            << thumb.bottom;
    }
}

TEST(SliderGeometry, ThumbSizeReadsNoFurtherThanItsValue) {
    struct Case {
        const wchar_t* value;
        int width, height;
    };
    const Case cases[] = {
        {L"", 0, 0}, {L"12", 12, 0}, {L"12,", 12, 0}, {L"12,14", 12, 14}, {L"12,14,99", 12, 14},
    };
    GuardedBytes guarded(64);
    for (const Case& c : cases) {
        CSliderUI slider;
        slider.SetAttribute(L"thumbsize", guarded.PlaceText(c.value));
        const RECT thumb = slider.GetThumbRect();
        EXPECT_EQ(c.width, thumb.right - thumb.left) << Narrow(c.value);
        EXPECT_EQ(c.height, thumb.bottom - thumb.top) << Narrow(c.value);
    }
}

TEST(SliderPaint, TheThumbShowsItsStateImageOverTheForeImage) {
    SliderWindow window(L"value=\"50\" foreimage=\"file='ffff0000' restype='*COLOR*'\" "
                        L"thumbimage=\"file='ff0000ff' restype='*COLOR*'\" "
                        L"thumbhotimage=\"file='ff00ff00' restype='*COLOR*'\" "
                        L"thumbpushedimage=\"file='ffffff00' restype='*COLOR*'\"");
    ASSERT_NE(nullptr, window.slider);
    DibSurface surface(300, 150);
    auto thumbColour = [&]() {
        window.Paint(surface);
        return surface.Rgb(55, 10);
    };
    EXPECT_EQ(0x0000FFu, thumbColour());
    EXPECT_EQ(0xFF0000u, surface.Rgb(30, 10)) << "the fore image left of the thumb";
    EXPECT_EQ(0xFFFFFFu, surface.Rgb(80, 10));
    window.Move(55, 10);
    EXPECT_EQ(0x00FF00u, thumbColour()) << "hot";
    window.Down(55, 10);
    EXPECT_EQ(0xFFFF00u, thumbColour()) << "pushed";
    window.Up(55, 10);
    window.Move(200, 100);
    EXPECT_EQ(0x0000FFu, thumbColour());
}

TEST(SliderInput, APressSetsTheValueAndTheReleaseTellsIt) {
    struct Case {
        int x;
        int value;
    };
    // Within half a thumb of an end the press takes that end.
    const Case cases[] = {{109, 100}, {105, 100}, {0, 0}, {5, 0}, {55, 50}, {30, 25}};
    for (const Case& c : cases) {
        SliderWindow window(L"value=\"70\"");
        ASSERT_NE(nullptr, window.slider);
        window.Move(c.x, 10);
        window.Down(c.x, 10);
        EXPECT_EQ(c.value, window.slider->GetValue()) << c.x;
        EXPECT_EQ(0, window.Heard(L"valuechanged")) << c.x;
        window.Up(c.x, 10);
        EXPECT_EQ(c.value, window.slider->GetValue()) << c.x;
        EXPECT_EQ(1, window.Heard(L"valuechanged")) << c.x;
        EXPECT_EQ(0u, window.slider->GetState() & StateCaptured) << c.x;
    }
}

TEST(SliderInput, ADragTellsAtTheReleaseOrAtEveryMoveWithImm) {
    struct Case {
        const wchar_t* attributes;
        int heard;
    };
    const Case cases[] = {{L"", 1}, {L"imm=\"true\"", 4}};
    for (const Case& c : cases) {
        SliderWindow window(c.attributes);
        ASSERT_NE(nullptr, window.slider);
        window.Move(20, 10);
        window.Down(20, 10);
        window.Move(40, 10);
        window.Move(60, 10);
        window.Move(250, 60);
        window.Up(250, 60);
        EXPECT_EQ(c.heard, window.Heard(L"valuechanged")) << Narrow(c.attributes);
        EXPECT_EQ(100, window.slider->GetValue()) << Narrow(c.attributes);
    }
}

TEST(SliderInput, EachWheelStepTellsEvenAtTheEnds) {
    SliderWindow window(L"value=\"100\" step=\"5\"");
    ASSERT_NE(nullptr, window.slider);
    window.Wheel(SB_LINEUP);
    EXPECT_EQ(100, window.slider->GetValue());
    EXPECT_EQ(1, window.Heard(L"valuechanged"));
    window.Wheel(SB_LINEDOWN);
    EXPECT_EQ(95, window.slider->GetValue());
    window.slider->SetValue(0);
    window.Wheel(SB_LINEDOWN);
    EXPECT_EQ(0, window.slider->GetValue());
    EXPECT_EQ(3, window.Heard(L"valuechanged"));
}

TEST(SliderInput, AnEmptyRangeOrATrackNoLongerThanTheThumbTakesInputWithoutFault) {
    const wchar_t* cases[] = {
        L"min=\"10\" max=\"10\" value=\"10\"",
        L"thumbsize=\"110,10\" value=\"40\"",
        L"thumbsize=\"200,10\" value=\"40\"",
    };
    for (const wchar_t* attributes : cases) {
        SliderWindow window(attributes);
        ASSERT_NE(nullptr, window.slider) << Narrow(attributes);
        CSliderUI* slider = window.slider;
        const int min = slider->GetMin();
        // Before any paint repaired the range, then again after one and a
        // range emptied once more.
        for (int round = 0; round < 2; ++round) {
            ControlEventUI cursor = MakeEvent(EventSetCursor, 50, 10);
            slider->Event(cursor);
            window.Move(50, 10);
            window.Down(50, 10);
            window.Move(52, 10);
            window.Up(52, 10);
            EXPECT_GE(slider->GetValue(), min) << Narrow(attributes);
            EXPECT_LE(slider->GetValue(), slider->GetMax()) << Narrow(attributes);
            DibSurface surface(300, 150);
            window.Paint(surface);
            slider->SetMax(min);
            slider->SetMin(min);
        }
    }
}
