#include "ui/core/hosts/web_browser_ui.h"

#include "ui/core/markup/attribute_value_ui.h"
#include "ui/core/manager/window_manager_ui.h"

#include <cwchar>

namespace QuillUI {

CWebBrowserUI::CWebBrowserUI() { clsid_ = CLSID_WebBrowser; }

CWebBrowserUI::~CWebBrowserUI() {
    // The handler's owner may be half destroyed by now: nothing reaches it
    // while the browser lets go of its sink and closes.
    handler_ = nullptr;
    ReleaseControl();
    if (browser_ != nullptr) {
        browser_->Release();
        browser_ = nullptr;
    }
    CActiveXUI::ReleaseControl();
}

const wchar_t* CWebBrowserUI::GetClass() const { return L"WebBrowser"; }

void* CWebBrowserUI::GetInterface(const wchar_t* name) {
    if (name != nullptr && wcscmp(name, L"WebBrowser") == 0) return static_cast<CWebBrowserUI*>(this);
    return CActiveXUI::GetInterface(name);
}

void CWebBrowserUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr || value == nullptr) return;
    if (wcscmp(name, L"homepage") == 0)
        SetHomePage(value);
    else if (wcscmp(name, L"autonavi") == 0)
        SetAutoNavigation(IsTrueValue(value));
    else
        CActiveXUI::SetAttribute(name, value);
}

void CWebBrowserUI::SetWebBrowserEventHandler(CWebBrowserEventHandler* handler) {
    if (handler != nullptr && handler != handler_) handler_ = handler;
}

HRESULT CWebBrowserUI::ForwardedCall8(LPARAM a, LPARAM b, LPARAM c, LPARAM d, LPARAM e, LPARAM f, LPARAM g,
                                      LPARAM h) {
    if (handler_ == nullptr) return S_OK;
    return handler_->ForwardedCall8(a, b, c, d, e, f, g, h);
}

bool CWebBrowserUI::DoCreateControl() {
    if (!CActiveXUI::DoCreateControl()) return false;
    if (manager_ != nullptr) manager_->AddTranslateAccelerator(this);
    if (browser_ != nullptr) {
        browser_->Release();
        browser_ = nullptr;
    }
    GetControl(IID_IWebBrowser2, reinterpret_cast<void**>(&browser_));
    Navigate2(L"about:blank");
    if (autoNavigate_ && !homePage_.IsEmpty()) Navigate2(homePage_.GetData());
    RegisterEventHandler(true);
    if (handler_ != nullptr) handler_->OnBrowserCreated();
    return true;
}

void CWebBrowserUI::ReleaseControl() {
    created_ = false;
    if (manager_ != nullptr) manager_->RemoveTranslateAccelerator(this);
    RegisterEventHandler(false);
}

void CWebBrowserUI::Navigate(const wchar_t* url) {
    if (browser_ == nullptr || url == nullptr) return;
    BSTR text = SysAllocString(url);
    if (text == nullptr) return;
    browser_->Navigate(text, nullptr, nullptr, nullptr, nullptr);
    SysFreeString(text);
}

void CWebBrowserUI::Navigate2(const wchar_t* url) {
    if (browser_ == nullptr || url == nullptr) return;
    VARIANT target;
    VariantInit(&target);
    target.vt = VT_BSTR;
    target.bstrVal = SysAllocString(url);
    if (target.bstrVal == nullptr) return;
    browser_->Navigate2(&target, nullptr, nullptr, nullptr, nullptr);
    VariantClear(&target);
}

void CWebBrowserUI::NavigateHomePage() {
    if (!homePage_.IsEmpty()) Navigate(homePage_.GetData());
}

HRESULT CWebBrowserUI::RegisterEventHandler(bool advise) {
    IWebBrowser2* browser = nullptr;
    HRESULT hr = GetControl(IID_IWebBrowser2, reinterpret_cast<void**>(&browser));
    if (FAILED(hr)) return hr;
    hr = ConnectEvents(browser, DIID_DWebBrowserEvents2, static_cast<IDispatch*>(this), advise, cookie_);
    browser->Release();
    return hr;
}

void CWebBrowserUI::InstallUIHandler() {
    if (browser_ == nullptr) return;
    IDispatch* document = nullptr;
    if (browser_->get_Document(&document) != S_OK || document == nullptr) return;
    ICustomDoc* custom = nullptr;
    if (SUCCEEDED(document->QueryInterface(__uuidof(ICustomDoc), reinterpret_cast<void**>(&custom)))) {
        custom->SetUIHandler(static_cast<IDocHostUIHandler*>(this));
        custom->Release();
    }
    document->Release();
}

bool CWebBrowserUI::IsHostedBrowser(IDispatch* dispatch) const {
    if (dispatch == nullptr || browser_ == nullptr) return false;
    IUnknown* event = nullptr;
    IUnknown* own = nullptr;
    bool same = false;
    if (SUCCEEDED(dispatch->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&event))) &&
        SUCCEEDED(browser_->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&own))))
        same = event == own;
    if (event != nullptr) event->Release();
    if (own != nullptr) own->Release();
    return same;
}

// ---- IUnknown ----------------------------------------------------------

STDMETHODIMP CWebBrowserUI::QueryInterface(REFIID iid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    // One fixed face answers IUnknown, so that identity holds.
    if (iid == IID_IUnknown || iid == IID_IDocHostUIHandler)
        *out = static_cast<IDocHostUIHandler*>(this);
    else if (iid == IID_IDispatch)
        *out = static_cast<IDispatch*>(this);
    else if (iid == IID_IServiceProvider)
        *out = static_cast<IServiceProvider*>(this);
    else if (iid == IID_IOleCommandTarget)
        *out = static_cast<IOleCommandTarget*>(this);
    if (*out == nullptr) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CWebBrowserUI::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

STDMETHODIMP_(ULONG) CWebBrowserUI::Release() { return static_cast<ULONG>(InterlockedDecrement(&refs_)); }

// ---- IDocHostUIHandler -------------------------------------------------

STDMETHODIMP CWebBrowserUI::ShowContextMenu(DWORD id, POINT* point, IUnknown* commandTarget, IDispatch* object) {
    if (handler_ == nullptr) return S_FALSE;
    return handler_->ShowContextMenu(id, point, commandTarget, object);
}

STDMETHODIMP CWebBrowserUI::GetHostInfo(DOCHOSTUIINFO* info) {
    if (handler_ == nullptr) return E_NOTIMPL;
    return handler_->GetHostInfo(info);
}

STDMETHODIMP CWebBrowserUI::ShowUI(DWORD id, IOleInPlaceActiveObject* activeObject,
                                   IOleCommandTarget* commandTarget, IOleInPlaceFrame* frame,
                                   IOleInPlaceUIWindow* document) {
    if (handler_ == nullptr) return S_OK;
    return handler_->ShowUI(id, activeObject, commandTarget, frame, document);
}

STDMETHODIMP CWebBrowserUI::HideUI() { return handler_ != nullptr ? handler_->HideUI() : S_OK; }

STDMETHODIMP CWebBrowserUI::UpdateUI() { return handler_ != nullptr ? handler_->UpdateUI() : S_OK; }

STDMETHODIMP CWebBrowserUI::EnableModeless(BOOL enable) {
    return handler_ != nullptr ? handler_->EnableModeless(enable) : E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::OnDocWindowActivate(BOOL activate) {
    return handler_ != nullptr ? handler_->OnDocWindowActivate(activate) : E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::OnFrameWindowActivate(BOOL activate) {
    return handler_ != nullptr ? handler_->OnFrameWindowActivate(activate) : E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow) {
    return handler_ != nullptr ? handler_->ResizeBorder(border, window, frameWindow) : E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::TranslateAccelerator(LPMSG message, const GUID* commandGroup, DWORD commandId) {
    return handler_ != nullptr ? handler_->TranslateAccelerator(message, commandGroup, commandId) : S_FALSE;
}

STDMETHODIMP CWebBrowserUI::GetOptionKeyPath(LPOLESTR* key, DWORD reserved) {
    if (handler_ != nullptr) return handler_->GetOptionKeyPath(key, reserved);
    if (key != nullptr) *key = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::GetDropTarget(IDropTarget* dropTarget, IDropTarget** replacement) {
    if (handler_ != nullptr) return handler_->GetDropTarget(dropTarget, replacement);
    if (replacement != nullptr) *replacement = nullptr;
    return S_FALSE;
}

STDMETHODIMP CWebBrowserUI::GetExternal(IDispatch** external) {
    if (handler_ != nullptr) return handler_->GetExternal(external);
    if (external != nullptr) *external = nullptr;
    return S_FALSE;
}

STDMETHODIMP CWebBrowserUI::TranslateUrl(DWORD flags, LPWSTR url, LPWSTR* translated) {
    if (handler_ != nullptr) return handler_->TranslateUrl(flags, url, translated);
    if (translated != nullptr) *translated = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::FilterDataObject(IDataObject* object, IDataObject** replacement) {
    if (handler_ != nullptr) return handler_->FilterDataObject(object, replacement);
    if (replacement != nullptr) *replacement = nullptr;
    return E_NOTIMPL;
}

// ---- IServiceProvider --------------------------------------------------

// No service is offered: a download started from the page falls back to
// the browser's own handling.
STDMETHODIMP CWebBrowserUI::QueryService(REFGUID, REFIID, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    return E_NOINTERFACE;
}

// ---- IOleCommandTarget -------------------------------------------------

STDMETHODIMP CWebBrowserUI::QueryStatus(const GUID*, ULONG, OLECMD*, OLECMDTEXT*) { return OLECMDERR_E_NOTSUPPORTED; }

STDMETHODIMP CWebBrowserUI::Exec(const GUID* group, DWORD id, DWORD, VARIANT*, VARIANT* out) {
    if (group == nullptr || *group != kCgidDocHostCommandHandler) return OLECMDERR_E_UNKNOWNGROUP;
    if (id != OLECMDID_SHOWSCRIPTERROR) return OLECMDERR_E_NOTSUPPORTED;
    // Scripts keep running and no script-error dialog shows.
    if (out != nullptr) {
        VariantClear(out);
        out->vt = VT_BOOL;
        out->boolVal = VARIANT_TRUE;
    }
    return S_OK;
}

// ---- ITranslateAccelerator ---------------------------------------------

LRESULT CWebBrowserUI::TranslateAccelerator(MSG* message) { return TranslateForObject(browser_, message); }

}  // namespace QuillUI
