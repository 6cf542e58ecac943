#include "tests/unit/ui/support/recording_control_ui.h"
#include "tests/unit/ui/support/render_test_support.h"
#include "tests/unit/ui/support/test_container_ui.h"
#include "ui/core/values/delegate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace QuillUI;

namespace {

using Log = std::vector<std::wstring>;

const Log kStages = {L"c.paint", L"c.bkcolor", L"c.bkimage", L"c.statusimage", L"c.text", L"c.border"};

Log Then(Log first, const Log& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

Log StagesOf(const wchar_t* label) {
    Log out;
    for (const std::wstring& stage : kStages) out.push_back(label + stage.substr(1));
    return out;
}

// A subscriber that counts its calls and gives a fixed answer.
class Answering {
public:
    explicit Answering(bool answer) : answer_(answer) {}
    bool On(void*) {
        ++calls;
        return answer_;
    }
    int calls = 0;

private:
    bool answer_;
};

TEST(ControlPaint, StagesRunInOrderAndTheCoverComesLast) {
    DibSurface surface(40, 40);
    Log log;
    CRecordingControlUI control(L"c", &log);
    control.SetCover(new CRecordingControlUI(L"k", &log));
    control.SetPos(CRectUI(0, 0, 20, 20));
    control.GetCover()->SetPos(CRectUI(0, 0, 20, 20));

    EXPECT_TRUE(control.Paint(surface.Dc(), surface.Bounds(), nullptr));
    EXPECT_EQ(log, Then(StagesOf(L"c"), StagesOf(L"k")));
    EXPECT_TRUE(EqualRect(&control.GetPaintRect(), &control.GetPos()));

    // A round border paints the same stages inside a clip that is gone
    // afterwards.
    log.clear();
    control.SetBorderRound(6, 6);
    EXPECT_TRUE(control.Paint(surface.Dc(), surface.Bounds(), nullptr));
    EXPECT_EQ(log, Then(StagesOf(L"c"), StagesOf(L"k")));
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(surface.Dc(), region), 0);
    DeleteObject(region);

    // Outside the item rectangle nothing paints and the pass goes on.
    log.clear();
    EXPECT_TRUE(control.Paint(surface.Dc(), CRectUI(25, 25, 40, 40), nullptr));
    EXPECT_TRUE(log.empty());
}

TEST(ControlPaint, StopControlDelegatesAndRefusalsEndPainting) {
    DibSurface surface(40, 40);
    Log log;
    CTestContainerUI container;
    container.SetPos(CRectUI(0, 0, 40, 40));
    auto* x = new CRecordingControlUI(L"x", &log);
    auto* y = new CRecordingControlUI(L"y", &log);
    container.Add(x);
    container.Add(y);
    x->SetPos(CRectUI(0, 0, 20, 20));
    y->SetPos(CRectUI(20, 20, 40, 40));

    EXPECT_FALSE(container.Paint(surface.Dc(), surface.Bounds(), y));
    EXPECT_EQ(log, StagesOf(L"x"));
    log.clear();
    EXPECT_FALSE(x->Paint(surface.Dc(), surface.Bounds(), x));
    EXPECT_TRUE(log.empty());

    // A paint delegate that answers false paints in the control's place;
    // the pass goes on, without the control's cover.
    x->SetCover(new CRecordingControlUI(L"k", &log));
    x->GetCover()->SetPos(x->GetPos());
    Answering blocker(false);
    x->OnPaint.Add(CDelegate<Answering, Answering>(&blocker, &Answering::On));
    log.clear();
    EXPECT_TRUE(container.Paint(surface.Dc(), surface.Bounds(), nullptr));
    EXPECT_EQ(blocker.calls, 1);
    EXPECT_EQ(log, StagesOf(L"y"));

    // A control whose DoPaint refuses stops the pass before its cover.
    y->SetPaintResult(false);
    y->SetCover(new CRecordingControlUI(L"m", &log));
    y->GetCover()->SetPos(y->GetPos());
    log.clear();
    EXPECT_FALSE(container.Paint(surface.Dc(), surface.Bounds(), nullptr));
    EXPECT_EQ(log, StagesOf(L"y"));
}

TEST(ControlPaint, PostPaintAnswersFalseWithoutSubscribers) {
    DibSurface surface(10, 10);
    CControlUI control;
    EXPECT_FALSE(control.DoPostPaint(surface.Dc(), surface.Bounds()));
    Answering subscriber(true);
    control.OnPostPaint.Add(CDelegate<Answering, Answering>(&subscriber, &Answering::On));
    EXPECT_TRUE(control.DoPostPaint(surface.Dc(), surface.Bounds()));
    EXPECT_EQ(subscriber.calls, 1);
}

// The control covers (10,10,30,30) of a white 40x40 surface.
struct Painted {
    explicit Painted(const wchar_t* attributes, RECT paint = CRectUI(0, 0, 40, 40)) : surface(40, 40) {
        control.SetPos(CRectUI(10, 10, 30, 30));
        control.ApplyAttributeList(attributes);
        control.Paint(surface.Dc(), paint, nullptr);
    }
    uint32_t At(int x, int y) const { return surface.Rgb(x, y); }
    DibSurface surface;
    CControlUI control;
};

const uint32_t kWhite = 0xFFFFFF, kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

TEST(ControlPaint, BackgroundColours) {
    {
        Painted opaque(L"bkcolor=\"#FFFF0000\"", CRectUI(0, 0, 20, 20));
        EXPECT_TRUE(Near(kRed, opaque.At(15, 15)));
        EXPECT_TRUE(Near(kWhite, opaque.At(25, 25))) << "an opaque colour fills only the paint rectangle";
        EXPECT_TRUE(Near(kWhite, opaque.At(5, 5)));
    }
    {
        Painted translucent(L"bkcolor=\"#80FF0000\"", CRectUI(0, 0, 20, 20));
        EXPECT_TRUE(Near(0xFF7F7F, translucent.At(25, 25))) << "blended over the whole item rectangle";
        EXPECT_TRUE(Near(kWhite, translucent.At(5, 5)));
    }
    {
        Painted sixDigits(L"bkcolor=\"FF0000\"");
        EXPECT_TRUE(Near(kWhite, sixDigits.At(20, 20)));
    }
    {
        Painted two(L"bkcolor=\"#FFFF0000\" bkcolor2=\"#FF0000FF\"");
        EXPECT_TRUE(Near(kRed, two.At(20, 10), 16));
        EXPECT_TRUE(Near(kBlue, two.At(20, 29), 16));
        EXPECT_TRUE(Near(kWhite, two.At(20, 9)));
    }
    {
        Painted three(L"bkcolor=\"#FFFF0000\" bkcolor2=\"#FF00FF00\" bkcolor3=\"#FF0000FF\"");
        EXPECT_TRUE(Near(kRed, three.At(20, 10), 32));
        EXPECT_TRUE(Near(kGreen, three.At(20, 20), 32)) << "the middle colour starts the lower half";
        EXPECT_TRUE(Near(kBlue, three.At(20, 29), 32));
    }
}

TEST(ControlPaint, RoundBorderClipsTheBackground) {
    Painted round(L"bkcolor=\"#FFFF0000\" bordersize=\"2\" bordercolor=\"#FF0000FF\" borderround=\"10,10\"");
    EXPECT_TRUE(Near(kWhite, round.At(10, 10))) << "the corner lies outside the round clip";
    EXPECT_TRUE(Near(kBlue, round.At(20, 10)));
    EXPECT_TRUE(Near(kRed, round.At(20, 20)));
}

struct BorderCase {
    const wchar_t* attributes;
    std::vector<POINT> blue;   // pixels drawn in the border colour
    std::vector<POINT> white;  // pixels left alone
};

TEST(ControlPaint, Borders) {
    const BorderCase cases[] = {
        // One frame of equal widths inside the item rectangle.
        {L"bordersize=\"2\" bordercolor=\"#FF0000FF\"",
         {{10, 10}, {11, 20}, {20, 11}, {29, 29}, {28, 20}},
         {{12, 12}, {20, 20}, {9, 9}, {30, 30}}},
        // Unequal widths: one line along the middle of each band.
        {L"bordersize=\"2,4,6,8\" bordercolor=\"#FF0000FF\"",
         {{11, 20}, {18, 12}, {18, 10}, {27, 20}, {25, 20}, {18, 26}, {18, 23}},
         {{16, 18}, {8, 20}, {20, 17}}},
        // The left width decides whether anything is drawn.
        {L"bordersize=\"0,1,0,1\" bordercolor=\"#FF0000FF\"", {}, {{20, 10}, {20, 29}, {10, 20}}},
        // Colour 0 is no border, even where only the focus colour is set.
        {L"bordersize=\"2\" focusbordercolor=\"#FF0000FF\"", {}, {{10, 10}, {20, 10}, {29, 29}}},
    };
    for (const BorderCase& row : cases) {
        SCOPED_TRACE(row.attributes);
        Painted painted(row.attributes);
        for (const POINT& p : row.blue) EXPECT_TRUE(Near(kBlue, painted.At(p.x, p.y))) << p.x << "," << p.y;
        for (const POINT& p : row.white) EXPECT_TRUE(Near(kWhite, painted.At(p.x, p.y))) << p.x << "," << p.y;
    }
}

TEST(ControlPaint, FocusBorderColourWhileFocused) {
    Painted painted(L"bordersize=\"1\" bordercolor=\"#FF0000FF\" focusbordercolor=\"#FFFF0000\"");
    EXPECT_TRUE(Near(kBlue, painted.At(10, 20)));
    ControlEventUI focus;
    focus.kind = EventSetFocus;
    painted.control.Event(focus);
    EXPECT_TRUE(painted.control.IsFocused());
    painted.control.Paint(painted.surface.Dc(), painted.surface.Bounds(), nullptr);
    EXPECT_TRUE(Near(kRed, painted.At(10, 20)));
    focus.kind = EventKillFocus;
    painted.control.Event(focus);
    painted.control.Paint(painted.surface.Dc(), painted.surface.Bounds(), nullptr);
    EXPECT_TRUE(Near(kBlue, painted.At(10, 20)));
}

}  // namespace
