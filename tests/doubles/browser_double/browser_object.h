// The browser double: the OLE control part shared with the Flash double, the
// browser's automation interface, navigations that fire the control's events
// from the message loop, and the page that calls the host back.
#pragma once
#include "browser_document.h"
#include "browser_scenario.h"
#include "ole_control_double.h"

#include <exdisp.h>

#include <deque>
#include <string>
#include <vector>

namespace browser {

class BrowserDouble final : public comdouble::OleControlDouble, public IWebBrowser2 {
public:
    BrowserDouble();

    // The browser created last and still alive, for in-process tests.
    static BrowserDouble* Current();
    // Runs one page action now ("external startGame \"7\" tok").
    HRESULT RunAction(const std::vector<comdouble::Word>& action);

    STDMETHODIMP QueryInterface(REFIID riid, void** out) override { return OleControlDouble::QueryInterface(riid, out); }
    STDMETHODIMP_(ULONG) AddRef() override { return OleControlDouble::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return OleControlDouble::Release(); }

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID dispid, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argError) override;

    // IWebBrowser
    STDMETHODIMP GoBack() override;
    STDMETHODIMP GoForward() override;
    STDMETHODIMP GoHome() override;
    STDMETHODIMP GoSearch() override;
    STDMETHODIMP Navigate(BSTR url, VARIANT* flags, VARIANT* target, VARIANT* postData, VARIANT* headers) override;
    STDMETHODIMP Refresh() override;
    STDMETHODIMP Refresh2(VARIANT* level) override;
    STDMETHODIMP Stop() override;
    STDMETHODIMP get_Application(IDispatch** out) override;
    STDMETHODIMP get_Parent(IDispatch** out) override;
    STDMETHODIMP get_Container(IDispatch** out) override;
    STDMETHODIMP get_Document(IDispatch** out) override;
    STDMETHODIMP get_TopLevelContainer(VARIANT_BOOL* out) override;
    STDMETHODIMP get_Type(BSTR* out) override;
    STDMETHODIMP get_Left(LONG* out) override;
    STDMETHODIMP put_Left(LONG value) override;
    STDMETHODIMP get_Top(LONG* out) override;
    STDMETHODIMP put_Top(LONG value) override;
    STDMETHODIMP get_Width(LONG* out) override;
    STDMETHODIMP put_Width(LONG value) override;
    STDMETHODIMP get_Height(LONG* out) override;
    STDMETHODIMP put_Height(LONG value) override;
    STDMETHODIMP get_LocationName(BSTR* out) override;
    STDMETHODIMP get_LocationURL(BSTR* out) override;
    STDMETHODIMP get_Busy(VARIANT_BOOL* out) override;

    // IWebBrowserApp
    STDMETHODIMP Quit() override;
    STDMETHODIMP ClientToWindow(int* cx, int* cy) override;
    STDMETHODIMP PutProperty(BSTR name, VARIANT value) override;
    STDMETHODIMP GetProperty(BSTR name, VARIANT* value) override;
    STDMETHODIMP get_Name(BSTR* out) override;
    STDMETHODIMP get_HWND(SHANDLE_PTR* out) override;
    STDMETHODIMP get_FullName(BSTR* out) override;
    STDMETHODIMP get_Path(BSTR* out) override;
    STDMETHODIMP get_Visible(VARIANT_BOOL* out) override;
    STDMETHODIMP put_Visible(VARIANT_BOOL value) override;
    STDMETHODIMP get_StatusBar(VARIANT_BOOL* out) override;
    STDMETHODIMP put_StatusBar(VARIANT_BOOL value) override;
    STDMETHODIMP get_StatusText(BSTR* out) override;
    STDMETHODIMP put_StatusText(BSTR value) override;
    STDMETHODIMP get_ToolBar(int* out) override;
    STDMETHODIMP put_ToolBar(int value) override;
    STDMETHODIMP get_MenuBar(VARIANT_BOOL* out) override;
    STDMETHODIMP put_MenuBar(VARIANT_BOOL value) override;
    STDMETHODIMP get_FullScreen(VARIANT_BOOL* out) override;
    STDMETHODIMP put_FullScreen(VARIANT_BOOL value) override;

    // IWebBrowser2
    STDMETHODIMP Navigate2(VARIANT* url, VARIANT* flags, VARIANT* target, VARIANT* postData,
                           VARIANT* headers) override;
    STDMETHODIMP QueryStatusWB(OLECMDID command, OLECMDF* status) override;
    STDMETHODIMP ExecWB(OLECMDID command, OLECMDEXECOPT option, VARIANT* in, VARIANT* out) override;
    STDMETHODIMP ShowBrowserBar(VARIANT* clsid, VARIANT* show, VARIANT* size) override;
    STDMETHODIMP get_ReadyState(READYSTATE* out) override;
    STDMETHODIMP get_Offline(VARIANT_BOOL* out) override;
    STDMETHODIMP put_Offline(VARIANT_BOOL value) override;
    STDMETHODIMP get_Silent(VARIANT_BOOL* out) override;
    STDMETHODIMP put_Silent(VARIANT_BOOL value) override;
    STDMETHODIMP get_RegisterAsBrowser(VARIANT_BOOL* out) override;
    STDMETHODIMP put_RegisterAsBrowser(VARIANT_BOOL value) override;
    STDMETHODIMP get_RegisterAsDropTarget(VARIANT_BOOL* out) override;
    STDMETHODIMP put_RegisterAsDropTarget(VARIANT_BOOL value) override;
    STDMETHODIMP get_TheaterMode(VARIANT_BOOL* out) override;
    STDMETHODIMP put_TheaterMode(VARIANT_BOOL value) override;
    STDMETHODIMP get_AddressBar(VARIANT_BOOL* out) override;
    STDMETHODIMP put_AddressBar(VARIANT_BOOL value) override;
    STDMETHODIMP get_Resizable(VARIANT_BOOL* out) override;
    STDMETHODIMP put_Resizable(VARIANT_BOOL value) override;

protected:
    ~BrowserDouble() override;
    HRESULT QueryExtra(REFIID riid, void** out) override;
    HRESULT RunStep(const std::vector<comdouble::Word>& action) override { return RunAction(action); }
    void PaintContent(HDC dc, const RECT& bounds) override;
    void OnClientSiteSet(IOleClientSite* site) override;
    void OnClosing() override;

private:
    struct Navigation {
        std::wstring url;
        std::vector<DWORD> cookies;  // the sinks advised when it was asked for
    };

    explicit BrowserDouble(BrowserScenario scenario);
    IDispatch* Self() { return static_cast<IWebBrowser2*>(this); }
    HRESULT NotImplemented(const char* method);

    // browser_navigation.cpp
    void StartNavigation(const std::wstring& url);
    void NextNavigation();
    void BeforeNavigate(Navigation nav);
    void Progress(Navigation nav);
    void Complete(Navigation nav);
    void Finish(const Navigation& nav, bool loaded);
    void PageLoaded(const std::wstring& url);

    // browser_page.cpp
    HRESULT CallExternal(const std::vector<comdouble::Word>& action);
    HRESULT ScriptError();
    HRESULT TranslateUrl(const std::string& url);
    HRESULT FireNewWindow(const std::string& url);

    BrowserScenario scenario_;
    Document* document_ = nullptr;
    std::wstring location_;
    READYSTATE readyState_ = READYSTATE_UNINITIALIZED;
    std::deque<Navigation> navigations_;
    bool navigating_ = false;
    int loads_ = 0;
};

}  // namespace browser
