// A shown window whose manager holds a tree built from markup and gets the
// window's messages, so that controls with native child windows work as in
// a skinned window: their windows' notifications come back reflected, and
// focus moves between them and the window.
#pragma once
#include "common/win.h"
#include "tests/unit/ui/support/managed_window.h"
#include "tests/unit/ui/support/widget_test_support.h"
#include "ui/core/control/control_ui.h"
#include "ui/core/markup/dialog_builder.h"

#include <string>

class NativeChildWindow {
public:
    explicit NativeChildWindow(int width = 300, int height = 200) : window_(width, height) {
        manager().SetDefaultFont(L"Arial", 14, false, false, false);
        manager().AddNotifier(&notifier);
    }
    ~NativeChildWindow() { manager().RemoveNotifier(&notifier); }
    NativeChildWindow(const NativeChildWindow&) = delete;
    NativeChildWindow& operator=(const NativeChildWindow&) = delete;

    // Builds the markup, shows the window active and focused and paints it
    // once, which lays the tree out.
    QuillUI::CControlUI* Build(const wchar_t* markup) {
        QuillUI::CDialogBuilder builder;
        root = builder.Create(markup, nullptr, nullptr, &manager());
        if (root == nullptr || !manager().AttachDialog(root)) return nullptr;
        RECT client = {};
        GetClientRect(window_.Get(), &client);
        root->SetPos(client, false);
        window_.Show();
        UpdateWindow(window_.Get());
        notifier.heard.clear();
        return root;
    }
    template <class Control>
    Control* Find(const wchar_t* name) {
        return static_cast<Control*>(manager().FindControl(name));
    }
    QuillUI::CWindowManagerUI& manager() { return window_.manager; }
    HWND Get() const { return window_.Get(); }

    // Input as the window's procedure gets it.
    void Click(int x, int y) {
        window_.Mouse(WM_MOUSEMOVE, x, y);
        window_.Mouse(WM_LBUTTONDOWN, x, y, MK_LBUTTON);
        window_.Mouse(WM_LBUTTONUP, x, y);
    }
    // What the posted flush does: queued notifications and delayed deletions.
    void Flush() { SendMessageW(window_.Get(), WM_APP + 1, 0, 0); }
    // A key as the message loop's translation sees it (Tab moves the focus).
    void PreTranslateKey(WPARAM key) {
        LRESULT result = 0;
        manager().PreMessageHandler(WM_KEYDOWN, key, 0, result);
    }
    // The whole tree over a white surface.
    void Paint(DibSurface& surface) {
        surface.Fill(0xFFFFFFFF);
        RECT client = {};
        GetClientRect(window_.Get(), &client);
        root->Paint(surface.Dc(), client, nullptr);
    }

    NotifyRecorder notifier;
    QuillUI::CControlUI* root = nullptr;

private:
    ManagedWindow window_;
};

// A window's text.
inline std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], length + 1)));
    return text;
}
