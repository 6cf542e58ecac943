// A real window whose procedure hands every message to its manager, with a
// tree built from markup and laid out over the whole client area: tests
// drive it with SendMessageW, record its notifications and paint it into
// a DIB. The window stays hidden and never takes the desktop.
#pragma once
#include "common/win.h"
#include "tests/unit/ui/support/managed_window.h"
#include "tests/unit/ui/support/render_test_support.h"
#include "tests/unit/ui/support/widget_test_support.h"
#include "ui/core/markup/dialog_builder.h"

class MarkupWindow : public WindowInput<MarkupWindow> {
public:
    explicit MarkupWindow(int width = 300, int height = 200) : window_(width, height), width_(width), height_(height) {
        manager().SetDefaultFont(L"Arial", 14, false, false, false);
        manager().AddNotifier(&notifier);
    }
    ~MarkupWindow() { manager().RemoveNotifier(&notifier); }
    MarkupWindow(const MarkupWindow&) = delete;
    MarkupWindow& operator=(const MarkupWindow&) = delete;

    QuillUI::CWindowManagerUI& manager() { return window_.manager; }
    HWND Get() const { return window_.Get(); }

    // Builds the markup (a "Window" element around the controls), attaches
    // it and lays it out.
    QuillUI::CControlUI* Build(const wchar_t* markup) {
        QuillUI::CDialogBuilder builder;
        root = builder.Create(markup, nullptr, nullptr, &manager());
        if (root == nullptr || !manager().AttachDialog(root)) return nullptr;
        Layout();
        return root;
    }
    void Layout() { root->SetPos(RECT{0, 0, width_, height_}, false); }
    template <class Control>
    Control* Find(const wchar_t* name) {
        return static_cast<Control*>(manager().FindControl(name));
    }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageW(window_.Get(), message, wParam, lParam);
    }
    // One notch of the wheel at a client point; up or down.
    void Wheel(int x, int y, bool down) {
        POINT screen = {x, y};
        ClientToScreen(window_.Get(), &screen);
        Send(WM_MOUSEWHEEL, MAKEWPARAM(0, down ? -WHEEL_DELTA : WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
    }

    // Paints the whole tree over a white surface.
    void Paint(DibSurface& surface) {
        surface.Fill(0xFFFFFFFF);
        RECT all = {0, 0, width_, height_};
        root->Paint(surface.Dc(), all, nullptr);
    }

    NotifyRecorder notifier;
    QuillUI::CControlUI* root = nullptr;

private:
    // First made and last destroyed: the manager goes while its window lives.
    ManagedWindow window_;
    int width_;
    int height_;
};
