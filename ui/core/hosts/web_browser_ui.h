// A control that hosts the platform's web browser: it is the browser's
// document host, service provider, command target and event sink, and hands
// what the page does to the program's CWebBrowserEventHandler.
#pragma once
#include "ui/core/hosts/active_x_ui.h"
#include "ui/core/hosts/web_browser_event_handler.h"

namespace QuillUI {

class CWebBrowserUI : public CActiveXUI,
                      public IDocHostUIHandler,
                      public IServiceProvider,
                      public IOleCommandTarget,
                      public IDispatch,
                      public ITranslateAccelerator {
public:
    CWebBrowserUI();
    ~CWebBrowserUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void ReleaseControl() override;
    bool DoCreateControl() override;
    virtual HRESULT ForwardedCall8(LPARAM a, LPARAM b, LPARAM c, LPARAM d, LPARAM e, LPARAM f, LPARAM g, LPARAM h);

    // Null or the current handler changes nothing: a handler stays once set.
    void SetWebBrowserEventHandler(CWebBrowserEventHandler* handler);
    void Navigate(const wchar_t* url);
    void Navigate2(const wchar_t* url);
    void NavigateHomePage();
    const CWideString& GetHomePage() const { return homePage_; }
    void SetHomePage(const wchar_t* url) { homePage_ = url != nullptr ? url : L""; }
    bool IsAutoNavigation() const { return autoNavigate_; }
    void SetAutoNavigation(bool autoNavigate) { autoNavigate_ = autoNavigate; }
    IWebBrowser2* GetWebBrowser2() const { return browser_; }
    HRESULT RegisterEventHandler(bool advise);

    // IUnknown, shared by every COM face of the control; Release never
    // deletes: the control belongs to its parent.
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDocHostUIHandler
    STDMETHODIMP ShowContextMenu(DWORD id, POINT* point, IUnknown* commandTarget, IDispatch* object) override;
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override;
    STDMETHODIMP ShowUI(DWORD id, IOleInPlaceActiveObject* activeObject, IOleCommandTarget* commandTarget,
                        IOleInPlaceFrame* frame, IOleInPlaceUIWindow* document) override;
    STDMETHODIMP HideUI() override;
    STDMETHODIMP UpdateUI() override;
    STDMETHODIMP EnableModeless(BOOL enable) override;
    STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
    STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
    STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow) override;
    STDMETHODIMP TranslateAccelerator(LPMSG message, const GUID* commandGroup, DWORD commandId) override;
    STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD reserved) override;
    STDMETHODIMP GetDropTarget(IDropTarget* dropTarget, IDropTarget** replacement) override;
    STDMETHODIMP GetExternal(IDispatch** external) override;
    STDMETHODIMP TranslateUrl(DWORD flags, LPWSTR url, LPWSTR* translated) override;
    STDMETHODIMP FilterDataObject(IDataObject* object, IDataObject** replacement) override;

    // IServiceProvider
    STDMETHODIMP QueryService(REFGUID service, REFIID iid, void** out) override;

    // IOleCommandTarget
    STDMETHODIMP QueryStatus(const GUID* group, ULONG count, OLECMD* commands, OLECMDTEXT* text) override;
    STDMETHODIMP Exec(const GUID* group, DWORD id, DWORD options, VARIANT* in, VARIANT* out) override;

    // IDispatch: the events of DWebBrowserEvents2.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argumentError) override;

    // ITranslateAccelerator: keys for the browser while the focus is inside it.
    LRESULT TranslateAccelerator(MSG* message) override;

protected:
    // Installs this host as the new document's UI handler.
    void InstallUIHandler();
    // Whether DISPATCH is the hosted browser itself, by COM identity.
    bool IsHostedBrowser(IDispatch* dispatch) const;

    IWebBrowser2* browser_ = nullptr;
    LONG refs_ = 0;
    DWORD cookie_ = 0;
    CWideString homePage_;
    bool autoNavigate_ = false;
    CWebBrowserEventHandler* handler_ = nullptr;
};

}  // namespace QuillUI
