// A real window whose procedure hands every message to its manager first,
// as a skinned window does, and helpers to drive it.
#pragma once
#include "common/win.h"
#include "ui/core/control/control_ui.h"
#include "ui/core/values/delegate.h"
#include "ui/core/manager/notify_message_ui.h"
#include "ui/core/manager/window_manager_ui.h"
#include "tests/support/desktop_input_lock.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

class ManagedWindow {
public:
    explicit ManagedWindow(int width = 200, int height = 100, DWORD exStyle = 0) {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        QuillUI::CWindowManagerUI::SetInstance(instance);
        WNDCLASSW wc = {};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &ManagedWindow::Proc;
        wc.hInstance = instance;
        wc.lpszClassName = L"QuillManagedTestWindow";
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        RegisterClassW(&wc);  // a second registration fails harmlessly
        hwnd_ = CreateWindowExW(exStyle, wc.lpszClassName, L"managed", WS_POPUP, 100, 100, width, height, nullptr,
                                nullptr, instance, nullptr);
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        manager.Init(hwnd_, L"test");
    }
    ~ManagedWindow() {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    ManagedWindow(const ManagedWindow&) = delete;
    ManagedWindow& operator=(const ManagedWindow&) = delete;

    HWND Get() const { return hwnd_; }
    // Shown, active and focused, so that painting, hover and keys work.
    void Show() {
        HoldDesktop();
        ShowWindow(hwnd_, SW_SHOW);
        SetForegroundWindow(hwnd_);
        SetFocus(hwnd_);
    }
    // Places the real cursor at a client point, as tracking follows it.
    void PlaceCursor(int x, int y) const {
        POINT point = {x, y};
        ClientToScreen(hwnd_, &point);
        HoldDesktop();
        SetCursorPos(point.x, point.y);
    }
    LRESULT Mouse(UINT message, int x, int y, WPARAM keys = 0) const {
        return SendMessageW(hwnd_, message, keys, MAKELPARAM(x, y));
    }

    QuillUI::CWindowManagerUI manager;
    int paintMessages = 0;

    // Held from the first use of the cursor or the foreground to the end of the test.
    void HoldDesktop() const {
        if (!desktop_) desktop_ = std::make_unique<DesktopInputLock>();
    }

private:
    mutable std::unique_ptr<DesktopInputLock> desktop_;
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        ManagedWindow* self = reinterpret_cast<ManagedWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self != nullptr) {
            if (message == WM_PAINT) ++self->paintMessages;
            LRESULT result = 0;
            if (self->manager.MessageHandler(message, wParam, lParam, result)) return result;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND hwnd_ = nullptr;
};

// Dispatches the thread's messages for a while.
inline void PumpFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    bool over = false;
    for (int last = 0; last < 64;) {
        // One message at a time, so that one that keeps coming back cannot
        // hold the pump past its time.
        MSG msg;
        const bool got = PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) != FALSE;
        if (got) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        // Once the time is up, a last look still takes what is due by then
        // (a timer shorter than the pump), even if the thread was held up.
        if (over) {
            if (!got) break;
            ++last;
        } else {
            over = GetTickCount() - start >= milliseconds;
            if (!got && !over) Sleep(5);
        }
    }
}

struct RecordedNotification {
    std::wstring type;
    QuillUI::CControlUI* sender;
    WPARAM wParam;
};

class RecordingNotifier : public QuillUI::INotifyUI {
public:
    void Notify(QuillUI::NotifyMessageUI& message) override {
        received.push_back(RecordedNotification{message.type.GetData(), message.sender, message.wParam});
    }
    int Count(const wchar_t* type) const {
        int count = 0;
        for (const RecordedNotification& n : received) count += n.type == type ? 1 : 0;
        return count;
    }
    std::vector<RecordedNotification> received;
};

// One log of the events of several controls, in the order they came.
class EventLog {
public:
    struct Entry {
        QuillUI::CControlUI* control;
        int kind;
    };
    void Watch(QuillUI::CControlUI* control) {
        control->OnEvent.Add(QuillUI::CDelegate<EventLog, EventLog>(this, &EventLog::Record));
    }
    // The entries of the given kinds only.
    std::vector<Entry> Of(std::initializer_list<int> kinds) const {
        std::vector<Entry> out;
        for (const Entry& e : entries) {
            for (int kind : kinds) {
                if (e.kind == kind) out.push_back(e);
            }
        }
        return out;
    }
    std::vector<Entry> entries;

private:
    bool Record(void* argument) {
        const QuillUI::ControlEventUI* event = static_cast<const QuillUI::ControlEventUI*>(argument);
        entries.push_back(Entry{event->sender, event->kind});
        return true;
    }
};
