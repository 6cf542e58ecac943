#include "tests/support/desktop_input_lock.h"
#include "tests/unit/ui/support/container_test_support.h"
#include "tests/unit/ui/support/render_test_support.h"
#include "ui/core/manager/notify_message_ui.h"
#include "ui/core/manager/window_listeners_ui.h"
#include "ui/core/manager/window_manager_ui.h"
#include "tests/unit/ui/support/window_manager_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace QuillUI;

namespace {

struct HeardScroll {
    std::wstring type;
    CControlUI* sender;
    WPARAM wParam;
    LPARAM lParam;
};

class ScrollNotifier : public INotifyUI {
public:
    void Notify(NotifyMessageUI& message) override {
        heard.push_back(HeardScroll{message.type.GetData(), message.sender, message.wParam, message.lParam});
    }
    std::vector<HeardScroll> heard;
};

// A window whose manager holds a container as its root.
struct ManagedContainer {
    ManagedContainer() {
        manager.Init(window.Get());
        manager.AddNotifier(&notifier);
        root = new CContainerUI();
    }
    ~ManagedContainer() { manager.RemoveNotifier(&notifier); }
    void Attach() {
        ASSERT_TRUE(manager.AttachDialog(root));
        root->SetPos(RECT{0, 0, 200, 100});
        Flush();
        notifier.heard.clear();
    }
    // What the posted flush message does.
    void Flush() {
        LRESULT result = 0;
        manager.MessageHandler(WM_APP + 1, 0, 0, result);
    }

    PlainWindow window{200, 100};
    CWindowManagerUI manager;
    ScrollNotifier notifier;
    CContainerUI* root;
};

}  // namespace

TEST(ContainerManaged, RemovedChildrenAndScrollNotificationsWaitForTheFlush) {
    ManagedContainer tree;
    int destroyed = 0;
    auto* child = new CountedControl(&destroyed);
    tree.root->Add(child);
    tree.root->Add(new CountedControl(&destroyed));
    tree.Attach();
    EXPECT_EQ(tree.root, child->GetParent());

    EXPECT_TRUE(tree.root->Remove(child));
    EXPECT_EQ(0, destroyed);
    tree.Flush();
    EXPECT_EQ(1, destroyed);

    tree.manager.AddDefaultAttributeList(L"VScrollBar", L"width=\"10\"");
    tree.root->EnableScrollBar(true, false);
    CScrollBarUI* bar = tree.root->GetVerticalScrollBar();
    EXPECT_EQ(&tree.manager, bar->GetManager());
    EXPECT_EQ(10, bar->GetFixedWidth());
    bar->SetScrollRange(100);
    tree.root->SetScrollPos(SIZE{0, 30});
    EXPECT_TRUE(tree.notifier.heard.empty());
    tree.Flush();
    ASSERT_EQ(1u, tree.notifier.heard.size());
    EXPECT_EQ(L"scroll", tree.notifier.heard[0].type);
    EXPECT_EQ(bar, tree.notifier.heard[0].sender);
    EXPECT_EQ(30u, tree.notifier.heard[0].wParam);
    EXPECT_EQ(0, tree.notifier.heard[0].lParam);

    // A range below the position pulls it back quietly; a move to the same place says nothing.
    bar->SetScrollRange(10);
    EXPECT_EQ(10, bar->GetScrollPos());
    tree.root->SetScrollPos(SIZE{0, 10});
    tree.Flush();
    EXPECT_EQ(1u, tree.notifier.heard.size());
}

TEST(ContainerManaged, TheVerticalLineIsTheDefaultFontHeightPlusEightUnlessTheBarHasAUnit) {
    ManagedContainer tree;
    tree.manager.SetDefaultFont(L"Arial", 12, false, false, false);
    tree.root->EnableScrollBar(true, false);
    tree.Attach();
    FontInfoUI* font = tree.manager.GetDefaultFontInfo();
    ASSERT_NE(nullptr, font);
    font->EnsureMetrics(tree.manager.GetPaintDC());
    ASSERT_GT(font->metrics.tmHeight, 0);
    CScrollBarUI* bar = tree.root->GetVerticalScrollBar();
    bar->SetScrollRange(500);

    tree.root->LineDown();
    EXPECT_EQ(font->metrics.tmHeight + 8, bar->GetScrollPos());
    tree.root->HomeUp();
    bar->SetScrollUnit(30);
    tree.root->LineDown();
    EXPECT_EQ(30, bar->GetScrollPos());
}

TEST(ScrollBarEvents, AHeldRailPagesTowardTheCursorFromTheSixthTick) {
    ManagedContainer tree;
    tree.Attach();
    CScrollBarUI bar;
    bar.SetManager(&tree.manager, nullptr, false);
    bar.SetScrollRange(1000);
    bar.SetPos(RECT{0, 0, 16, 400});
    ControlEventUI event;
    event.kind = EventButtonDown;
    event.mousePoint = POINT{8, 300};
    bar.DoEvent(event);
    EXPECT_EQ(400, bar.GetScrollPos());

    auto tick = [&bar]() {
        ControlEventUI timer;
        timer.kind = EventTimer;
        timer.wParam = CScrollBarUI::kRepeatTimerId;
        bar.DoEvent(timer);
    };
    DesktopInputLock desktop;
    auto cursorAt = [&tree](int x, int y) {
        POINT pt = {x, y};
        ClientToScreen(tree.window.Get(), &pt);
        SetCursorPos(pt.x, pt.y);
    };
    cursorAt(8, 390);
    for (int i = 0; i < 5; ++i) tick();
    EXPECT_EQ(400, bar.GetScrollPos());
    tick();
    EXPECT_EQ(800, bar.GetScrollPos());
    const RECT thumb = bar.GetThumbRect();
    cursorAt(8, (thumb.top + thumb.bottom) / 2);  // over the thumb: no step
    tick();
    EXPECT_EQ(800, bar.GetScrollPos());
    event.kind = EventButtonUp;
    bar.DoEvent(event);
}

TEST(ScrollBarPaint, EachPartDrawsItsStateImageOverItsOwnRectangle) {
    ManagedContainer tree;
    tree.Attach();
    CScrollBarUI bar;
    bar.SetManager(&tree.manager, nullptr, false);
    bar.ApplyAttributeList(
        L"bknormalimage=\"color='FFF0F0F0'\" button1normalimage=\"color='FF808080'\" "
        L"button1disabledimage=\"color='FF000000'\" thumbnormalimage=\"color='FF00FF00'\" "
        L"thumbhotimage=\"color='FFFF0000'\" railnormalimage=\"color='FF0000FF'\" button2color=\"FF00FFFF\"");
    bar.SetPos(RECT{0, 0, 16, 100});  // button 1 0..16, thumb 16..50 with the rail mark 25..41, button 2 84..100
    DibSurface dib(16, 100);
    auto paint = [&]() {
        dib.Fill(0xFFFFFFFF);
        bar.Paint(dib.Dc(), dib.Bounds(), nullptr);
    };
    paint();
    EXPECT_TRUE(Near(0x808080, dib.Rgb(8, 8)));
    EXPECT_TRUE(Near(0x00FF00, dib.Rgb(8, 20)));
    EXPECT_TRUE(Near(0x0000FF, dib.Rgb(8, 33)));
    EXPECT_TRUE(Near(0xF0F0F0, dib.Rgb(8, 70)));
    EXPECT_TRUE(Near(0x00FFFF, dib.Rgb(8, 90)));

    ControlEventUI enter;
    enter.kind = EventMouseEnter;
    enter.mousePoint = POINT{8, 20};
    bar.DoEvent(enter);
    paint();
    EXPECT_TRUE(Near(0xFF0000, dib.Rgb(8, 20)));
    EXPECT_TRUE(Near(0x0000FF, dib.Rgb(8, 33)));  // no hot rail image: the normal one

    bar.SetEnabled(false);
    paint();
    EXPECT_TRUE(Near(0x000000, dib.Rgb(8, 8)));
    EXPECT_TRUE(Near(0x00FF00, dib.Rgb(8, 20)));  // no disabled thumb image: the normal one
}

TEST(ContainerPaint, ChildrenAreClippedToTheChildAreaAndFloatChildrenToTheContainer) {
    CContainerUI container;
    container.SetBkColor(0xFF0000FF);
    container.SetInset(RECT{10, 10, 10, 10});
    auto* red = new CControlUI();
    red->SetBkColor(0xFFFF0000);
    auto* yellow = new CControlUI();  // in the inset's corner, over the child area
    yellow->SetBkColor(0xFFFFFF00);
    yellow->SetFloat(true);
    yellow->SetFixedXY(SIZE{0, 0});
    yellow->SetFixedWidth(15);
    yellow->SetFixedHeight(15);
    auto* outside = new CControlUI();  // half outside the container
    outside->SetBkColor(0xFFFFFF00);
    outside->SetFloat(true);
    outside->SetFixedXY(SIZE{-5, 50});
    outside->SetFixedWidth(10);
    outside->SetFixedHeight(10);
    container.Add(red);
    container.Add(yellow);
    container.Add(outside);
    container.EnableScrollBar(true, false);
    CScrollBarUI* bar = container.GetVerticalScrollBar();
    bar->SetScrollRange(100);
    bar->SetThumbColor(0xFF00FF00);
    bar->SetButton1Color(0xFF808080);
    container.SetManager(nullptr, nullptr, false);
    container.SetPos(RECT{10, 10, 110, 110});
    bar->SetPos(RECT{84, 20, 100, 100});  // thumb 36..57

    DibSurface dib(120, 120);
    EXPECT_TRUE(container.Paint(dib.Dc(), dib.Bounds(), nullptr));
    struct Probe {
        int x, y;
        uint32_t rgb;
        const char* what;
    };
    const Probe probes[] = {
        {5, 5, 0xFFFFFF, "outside the container"},
        {15, 40, 0x0000FF, "left inset"},
        {50, 50, 0xFF0000, "child area"},
        {50, 105, 0x0000FF, "the child reaches below the area but is cut"},
        {105, 50, 0x0000FF, "right inset"},
        {12, 12, 0xFFFF00, "float child in the inset"},
        {22, 22, 0xFFFF00, "float child over the earlier child"},
        {7, 65, 0xFFFFFF, "float child cut at the container"},
        {12, 65, 0xFFFF00, "float child inside the container"},
        {90, 25, 0x808080, "bar button"},
        {90, 45, 0x00FF00, "bar thumb"},
    };
    for (const Probe& p : probes) EXPECT_TRUE(Near(p.rgb, dib.Rgb(p.x, p.y))) << p.what;

    // Painting ends at the stop control: later children stay unpainted.
    dib.Fill(0xFFFFFFFF);
    EXPECT_FALSE(container.Paint(dib.Dc(), dib.Bounds(), yellow));
    EXPECT_TRUE(Near(0xFF0000, dib.Rgb(22, 22)));
    EXPECT_TRUE(Near(0x0000FF, dib.Rgb(90, 45)));  // the container's own look, no bar
}

// Records whose turn came while its children were painted.
class TurnRecorder : public StackLayout {
public:
    std::wstring turns;
    using CContainerUI::PaintChildren;

protected:
    void OnChildPaintTurn(HDC, const RECT&, CControlUI* child) override { turns += child->GetName().GetData(); }
};

TEST(ContainerPaint, EveryVisibleChildHasItsTurnEvenOutsideThePaintedPart) {
    TurnRecorder stack;
    const wchar_t* names[] = {L"A", L"B", L"C"};
    for (const wchar_t* name : names) {
        auto* child = new CControlUI();
        child->SetName(name);
        child->SetFixedHeight(40);
        stack.Add(child);
    }
    stack.GetItemAt(1)->SetVisible(false);
    stack.SetPos(RECT{0, 0, 100, 120});
    DibSurface dib(100, 120);
    // Only the first child lies in the painted part.
    EXPECT_TRUE(stack.PaintChildren(dib.Dc(), RECT{0, 0, 100, 30}, nullptr));
    EXPECT_EQ(stack.turns, L"AC");
    // Outside the child area nobody's turn comes.
    stack.turns.clear();
    stack.SetInset(RECT{0, 0, 0, 100});
    stack.SetPos(RECT{0, 0, 100, 120});
    EXPECT_TRUE(stack.PaintChildren(dib.Dc(), RECT{0, 110, 100, 120}, nullptr));
    EXPECT_EQ(stack.turns, L"");
}

TEST(ContainerManaged, TheWheelOverAChildScrollsItsContainer) {
    ManagedContainer tree;
    auto* child = new CControlUI();
    tree.root->Add(child);
    tree.root->EnableScrollBar(true, false);
    tree.root->GetVerticalScrollBar()->SetScrollUnit(25);
    tree.root->GetVerticalScrollBar()->SetScrollRange(100);
    tree.Attach();
    tree.root->GetVerticalScrollBar()->SetPos(RECT{184, 0, 200, 100});
    POINT pt = {50, 50};
    ClientToScreen(tree.window.Get(), &pt);
    LRESULT result = 0;
    tree.manager.MessageHandler(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(pt.x, pt.y),
                                result);
    EXPECT_EQ(25, tree.root->GetScrollPos().cy);
    EXPECT_EQ(-25, child->GetPos().top);
    tree.manager.MessageHandler(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(pt.x, pt.y), result);
    EXPECT_EQ(0, tree.root->GetScrollPos().cy);
}

TEST(ContainerManaged, MovingOffTheBarClearsItsHighlight) {
    ManagedContainer tree;
    tree.root->Add(new CControlUI());
    tree.root->EnableScrollBar(true, false);
    tree.Attach();
    CScrollBarUI* bar = tree.root->GetVerticalScrollBar();
    bar->SetPos(RECT{184, 0, 200, 100});  // thumb 16..50
    LRESULT result = 0;
    tree.manager.MessageHandler(WM_MOUSEMOVE, 0, MAKELPARAM(190, 30), result);
    EXPECT_TRUE(bar->GetThumbState() & CScrollBarUI::PartHot);
    EXPECT_TRUE(bar->GetButton1State() & CScrollBarUI::PartHot);
    tree.manager.MessageHandler(WM_MOUSEMOVE, 0, MAKELPARAM(50, 50), result);
    EXPECT_EQ(0u, bar->GetThumbState() & CScrollBarUI::PartHot);
    EXPECT_EQ(0u, bar->GetButton1State() & CScrollBarUI::PartHot);
    EXPECT_EQ(0u, bar->GetButton2State() & CScrollBarUI::PartHot);
}
