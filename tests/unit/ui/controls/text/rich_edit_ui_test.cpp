#include "tests/unit/ui/support/rich_edit_test_support.h"
#include "tests/unit/ui/support/ui_test_support.h"
#include "ui/controls/containers/scroll_bar_ui.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace QuillUI;

namespace {

bool IsInk(uint32_t rgb) { return ((rgb >> 16) & 0xFF) < 160 && ((rgb >> 8) & 0xFF) < 160; }

int CountInk(const DibSurface& surface, const RECT& area, const RECT* except = nullptr) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const POINT at = {x, y};
            if (except != nullptr && PtInRect(except, at)) continue;
            count += IsInk(surface.Rgb(x, y)) ? 1 : 0;
        }
    return count;
}

int Count(const NotifyRecorder& recorder, const wchar_t* type) {
    int count = 0;
    for (const HeardNotify& heard : recorder.heard) count += heard.type == type ? 1 : 0;
    return count;
}

POINT ScreenPoint(const RichEditWindow& rich, int x, int y) {
    POINT point = {x, y};
    ClientToScreen(rich.window.manager.GetPaintWindow(), &point);
    return point;
}

}  // namespace

TEST(RichEdit, TheTagMakesAnEditorWithTheMarkupTextAsItsFirstText) {
    const std::wstring text = L"Grüße, 漢字 ✓";
    RichEditWindow rich(L"text=\"" + text + L"\"");
    ASSERT_TRUE(rich.Ready());
    EXPECT_STREQ(L"RichEdit", rich.edit->GetClass());
    EXPECT_EQ(rich.edit, rich.edit->GetInterface(L"RichEdit"));
    EXPECT_NE(nullptr, rich.edit->GetInterface(L"IContainer"));
    EXPECT_EQ(3u, rich.edit->GetControlFlags());
    EXPECT_EQ(text, rich.Text());
    EXPECT_EQ(0, Count(rich.window.notifier, L"textchanged")) << "the first text is no change";

    // Characters outside the basic plane and combining marks come back as they went.
    const std::wstring other = L"\U0002000B e\u0301 \u0410\u0411";
    rich.edit->SetText(other.c_str());
    EXPECT_EQ(other, rich.Text());

    rich.edit->SetEnabled(false);
    EXPECT_EQ(0u, rich.edit->GetControlFlags());
}

TEST(RichEdit, WithoutServicesTheTextStaysInTheControl) {
    CRichEditUI edit;
    edit.SetText(L"kept");
    EXPECT_EQ(nullptr, edit.GetTextHost());
    EXPECT_STREQ(L"kept", edit.GetText().GetData());
    LRESULT result = 7;
    EXPECT_EQ(S_FALSE, edit.TxSendMessage(WM_CHAR, L'x', 0, &result));
    // Without a window there is no font for the services: no host is made.
    CTxtWinHost* kept = reinterpret_cast<CTxtWinHost*>(&edit);
    EXPECT_TRUE(CTxtWinHost::CreateHost(&edit, nullptr, &kept));
    EXPECT_EQ(reinterpret_cast<CTxtWinHost*>(&edit), kept) << "the out value is left as it was";

    // A list of numbers that ends early reads as far as it goes, never past
    // the value's end.
    GuardedBytes guarded(64);
    edit.SetAttribute(L"textpadding", guarded.PlaceText(L"1,2"));
    const RECT padding = edit.GetTextPadding();
    EXPECT_EQ(1, padding.left);
    EXPECT_EQ(2, padding.top);
    EXPECT_EQ(0, padding.right);
    EXPECT_EQ(0, padding.bottom);
}

TEST(RichEdit, AttributesChooseTheStyleTheServicesAreCreatedWith) {
    const DWORD kBarStyles = WS_VSCROLL | WS_HSCROLL | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_DISABLENOSCROLL;
    const DWORD kPlainBits = TXTBIT_RICHTEXT | TXTBIT_MULTILINE | TXTBIT_HIDESELECTION | TXTBIT_WORDWRAP;
    struct Case {
        const wchar_t* attributes;
        DWORD style;
        DWORD propertyBits;
        WORD alignment;
        bool verticalBar;
    };
    const Case cases[] = {
        {L"", ES_MULTILINE, kPlainBits, PFA_LEFT, false},
        {L"multiline=\"true\"", ES_MULTILINE, kPlainBits, PFA_LEFT, false},
        {L"multiline=\"false\"", 0, kPlainBits & ~TXTBIT_MULTILINE, PFA_LEFT, false},
        {L"multiline=\"no\"", ES_MULTILINE, kPlainBits, PFA_LEFT, false},
        {L"rich=\"false\"", ES_MULTILINE, kPlainBits & ~TXTBIT_RICHTEXT, PFA_LEFT, false},
        {L"readonly=\"true\" password=\"true\"", ES_MULTILINE | ES_READONLY | ES_PASSWORD,
         kPlainBits | TXTBIT_READONLY | TXTBIT_USEPASSWORD, PFA_LEFT, false},
        {L"readonly=\"yes\"", ES_MULTILINE, kPlainBits, PFA_LEFT, false},
        {L"align=\"center\"", ES_MULTILINE | ES_CENTER, kPlainBits, PFA_CENTER, false},
        {L"align=\"center right\"", ES_MULTILINE | ES_RIGHT, kPlainBits, PFA_RIGHT, false},
        {L"align=\"right left\"", ES_MULTILINE | ES_RIGHT, kPlainBits, PFA_RIGHT, false},
        {L"vscrollbar=\"true\" autovscroll=\"true\"", ES_MULTILINE | WS_VSCROLL | ES_DISABLENOSCROLL | ES_AUTOVSCROLL,
         kPlainBits, PFA_LEFT, true},
        {L"hscrollbar=\"true\"", ES_MULTILINE | WS_HSCROLL | ES_DISABLENOSCROLL, kPlainBits & ~TXTBIT_WORDWRAP,
         PFA_LEFT, false},
        {L"autohscroll=\"true\"", ES_MULTILINE | ES_AUTOHSCROLL, kPlainBits & ~TXTBIT_WORDWRAP, PFA_LEFT, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "attributes " << c.attributes);
        RichEditWindow rich(c.attributes);
        ASSERT_TRUE(rich.Ready());
        EXPECT_EQ(c.style, rich.edit->GetTextServicesStyle());
        DWORD bits = 0;
        rich.host->TxGetPropertyBits(0xFFFFFFFF, &bits);
        EXPECT_EQ(c.propertyBits, bits);
        DWORD bars = 0;
        rich.host->TxGetScrollBars(&bars);
        EXPECT_EQ(c.style & kBarStyles, bars);
        const PARAFORMAT* paragraph = nullptr;
        rich.host->TxGetParaFormat(&paragraph);
        EXPECT_EQ(c.alignment, paragraph->wAlignment);
        EXPECT_EQ(c.verticalBar, rich.edit->GetVerticalScrollBar() != nullptr);
    }
}

TEST(RichEdit, EnterReachesTheTextOnlyWhereTheControlWantsIt) {
    struct Case {
        const wchar_t* attributes;
        bool control;
        bool returned;
        size_t added;
    };
    const Case cases[] = {
        {L"wantreturn=\"false\"", false, true, 0},
        {L"wantreturn=\"false\"", true, true, 0},
        {L"wantctrlreturn=\"false\"", true, true, 0},
        {L"wantctrlreturn=\"false\"", false, false, 1},
        {L"", true, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.attributes << (c.control ? " Ctrl+Enter" : " Enter"));
        RichEditWindow rich(std::wstring(c.attributes) + L" text=\"ab\"");
        ASSERT_TRUE(rich.Ready());
        rich.Focus();
        {
            std::unique_ptr<ControlKeyHeld> control(c.control ? new ControlKeyHeld : nullptr);
            rich.window.Key(VK_RETURN);
        }
        EXPECT_EQ(c.returned ? 1 : 0, Count(rich.window.notifier, L"return"));
        EXPECT_EQ(2 + c.added, rich.Text().size());
    }
}

TEST(RichEdit, EachTypedCharacterAndEachNewTextIsAChange) {
    RichEditWindow rich(L"text=\"ab\"");
    ASSERT_TRUE(rich.Ready());
    rich.Focus();
    rich.Type(L"xyz");
    EXPECT_EQ(5u, rich.Text().size());
    EXPECT_EQ(3, Count(rich.window.notifier, L"textchanged"));
    rich.edit->SetText(L"done");
    EXPECT_EQ(4, Count(rich.window.notifier, L"textchanged"));
    EXPECT_EQ(L"done", rich.Text());
    for (const HeardNotify& heard : rich.window.notifier.heard) EXPECT_EQ(L"edit", heard.sender);
}

TEST(RichEdit, TheWheelScrollsTheBarAndWithCtrlItGoesToTheServices) {
    RichEditWindow rich(L"vscrollbar=\"true\"");
    ASSERT_TRUE(rich.Ready());
    rich.edit->SetText(TwelveLines().c_str());
    CScrollBarUI* bar = rich.edit->GetVerticalScrollBar();
    ASSERT_TRUE(bar->IsVisible());
    const POINT inside = ScreenPoint(rich, 50, 30);
    auto zoom = [&rich] {
        WPARAM numerator = 0;
        LPARAM denominator = 0;
        rich.ToServices(EM_GETZOOM, reinterpret_cast<WPARAM>(&numerator), reinterpret_cast<LPARAM>(&denominator));
        return numerator;
    };
    const WPARAM zoomBefore = zoom();

    rich.window.Move(50, 30);
    rich.window.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(inside.x, inside.y));
    EXPECT_GT(bar->GetScrollPos(), 0);
    EXPECT_EQ(rich.ServicesScrollPos(), bar->GetScrollPos()) << "the bar follows the services";
    EXPECT_EQ(zoomBefore, zoom());

    const int scrolled = bar->GetScrollPos();
    {
        ControlKeyHeld control;
        rich.window.Send(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, -WHEEL_DELTA), MAKELPARAM(inside.x, inside.y));
    }
    EXPECT_EQ(scrolled, bar->GetScrollPos()) << "the container did not scroll";
    EXPECT_NE(zoomBefore, zoom()) << "the services zoomed";
}

TEST(RichEdit, TheBarAndTheServicesAgreeOnThePositionOfTextOfAnyHeight) {
    RichEditWindow rich(L"vscrollbar=\"true\"");
    ASSERT_TRUE(rich.Ready());
    rich.edit->SetText(TwelveLines().c_str());
    CScrollBarUI* bar = rich.edit->GetVerticalScrollBar();
    rich.edit->SetScrollPos(SIZE{0, 40});
    EXPECT_EQ(40, rich.ServicesScrollPos());
    EXPECT_EQ(40, bar->GetScrollPos());
    rich.edit->EndDown();
    EXPECT_EQ(bar->GetScrollRange(), bar->GetScrollPos());
    rich.edit->HomeUp();
    EXPECT_EQ(0, rich.ServicesScrollPos());
    EXPECT_EQ(0, bar->GetScrollPos());

    // Taller than 16 bits of pixels: the services hand the bar scroll units
    // of 16 bits, and a position set on the bar lands beyond 65,535 pixels.
    rich.edit->SetText(std::wstring(6000, L'\r').c_str());
    ASSERT_GT(rich.NaturalHeight(), 90000);
    ASSERT_LE(bar->GetScrollRange(), 65535);
    rich.edit->SetScrollPos(SIZE{0, 47000});
    EXPECT_EQ(47000, bar->GetScrollPos());
    POINT at = {};
    rich.ToServices(EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&at));
    EXPECT_EQ(47000, at.y) << "the services' own 16-bit scroll position";
    EXPECT_GT(rich.ServicesScrollPos(), 65535) << "in pixels";
}

TEST(RichEdit, OnlyAnEditThatIsVisibleEnabledAndUncoveredTakesInput) {
    RichEditWindow rich(L"text=\"\"", L"<Control name=\"cover\" float=\"true\" pos=\"0,0,100,40\" />");
    ASSERT_TRUE(rich.Ready());
    CControlUI* cover = rich.window.Find<CControlUI>(L"cover");
    ASSERT_EQ(cover, rich.window.manager.FindControlAt(POINT{20, 20}));
    rich.window.Click(20, 20);
    EXPECT_FALSE(rich.edit->IsFocused()) << "the press belongs to the control on top";
    rich.window.Click(200, 20);
    EXPECT_TRUE(rich.edit->IsFocused());
    rich.Type(L"a");
    EXPECT_EQ(L"a", rich.Text());

    rich.edit->SetEnabled(false);
    ASSERT_TRUE(rich.edit->IsFocused());
    rich.Type(L"b");
    rich.window.Down(200, 20);
    EXPECT_FALSE(rich.host->IsCaptured());
    rich.window.Up(200, 20);
    rich.edit->SetEnabled(true);
    // Disabled in the middle of a drag, it lets the mouse go at the release.
    rich.window.Down(200, 20);
    ASSERT_TRUE(rich.host->IsCaptured());
    rich.edit->SetEnabled(false);
    rich.window.Up(200, 20);
    EXPECT_FALSE(rich.host->IsCaptured());
    EXPECT_FALSE(rich.window.manager.IsCaptured());
    rich.edit->SetEnabled(true);
    rich.edit->SetVisible(false);
    rich.Type(L"c");
    EXPECT_EQ(L"a", rich.Text());
}

TEST(RichEdit, AnEditMovedIntoAnotherWindowTakesItsKeysThereOnly) {
    RichEditWindow first(L"text=\"\"");
    ASSERT_TRUE(first.Ready());
    WidgetWindow second(300, 200);
    ASSERT_NE(nullptr, second.Build(L"<Window><VerticalLayout /></Window>"));
    CRichEditUI* edit = first.edit;
    first.Focus();
    ASSERT_TRUE(static_cast<CContainerUI*>(first.window.root)->Remove(edit, true));
    ASSERT_TRUE(static_cast<CContainerUI*>(second.root)->Add(edit));

    first.window.Send(WM_CHAR, L'a', 1);
    EXPECT_STREQ(L"", edit->GetText().GetData()) << "the window it left";
    edit->SetFocus();
    second.Send(WM_CHAR, L'b', 1);
    EXPECT_STREQ(L"b", edit->GetText().GetData());
}

TEST(RichEdit, TabStaysInAnEditThatWantsIt) {
    for (bool wanted : {true, false}) {
        RichEditWindow rich(wanted ? L"" : L"wanttab=\"false\"");
        ASSERT_TRUE(rich.Ready());
        rich.Focus();
        LRESULT result = 0;
        EXPECT_EQ(!wanted, rich.window.manager.PreMessageHandler(WM_KEYDOWN, VK_TAB, 0, result));
    }
}

TEST(RichEdit, TextIsDrawnInsideThePaddingOverTheControlsBackground) {
    const std::wstring lines = L"WWWW WWWW WWWW WWWW WWWW WWWW WWWW WWWW WWWW WWWW WWWW WWWW WWWW WWWW";
    struct Case {
        const wchar_t* transparent;
        uint32_t background;
    };
    for (const Case& c : {Case{L"true", 0xFFFF00}, Case{L"false", 0xFFFFFF}}) {
        RichEditWindow rich(L"textpadding=\"20,10,20,10\" bkcolor=\"#FFFFFF00\" transparent=\"" +
                            std::wstring(c.transparent) + L"\" text=\"" + lines + L"\"");
        ASSERT_TRUE(rich.Ready());
        const RECT text = {20, 10, 280, 50};
        RECT client = {};
        rich.host->GetControlRect(&client);
        EXPECT_EQ(0, memcmp(&text, &client, sizeof(text)));
        ASSERT_GT(rich.NaturalHeight(), 40) << "the text runs past the client";
        DibSurface dib(300, 200);
        rich.window.Paint(dib);
        EXPECT_GT(CountInk(dib, text), 0);
        EXPECT_EQ(0, CountInk(dib, RECT{0, 0, 300, 60}, &text));
        EXPECT_TRUE(Near(0xFFFF00, dib.Rgb(5, 5)));
        EXPECT_TRUE(Near(c.background, dib.Rgb(275, 45))) << "transparent " << c.transparent;

        // A parent that scrolls moves the edit; the padding moves with it.
        rich.edit->Move(0, 30, false);
        rich.host->GetControlRect(&client);
        EXPECT_EQ(10 + 30, client.top);
        EXPECT_EQ(50 + 30, client.bottom);
        EXPECT_EQ(20, client.left);
        EXPECT_EQ(280, client.right);
    }
}

TEST(RichEdit, APasswordShowsNoneOfItsCharacters) {
    auto paint = [](const wchar_t* text, DibSurface& dib) {
        RichEditWindow rich(std::wstring(L"password=\"true\" text=\"") + text + L"\"");
        ASSERT_TRUE(rich.Ready());
        EXPECT_EQ(text, rich.Text());
        rich.window.Paint(dib);
    };
    DibSurface wide(300, 200), narrow(300, 200);
    paint(L"WWWW", wide);
    paint(L"iiii", narrow);
    const RECT area = {0, 0, 300, 60};
    ASSERT_GT(CountInk(wide, area), 0);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 300; ++x) ASSERT_EQ(wide.Rgb(x, y), narrow.Rgb(x, y)) << x << "," << y;
}

TEST(RichEdit, OnALayeredWindowTheControlDrawsTheCaret) {
    RichEditWindow rich(L"text=\"abc\"");
    ASSERT_TRUE(rich.Ready());
    rich.window.manager.SetLayered(true);
    rich.Focus();
    ASSERT_TRUE(rich.host->IsShowCaret());
    rich.host->TxSetCaretPos(150, 20);
    DibSurface dib(300, 200);
    rich.window.Paint(dib);
    for (int y = 20; y < 20 + rich.host->GetCaretHeight(); ++y) EXPECT_EQ(0x000000u, dib.Rgb(150, y)) << y;
    EXPECT_EQ(0xFFFFFFu, dib.Rgb(151, 25));

    // The blink hides it on the next tick and shows it on the one after.
    ASSERT_EQ(rich.window.manager.GetPaintWindow(), GetFocus());
    ControlEventUI blink = MakeEvent(EventTimer, 0, 0, CRichEditUI::kCaretTimerId);
    rich.edit->Event(blink);
    rich.window.Paint(dib);
    EXPECT_EQ(0xFFFFFFu, dib.Rgb(150, 25));
    rich.edit->Event(blink);
    rich.window.Paint(dib);
    EXPECT_EQ(0x000000u, dib.Rgb(150, 25));
}
