#include "ui/controls/containers/container_ui.h"
#include "ui/controls/text/edit_ui.h"
#include "ui/core/render/font_info_ui.h"
#include "tests/unit/ui/support/native_child_test_support.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <string>

using namespace QuillUI;

namespace {

// Two edits one above the other over an empty control; "box" scrolls.
const wchar_t kEdits[] =
    L"<Window><VerticalLayout>"
    L"<VerticalLayout name=\"box\" height=\"60\" vscrollbar=\"true\">"
    L"<Edit name=\"e\" height=\"30\" text=\"hello\" />"
    L"<Edit name=\"all\" height=\"30\" text=\"world\" autoselall=\"true\" />"
    L"<Control height=\"300\" />"
    L"</VerticalLayout>"
    L"<Control name=\"rest\" />"
    L"</VerticalLayout></Window>";

class EditWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, window.Build(kEdits));
        edit = window.Find<CEditUI>(L"e");
        ASSERT_NE(nullptr, edit);
    }
    // Opens the edit's native window through the focus.
    HWND Open(CEditUI* which) {
        which->SetFocus();
        return which->GetNativeWindow();
    }
    std::pair<DWORD, DWORD> Selection(HWND native) {
        DWORD start = 0, end = 0;
        SendMessageW(native, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return {start, end};
    }

    NativeChildWindow window{300, 200};
    CEditUI* edit = nullptr;
};

CEditUI* g_normalised = nullptr;

// A handler that writes the text back in capitals.
void Capitalise(NotifyMessageUI& message) {
    if (message.type != L"textchanged" || g_normalised == nullptr) return;
    std::wstring text = g_normalised->GetText().GetData();
    for (wchar_t& c : text) c = static_cast<wchar_t>(towupper(c));
    g_normalised->SetText(text.c_str());
}

}  // namespace

TEST_F(EditWindow, TheNativeWindowLiesOverTheTextAreaAsHighAsTheFont) {
    window.manager().AddFont(1, L"Arial", 12, false, false, false);
    edit->SetFont(1);
    HWND native = Open(edit);
    ASSERT_NE(nullptr, native);
    EXPECT_TRUE(IsWindowVisible(native));
    EXPECT_EQ(window.Get(), GetParent(native));
    const int fontHeight = window.manager().GetFontInfo(1)->metrics.tmHeight;
    ASSERT_GT(fontHeight, 0);
    ASSERT_LT(fontHeight, 24);
    const RECT at = window.manager().GetChildWindowRect(native);
    const RECT& item = edit->GetPos();
    EXPECT_EQ(item.left + 4, at.left);
    EXPECT_EQ(item.right - 4, at.right);
    EXPECT_EQ(item.top + 3 + (24 - fontHeight) / 2, at.top);
    EXPECT_EQ(fontHeight, at.bottom - at.top);
}

TEST_F(EditWindow, TabOpensTheCaretAtTheEndOrSelectsAllWithAutoSelAll) {
    window.PreTranslateKey(VK_TAB);
    ASSERT_EQ(edit, window.manager().GetFocus());
    HWND first = edit->GetNativeWindow();
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, GetFocus());
    EXPECT_EQ(L"hello", WindowText(first));
    EXPECT_EQ(std::make_pair(DWORD(5), DWORD(5)), Selection(first));

    window.PreTranslateKey(VK_TAB);
    auto* all = window.Find<CEditUI>(L"all");
    ASSERT_EQ(all, window.manager().GetFocus());
    EXPECT_FALSE(IsWindow(first)) << "the first window closed when it lost the focus";
    EXPECT_EQ(nullptr, edit->GetNativeWindow());
    EXPECT_EQ(std::make_pair(DWORD(0), DWORD(5)), Selection(all->GetNativeWindow()));
}

TEST_F(EditWindow, TypingReportsEachChangeAndEnterReportsReturn) {
    edit->SetText(L"");
    HWND native = Open(edit);
    ASSERT_NE(nullptr, native);
    SendMessageW(native, WM_CHAR, 'o', 0);
    SendMessageW(native, WM_CHAR, 'k', 0);
    EXPECT_EQ(L"ok", std::wstring(edit->GetText().GetData()));
    SendMessageW(native, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(L"textchanged:e textchanged:e return:e", window.notifier.Summary());
    EXPECT_EQ(L"ok", WindowText(native));

    // Text set while open reaches the window.
    edit->SetText(L"new");
    EXPECT_EQ(L"new", WindowText(native));
}

TEST_F(EditWindow, AHandlerThatSetsTheTextEnds) {
    g_normalised = edit;
    window.notifier.onNotify = &Capitalise;
    edit->SetText(L"");
    HWND native = Open(edit);
    ASSERT_NE(nullptr, native);
    SendMessageW(native, WM_CHAR, 'a', 0);
    EXPECT_EQ(L"A", std::wstring(edit->GetText().GetData()));
    EXPECT_EQ(L"A", WindowText(native));
    window.notifier.onNotify = nullptr;
    g_normalised = nullptr;
}

TEST_F(EditWindow, AClickElsewhereClosesTheWindowAndTheControlPaintsItsText) {
    HWND native = Open(edit);
    ASSERT_NE(nullptr, native);
    window.Click(150, 150);
    EXPECT_FALSE(IsWindow(native));
    EXPECT_EQ(nullptr, edit->GetNativeWindow());
    EXPECT_FALSE(edit->IsFocused());
    DibSurface surface(300, 200);
    window.Paint(surface);
    EXPECT_NE(0xFFFFFFu, DarkestPixel(surface, RECT{0, 0, 300, 30})) << "the text is painted";

    // A click on the edit opens it again.
    window.Click(150, 15);
    EXPECT_NE(nullptr, edit->GetNativeWindow());
}

TEST_F(EditWindow, HidingDisablingOrDeletingTheControlClosesItsWindow) {
    struct Case {
        const char* what;
        void (*act)(CEditUI* edit);
    };
    const Case cases[] = {
        {"disabled", [](CEditUI* e) { e->SetEnabled(false); }},
        {"hidden", [](CEditUI* e) { e->SetVisible(false); }},
        {"hidden by its parent", [](CEditUI* e) { e->SetInternVisible(false); }},
    };
    for (const Case& c : cases) {
        edit->SetEnabled(true);
        edit->SetVisible(true);
        edit->SetInternVisible(true);
        HWND native = Open(edit);
        ASSERT_NE(nullptr, native) << c.what;
        c.act(edit);
        EXPECT_FALSE(IsWindow(native)) << c.what;
        EXPECT_EQ(nullptr, edit->GetNativeWindow()) << c.what;
        EXPECT_NE(edit, window.manager().GetFocus()) << c.what;
    }

    // Deleted while open: no window, and the manager lists none for it.
    edit->SetEnabled(true);
    edit->SetVisible(true);
    edit->SetInternVisible(true);
    HWND native = Open(edit);
    ASSERT_NE(nullptr, native);
    auto* box = window.Find<CContainerUI>(L"box");
    ASSERT_TRUE(box->Remove(edit));
    window.Flush();
    EXPECT_FALSE(IsWindow(native));
    EXPECT_FALSE(window.manager().RemoveNativeWindow(native));
    EXPECT_EQ(nullptr, window.manager().GetFocus());
    EXPECT_EQ(window.Get(), GetFocus()) << "the keyboard went back to the window";
}

TEST_F(EditWindow, AnEditScrolledAwayHidesItsWindow) {
    HWND native = Open(edit);
    ASSERT_NE(nullptr, native);
    auto* box = window.Find<CContainerUI>(L"box");
    box->SetScrollPos(SIZE{0, 100});
    const RECT away = edit->ComputeWindowRect();
    EXPECT_TRUE(IsRectEmpty(&away));
    // Hidden, the window gives up the keyboard and with it closes.
    EXPECT_FALSE(IsWindow(native) && IsWindowVisible(native));
    box->SetScrollPos(SIZE{0, 0});
    window.Click(150, 15);
    EXPECT_TRUE(IsWindowVisible(edit->GetNativeWindow()));
}

TEST_F(EditWindow, OnlyANativeBackgroundColourGivesTheWindowABrush) {
    struct Case {
        const wchar_t* value;
        bool brush;
    };
    const Case cases[] = {{L"", false}, {L"FFFFFFFF", false}, {L"#FFFFFFFF", false}, {L"#FF00FF00", true}};
    for (const Case& c : cases) {
        if (*c.value != L'\0') edit->SetAttribute(L"nativebkcolor", c.value);
        HWND native = Open(edit);
        ASSERT_NE(nullptr, native);
        HDC dc = GetDC(native);
        // The manager reflects the colour request to the window that sent it.
        const LRESULT first = SendMessageW(window.Get(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                           reinterpret_cast<LPARAM>(native));
        const LRESULT second = SendMessageW(window.Get(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                            reinterpret_cast<LPARAM>(native));
        ReleaseDC(native, dc);
        EXPECT_EQ(c.brush, first != 0) << std::string(c.value, c.value + wcslen(c.value));
        EXPECT_EQ(first, second) << "an opaque colour keeps its brush";
        window.Click(150, 150);
    }
}

TEST(EditNativeWindow, TheWindowTakesTheControlsSettings) {
    struct Case {
        const wchar_t* attributes;
        DWORD style;  // bits that must be set
        DWORD limit;
        wchar_t passwordChar;
    };
    const Case cases[] = {
        {L"", WS_CHILD | ES_AUTOHSCROLL, 255, 0},
        {L"numberonly=\"true\" maxchar=\"8\"", ES_NUMBER, 8, 0},
        {L"password=\"true\"", ES_PASSWORD, 255, L'*'},
        {L"readonly=\"true\"", ES_READONLY, 255, 0},
        {L"align=\"center\"", ES_CENTER, 255, 0},
        {L"align=\"right\"", ES_RIGHT, 255, 0},
    };
    for (const Case& c : cases) {
        NativeChildWindow window(300, 60);
        const std::wstring markup = L"<Window><VerticalLayout><Edit name=\"e\" height=\"30\" text=\"12\" " +
                                    std::wstring(c.attributes) + L" /><Control /></VerticalLayout></Window>";
        ASSERT_NE(nullptr, window.Build(markup.c_str()));
        auto* edit = window.Find<CEditUI>(L"e");
        edit->SetFocus();
        HWND native = edit->GetNativeWindow();
        const std::string what(c.attributes, c.attributes + wcslen(c.attributes));
        ASSERT_NE(nullptr, native) << what;
        const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(native, GWL_STYLE));
        EXPECT_EQ(c.style, style & c.style) << what;
        EXPECT_EQ(c.limit, static_cast<DWORD>(SendMessageW(native, EM_GETLIMITTEXT, 0, 0))) << what;
        EXPECT_EQ(c.passwordChar, static_cast<wchar_t>(SendMessageW(native, EM_GETPASSWORDCHAR, 0, 0))) << what;
        EXPECT_EQ(L"12", WindowText(native)) << what;
    }
}

TEST(EditPaint, APasswordPaintsLikeALabelOfPasswordCharacters) {
    NativeChildWindow window(300, 60);
    ASSERT_NE(nullptr, window.Build(L"<Window><HorizontalLayout>"
                                    L"<Edit name=\"e\" width=\"100\" height=\"30\" password=\"true\" text=\"abc\" />"
                                    L"<Label width=\"100\" height=\"30\" textpadding=\"4,3,4,3\" text=\"***\" />"
                                    L"<Control /></HorizontalLayout></Window>"));
    DibSurface surface(300, 60);
    window.Paint(surface);
    int differing = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 100; ++x) differing += surface.Rgb(x, y) != surface.Rgb(100 + x, y) ? 1 : 0;
    EXPECT_EQ(0, differing);
    EXPECT_NE(0xFFFFFFu, DarkestPixel(surface, RECT{0, 0, 100, 30}));
}
