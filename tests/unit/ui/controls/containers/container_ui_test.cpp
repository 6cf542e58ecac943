#include "tests/unit/ui/support/container_test_support.h"
#include "tests/unit/ui/support/ui_test_support.h"

#include <gtest/gtest.h>

using namespace QuillUI;

namespace {

// A container of five children named A to E that it does not destroy.
struct FiveChildren {
    FiveChildren() {
        container.SetAutoDestroy(false);
        const wchar_t* names[] = {L"A", L"B", L"C", L"D", L"E"};
        for (int i = 0; i < 5; ++i) {
            children[i].SetName(names[i]);
            container.Add(&children[i]);
        }
    }
    ~FiveChildren() { container.RemoveAll(); }
    CControlUI children[5];
    CContainerUI container;
};

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

TEST(ContainerChildren, RemoveKeepsOrDestroysAsAskedAndTheContainerDestroysTheRest) {
    int destroyed = 0;
    auto* kept = new CountedControl(&destroyed);
    auto* container = new CContainerUI();
    ASSERT_FALSE(container->Add(nullptr));
    ASSERT_TRUE(container->Add(kept));
    ASSERT_TRUE(container->Add(new CountedControl(&destroyed)));
    ASSERT_TRUE(container->AddAt(new CountedControl(&destroyed), 0));
    ASSERT_TRUE(container->Add(new CountedControl(&destroyed)));
    EXPECT_EQ(4, container->GetCount());
    EXPECT_EQ(1, container->GetItemIndex(kept));
    EXPECT_EQ(nullptr, container->GetItemAt(4));
    EXPECT_EQ(nullptr, container->GetItemAt(-1));

    EXPECT_TRUE(container->Remove(kept, true));
    EXPECT_EQ(0, destroyed);
    EXPECT_FALSE(container->Remove(kept));  // no longer a child
    delete kept;
    EXPECT_EQ(1, destroyed);

    // Without a manager the child goes at once, delayed destroy or not.
    EXPECT_TRUE(container->RemoveAt(0));
    EXPECT_EQ(2, destroyed);
    EXPECT_FALSE(container->RemoveAt(5));

    container->SetAutoDestroy(false);
    CControlUI* loose = container->GetItemAt(0);
    EXPECT_TRUE(container->Remove(loose));
    EXPECT_EQ(2, destroyed);
    container->SetAutoDestroy(true);
    container->Add(loose);

    delete container;
    EXPECT_EQ(4, destroyed);
}

TEST(ContainerChildren, MoveItemsAndSetItemIndexNeverLoseOrDuplicateChildren) {
    struct Case {
        const wchar_t* what;
        int control;  // index of the control to move, -1 for null, 9 for one that is not a child
        int count;
        int newIndex;
        bool result;
        const wchar_t* order;
    };
    const Case moves[] = {
        {L"run forward", 1, 2, 3, true, L"ADEBC"},
        {L"run backward", 3, 2, 0, true, L"DEABC"},
        {L"to the same place", 2, 3, 2, true, L"ABCDE"},
        {L"run past the end", 3, 3, 0, false, L"ABCDE"},
        {L"target past the end", 0, 2, 4, false, L"ABCDE"},
        {L"negative count", 0, -1, 2, false, L"ABCDE"},
        {L"negative index", 0, 1, -1, false, L"ABCDE"},
        {L"null control", -1, 1, 2, false, L"ABCDE"},
        {L"not a child", 9, 1, 2, false, L"ABCDE"},
        {L"nothing to move", 0, 0, 3, true, L"ABCDE"},
        {L"whole list", 0, 5, 0, true, L"ABCDE"},
    };
    for (const Case& c : moves) {
        FiveChildren f;
        CControlUI stranger;
        CControlUI* control = c.control < 0 ? nullptr : c.control == 9 ? &stranger : &f.children[c.control];
        EXPECT_EQ(c.result, f.container.MoveItems(control, c.count, c.newIndex)) << c.what;
        EXPECT_EQ(std::wstring(c.order), ChildNames(f.container)) << c.what;
    }

    const Case indexes[] = {
        {L"forward", 0, 0, 3, true, L"BCDAE"},
        {L"backward", 4, 0, 1, true, L"AEBCD"},
        {L"to the last place", 1, 0, 4, true, L"ACDEB"},
        {L"past the end", 1, 0, 5, false, L"ABCDE"},
        {L"negative", 1, 0, -1, false, L"ABCDE"},
        {L"not a child", 9, 0, 1, false, L"ABCDE"},
    };
    for (const Case& c : indexes) {
        FiveChildren f;
        CControlUI stranger;
        CControlUI* control = c.control == 9 ? &stranger : &f.children[c.control];
        EXPECT_EQ(c.result, f.container.SetItemIndex(control, c.newIndex)) << c.what;
        EXPECT_EQ(std::wstring(c.order), ChildNames(f.container)) << c.what;
    }
}

TEST(ContainerChildren, AHiddenContainerHidesItsChildrenUntilShown) {
    CContainerUI outer;
    auto* inner = new CContainerUI();
    auto* child = new CControlUI();
    outer.Add(inner);
    outer.SetVisible(false);
    inner->Add(child);
    EXPECT_FALSE(child->IsVisible());
    outer.SetVisible(true);
    EXPECT_TRUE(inner->IsVisible());
    EXPECT_TRUE(child->IsVisible());
}

TEST(ContainerLayout, ChildrenFillTheAreaInsideTheInsetWithinTheirLimits) {
    CContainerUI container;
    auto* plain = new CControlUI();
    auto* narrow = new CControlUI();
    narrow->SetMaxWidth(50);
    narrow->SetMinHeight(300);
    auto* floating = new CControlUI();
    floating->SetFloat(true);
    floating->SetFloatPercent(FloatPercentUI{0.5, 0.25, 0.5, 0.25});
    floating->SetFixedXY(SIZE{-5, 3});
    floating->SetFixedWidth(20);
    floating->SetFixedHeight(10);
    auto* hidden = new CControlUI();
    hidden->SetVisible(false);
    container.Add(plain);
    container.Add(narrow);
    container.Add(floating);
    container.Add(hidden);
    container.SetAttribute(L"inset", L"10,5,20,15");
    container.SetManager(nullptr, nullptr, false);
    container.SetPos(RECT{100, 200, 301, 301});

    EXPECT_TRUE(SameRect(RECT{110, 205, 281, 286}, plain->GetPos()));
    EXPECT_TRUE(SameRect(RECT{110, 205, 160, 505}, narrow->GetPos()));
    // 201 x 101: trunc(100.5) - 5 and trunc(25.25) + 3, relative to the container.
    EXPECT_TRUE(SameRect(RECT{100 + 95, 200 + 28, 100 + 115, 200 + 38}, floating->GetPos()));
    EXPECT_TRUE(SameRect(RECT{0, 0, 0, 0}, hidden->GetPos()));
    EXPECT_TRUE(SameRect(RECT{110, 205, 281, 286}, container.GetClientPos()));

    container.EnableScrollBar(true, true);
    EXPECT_TRUE(SameRect(RECT{110, 205, 265, 270}, container.GetClientPos()));
}

TEST(ContainerAttributes, ValuesAreReadWithinTheirTextAndBadWordsChangeNothing) {
    GuardedBytes guard(64);
    struct Case {
        const wchar_t* value;
        RECT inset;
    };
    const Case insets[] = {
        {L"1,2,3,4", {1, 2, 3, 4}},
        {L"7,8", {7, 8, 0, 0}},
        {L"9", {9, 0, 0, 0}},
        {L"", {0, 0, 0, 0}},
        {L"1,2,3,4,5,6", {1, 2, 3, 4}},
    };
    for (const Case& c : insets) {
        CContainerUI container;
        container.SetAttribute(L"inset", guard.PlaceText(c.value));
        EXPECT_TRUE(SameRect(c.inset, container.GetInset())) << c.value;
    }

    CContainerUI container;
    container.SetAttribute(L"childpadding", L"-5");
    EXPECT_EQ(0, container.GetChildPadding());
    container.SetAttribute(L"childalign", L"right");
    container.SetAttribute(L"childalign", L"middle");
    EXPECT_EQ(2u, container.GetChildAlign());
    container.SetAttribute(L"childvalign", L"vcenter");
    container.SetAttribute(L"childvalign", L"Bottom");
    EXPECT_EQ(4u, container.GetChildVAlign());
    container.SetAttribute(L"mousechild", L"True");
    EXPECT_FALSE(container.IsMouseChildEnabled());

    container.SetAttribute(L"vscrollbarstyle", L"width=\"12\" scrollunit=\"30\"");
    ASSERT_NE(nullptr, container.GetVerticalScrollBar());
    EXPECT_EQ(12, container.GetVerticalScrollBar()->GetFixedWidth());
    container.SetAttribute(L"hscrollbar", L"true");
    ASSERT_NE(nullptr, container.GetHorizontalScrollBar());
    EXPECT_TRUE(container.GetHorizontalScrollBar()->IsHorizontal());
    EXPECT_NE(nullptr, container.GetVerticalScrollBar());
    container.SetAttribute(L"vscrollbar", L"false");
    EXPECT_EQ(nullptr, container.GetVerticalScrollBar());
    EXPECT_NE(nullptr, container.GetHorizontalScrollBar());
}

namespace {

// Keeps its bars and items in a body, as a list does.
class ForwardingContainer : public CContainerUI {
public:
    CContainerUI body;
    CControlUI* GetItemAt(int index) const override { return body.GetItemAt(index); }
    int GetItemIndex(CControlUI* control) const override { return body.GetItemIndex(control); }
    int GetCount() const override { return body.GetCount(); }
    void EnableScrollBar(bool v, bool h) override { body.EnableScrollBar(v, h); }
    CScrollBarUI* GetVerticalScrollBar() const override { return body.GetVerticalScrollBar(); }
    CScrollBarUI* GetHorizontalScrollBar() const override { return body.GetHorizontalScrollBar(); }
};

}  // namespace

TEST(ContainerAttributes, ScrollBarAttributesAndSelectableItemsGoThroughTheAccessors) {
    ForwardingContainer list;
    list.SetAttribute(L"vscrollbar", L"true");
    list.SetAttribute(L"hscrollbar", L"true");
    EXPECT_NE(nullptr, list.body.GetVerticalScrollBar());
    EXPECT_NE(nullptr, list.body.GetHorizontalScrollBar());

    list.Add(new CControlUI());  // a header of the list's own
    list.body.Add(new CControlUI());
    list.body.Add(new ListItemControl());
    EXPECT_EQ(1, list.FindSelectable(0, true));
}

TEST(ContainerChildren, TheBaseEditsOfAForwardingContainerTouchOnlyItsOwnChildren) {
    // A list edits its own header and body through qualified base calls.
    int destroyed = 0;
    ForwardingContainer list;
    CControlUI* header = new CountedControl(&destroyed, L"header");
    CControlUI* footer = new CountedControl(&destroyed, L"footer");
    list.Add(header);
    list.Add(footer);
    CControlUI* item = new CountedControl(&destroyed, L"item");
    list.body.Add(new CountedControl(&destroyed, L"first"));
    list.body.Add(item);

    EXPECT_TRUE(list.CContainerUI::SetItemIndex(footer, 0));
    EXPECT_TRUE(list.CContainerUI::MoveItems(header, 1, 0));
    EXPECT_FALSE(list.CContainerUI::SetItemIndex(item, 0)) << "the body's item is no child of the list";
    EXPECT_TRUE(list.CContainerUI::RemoveAt(1));  // the footer
    EXPECT_EQ(destroyed, 1);
    EXPECT_FALSE(list.CContainerUI::Remove(item));
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(list.body.GetCount(), 2);
    EXPECT_EQ(list.body.GetItemAt(1), item);
    EXPECT_TRUE(list.CContainerUI::Remove(header, true));
    delete header;
}

TEST(ContainerLookup, FindSelectableSkipsHiddenDisabledAndOtherControls) {
    CContainerUI container;
    EXPECT_EQ(-1, container.FindSelectable(0, true));
    auto* plain = new CControlUI();
    auto* hidden = new ListItemControl();
    hidden->SetVisible(false);
    auto* disabled = new ListItemControl();
    disabled->SetEnabled(false);
    auto* item3 = new ListItemControl();
    auto* item4 = new ListItemControl();
    for (CControlUI* c : {static_cast<CControlUI*>(plain), static_cast<CControlUI*>(hidden),
                          static_cast<CControlUI*>(disabled), static_cast<CControlUI*>(item3),
                          static_cast<CControlUI*>(item4)})
        container.Add(c);
    EXPECT_EQ(3, container.FindSelectable(-4, true));
    EXPECT_EQ(4, container.FindSelectable(7, false));  // starts at the last index
    EXPECT_EQ(3, container.FindSelectable(3, false));
    EXPECT_EQ(3, container.FindSelectable(2, false));  // nothing at or below: forward from 0
    item3->SetVisible(false);
    item4->SetEnabled(false);
    EXPECT_EQ(-1, container.FindSelectable(1, true));
    EXPECT_EQ(-1, container.FindSelectable(7, false));
}

namespace {

CControlUI* AnyControl(CControlUI* control, void*) { return control; }
CControlUI* ContainersOnly(CControlUI* control, void*) {
    return control->GetInterface(L"Container") != nullptr ? control : nullptr;
}

// Two children at the same place, a float child in the inset and a bar.
struct HitScene {
    HitScene() {
        container.SetName(L"container");
        bottom->SetName(L"bottom");
        top->SetName(L"top");
        floating->SetName(L"float");
        floating->SetFloat(true);
        floating->SetFixedXY(SIZE{0, 0});
        floating->SetFixedWidth(10);
        floating->SetFixedHeight(10);
        inner->SetName(L"inner");
        inner->Add(deep);
        deep->SetName(L"deep");
        container.Add(bottom);
        container.Add(top);
        container.Add(floating);
        container.Add(inner);
        container.SetInset(RECT{10, 10, 10, 10});
        container.EnableScrollBar(true, false);
        // Without a manager, this makes the container its children's parent.
        container.SetManager(nullptr, nullptr, false);
        container.SetPos(RECT{0, 0, 200, 100});
        container.GetVerticalScrollBar()->SetPos(RECT{174, 10, 190, 90});
        inner->SetFloat(true);
        inner->SetPos(RECT{150, 0, 190, 40});
    }
    CControlUI* At(int x, int y, UINT extra = 0) {
        POINT pt = {x, y};
        return container.FindControl(AnyControl, &pt, FindVisible | FindHitTest | extra);
    }
    CContainerUI container;
    CControlUI* bottom = new CControlUI();
    CControlUI* top = new CControlUI();
    CControlUI* floating = new CControlUI();
    CContainerUI* inner = new CContainerUI();
    CControlUI* deep = new CControlUI();
};

}  // namespace

TEST(ContainerLookup, HitTestsFollowTheFlagsTheChildAreaAndTheBars) {
    HitScene s;
    EXPECT_EQ(s.bottom, s.At(50, 50));
    EXPECT_EQ(s.top, s.At(50, 50, FindTopFirst));
    EXPECT_EQ(s.floating, s.At(5, 5));                 // float child in the inset
    EXPECT_EQ(&s.container, s.At(15, 5));             // the inset itself
    EXPECT_EQ(s.container.GetVerticalScrollBar(), s.At(180, 50));  // bar before children
    EXPECT_EQ(nullptr, s.At(250, 50));
    EXPECT_EQ(&s.container, s.At(50, 50, FindMeFirst));
    EXPECT_EQ(s.deep, s.At(170, 5, FindTopFirst));   // inside a float child, outside the area

    s.container.SetMouseChildEnabled(false);
    EXPECT_EQ(&s.container, s.At(50, 50));
    s.container.SetMouseChildEnabled(true);
    s.container.SetMouseEnabled(false);
    EXPECT_EQ(nullptr, s.At(15, 5));
    EXPECT_EQ(nullptr, s.At(180, 50));  // the bars follow the container
    EXPECT_EQ(s.bottom, s.At(50, 50));
    s.container.SetMouseEnabled(true);

    // The update test answers for the outer container: nothing below it is searched.
    EXPECT_EQ(nullptr, s.container.FindControl(ContainersOnly, nullptr, FindUpdateTest));
    EXPECT_EQ(s.inner, s.container.FindControl(ContainersOnly, nullptr, FindTopFirst));
}

namespace {

// A 100 x 100 container with both bars (range 50 each), a plain child and a
// float child.
struct ScrollScene {
    ScrollScene() {
        container.EnableScrollBar(true, true);
        vbar()->SetScrollRange(50);
        hbar()->SetScrollRange(50);
        floating->SetFloat(true);
        floating->SetFixedWidth(10);
        floating->SetFixedHeight(10);
        container.Add(plain);
        container.Add(floating);
        container.SetManager(nullptr, nullptr, false);
        container.SetPos(RECT{0, 0, 100, 100});
        hbar()->SetPos(RECT{0, 84, 84, 100});
        vbar()->SetPos(RECT{84, 0, 100, 84});
    }
    CScrollBarUI* vbar() { return container.GetVerticalScrollBar(); }
    CScrollBarUI* hbar() { return container.GetHorizontalScrollBar(); }
    void Send(int kind, wchar_t key, WPARAM wParam = 0, POINT pt = {50, 50}) {
        ControlEventUI event;
        event.kind = kind;
        event.key = key;
        event.wParam = wParam;
        event.mousePoint = pt;
        container.DoEvent(event);
    }
    CContainerUI container;
    CControlUI* plain = new CControlUI();
    CControlUI* floating = new CControlUI();
};

}  // namespace

TEST(ContainerScrolling, StepsMovePlainChildrenByWhatTheBarsMoved) {
    ScrollScene s;
    const RECT start = s.plain->GetPos();  // (0, 0, 84 + 50, 84 + 50)
    EXPECT_TRUE(SameRect(RECT{0, 0, 134, 134}, start));
    s.container.LineDown();  // 8 without a manager
    s.container.LineRight();
    EXPECT_EQ(8, s.container.GetScrollPos().cy);
    EXPECT_TRUE(SameRect(RECT{-8, -8, 126, 126}, s.plain->GetPos()));
    EXPECT_TRUE(SameRect(RECT{0, 0, 10, 10}, s.floating->GetPos()));

    s.vbar()->SetScrollUnit(30);
    s.container.SetScrollPos(SIZE{0, 0});
    s.container.LineDown();
    EXPECT_EQ(30, s.container.GetScrollPos().cy);
    s.container.PageDown();  // 100 - 16 for the horizontal bar, clamped at 50
    EXPECT_EQ(50, s.container.GetScrollPos().cy);
    EXPECT_TRUE(SameRect(RECT{0, -50, 134, 84}, s.plain->GetPos()));
    s.container.LineDown();  // already at the end: nothing moves
    EXPECT_TRUE(SameRect(RECT{0, -50, 134, 84}, s.plain->GetPos()));
    s.container.HomeUp();
    EXPECT_TRUE(SameRect(start, s.plain->GetPos()));

    // A hidden bar neither reports nor takes a position.
    s.hbar()->SetVisible(false);
    s.container.SetScrollPos(SIZE{40, 0});
    EXPECT_EQ(0, s.container.GetScrollPos().cx);
    EXPECT_EQ(0, s.container.GetScrollRange().cx);
    EXPECT_TRUE(SameRect(start, s.plain->GetPos()));
}

TEST(ContainerScrolling, KeysAndTheWheelPickTheBar) {
    struct Case {
        const wchar_t* what;
        bool vbarUsable;
        int kind;
        wchar_t key;
        WPARAM wheel;
        POINT pt;
        SIZE expected;  // from (20, 20)
    };
    const Case cases[] = {
        {L"down key", true, EventKeyDown, VK_DOWN, 0, {50, 50}, {20, 28}},
        {L"up key", true, EventKeyDown, VK_UP, 0, {50, 50}, {20, 12}},
        {L"page down", true, EventKeyDown, VK_NEXT, 0, {50, 50}, {20, 50}},
        {L"home", true, EventKeyDown, VK_HOME, 0, {50, 50}, {20, 0}},
        {L"end", true, EventKeyDown, VK_END, 0, {50, 50}, {20, 50}},
        {L"other key", true, EventKeyDown, VK_LEFT, 0, {50, 50}, {20, 20}},
        {L"keys on the horizontal bar", false, EventKeyDown, VK_DOWN, 0, {50, 50}, {28, 20}},
        {L"page on the horizontal bar", false, EventKeyDown, VK_PRIOR, 0, {50, 50}, {0, 20}},
        {L"wheel down", true, EventScrollWheel, 0, 1, {50, 50}, {20, 28}},
        {L"wheel up", true, EventScrollWheel, 0, 0, {50, 50}, {20, 12}},
        {L"wheel over the horizontal bar", true, EventScrollWheel, 0, 1, {40, 90}, {28, 20}},
        {L"wheel, vertical bar disabled", false, EventScrollWheel, 0, 0, {50, 50}, {12, 20}},
        {L"wheel, other direction word", true, EventScrollWheel, 0, 5, {50, 50}, {20, 20}},
    };
    for (const Case& c : cases) {
        ScrollScene s;
        s.container.SetScrollPos(SIZE{20, 20});
        s.vbar()->SetEnabled(c.vbarUsable);
        s.Send(c.kind, c.key, c.wheel, c.pt);
        const SIZE pos = s.container.GetScrollPos();
        EXPECT_EQ(c.expected.cx, pos.cx) << c.what;
        EXPECT_EQ(c.expected.cy, pos.cy) << c.what;
    }

    ScrollScene s;
    s.container.SetKeyboardEnabled(false);
    s.Send(EventKeyDown, VK_DOWN);
    EXPECT_EQ(0, s.container.GetScrollPos().cy);
}

TEST(ContainerScrollBars, ALayoutShowsSizesAndHidesTheVerticalBar) {
    StackLayout layout;
    auto* a = new CControlUI();
    auto* b = new CControlUI();
    a->SetFixedHeight(100);
    b->SetFixedHeight(200);
    layout.Add(a);
    layout.Add(b);
    layout.EnableScrollBar(true, false);
    CScrollBarUI* bar = layout.GetVerticalScrollBar();
    bar->SetVisible(false);
    layout.SetManager(nullptr, nullptr, false);

    layout.SetPos(RECT{0, 0, 100, 200});
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_EQ(100, bar->GetScrollRange());
    EXPECT_EQ(0, bar->GetScrollPos());
    EXPECT_TRUE(SameRect(RECT{84, 0, 100, 200}, bar->GetPos()));
    EXPECT_TRUE(SameRect(RECT{0, 100, 84, 300}, b->GetPos()));

    // Less content pulls the position back and lays the children out again.
    layout.SetScrollPos(SIZE{0, 100});
    b->SetFixedHeight(150);
    layout.SetPos(RECT{0, 0, 100, 200});
    EXPECT_EQ(50, bar->GetScrollRange());
    EXPECT_EQ(50, bar->GetScrollPos());
    EXPECT_TRUE(SameRect(RECT{0, 50, 84, 200}, b->GetPos()));

    b->SetFixedHeight(50);
    layout.SetPos(RECT{0, 0, 100, 200});
    EXPECT_FALSE(bar->IsVisible());
    EXPECT_EQ(0, bar->GetScrollRange());
    EXPECT_EQ(0, bar->GetScrollPos());
    EXPECT_TRUE(SameRect(RECT{0, 100, 100, 150}, b->GetPos()));

    // Content that fits while the bar is being shown leaves no range behind.
    bar->SetVisible(true);
    bar->SetScrollRange(50);
    layout.SetScrollProcess(true);
    layout.ProcessScrollBar(RECT{0, 0, 84, 200}, 0, 170);
    EXPECT_EQ(0, bar->GetScrollRange());
    EXPECT_FALSE(bar->IsVisible());
}

TEST(ContainerScrollBars, BothBarsShareTheCornerAndSettleAtTheBorder) {
    struct Case {
        int contentWidth;
        int contentHeight;
        bool horizontal;
        RECT hbar;
        int hrange;
        bool vertical;
        RECT vbar;
        int vrange;
    };
    const Case cases[] = {
        {250, 300, true, {0, 184, 184, 200}, 66, true, {184, 0, 200, 184}, 116},
        // The vertical bar makes the width too small, and the horizontal bar then the height.
        {190, 210, true, {0, 184, 184, 200}, 6, true, {184, 0, 200, 184}, 26},
        {250, 150, true, {0, 184, 200, 200}, 50, false, {0, 0, 0, 0}, 0},
        {190, 195, false, {0, 0, 0, 0}, 0, false, {0, 0, 0, 0}, 0},
    };
    for (const Case& c : cases) {
        StackLayout layout;
        auto* child = new CControlUI();
        child->SetFixedHeight(c.contentHeight);
        layout.Add(child);
        layout.contentWidth = c.contentWidth;
        layout.EnableScrollBar(true, true);
        CScrollBarUI* v = layout.GetVerticalScrollBar();
        CScrollBarUI* h = layout.GetHorizontalScrollBar();
        v->SetVisible(false);
        h->SetVisible(false);
        v->SetScrollRange(0);
        h->SetScrollRange(0);
        layout.SetManager(nullptr, nullptr, false);
        for (int pass = 0; pass < 3; ++pass) {
            layout.layouts = 0;
            layout.SetPos(RECT{0, 0, 200, 200});
            EXPECT_LE(layout.layouts, 4) << c.contentWidth << "x" << c.contentHeight;
            EXPECT_EQ(c.horizontal, h->IsVisible()) << c.contentWidth << "x" << c.contentHeight;
            EXPECT_EQ(c.vertical, v->IsVisible()) << c.contentWidth << "x" << c.contentHeight;
            if (c.horizontal) {
                EXPECT_TRUE(SameRect(c.hbar, h->GetPos())) << c.contentWidth << "x" << c.contentHeight;
                EXPECT_EQ(c.hrange, h->GetScrollRange());
            }
            if (c.vertical) {
                EXPECT_TRUE(SameRect(c.vbar, v->GetPos())) << c.contentWidth << "x" << c.contentHeight;
                EXPECT_EQ(c.vrange, v->GetScrollRange());
            }
        }
    }
}
