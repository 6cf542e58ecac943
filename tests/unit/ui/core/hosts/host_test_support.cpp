#include "tests/unit/ui/core/hosts/host_test_support.h"

#include "common/file_util.h"

#include <gtest/gtest.h>

namespace hosts_test {

HostWindow::HostWindow(bool visible) {
    if (visible) desktop_ = std::make_unique<DesktopInputLock>();
    QuillUI::CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    Create(nullptr, L"hosts", WS_POPUP | WS_CLIPCHILDREN | (visible ? WS_VISIBLE : 0), 0, 100, 100, 400, 300);
    manager_.reset(new QuillUI::CWindowManagerUI());
    manager_->Init(GetHWND());
}

HostWindow::~HostWindow() {
    manager_.reset();
    if (GetHWND() != nullptr) DestroyWindow(GetHWND());
}

void HostWindow::Attach(QuillUI::CControlUI* control, const RECT& rect) {
    manager_->AttachDialog(control);
    control->SetPos(rect);
}

LRESULT HostWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (manager_ != nullptr && manager_->MessageHandler(message, wParam, lParam, result)) return result;
    return CWindowWnd::HandleMessage(message, wParam, lParam);
}

void Pump(int milliseconds) {
    ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
    // The first look dispatches what is queued even when the thread was held
    // up past the end.
    bool looked = false;
    PumpUntil([&] {
        const bool over = looked && GetTickCount64() >= end;
        looked = true;
        return over;
    });
}

std::wstring BstrText(BSTR text) { return text != nullptr ? std::wstring(text, SysStringLen(text)) : L""; }

}  // namespace hosts_test
