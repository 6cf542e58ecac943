#include "ui/controls/buttons/option_ui.h"
#include "ui/controls/containers/scroll_bar_ui.h"
#include "ui/controls/lists/combo_ui.h"
#include "ui/core/markup/dialog_builder_tags.h"
#include "tests/support/desktop_input_lock.h"
#include "tests/unit/ui/support/combo_popup.h"
#include "tests/unit/ui/support/markup_window.h"
#include "tests/unit/ui/support/skinned_window_fixture.h"
#include "ui/core/window/window_impl_base.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace QuillUI;

namespace {

// Labels i0..i(count-1), 20 high, in a combo 24 high across the window's top.
std::wstring ComboMarkup(int count, const wchar_t* comboAttributes = L"") {
    std::wstring markup = L"<Window><VerticalLayout name=\"box\"><Combo name=\"combo\" height=\"24\" ";
    markup += comboAttributes;
    markup += L">";
    for (int i = 0; i < count; ++i) {
        const std::wstring n = std::to_wstring(i);
        markup += L"<ListLabelElement name=\"i" + n + L"\" text=\"Item " + n + L"\" height=\"20\" />";
    }
    return markup + L"</Combo><Control /></VerticalLayout></Window>";
}

// A skinned window with one combo, its keys going through the message
// loop's translation as a program's do.
class ComboSkinWindow : public WindowImplBase {
public:
    const wchar_t* GetWindowClassName() const override { return L"QuillComboTestWindow"; }
    CWideString GetSkinFolder() override { return CWideString(L""); }
    CWideString GetSkinFile() override {
        return CWideString(L"<Window size=\"300,200\"><VerticalLayout><Combo name=\"combo\" height=\"24\">"
                           L"<ListLabelElement text=\"A\" height=\"20\" /><ListLabelElement text=\"B\" height=\"20\" />"
                           L"</Combo><Control /></VerticalLayout></Window>");
    }
};

class ComboInSkinnedWindow : public SkinnedWindowFixture<ComboSkinWindow> {};

class ComboTest : public ::testing::Test {
protected:
    // Builds the combo; the popup takes the foreground, hence the lock.
    void Build(int count, const wchar_t* attributes = L"") {
        lock_ = std::make_unique<DesktopInputLock>();
        ASSERT_NE(nullptr, window.Build(ComboMarkup(count, attributes).c_str()));
        combo = window.Find<CComboUI>(L"combo");
        ASSERT_NE(nullptr, combo);
    }
    HWND Open() {
        EXPECT_TRUE(combo->Activate());
        PumpPending();
        return FindPopup();
    }
    RECT PopupRect(HWND popup) {
        RECT rect = {};
        GetWindowRect(popup, &rect);
        return rect;
    }
    // A click on a point of the popup's client area, the cursor there first.
    void ClickPopup(HWND popup, POINT point) {
        POINT screen = point;
        ClientToScreen(popup, &screen);
        SetCursorPos(screen.x, screen.y);
        SendMessageW(popup, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
        SendMessageW(popup, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    }
    static POINT Centre(const RECT& rect) { return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }
    int Heard(const wchar_t* type) const {
        int count = 0;
        for (const HeardNotify& h : window.notifier.heard) count += h.type == type ? 1 : 0;
        return count;
    }
    void ExpectItemsAtHome() {
        for (int i = 0; i < combo->GetCount(); ++i) {
            EXPECT_EQ(&window.manager(), combo->GetItemAt(i)->GetManager()) << i;
            EXPECT_EQ(combo, combo->GetItemAt(i)->GetParent()) << i;
        }
    }

    std::unique_ptr<DesktopInputLock> lock_;
    MarkupWindow window{300, 200};
    CComboUI* combo = nullptr;
};

}  // namespace

TEST(ComboMarkup, BothTagsMakeACombo) {
    for (const wchar_t* tag : {L"Combo", L"ComboBox"}) {
        CControlUI* control = CreateControlForTag(tag);
        ASSERT_NE(nullptr, control);
        EXPECT_STREQ(L"Combo", control->GetClass());
        auto* combo = static_cast<CComboUI*>(control->GetInterface(L"Combo"));
        ASSERT_NE(nullptr, combo);
        EXPECT_EQ(static_cast<IListOwnerUI*>(combo), control->GetInterface(L"IListOwner"));
        EXPECT_EQ(static_cast<UINT>(ControlFlagTabStop), control->GetControlFlags());
        EXPECT_EQ(-1, combo->GetCurSel());
        EXPECT_EQ(150, combo->GetDropBoxSize().cy);
        EXPECT_EQ(0xFFC1E3FFu, combo->GetListInfo()->selectedBkColor);
        control->Delete();
    }
}

TEST_F(ComboTest, ThePopupIsAsTallAsItsItemsUpToTheDropBoxAndOpensAboveNearTheBottom) {
    struct Case {
        const char* what;
        int items;
        const wchar_t* attributes;
        int windowTop;
        RECT expected;  // screen; the window's client starts at (100, windowTop)
    };
    const Case cases[] = {
        {"three items", 3, L"dropboxsize=\"0,150\"", 100, {100, 124, 400, 188}},
        {"ten items", 10, L"", 100, {100, 124, 400, 274}},
        {"a wider box", 3, L"dropboxsize=\"120,150\"", 100, {100, 124, 220, 188}},
        {"near the bottom", 3, L"", 700, {100, 636, 400, 700}},
    };
    for (const Case& c : cases) {
        MarkupWindow owner(300, 200);
        ASSERT_NE(nullptr, owner.Build(ComboMarkup(c.items, c.attributes).c_str())) << c.what;
        SetWindowPos(owner.Get(), nullptr, 100, c.windowTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        DesktopInputLock lock;
        auto* box = owner.Find<CComboUI>(L"combo");
        ASSERT_TRUE(box->Activate()) << c.what;
        PumpPending();
        HWND popup = FindPopup();
        ASSERT_NE(nullptr, popup) << c.what;
        RECT rect = {};
        GetWindowRect(popup, &rect);
        EXPECT_TRUE(EqualRect(&rect, &c.expected))
            << c.what << ": " << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom;
        // Only the ten items need the scroll bar.
        auto* body = static_cast<CContainerUI*>(box->GetItemAt(0)->GetParent());
        ASSERT_NE(nullptr, body->GetVerticalScrollBar()) << c.what;
        EXPECT_EQ(c.items == 10, body->GetVerticalScrollBar()->IsVisible()) << c.what;
        EXPECT_EQ(1, static_cast<int>(owner.notifier.heard.size())) << c.what;
        EXPECT_EQ(L"dropdown", owner.notifier.heard[0].type) << c.what;
        DestroyWindow(popup);
    }
}

TEST_F(ComboTest, KeysAndTheWheelSelectWithoutOpening) {
    struct Case {
        const char* what;
        WPARAM key;  // 0: the wheel down, 1: up
        int selected;
    };
    const Case cases[] = {
        {"down", VK_DOWN, 3}, {"page down", VK_NEXT, 3}, {"up", VK_UP, 1}, {"home", VK_HOME, 1},
        {"end", VK_END, 4},   {"wheel down", 0, 3},      {"wheel up", 1, 1},
    };
    Build(5);
    combo->GetItemAt(0)->SetEnabled(false);
    for (const Case& c : cases) {
        ASSERT_TRUE(combo->SelectItem(2, false, false));
        combo->SetFocus();
        window.notifier.heard.clear();
        if (c.key > 1)
            window.Key(c.key);
        else
            window.Wheel(150, 12, c.key == 0);
        EXPECT_EQ(c.selected, combo->GetCurSel()) << c.what;
        ASSERT_EQ(1u, window.notifier.heard.size()) << c.what;
        EXPECT_EQ(L"itemselect", window.notifier.heard[0].type) << c.what;
        EXPECT_EQ(static_cast<WPARAM>(c.selected), window.notifier.heard[0].wParam) << c.what;
        EXPECT_EQ(2, window.notifier.heard[0].lParam) << c.what;
        EXPECT_EQ(nullptr, FindPopup()) << c.what;
    }
}

TEST_F(ComboTest, EscapeRestoresTheSelectionItOpenedWithAndCloses) {
    Build(6);
    ASSERT_TRUE(combo->SelectItem(1));
    HWND popup = Open();
    ASSERT_NE(nullptr, popup);
    window.notifier.heard.clear();
    for (int i = 0; i < 3; ++i) SendMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(4, combo->GetCurSel());
    EXPECT_EQ(3, Heard(L"itemselect"));
    PumpPending();
    EXPECT_TRUE(IsWindow(popup));

    window.notifier.heard.clear();
    SendMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(1, combo->GetCurSel());
    ASSERT_EQ(1u, window.notifier.heard.size());
    EXPECT_EQ(1u, window.notifier.heard[0].wParam);
    EXPECT_EQ(4, window.notifier.heard[0].lParam);
    PumpPending();
    EXPECT_FALSE(IsWindow(popup));
    ExpectItemsAtHome();
    EXPECT_EQ(combo->GetItemAt(3), window.Find<CControlUI>(L"i3"));
}

TEST_F(ComboTest, EnterAndAClickOnAnItemCloseButAClickOnTheScrollBarDoesNot) {
    Build(10);
    HWND popup = Open();
    ASSERT_NE(nullptr, popup);
    SendMessageW(popup, WM_KEYDOWN, VK_RETURN, 0);
    PumpPending();
    EXPECT_FALSE(IsWindow(popup));
    ExpectItemsAtHome();

    popup = Open();
    ASSERT_NE(nullptr, popup);
    auto* body = static_cast<CContainerUI*>(combo->GetItemAt(0)->GetParent());
    CScrollBarUI* bar = body->GetVerticalScrollBar();
    ASSERT_TRUE(bar != nullptr && bar->IsVisible());
    ClickPopup(popup, Centre(bar->GetPos()));
    PumpPending();
    EXPECT_TRUE(IsWindow(popup));

    window.notifier.heard.clear();
    ClickPopup(popup, Centre(combo->GetItemAt(2)->GetPos()));
    EXPECT_EQ(2, combo->GetCurSel());
    EXPECT_EQ(1, Heard(L"itemselect"));
    PumpPending();
    EXPECT_FALSE(IsWindow(popup));
    ExpectItemsAtHome();
    EXPECT_EQ(L"Item 2", std::wstring(combo->GetText().GetData()));
}

TEST_F(ComboTest, RemovingTheSelectedItemSelectsItsNeighbour) {
    struct Case {
        const char* what;
        int selected;
        int removed;
        int expected;
        const wchar_t* expectedName;
        bool notified;
    };
    const Case cases[] = {
        {"the next one takes its place", 2, 2, 2, L"i3", true},
        {"the last one: the one before", 4, 4, 3, L"i3", true},
        {"one before the selection", 3, 1, 2, L"i3", false},
        {"one after the selection", 1, 3, 1, L"i1", false},
    };
    for (const Case& c : cases) {
        Build(5);
        ASSERT_TRUE(combo->SelectItem(c.selected, false, false));
        window.notifier.heard.clear();
        ASSERT_TRUE(combo->RemoveAt(c.removed)) << c.what;
        EXPECT_EQ(c.expected, combo->GetCurSel()) << c.what;
        EXPECT_STREQ(c.expectedName, combo->GetItemAt(combo->GetCurSel())->GetName().GetData()) << c.what;
        EXPECT_EQ(c.notified ? 1 : 0, Heard(L"itemselect")) << c.what;
        for (int i = 0; i < combo->GetCount(); ++i) {
            auto* item = static_cast<IListItemUI*>(combo->GetItemAt(i)->GetInterface(L"IListItem"));
            EXPECT_EQ(i, item->GetIndex()) << c.what;
        }
    }
    // An item taken out and kept no longer belongs to the combo box.
    CControlUI* kept = combo->GetItemAt(combo->GetCurSel());
    ASSERT_TRUE(combo->Remove(kept, true));
    auto* keptItem = static_cast<IListItemUI*>(kept->GetInterface(L"IListItem"));
    EXPECT_EQ(nullptr, keptItem->GetOwner());
    EXPECT_FALSE(keptItem->IsSelected());
    delete kept;
    // A selection whose item went without the combo knowing is dropped, and
    // the next selection works.
    combo->CContainerUI::RemoveAt(combo->GetCount() - 1, false);
    combo->SelectItem(combo->GetCount());
    EXPECT_TRUE(combo->SelectItem(0));
    EXPECT_EQ(0, combo->GetCurSel());
}

TEST_F(ComboTest, ClosingTheOwnerWindowWithThePopupOpenGivesTheItemsBack) {
    Build(4);
    HWND popup = Open();
    ASSERT_NE(nullptr, popup);
    DestroyWindow(window.Get());
    EXPECT_FALSE(IsWindow(popup));
    ExpectItemsAtHome();
    EXPECT_EQ(nullptr, FindPopup());
}

TEST_F(ComboTest, AComboDestroyedWithThePopupOpenClosesIt) {
    Build(4);
    HWND popup = Open();
    ASSERT_NE(nullptr, popup);
    auto* box = window.Find<CContainerUI>(L"box");
    box->SetDelayedDestroy(false);
    ASSERT_TRUE(box->Remove(combo));
    EXPECT_FALSE(IsWindow(popup));
    PumpPending();
}

TEST_F(ComboTest, OptionItemsComeBackToTheirGroupAndNames) {
    lock_ = std::make_unique<DesktopInputLock>();
    ASSERT_NE(nullptr, window.Build(L"<Window><VerticalLayout><Combo name=\"combo\" height=\"24\">"
                                    L"<ListContainerElement height=\"20\"><Option name=\"o0\" group=\"g\" />"
                                    L"</ListContainerElement><ListContainerElement height=\"20\">"
                                    L"<Option name=\"o1\" group=\"g\" /></ListContainerElement></Combo>"
                                    L"</VerticalLayout></Window>"));
    combo = window.Find<CComboUI>(L"combo");
    auto* o0 = window.Find<COptionUI>(L"o0");
    auto* o1 = window.Find<COptionUI>(L"o1");
    ASSERT_TRUE(o0 != nullptr && o1 != nullptr);
    HWND popup = Open();
    ASSERT_NE(nullptr, popup);
    SendMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    PumpPending();
    ASSERT_FALSE(IsWindow(popup));
    EXPECT_EQ(o0, window.Find<COptionUI>(L"o0"));
    CPointerArray* group = window.manager().GetOptionGroup(L"g");
    ASSERT_NE(nullptr, group);
    EXPECT_EQ(2, group->GetSize());
    EXPECT_GE(group->Find(o0), 0);
    EXPECT_GE(group->Find(o1), 0);
    o1->Activate();
    EXPECT_FALSE(o0->IsSelected());
    o0->Activate();
    EXPECT_FALSE(o1->IsSelected());
}

TEST_F(ComboTest, ClosedItShowsTheSelectedTextUnlessShowTextIsOff) {
    for (const wchar_t* showText : {L"true", L"false"}) {
        MarkupWindow owner(300, 200);
        const std::wstring attributes = std::wstring(L"bkcolor=\"#FFFFFFFF\" textpadding=\"4,0,0,0\" showtext=\"") +
                                        showText + L"\"";
        ASSERT_NE(nullptr, owner.Build(ComboMarkup(3, attributes.c_str()).c_str()));
        auto* box = owner.Find<CComboUI>(L"combo");
        ASSERT_TRUE(box->SelectItem(1));
        DibSurface surface(300, 200);
        owner.Paint(surface);
        const bool dark = DarkestPixel(surface, RECT{0, 0, 300, 24}) != 0xFFFFFFu;
        EXPECT_EQ(wcscmp(showText, L"true") == 0, dark);
    }
}

TEST_F(ComboInSkinnedWindow, EscapeAndEnterInThePopupCloseItAndLeaveTheWindowOpen) {
    Open(new ComboSkinWindow(), L"combo");
    auto* combo = static_cast<CComboUI*>(Find(L"combo"));
    ASSERT_NE(nullptr, combo);
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        SendMessageW(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 12));
        SendMessageW(hwnd_, WM_LBUTTONUP, 0, MAKELPARAM(50, 12));
        Pump(20);
        HWND popup = FindPopup();
        ASSERT_NE(nullptr, popup);
        PostMessageW(popup, WM_KEYDOWN, key, 1);
        PostMessageW(popup, WM_KEYUP, key, 0xC0000001);
        for (DWORD start = GetTickCount(); IsWindow(popup) && GetTickCount() - start < 5000;) Pump(10);
        Pump(50);
        EXPECT_FALSE(IsWindow(popup)) << key;
        EXPECT_TRUE(IsWindow(hwnd_)) << "the key was the popup's, not the window's";
    }
}
