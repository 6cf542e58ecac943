#pragma once
// The skinned window over the main window that shows the server-choice page
// in the browser control "webRechargeUI". The page reaches the launcher
// through the External object this window hands to the browser.
#include "launcher/external.h"
#include "ui/core/hosts/web_browser_event_handler.h"
#include "ui/core/window/window_impl_base.h"

#include <string>

namespace QuillUI {
class CWebBrowserUI;
}

class FrameWindow : public QuillUI::WindowImplBase, public QuillUI::CWebBrowserEventHandler {
public:
    static constexpr const wchar_t* kTitle = L"Frame_Window";
    static constexpr DWORD kStyle = 0x96C80000;  // as the main window's
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 572;

    // QUERY is the page query (launcher parameters); SINK receives the
    // page's choice of a server and may be null.
    FrameWindow(const std::wstring& query, ServerChoiceSink* sink);
    ~FrameWindow() override;

    // Creates the window owned by OWNER, centred over it, not yet shown;
    // null when the window cannot be made (the object is then gone).
    static FrameWindow* Open(HWND owner, const std::wstring& query, ServerChoiceSink* sink);

    // The main window's reload: the home page, "?" and the query, the "?"
    // also when the query is empty. Nothing without a browser.
    void ReloadPage();
    // The address of the first navigation: without "?" for an empty query.
    std::wstring FirstPageAddress() const;

    // ---- WindowImplBase --------------------------------------------------
    const wchar_t* GetWindowClassName() const override { return L"ql_launcher_frame"; }
    void OnFinalMessage(HWND window) override;
    void InitWindow() override;
    void OnClick(QuillUI::NotifyMessageUI& message) override;
    QuillUI::CWideString GetSkinFolder() override { return QuillUI::CWideString(L"Skin\\Launcher"); }
    QuillUI::CWideString GetSkinFile() override { return QuillUI::CWideString(L"layout/FrameWindow.xml"); }
    LRESULT OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    LRESULT HandleCustomMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

    // ---- CWebBrowserEventHandler -----------------------------------------
    void OnBrowserCreated() override;
    HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* info) override;
    HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** external) override;

private:
    std::wstring HomePage() const;

    const std::wstring query_;
    ServerChoiceSink* sink_;
    QuillUI::CWebBrowserUI* browser_ = nullptr;
    QuillUI::CControlUI* closeButton_ = nullptr;
};

// The frame window; null before it is made and once it is gone.
FrameWindow* GetFrameWindow();
