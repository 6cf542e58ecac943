#include "tests/unit/ui/support/rich_edit_test_support.h"
#include "ui/controls/containers/scroll_bar_ui.h"
#include "ui/core/render/gdi_handles.h"
#include "ui/core/values/delegate.h"

#include <gtest/gtest.h>

#include <vector>

using namespace QuillUI;

namespace {

// {C5BDD8D0-D26E-11CE-A89E-00AA006CADC5}
const IID kTextHostIid = {0xC5BDD8D0, 0xD26E, 0x11CE, {0xA8, 0x9E, 0x00, 0xAA, 0x00, 0x6C, 0xAD, 0xC5}};

HFONT MakeFont(int height, int weight = FW_NORMAL, BOOL italic = FALSE) {
    return CreateFontW(height, 0, 0, 0, weight, italic, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
}

const CHARFORMAT2W& DefaultCharFormat(CTxtWinHost* host) {
    const CHARFORMATW* format = nullptr;
    EXPECT_EQ(S_OK, host->TxGetCharFormat(&format));
    return *reinterpret_cast<const CHARFORMAT2W*>(format);
}

// Records the area each paint pass of the root covers.
class PaintAreas {
public:
    explicit PaintAreas(CControlUI* root) : root_(root) {
        root->OnPaint.Add(CDelegate<PaintAreas, PaintAreas>(this, &PaintAreas::Record));
    }
    std::vector<RECT> areas;

private:
    bool Record(void*) {
        areas.push_back(root_->GetPaintRect());
        return true;
    }
    CControlUI* root_;
};

bool Contains(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

}  // namespace

TEST(TxtWinHost, AHostOfTheRealServicesIsCountedOnceAndAnswersItsInterfaces) {
    RichEditWindow rich(L"");
    ASSERT_TRUE(rich.Ready());
    // The services hold no reference of their own: the owner's is the last.
    EXPECT_EQ(2u, rich.host->AddRef());
    EXPECT_EQ(1u, rich.host->Release());

    void* answer = reinterpret_cast<void*>(1);
    EXPECT_EQ(S_OK, rich.host->QueryInterface(kTextHostIid, &answer));
    EXPECT_EQ(static_cast<ITextHost*>(rich.host), answer);
    rich.host->Release();
    EXPECT_EQ(E_NOINTERFACE, rich.host->QueryInterface(IID_IDispatch, &answer));
    EXPECT_EQ(nullptr, answer);

    DWORD bits = 0xFFFFFFFF;
    EXPECT_EQ(S_OK, rich.host->TxGetPropertyBits(0, &bits));
    EXPECT_EQ(0u, bits);
}

TEST(TxtWinHost, TheVerticalBarShowsWhatTheClientCannotHoldAndNoMore) {
    RichEditWindow rich(L"vscrollbar=\"true\"");
    ASSERT_TRUE(rich.Ready());
    CScrollBarUI* bar = rich.edit->GetVerticalScrollBar();
    ASSERT_NE(nullptr, bar);
    // The services' first range, sent before any client rectangle, does not keep the bar.
    EXPECT_FALSE(bar->IsVisible());

    // A window of the manager's own repaints: the test's window is never shown.
    rich.window.manager.SetLayered(true);
    for (int i = 0; i < 2; ++i) rich.window.Send(WM_PAINT);
    rich.edit->SetText(TwelveLines().c_str());
    EXPECT_TRUE(bar->IsVisible());
    // The next paint makes room for the bar at the edit's right edge.
    rich.window.Send(WM_PAINT);
    const RECT placed = bar->GetPos();
    EXPECT_EQ(284, placed.left);
    EXPECT_EQ(300, placed.right);
    EXPECT_EQ(60, placed.bottom);
    RECT client = {};
    rich.host->GetControlRect(&client);
    EXPECT_EQ(284, client.right);
    const LONG natural = rich.NaturalHeight();
    ASSERT_GT(natural, 60);
    EXPECT_EQ(natural - 60, bar->GetScrollRange());

    rich.host->TxSetScrollRange(SB_VERT, 0, 60, TRUE);
    EXPECT_FALSE(bar->IsVisible()) << "exactly as tall as the client";
    rich.host->TxSetScrollRange(SB_VERT, 10, 71, TRUE);
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_EQ(1, bar->GetScrollRange());
    rich.host->TxSetScrollPos(SB_VERT, 1, TRUE);
    EXPECT_EQ(1, bar->GetScrollPos());
}

TEST(TxtWinHost, ScrollRequestsWithoutBarsChangeNothing) {
    RichEditWindow rich(L"");
    ASSERT_TRUE(rich.Ready());
    rich.edit->SetText(TwelveLines().c_str());
    rich.ToServices(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_GT(rich.ServicesScrollPos(), 0) << "the services scroll without a bar of the control";
    for (INT bar : {SB_HORZ, SB_VERT, SB_BOTH}) {
        EXPECT_TRUE(rich.host->TxShowScrollBar(bar, TRUE));
        EXPECT_TRUE(rich.host->TxSetScrollRange(bar, 0, 500, TRUE));
        EXPECT_TRUE(rich.host->TxSetScrollPos(bar, 40, TRUE));
    }
    EXPECT_EQ(nullptr, rich.edit->GetVerticalScrollBar());
    EXPECT_EQ(nullptr, rich.edit->GetHorizontalScrollBar());
}

TEST(TxtWinHost, FontsBecomeTwipsAndColoursSwapTheirRedAndBlue) {
    RichEditWindow rich(L"textcolor=\"  #FFAABBCC\"");
    ASSERT_TRUE(rich.Ready());
    const int dpi = GetDeviceCaps(rich.window.manager.GetPaintDC(), LOGPIXELSY);
    ASSERT_EQ(96, dpi);
    // The window's default font, 14 pixels.
    EXPECT_EQ(210, DefaultCharFormat(rich.host).yHeight);
    EXPECT_EQ(0x00CCBBAAu, DefaultCharFormat(rich.host).crTextColor);
    EXPECT_EQ(sizeof(CHARFORMAT2W), DefaultCharFormat(rich.host).cbSize);

    ScopedFont bold(MakeFont(-12, FW_BOLD, TRUE));
    rich.host->SetFont(bold.Get());
    EXPECT_EQ(180, DefaultCharFormat(rich.host).yHeight);
    EXPECT_EQ(static_cast<DWORD>(CFE_BOLD | CFE_ITALIC), DefaultCharFormat(rich.host).dwEffects & 0xF);
    EXPECT_STREQ(L"Arial", DefaultCharFormat(rich.host).szFaceName);

    ScopedFont cellHeight(MakeFont(12));
    rich.host->SetFont(cellHeight.Get());
    EXPECT_EQ(180, DefaultCharFormat(rich.host).yHeight) << "a positive height is no negative size";
    EXPECT_EQ(0u, DefaultCharFormat(rich.host).dwEffects & 0xF);

    rich.host->SetColor(0xFF112233);
    const CHARFORMAT2W before = DefaultCharFormat(rich.host);
    EXPECT_EQ(0x00332211u, before.crTextColor);
    rich.host->SetFont(nullptr);
    EXPECT_EQ(0, memcmp(&before, &DefaultCharFormat(rich.host), sizeof(before)));
}

TEST(TxtWinHost, ALayeredWindowRepaintsBothTheOldAndTheNewCaret) {
    RichEditWindow rich(L"");
    ASSERT_TRUE(rich.Ready());
    rich.window.manager.SetLayered(true);
    ASSERT_TRUE(rich.window.manager.IsLayered());
    PaintAreas painted(rich.window.root);
    rich.Focus();
    // The services' caret is as wide as the system draws it, never 0.
    ASSERT_GE(rich.host->GetCaretWidth(), 1);
    const int width = rich.host->GetCaretWidth();
    const int height = rich.host->GetCaretHeight();

    rich.host->TxSetCaretPos(30, 20);
    for (int i = 0; i < 3; ++i) rich.window.Send(WM_PAINT);
    painted.areas.clear();
    rich.window.Send(WM_PAINT);
    ASSERT_TRUE(painted.areas.empty()) << "nothing left to repaint";

    rich.host->TxSetCaretPos(120, 35);
    rich.window.Send(WM_PAINT);
    ASSERT_EQ(1u, painted.areas.size());
    const RECT& area = painted.areas[0];
    EXPECT_TRUE(Contains(area, RECT{30, 20, 30 + width, 20 + height}));
    EXPECT_TRUE(Contains(area, RECT{120, 35, 120 + width, 35 + height}));
    EXPECT_FALSE(Contains(area, RECT{0, 0, 300, 200})) << "the carets only, not the window";
}
