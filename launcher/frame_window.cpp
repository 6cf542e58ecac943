#include "launcher/frame_window.h"

#include "launcher/page_query.h"
#include "ui/core/manager/notify_message_ui.h"
#include "ui/core/manager/notify_sender_name.h"
#include "ui/core/hosts/web_browser_ui.h"

#include <cwchar>
#include <new>

namespace {

FrameWindow* gFrameWindow = nullptr;

}  // namespace

FrameWindow* GetFrameWindow() { return gFrameWindow; }

FrameWindow::FrameWindow(const std::wstring& query, ServerChoiceSink* sink) : query_(query), sink_(sink) {
    gFrameWindow = this;
}

FrameWindow::~FrameWindow() {
    // Timers and hall events may still ask for the frame before the loop ends.
    if (gFrameWindow == this) gFrameWindow = nullptr;
}

FrameWindow* FrameWindow::Open(HWND owner, const std::wstring& query, ServerChoiceSink* sink) {
    FrameWindow* frame = new (std::nothrow) FrameWindow(query, sink);
    if (frame == nullptr) return nullptr;
    if (frame->Create(owner, kTitle, kStyle, 0, 0, 0, kWidth, kHeight) == nullptr) {
        // A window that existed for a moment has deleted its object already.
        if (gFrameWindow == frame) delete frame;
        return nullptr;
    }
    frame->CenterWindow();
    return frame;
}

void FrameWindow::OnFinalMessage(HWND window) {
    WindowImplBase::OnFinalMessage(window);
    delete this;
}

void FrameWindow::InitWindow() {
    if (QuillUI::CControlUI* browser = GetManager().FindControl(L"webRechargeUI"))
        browser_ = static_cast<QuillUI::CWebBrowserUI*>(browser->GetInterface(L"WebBrowser"));
    closeButton_ = GetManager().FindControl(L"btnClose");
    // Before the first layout creates the browser, so that its creation,
    // host flags and external object come here.
    if (browser_ != nullptr) browser_->SetWebBrowserEventHandler(this);
}

void FrameWindow::OnClick(QuillUI::NotifyMessageUI& message) {
    const wchar_t* name = QuillUI::GetNotifySenderName(message.sender);
    if (name != nullptr && wcscmp(name, L"btnClose") == 0) {
        ::PostQuitMessage(0);
        return;
    }
    WindowImplBase::OnClick(message);
}

LRESULT FrameWindow::OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if ((wParam & 0xFFF0) == SC_CLOSE) {
        ::PostQuitMessage(0);
        return 0;
    }
    return WindowImplBase::OnSysCommand(message, wParam, lParam, handled);
}

LRESULT FrameWindow::HandleCustomMessage(UINT message, WPARAM, LPARAM, bool& handled) {
    handled = false;
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        handled = true;
    }
    return 0;
}

std::wstring FrameWindow::HomePage() const {
    return browser_ != nullptr ? std::wstring(browser_->GetHomePage().GetData()) : std::wstring();
}

std::wstring FrameWindow::FirstPageAddress() const { return PageAddress(HomePage(), query_, false); }

void FrameWindow::OnBrowserCreated() {
    if (browser_ != nullptr) browser_->Navigate2(FirstPageAddress().c_str());
}

void FrameWindow::ReloadPage() {
    if (browser_ != nullptr) browser_->Navigate2(PageAddress(HomePage(), query_, true).c_str());
}

HRESULT STDMETHODCALLTYPE FrameWindow::GetHostInfo(DOCHOSTUIINFO* info) {
    if (info != nullptr) info->dwFlags |= DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FrameWindow::GetExternal(IDispatch** external) {
    if (external == nullptr) return E_POINTER;
    *external = new (std::nothrow) External(sink_);
    return *external != nullptr ? S_OK : E_OUTOFMEMORY;
}
