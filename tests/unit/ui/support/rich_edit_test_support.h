// A window holding one rich edit built from markup, on the platform's real
// text services, and the keys and messages the tests drive it with.
#pragma once
#include "common/win.h"
#include "tests/unit/ui/support/widget_test_support.h"
#include "ui/controls/text/rich_edit_ui.h"
#include "ui/controls/text/txt_win_host.h"

#include <gtest/gtest.h>

#include <string>

// Ctrl held for the thread while the object lives; keys posted or sent do
// not change what GetKeyState reads, the keyboard state does.
class ControlKeyHeld {
public:
    ControlKeyHeld() { Set(0x80); }
    ~ControlKeyHeld() { Set(0); }
    ControlKeyHeld(const ControlKeyHeld&) = delete;
    ControlKeyHeld& operator=(const ControlKeyHeld&) = delete;

private:
    static void Set(BYTE state) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = state;
        SetKeyboardState(keys);
    }
};

// The rich edit "edit" lies at the top of a 300 by 200 window, 300 wide and
// 60 high, above a filler control; more markup may follow it.
class RichEditWindow {
public:
    explicit RichEditWindow(const std::wstring& attributes, const std::wstring& after = L"") : window(300, 200) {
        const std::wstring markup = L"<Window><VerticalLayout><RichEdit name=\"edit\" height=\"60\" " + attributes +
                                    L" />" + after + L"<Control /></VerticalLayout></Window>";
        if (window.Build(markup.c_str()) == nullptr) return;
        edit = window.Find<QuillUI::CRichEditUI>(L"edit");
        host = edit != nullptr ? edit->GetTextHost() : nullptr;
    }
    bool Ready() const { return host != nullptr; }
    ITextServices* Services() const { return host->GetTextServices(); }
    LRESULT ToServices(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        LRESULT result = 0;
        Services()->TxSendMessage(message, wParam, lParam, &result);
        return result;
    }
    std::wstring Text() const { return edit->GetText().GetData(); }
    // Focused as Tab focuses it: the services count clicks across their
    // instances, so a click soon after an earlier window's is no plain click.
    void Focus() {
        edit->SetFocus();
        ASSERT_TRUE(edit->IsFocused());
    }
    void Type(const std::wstring& text) {
        for (wchar_t ch : text) window.Send(WM_CHAR, ch, 1);
    }
    // The services' own vertical position.
    LONG ServicesScrollPos() const {
        LONG minimum = 0, maximum = 0, position = 0, page = 0;
        BOOL enabled = FALSE;
        Services()->TxGetVScroll(&minimum, &maximum, &position, &page, &enabled);
        return position;
    }
    LONG NaturalHeight() const {
        RECT client = {};
        host->GetControlRect(&client);
        LONG width = client.right - client.left;
        LONG height = 0;
        const SIZEL extent = {-1, -1};
        Services()->TxGetNaturalSize(DVASPECT_CONTENT, window.manager.GetPaintDC(), nullptr, nullptr,
                                     TXTNS_FITTOCONTENT, &extent, &width, &height);
        return height;
    }

    WidgetWindow window;
    QuillUI::CRichEditUI* edit = nullptr;
    QuillUI::CTxtWinHost* host = nullptr;
};

// Twelve paragraphs: far taller than the edit.
inline std::wstring TwelveLines() {
    std::wstring lines;
    for (int i = 0; i < 12; ++i) lines += L"line " + std::to_wstring(i) + L"\r";
    return lines;
}
