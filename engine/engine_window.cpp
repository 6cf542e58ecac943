#include "engine/engine_window.h"

#include "common/about_dialog.h"
#include "common/app_window_class.h"

#include "engine/resource.h"

#include <string>

namespace {

constexpr int kResourceTextLength = 100;

std::wstring LoadText(HINSTANCE instance, UINT id, const wchar_t* fallback) {
    wchar_t buffer[kResourceTextLength] = {};
    int length = LoadStringW(instance, id, buffer, kResourceTextLength);
    return length > 0 ? std::wstring(buffer, static_cast<size_t>(length)) : std::wstring(fallback);
}

}  // namespace

EngineWindow::~EngineWindow() {
    if (window_ != nullptr) DestroyWindow(window_);
}

bool EngineWindow::Create(HINSTANCE instance, CopyDataHandler onCopyData) {
    instance_ = instance;
    onCopyData_ = std::move(onCopyData);
    std::wstring title = LoadText(instance, IDS_APP_TITLE, L"Tidemill");
    std::wstring className = LoadText(instance, IDC_TIDEMILL, L"TIDEMILL");

    if (!RegisterAppWindowClass(instance, Procedure, className.c_str(), IDI_TIDEMILL, IDI_SMALL, IDC_TIDEMILL))
        return false;

    HWND window = CreateWindowExW(0, className.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                                  CW_USEDEFAULT, 0, nullptr, nullptr, instance, this);
    if (window == nullptr) return false;
    // The first ShowWindow of a process may take the starter's show state
    // instead of ours (the copier restarts the engine with a normal one):
    // hide again when that happened.
    ShowWindow(window, SW_HIDE);
    if (IsWindowVisible(window)) ShowWindow(window, SW_HIDE);
    UpdateWindow(window);
    return true;
}

LRESULT CALLBACK EngineWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<EngineWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<EngineWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY && self != nullptr) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT EngineWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COPYDATA:
        try {
            if (onCopyData_) onCopyData_(wParam, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        } catch (...) {
            // Out of memory for the copy: the frame is lost, the engine goes on.
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window_, &paint);
        EndPaint(window_, &paint);
        return 0;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDM_ABOUT:
            DialogBoxW(instance_, MAKEINTRESOURCEW(IDD_ABOUTBOX), window_, AboutDialogProc);
            return 0;
        case IDM_EXIT:
            DestroyWindow(window_);
            return 0;
        default:
            break;
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void AllowCopyDataMessages() {
    HMODULE user32 = LoadLibraryW(L"user32.dll");
    if (user32 == nullptr) return;
    using FilterFunction = BOOL(WINAPI*)(UINT, DWORD);
    auto filter = reinterpret_cast<FilterFunction>(
        reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilter")));
    if (filter != nullptr) filter(WM_COPYDATA, 1 /* MSGFLT_ADD */);
    FreeLibrary(user32);
}
