#include "ui/core/hosts/flash_ui.h"

#include "ui/core/manager/window_manager_ui.h"

#include <cwchar>

namespace QuillUI {

namespace {

constexpr DISPID kReadyStateChange = -609;
constexpr DISPID kOnProgress = 1958;
constexpr DISPID kFSCommand = 150;
constexpr DISPID kFlashCall = 197;

// Calls a movie property that takes text; the BSTR lives for the call.
void PutText(IShockwaveFlash* movie, HRESULT (STDMETHODCALLTYPE IShockwaveFlash::*put)(BSTR), const wchar_t* text) {
    BSTR value = SysAllocString(text);
    if (value == nullptr) return;
    (movie->*put)(value);
    SysFreeString(value);
}

}  // namespace

CFlashUI::CFlashUI() {
    wchar_t text[100] = {};
    wcsncpy(text, L"{D27CDB6E-AE6D-11CF-96B8-444553540000}", 99);
    CLSIDFromString(text, &clsid_);
}

CFlashUI::~CFlashUI() {
    if (handler_ != nullptr) {
        CFlashEventHandler* handler = handler_;
        handler_ = nullptr;
        handler->Release();
    }
    ReleaseControl();
    CActiveXUI::ReleaseControl();
}

const wchar_t* CFlashUI::GetClass() const { return L"Flash"; }

void* CFlashUI::GetInterface(const wchar_t* name) {
    if (name != nullptr && wcscmp(name, L"Flash") == 0) return static_cast<CFlashUI*>(this);
    return CActiveXUI::GetInterface(name);
}

void CFlashUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr || value == nullptr) return;
    if (wcscmp(name, L"homepage") == 0 || wcscmp(name, L"autonavi") == 0) return;
    if (wcscmp(name, L"swf") == 0)
        SetMovieFile(value);
    else
        CActiveXUI::SetAttribute(name, value);
}

void CFlashUI::SetFlashEventHandler(CFlashEventHandler* handler) {
    if (handler == handler_) return;
    // The new one first: the old one may be the last holder of the new.
    if (handler != nullptr) handler->AddRef();
    CFlashEventHandler* old = handler_;
    handler_ = handler;
    if (old != nullptr) old->Release();
}

CWideString CFlashUI::MoviePath() const {
    CWideString path = CWindowManagerUI::GetResourcePath();
    const int length = path.GetLength();
    const bool separated = length > 0 && (path.GetData()[length - 1] == L'\\' || path.GetData()[length - 1] == L'/');
    if (!separated) path += L"\\";
    const wchar_t* file = movieFile_.GetData();
    while (*file == L'\\' || *file == L'/') ++file;
    path += file;
    return path;
}

bool CFlashUI::DoCreateControl() {
    if (!CActiveXUI::DoCreateControl()) return false;
    if (movie != nullptr) {
        movie->Release();
        movie = nullptr;
    }
    GetControl(kIidShockwaveFlash, reinterpret_cast<void**>(&movie));
    if (movie != nullptr && !movieFile_.IsEmpty()) {
        PutText(movie, &IShockwaveFlash::put_WMode, L"Transparent");
        PutText(movie, &IShockwaveFlash::put_Movie, MoviePath().GetData());
        movie->put_Playing(VARIANT_TRUE);
        movie->DisableLocalSecurity();
        PutText(movie, &IShockwaveFlash::put_AllowScriptAccess, L"always");
    }
    RegisterEventHandler(true);
    return true;
}

void CFlashUI::ReleaseControl() {
    RegisterEventHandler(false);
    if (movie != nullptr) {
        movie->Release();
        movie = nullptr;
    }
}

HRESULT CFlashUI::RegisterEventHandler(bool advise) {
    if (movie == nullptr) return S_FALSE;
    return ConnectEvents(movie, kDiidShockwaveFlashEvents, static_cast<_IShockwaveFlashEvents*>(this), advise, cookie_);
}

LRESULT CFlashUI::TranslateAccelerator(MSG* message) { return TranslateForObject(movie, message); }

// ---- The event sink ----------------------------------------------------

STDMETHODIMP CFlashUI::QueryInterface(REFIID iid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDispatch && iid != kDiidShockwaveFlashEvents) return E_NOINTERFACE;
    *out = static_cast<_IShockwaveFlashEvents*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CFlashUI::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

STDMETHODIMP_(ULONG) CFlashUI::Release() { return static_cast<ULONG>(InterlockedDecrement(&refs_)); }

STDMETHODIMP CFlashUI::GetTypeInfoCount(UINT* count) {
    if (count != nullptr) *count = 0;
    return E_NOTIMPL;
}

STDMETHODIMP CFlashUI::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CFlashUI::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

STDMETHODIMP CFlashUI::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
    const bool known = id == kReadyStateChange || id == kOnProgress || id == kFSCommand || id == kFlashCall;
    if (!known) return S_OK;
    const UINT count = params != nullptr && params->rgvarg != nullptr ? params->cArgs : 0;
    const VARIANT* a = count > 0 ? params->rgvarg : nullptr;
    switch (id) {
    case kReadyStateChange:
        if (count != 1) return DISP_E_BADPARAMCOUNT;
        if (a[0].vt != VT_I4) return DISP_E_TYPEMISMATCH;
        return handler_ != nullptr ? handler_->OnReadyStateChange(a[0].lVal) : S_OK;
    case kOnProgress: {
        // The type library passes the percentage by value; a reference is
        // accepted too.
        if (count != 1) return DISP_E_BADPARAMCOUNT;
        long percent = 0;
        if (a[0].vt == VT_I4)
            percent = a[0].lVal;
        else if (a[0].vt == (VT_BYREF | VT_I4) && a[0].plVal != nullptr)
            percent = *a[0].plVal;
        else
            return DISP_E_TYPEMISMATCH;
        return handler_ != nullptr ? handler_->OnProgress(percent) : S_OK;
    }
    case kFSCommand:
        if (count != 2) return DISP_E_BADPARAMCOUNT;
        if (a[0].vt != VT_BSTR || a[1].vt != VT_BSTR) return DISP_E_TYPEMISMATCH;
        return handler_ != nullptr ? handler_->FSCommand(a[1].bstrVal, a[0].bstrVal) : S_OK;
    default:  // kFlashCall
        if (count != 1 || a[0].vt != VT_BSTR) return E_INVALIDARG;
        return handler_ != nullptr ? handler_->FlashCall(a[0].bstrVal) : S_OK;
    }
}

}  // namespace QuillUI
