#include "tests/unit/ui/support/recording_control_ui.h"
#include "tests/unit/ui/support/test_container_ui.h"
#include "ui/core/values/delegate.h"
#include "ui/core/manager/window_manager_ui.h"
#include "tests/unit/ui/support/window_manager_test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace QuillUI;

namespace {

::testing::AssertionResult SameRect(const RECT& expected, const RECT& actual) {
    if (EqualRect(&expected, &actual)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected (" << expected.left << "," << expected.top << ","
                                         << expected.right << "," << expected.bottom << "), got (" << actual.left
                                         << "," << actual.top << "," << actual.right << "," << actual.bottom << ")";
}

// A shown window whose update region the tests read, with a manager bound
// to it. Declared before the controls so that it outlives them.
class PaintedWindow {
public:
    PaintedWindow() {
        ShowWindow(window_.Get(), SW_SHOWNOACTIVATE);
        manager_.Init(window_.Get());
        Validate();
    }
    CWindowManagerUI* Manager() { return &manager_; }
    void Validate() { ValidateRect(window_.Get(), nullptr); }
    // Empty when nothing was invalidated.
    CRectUI Invalid() {
        RECT rect = {};
        GetUpdateRect(window_.Get(), &rect, FALSE);
        return rect;
    }
    bool NothingInvalid() {
        const RECT rect = Invalid();
        return IsRectEmpty(&rect) != FALSE;
    }

private:
    PlainWindow window_{200, 200};
    CWindowManagerUI manager_;
};

TEST(ControlLayout, SetPosNeverStoresAnInvertedRectangle) {
    CControlUI control;
    control.SetPos(CRectUI(10, 20, 5, 8));
    EXPECT_TRUE(SameRect(CRectUI(10, 20, 10, 20), control.GetPos()));
}

struct FloatCase {
    FloatPercentUI percent;
    RECT relative;
    RECT item;
    SIZE xy;
    SIZE size;
};

TEST(ControlLayout, FloatControlsAnchorToTheirParent) {
    // Parent 200x100 at (100,50); the anchors truncate toward zero.
    const FloatCase cases[] = {
        {{0.5, 0, 0.5, 0}, {10, 10, 60, 40}, {110, 60, 160, 90}, {-90, 10}, {50, 30}},
        {{0, 0, 0, 0}, {5, 6, 25, 26}, {105, 56, 125, 76}, {5, 6}, {20, 20}},
        {{0.333, 0.335, 1, 1}, {70, 40, 200, 100}, {170, 90, 300, 150}, {4, 7}, {-4, -7}},
        {{-0.333, 0, 0, 0}, {0, 0, 10, 10}, {100, 50, 110, 60}, {66, 0}, {-56, 10}},
    };
    for (const FloatCase& row : cases) {
        CTestContainerUI parent;
        parent.SetPos(CRectUI(100, 50, 300, 150));
        CControlUI* child = new CControlUI;
        parent.Add(child);
        child->SetFloatPercent(row.percent);
        child->SetFloat(true);
        child->SetPos(row.relative);
        EXPECT_TRUE(SameRect(row.item, child->GetPos()));
        EXPECT_EQ(child->GetFixedXY().cx, row.xy.cx);
        EXPECT_EQ(child->GetFixedXY().cy, row.xy.cy);
        EXPECT_EQ(child->GetFixedWidth(), row.size.cx);
        EXPECT_EQ(child->GetFixedHeight(), row.size.cy);
        EXPECT_TRUE(SameRect(row.relative, child->GetRelativePos()));
    }

    CControlUI orphan;
    orphan.SetFloat(true);
    orphan.SetPos(CRectUI(1, 2, 3, 4));
    EXPECT_TRUE(IsRectEmpty(&orphan.GetPos())) << "a float control without a parent stores nothing";
}

TEST(ControlLayout, CoversFollowTheControl) {
    PaintedWindow window;
    // An ordinary cover takes the control's rectangle within its limits.
    {
        CControlUI control;
        CControlUI* cover = new CControlUI;
        cover->SetMaxWidth(60);
        cover->SetMinHeight(50);
        control.SetCover(cover);
        control.SetManager(window.Manager(), nullptr, false);
        control.SetPos(CRectUI(10, 10, 110, 50));
        EXPECT_TRUE(SameRect(CRectUI(10, 10, 70, 60), cover->GetPos()));
        control.Move(5, -5);
        EXPECT_TRUE(SameRect(CRectUI(15, 5, 115, 45), control.GetPos()));
        EXPECT_TRUE(SameRect(CRectUI(15, 5, 75, 55), cover->GetPos()));
    }
    // A float cover is anchored inside the control.
    {
        CControlUI control;
        CControlUI* cover = new CControlUI;
        cover->SetFloatPercent(FloatPercentUI{0.5, 0, 0.5, 0});
        cover->SetFloat(true);
        cover->SetFixedXY(CSizeUI(-10, 5));
        cover->SetFixedWidth(20);
        cover->SetFixedHeight(10);
        control.SetCover(cover);
        control.SetManager(window.Manager(), nullptr, false);
        control.SetPos(CRectUI(20, 30, 120, 70));
        EXPECT_TRUE(SameRect(CRectUI(60, 35, 80, 45), cover->GetPos()));
    }
    // The cover of a float control goes over the control's place in the
    // window, not over its parent-relative rectangle.
    {
        CTestContainerUI parent;
        parent.SetManager(window.Manager(), nullptr, false);
        parent.SetPos(CRectUI(100, 100, 200, 200));
        CControlUI* control = new CControlUI;
        control->SetFloat(true);
        control->SetCover(new CControlUI);
        parent.Add(control);
        control->SetPos(CRectUI(10, 10, 30, 30));
        EXPECT_TRUE(SameRect(CRectUI(110, 110, 130, 130), control->GetCover()->GetPos()));
    }
}

TEST(ControlLayout, InvalidationIsClippedByTheAncestors) {
    PaintedWindow window;
    CTestContainerUI parent;
    parent.SetManager(window.Manager(), nullptr, false);
    parent.SetPos(CRectUI(10, 10, 50, 50), false);
    CControlUI* child = new CControlUI;
    parent.Add(child);
    child->SetPos(CRectUI(40, 40, 80, 80), false);
    window.Validate();

    child->Invalidate();
    EXPECT_TRUE(SameRect(CRectUI(40, 40, 50, 50), window.Invalid()));

    // SetPos invalidates the old place joined with the new one, clipped.
    window.Validate();
    child->SetPos(CRectUI(20, 20, 30, 30));
    EXPECT_TRUE(SameRect(CRectUI(20, 20, 50, 50), window.Invalid()));

    // Outside the parent nothing is left to invalidate.
    window.Validate();
    child->SetPos(CRectUI(60, 60, 70, 70), false);
    child->Invalidate();
    EXPECT_TRUE(window.NothingInvalid());
}

TEST(ControlLayout, InsideAHiddenParentSetPosStoresButNeitherInvalidatesNorPlacesTheCover) {
    PaintedWindow window;
    CTestContainerUI parent;
    parent.SetManager(window.Manager(), nullptr, false);
    parent.SetPos(CRectUI(0, 0, 100, 100), false);
    CControlUI* child = new CControlUI;
    CControlUI* cover = new CControlUI;
    child->SetCover(cover);
    parent.Add(child);
    parent.SetVisible(false);
    child->SetInternVisible(true);  // the child itself counts as visible
    cover->SetInternVisible(true);
    window.Validate();

    child->SetPos(CRectUI(10, 10, 20, 20));
    EXPECT_TRUE(SameRect(CRectUI(10, 10, 20, 20), child->GetPos()));
    EXPECT_TRUE(window.NothingInvalid());
    EXPECT_TRUE(SameRect(CRectUI(), cover->GetPos()));

    // Move ends the same way.
    child->Move(5, 5);
    EXPECT_TRUE(SameRect(CRectUI(15, 15, 25, 25), child->GetPos()));
    EXPECT_TRUE(window.NothingInvalid());
    EXPECT_TRUE(SameRect(CRectUI(), cover->GetPos()));
    child->Move(5, 5, false);
    EXPECT_TRUE(SameRect(CRectUI(5, 5, 5, 5), cover->GetPos())) << "without invalidation the cover moves along";
}

class SizeCounter {
public:
    explicit SizeCounter(CControlUI* control) : control_(control) {}
    bool OnSize(void* sender) {
        ++count;
        EXPECT_EQ(sender, control_);
        control_->SetPos(CRectUI(1, 1, 2, 2));  // a handler that moves its control again
        return true;
    }
    int count = 0;

private:
    CControlUI* control_;
};

TEST(ControlLayout, OnSizeIsNotReentered) {
    PaintedWindow window;
    CControlUI control;
    SizeCounter counter(&control);
    control.OnSize.Add(CDelegate<SizeCounter, SizeCounter>(&counter, &SizeCounter::OnSize));

    control.SetPos(CRectUI(0, 0, 10, 10));
    EXPECT_EQ(counter.count, 0) << "without a manager nothing is told";
    EXPECT_TRUE(control.IsUpdateNeeded());

    control.SetManager(window.Manager(), nullptr, false);
    control.SetPos(CRectUI(0, 0, 10, 10));
    EXPECT_EQ(counter.count, 1);
    EXPECT_FALSE(control.IsUpdateNeeded());
    EXPECT_TRUE(SameRect(CRectUI(1, 1, 2, 2), control.GetPos()));
}

// The controls a walk asked about, in order.
std::vector<CControlUI*>* g_visits = nullptr;

CControlUI* Record(CControlUI* control, void*) {
    g_visits->push_back(control);
    return nullptr;
}

CControlUI* Contains(CControlUI* control, void* data) {
    return PtInRect(&control->GetPos(), *static_cast<POINT*>(data)) ? control : nullptr;
}

CControlUI* g_answered = nullptr;
CControlUI* AnswerFor(CControlUI* control, void*) {
    g_visits->push_back(control);
    return control == g_answered ? control : nullptr;
}

// C (0,0,100,100) holds A (0,0,50,50) and B (25,25,75,75); B's cover K
// lies at (25,25,40,40).
struct Tree {
    Tree() {
        c.SetPos(CRectUI(0, 0, 100, 100));
        a = new CControlUI;
        b = new CControlUI;
        k = new CControlUI;
        c.Add(a);
        c.Add(b);
        b->SetCover(k);
        a->SetPos(CRectUI(0, 0, 50, 50));
        b->SetPos(CRectUI(25, 25, 75, 75));
        k->SetPos(CRectUI(25, 25, 40, 40));
    }
    CTestContainerUI c;
    CControlUI* a;
    CControlUI* b;
    CControlUI* k;
};

TEST(ControlLayout, FindControlOrderFollowsTheFlags) {
    Tree tree;
    std::vector<CControlUI*> visits;
    g_visits = &visits;
    struct OrderCase {
        UINT flags;
        std::vector<CControlUI*> order;
    };
    const OrderCase cases[] = {
        {0, {tree.a, tree.k, tree.b, &tree.c}},
        {FindMeFirst, {&tree.c, tree.a, tree.b, tree.k}},
        {FindTopFirst, {tree.k, tree.b, tree.a, &tree.c}},
        {FindTopFirst | FindMeFirst, {&tree.c, tree.b, tree.k, tree.a}},
    };
    for (const OrderCase& row : cases) {
        SCOPED_TRACE(row.flags);
        visits.clear();
        EXPECT_EQ(tree.c.FindControl(&Record, nullptr, row.flags), nullptr);
        EXPECT_EQ(visits, row.order);
    }

    tree.b->SetVisible(false);  // hides its cover too
    tree.a->SetEnabled(false);
    visits.clear();
    tree.c.FindControl(&Record, nullptr, FindVisible);
    EXPECT_EQ(visits, (std::vector<CControlUI*>{tree.a, &tree.c}));
    visits.clear();
    tree.c.FindControl(&Record, nullptr, FindEnabled);
    EXPECT_EQ(visits, (std::vector<CControlUI*>{tree.k, tree.b, &tree.c}));

    // The update test: a control the callback answers for is not searched
    // further, and the walk goes on with its siblings.
    tree.b->SetVisible(true);
    tree.a->SetEnabled(true);
    g_answered = tree.b;
    visits.clear();
    EXPECT_EQ(tree.c.FindControl(&AnswerFor, nullptr, FindUpdateTest | FindMeFirst), nullptr);
    EXPECT_EQ(visits, (std::vector<CControlUI*>{&tree.c, &tree.c, tree.a, tree.a, tree.b}));
    g_visits = nullptr;
}

TEST(ControlLayout, HitTestsSkipControlsThatTakeNoMouseButNotTheirCovers) {
    Tree tree;
    const UINT underPoint = FindVisible | FindHitTest | FindTopFirst;
    POINT inCover = {30, 30}, inB = {60, 60}, outside = {150, 10};
    EXPECT_EQ(tree.c.FindControl(&Contains, &inCover, underPoint), tree.k);
    EXPECT_EQ(tree.c.FindControl(&Contains, &inB, underPoint), tree.b);
    EXPECT_EQ(tree.c.FindControl(&Contains, &outside, underPoint), nullptr);

    tree.b->SetMouseEnabled(false);
    EXPECT_EQ(tree.c.FindControl(&Contains, &inCover, underPoint), tree.k);
    EXPECT_EQ(tree.c.FindControl(&Contains, &inB, underPoint), &tree.c);
    tree.k->SetVisible(false);
    EXPECT_EQ(tree.c.FindControl(&Contains, &inCover, underPoint), tree.a);

    // Me first answers for the control before its cover.
    tree.b->SetMouseEnabled(true);
    tree.k->SetVisible(true);
    EXPECT_EQ(tree.b->FindControl(&Contains, &inCover, underPoint | FindMeFirst), tree.b);
}

}  // namespace
