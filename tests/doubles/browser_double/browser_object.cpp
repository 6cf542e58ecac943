#include "browser_object.h"

#include "browser_ids.h"

namespace browser {

using comdouble::BstrText;
using comdouble::CheckBstr;
using comdouble::HexResult;
using comdouble::Log;
using comdouble::Narrow;

namespace {

BrowserDouble* g_current = nullptr;

comdouble::ControlOptions BrowserOptions(const BrowserScenario& scenario) {
    comdouble::ControlOptions options;
    options.clsid = kClsidWebBrowser;
    options.events = kDiidEvents2;
    options.miscStatus = scenario.miscStatus;
    options.acceleratorKey = scenario.acceleratorKey;
    return options;
}

// VT_BSTR, or a reference to one, as Navigate2 may be handed its URL.
const VARIANT* Deref(const VARIANT* v) {
    if (v != nullptr && v->vt == (VT_BYREF | VT_VARIANT)) return v->pvarVal;
    return v;
}

std::string Optional(const char* name, const VARIANT* v) {
    if (v == nullptr) return "";
    return std::string(" ") + name + "=" + comdouble::DescribeVariant(*Deref(v));
}

}  // namespace

BrowserDouble::BrowserDouble() : BrowserDouble(LoadBrowserScenario()) {}

BrowserDouble::BrowserDouble(BrowserScenario scenario)
    : OleControlDouble(BrowserOptions(scenario)), scenario_(std::move(scenario)) {
    g_current = this;
    Log("browser created");
    SetSteps(scenario_.steps);
}

BrowserDouble::~BrowserDouble() {
    if (g_current == this) g_current = nullptr;
    if (document_ != nullptr) {
        document_->Unload("released with the browser");
        document_->Release();
    }
}

BrowserDouble* BrowserDouble::Current() { return g_current; }

HRESULT BrowserDouble::QueryExtra(REFIID riid, void** out) {
    if (riid == IID_IDispatch || riid == IID_IWebBrowser2 || riid == IID_IWebBrowserApp || riid == IID_IWebBrowser) {
        *out = static_cast<IWebBrowser2*>(this);
        AddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

void BrowserDouble::PaintContent(HDC dc, const RECT& bounds) {
    HBRUSH fill = CreateSolidBrush(RGB(0x20, 0x50, 0x90));
    FillRect(dc, &bounds, fill);
    DeleteObject(fill);
    RECT text = bounds;
    InflateRect(&text, -8, -8);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
    std::wstring lines = location_ + L"\n\nServer list\n  1  Sample server";
    // An address's "&" is text, not a mnemonic prefix.
    DrawTextW(dc, lines.c_str(), static_cast<int>(lines.size()), &text,
              DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
}

// The platform's control asks its new site for these during SetClientSite,
// and asks for the site's window: hosts meet that call this early.
void BrowserDouble::OnClientSiteSet(IOleClientSite* site) {
    static const struct {
        const IID* iid;
        const char* name;
    } asked[] = {{&IID_IDispatch, "IDispatch"},
                 {&__uuidof(IDocHostUIHandler), "IDocHostUIHandler"},
                 {&IID_IOleCommandTarget, "IOleCommandTarget"}};
    for (const auto& a : asked) {
        IUnknown* answer = nullptr;
        HRESULT hr = site->QueryInterface(*a.iid, reinterpret_cast<void**>(&answer));
        Log(std::string("site QueryInterface ") + a.name + " -> " + HexResult(hr));
        if (answer != nullptr) answer->Release();
    }
    IOleContainer* container = nullptr;
    HRESULT hr = site->GetContainer(&container);
    Log("site GetContainer -> " + HexResult(hr));
    if (container != nullptr) container->Release();
    IOleWindow* window = nullptr;
    if (SUCCEEDED(site->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&window))) && window != nullptr) {
        HWND hwnd = nullptr;
        Log("site GetWindow -> " + HexResult(window->GetWindow(&hwnd)));
        window->Release();
    }
}

void BrowserDouble::OnClosing() {
    navigations_.clear();
    navigating_ = false;
    if (document_ != nullptr) {
        document_->Unload("closed");
        document_->Release();
        document_ = nullptr;
    }
}

HRESULT BrowserDouble::NotImplemented(const char* method) { return Enter(method) ? E_NOTIMPL : E_UNEXPECTED; }

// IDispatch

STDMETHODIMP BrowserDouble::GetTypeInfoCount(UINT* count) {
    if (count != nullptr) *count = 0;
    return NotImplemented("GetTypeInfoCount");
}

STDMETHODIMP BrowserDouble::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr) *info = nullptr;
    return NotImplemented("GetTypeInfo");
}

STDMETHODIMP BrowserDouble::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return NotImplemented("GetIDsOfNames");
}

STDMETHODIMP BrowserDouble::Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
    return Enter("Invoke " + std::to_string(dispid), "Invoke") ? DISP_E_MEMBERNOTFOUND : E_UNEXPECTED;
}

// IWebBrowser

STDMETHODIMP BrowserDouble::Navigate(BSTR url, VARIANT* flags, VARIANT* target, VARIANT* postData, VARIANT* headers) {
    CheckBstr(url, "Navigate URL");
    std::string line = "Navigate " + BstrText(url) + Optional("flags", flags) + Optional("target", target) +
                       Optional("post", postData) + Optional("headers", headers);
    if (!Enter(line, "Navigate")) return E_UNEXPECTED;
    if (url == nullptr) return E_INVALIDARG;
    StartNavigation(url);
    return S_OK;
}

STDMETHODIMP BrowserDouble::Navigate2(VARIANT* url, VARIANT* flags, VARIANT* target, VARIANT* postData,
                                      VARIANT* headers) {
    const VARIANT* u = Deref(url);
    bool text = u != nullptr && u->vt == VT_BSTR;
    if (text) CheckBstr(u->bstrVal, "Navigate2 URL");
    std::string line = "Navigate2 " + (u != nullptr ? comdouble::DescribeVariant(*u) : std::string("(null)")) +
                       Optional("flags", flags) + Optional("target", target) + Optional("post", postData) +
                       Optional("headers", headers);
    if (!Enter(line, "Navigate2")) return E_UNEXPECTED;
    if (!text || u->bstrVal == nullptr) return E_INVALIDARG;
    StartNavigation(u->bstrVal);
    return S_OK;
}

STDMETHODIMP BrowserDouble::GoBack() { return NotImplemented("GoBack"); }
STDMETHODIMP BrowserDouble::GoForward() { return NotImplemented("GoForward"); }
STDMETHODIMP BrowserDouble::GoHome() { return NotImplemented("GoHome"); }
STDMETHODIMP BrowserDouble::GoSearch() { return NotImplemented("GoSearch"); }
STDMETHODIMP BrowserDouble::Refresh() { return NotImplemented("Refresh"); }
STDMETHODIMP BrowserDouble::Refresh2(VARIANT*) { return NotImplemented("Refresh2"); }
STDMETHODIMP BrowserDouble::Stop() { return NotImplemented("Stop"); }

STDMETHODIMP BrowserDouble::get_Application(IDispatch** out) {
    if (out != nullptr) *out = nullptr;
    return NotImplemented("get_Application");
}
STDMETHODIMP BrowserDouble::get_Parent(IDispatch** out) {
    if (out != nullptr) *out = nullptr;
    return NotImplemented("get_Parent");
}
STDMETHODIMP BrowserDouble::get_Container(IDispatch** out) {
    if (out != nullptr) *out = nullptr;
    return NotImplemented("get_Container");
}

STDMETHODIMP BrowserDouble::get_Document(IDispatch** out) {
    if (!Enter(std::string("get_Document -> ") + (document_ != nullptr ? "document" : "none"), "get_Document"))
        return E_UNEXPECTED;
    if (out == nullptr) return E_POINTER;
    *out = document_;
    if (document_ == nullptr) return S_FALSE;
    document_->AddRef();
    return S_OK;
}

STDMETHODIMP BrowserDouble::get_TopLevelContainer(VARIANT_BOOL*) { return NotImplemented("get_TopLevelContainer"); }
STDMETHODIMP BrowserDouble::get_Type(BSTR* out) {
    if (out != nullptr) *out = nullptr;
    return NotImplemented("get_Type");
}
STDMETHODIMP BrowserDouble::get_Left(LONG*) { return NotImplemented("get_Left"); }
STDMETHODIMP BrowserDouble::put_Left(LONG) { return NotImplemented("put_Left"); }
STDMETHODIMP BrowserDouble::get_Top(LONG*) { return NotImplemented("get_Top"); }
STDMETHODIMP BrowserDouble::put_Top(LONG) { return NotImplemented("put_Top"); }
STDMETHODIMP BrowserDouble::get_Width(LONG*) { return NotImplemented("get_Width"); }
STDMETHODIMP BrowserDouble::put_Width(LONG) { return NotImplemented("put_Width"); }
STDMETHODIMP BrowserDouble::get_Height(LONG*) { return NotImplemented("get_Height"); }
STDMETHODIMP BrowserDouble::put_Height(LONG) { return NotImplemented("put_Height"); }
STDMETHODIMP BrowserDouble::get_LocationName(BSTR* out) {
    if (out != nullptr) *out = nullptr;
    return NotImplemented("get_LocationName");
}

STDMETHODIMP BrowserDouble::get_LocationURL(BSTR* out) {
    if (!Enter("get_LocationURL -> \"" + Narrow(location_.c_str()) + "\"", "get_LocationURL")) return E_UNEXPECTED;
    if (out == nullptr) return E_POINTER;
    *out = SysAllocStringLen(location_.data(), static_cast<UINT>(location_.size()));
    return S_OK;
}

STDMETHODIMP BrowserDouble::get_Busy(VARIANT_BOOL* out) {
    if (!Enter("get_Busy")) return E_UNEXPECTED;
    if (out == nullptr) return E_POINTER;
    *out = navigating_ ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

// IWebBrowserApp

STDMETHODIMP BrowserDouble::Quit() { return NotImplemented("Quit"); }
STDMETHODIMP BrowserDouble::ClientToWindow(int*, int*) { return NotImplemented("ClientToWindow"); }
STDMETHODIMP BrowserDouble::PutProperty(BSTR, VARIANT) { return NotImplemented("PutProperty"); }
STDMETHODIMP BrowserDouble::GetProperty(BSTR, VARIANT*) { return NotImplemented("GetProperty"); }
STDMETHODIMP BrowserDouble::get_Name(BSTR* out) {
    if (out != nullptr) *out = nullptr;
    return NotImplemented("get_Name");
}
STDMETHODIMP BrowserDouble::get_HWND(SHANDLE_PTR*) { return NotImplemented("get_HWND"); }
STDMETHODIMP BrowserDouble::get_FullName(BSTR* out) {
    if (out != nullptr) *out = nullptr;
    return NotImplemented("get_FullName");
}
STDMETHODIMP BrowserDouble::get_Path(BSTR* out) {
    if (out != nullptr) *out = nullptr;
    return NotImplemented("get_Path");
}
STDMETHODIMP BrowserDouble::get_Visible(VARIANT_BOOL*) { return NotImplemented("get_Visible"); }
STDMETHODIMP BrowserDouble::put_Visible(VARIANT_BOOL) { return NotImplemented("put_Visible"); }
STDMETHODIMP BrowserDouble::get_StatusBar(VARIANT_BOOL*) { return NotImplemented("get_StatusBar"); }
STDMETHODIMP BrowserDouble::put_StatusBar(VARIANT_BOOL) { return NotImplemented("put_StatusBar"); }
STDMETHODIMP BrowserDouble::get_StatusText(BSTR* out) {
    if (out != nullptr) *out = nullptr;
    return NotImplemented("get_StatusText");
}
STDMETHODIMP BrowserDouble::put_StatusText(BSTR value) {
    CheckBstr(value, "put_StatusText");
    return NotImplemented("put_StatusText");
}
STDMETHODIMP BrowserDouble::get_ToolBar(int*) { return NotImplemented("get_ToolBar"); }
STDMETHODIMP BrowserDouble::put_ToolBar(int) { return NotImplemented("put_ToolBar"); }
STDMETHODIMP BrowserDouble::get_MenuBar(VARIANT_BOOL*) { return NotImplemented("get_MenuBar"); }
STDMETHODIMP BrowserDouble::put_MenuBar(VARIANT_BOOL) { return NotImplemented("put_MenuBar"); }
STDMETHODIMP BrowserDouble::get_FullScreen(VARIANT_BOOL*) { return NotImplemented("get_FullScreen"); }
STDMETHODIMP BrowserDouble::put_FullScreen(VARIANT_BOOL) { return NotImplemented("put_FullScreen"); }

// IWebBrowser2

STDMETHODIMP BrowserDouble::QueryStatusWB(OLECMDID, OLECMDF*) { return NotImplemented("QueryStatusWB"); }
STDMETHODIMP BrowserDouble::ExecWB(OLECMDID, OLECMDEXECOPT, VARIANT*, VARIANT*) { return NotImplemented("ExecWB"); }
STDMETHODIMP BrowserDouble::ShowBrowserBar(VARIANT*, VARIANT*, VARIANT*) { return NotImplemented("ShowBrowserBar"); }

STDMETHODIMP BrowserDouble::get_ReadyState(READYSTATE* out) {
    if (!Enter("get_ReadyState -> " + std::to_string(readyState_), "get_ReadyState")) return E_UNEXPECTED;
    if (out == nullptr) return E_POINTER;
    *out = readyState_;
    return S_OK;
}

STDMETHODIMP BrowserDouble::get_Offline(VARIANT_BOOL*) { return NotImplemented("get_Offline"); }
STDMETHODIMP BrowserDouble::put_Offline(VARIANT_BOOL) { return NotImplemented("put_Offline"); }
STDMETHODIMP BrowserDouble::get_Silent(VARIANT_BOOL*) { return NotImplemented("get_Silent"); }
STDMETHODIMP BrowserDouble::put_Silent(VARIANT_BOOL) { return NotImplemented("put_Silent"); }
STDMETHODIMP BrowserDouble::get_RegisterAsBrowser(VARIANT_BOOL*) { return NotImplemented("get_RegisterAsBrowser"); }
STDMETHODIMP BrowserDouble::put_RegisterAsBrowser(VARIANT_BOOL) { return NotImplemented("put_RegisterAsBrowser"); }
STDMETHODIMP BrowserDouble::get_RegisterAsDropTarget(VARIANT_BOOL*) {
    return NotImplemented("get_RegisterAsDropTarget");
}
STDMETHODIMP BrowserDouble::put_RegisterAsDropTarget(VARIANT_BOOL) {
    return NotImplemented("put_RegisterAsDropTarget");
}
STDMETHODIMP BrowserDouble::get_TheaterMode(VARIANT_BOOL*) { return NotImplemented("get_TheaterMode"); }
STDMETHODIMP BrowserDouble::put_TheaterMode(VARIANT_BOOL) { return NotImplemented("put_TheaterMode"); }
STDMETHODIMP BrowserDouble::get_AddressBar(VARIANT_BOOL*) { return NotImplemented("get_AddressBar"); }
STDMETHODIMP BrowserDouble::put_AddressBar(VARIANT_BOOL) { return NotImplemented("put_AddressBar"); }
STDMETHODIMP BrowserDouble::get_Resizable(VARIANT_BOOL*) { return NotImplemented("get_Resizable"); }
STDMETHODIMP BrowserDouble::put_Resizable(VARIANT_BOOL) { return NotImplemented("put_Resizable"); }

}  // namespace browser
