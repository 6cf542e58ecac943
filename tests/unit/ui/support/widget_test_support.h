// A window with a manager whose tree is built from markup, for the tests of
// the text-showing controls and the layouts: input through the manager's
// message handler, notifications recorded, pixels painted into a DIB.
#pragma once
#include "common/win.h"
#include "tests/unit/ui/support/render_test_support.h"
#include "ui/core/control/control_ui.h"
#include "ui/core/markup/dialog_builder.h"
#include "ui/core/manager/notify_message_ui.h"
#include "ui/core/manager/window_listeners_ui.h"
#include "ui/core/manager/window_manager_ui.h"
#include "tests/unit/ui/support/window_manager_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

struct HeardNotify {
    std::wstring type;
    std::wstring sender;
    WPARAM wParam;
    LPARAM lParam;
};

class NotifyRecorder : public QuillUI::INotifyUI {
public:
    void Notify(QuillUI::NotifyMessageUI& message) override {
        const std::wstring type = message.type.GetData();
        // Focus changes come with every click; the tests look at the rest.
        if (type == L"setfocus" || type == L"killfocus") return;
        heard.push_back(HeardNotify{type, message.sender != nullptr ? message.sender->GetName().GetData() : L"",
                                    message.wParam, message.lParam});
        if (onNotify) onNotify(message);
    }
    // "type:sender" for each notification, joined by blanks.
    std::wstring Summary() const {
        std::wstring out;
        for (const HeardNotify& h : heard) out += (out.empty() ? L"" : L" ") + h.type + L":" + h.sender;
        return out;
    }

    std::vector<HeardNotify> heard;
    void (*onNotify)(QuillUI::NotifyMessageUI& message) = nullptr;
};

// Mouse and key input through the window type's Send.
template <class Window>
class WindowInput {
public:
    void Move(int x, int y) { Self().Send(WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }
    void Down(int x, int y) { Self().Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
    void Up(int x, int y) { Self().Send(WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }
    void Click(int x, int y) {
        Move(x, y);
        Down(x, y);
        Up(x, y);
    }
    void Key(WPARAM key) { Self().Send(WM_KEYDOWN, key, 0); }

private:
    Window& Self() { return static_cast<Window&>(*this); }
};

class WidgetWindow : public WindowInput<WidgetWindow> {
    // First made and last destroyed: the manager goes while its window lives.
    PlainWindow window_;

public:
    explicit WidgetWindow(int width = 300, int height = 200) : window_(width, height), width_(width), height_(height) {
        manager.Init(window_.Get());
        manager.SetDefaultFont(L"Arial", 14, false, false, false);
        manager.AddNotifier(&notifier);
    }
    ~WidgetWindow() { manager.RemoveNotifier(&notifier); }
    WidgetWindow(const WidgetWindow&) = delete;
    WidgetWindow& operator=(const WidgetWindow&) = delete;

    // Builds the markup (a "Window" element around the controls), attaches
    // it and lays it out over the whole window.
    QuillUI::CControlUI* Build(const wchar_t* markup) {
        QuillUI::CDialogBuilder builder;
        root = builder.Create(markup, nullptr, nullptr, &manager);
        if (root == nullptr || !manager.AttachDialog(root)) return nullptr;
        Layout();
        return root;
    }
    void Layout() { root->SetPos(RECT{0, 0, width_, height_}, false); }
    template <class Control>
    Control* Find(const wchar_t* name) {
        return static_cast<Control*>(manager.FindControl(name));
    }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        LRESULT result = 0;
        manager.MessageHandler(message, wParam, lParam, result);
        return result;
    }

    // Paints the whole tree over a white surface.
    void Paint(DibSurface& surface) {
        surface.Fill(0xFFFFFFFF);
        RECT all = {0, 0, width_, height_};
        root->Paint(surface.Dc(), all, nullptr);
    }

    QuillUI::CWindowManagerUI manager;
    NotifyRecorder notifier;
    QuillUI::CControlUI* root = nullptr;

private:
    int width_;
    int height_;
};

// The pixel of the area farthest from white: where a text's own colour
// shows through the antialiasing. White when the area holds no ink.
inline uint32_t DarkestPixel(const DibSurface& surface, const RECT& area) {
    uint32_t best = 0xFFFFFF;
    int bestSum = 3 * 255;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const uint32_t p = surface.Rgb(x, y);
            const int sum = static_cast<int>(((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF));
            if (sum < bestSum) {
                bestSum = sum;
                best = p;
            }
        }
    return best;
}

// An event handed to a control directly.
inline QuillUI::ControlEventUI MakeEvent(int kind, int x = 0, int y = 0, WPARAM wParam = 0, wchar_t key = 0) {
    QuillUI::ControlEventUI event;
    event.kind = kind;
    event.mousePoint = POINT{x, y};
    event.wParam = wParam;
    event.key = key;
    event.timestamp = GetTickCount();
    return event;
}
