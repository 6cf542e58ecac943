// The browser's events (DWebBrowserEvents2) as the control's sink receives
// them. Arguments arrive last first; each event's count and types are
// checked before anything reads them.
#include "ui/core/hosts/web_browser_ui.h"

#include <exdispid.h>

#include <initializer_list>

namespace QuillUI {

namespace {

constexpr VARTYPE kRefVariant = VT_BYREF | VT_VARIANT;
constexpr VARTYPE kRefBool = VT_BYREF | VT_BOOL;

// DISP_E_BADPARAMCOUNT or DISP_E_TYPEMISMATCH unless PARAMS holds exactly
// these types, in rgvarg order.
HRESULT CheckShape(const DISPPARAMS* params, std::initializer_list<VARTYPE> types) {
    if (params == nullptr || params->cArgs != types.size() || (types.size() > 0 && params->rgvarg == nullptr))
        return DISP_E_BADPARAMCOUNT;
    UINT at = 0;
    for (VARTYPE type : types) {
        const VARIANT& arg = params->rgvarg[at++];
        if (arg.vt != type) return DISP_E_TYPEMISMATCH;
        if ((type & VT_BYREF) != 0 && arg.byref == nullptr) return DISP_E_TYPEMISMATCH;
    }
    return S_OK;
}

bool IsUnsigned32(VARTYPE type) { return type == VT_I4 || type == VT_UI4 || type == VT_INT || type == VT_UINT; }

}  // namespace

STDMETHODIMP CWebBrowserUI::GetTypeInfoCount(UINT* count) {
    if (count != nullptr) *count = 0;
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

STDMETHODIMP CWebBrowserUI::Invoke(DISPID id, REFIID iid, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                   UINT*) {
    if (iid != IID_NULL) return E_INVALIDARG;
    HRESULT hr = S_OK;
    switch (id) {
    case DISPID_STATUSTEXTCHANGE:
        return S_OK;
    case DISPID_COMMANDSTATECHANGE:
        if (params == nullptr || params->cArgs != 2 || params->rgvarg == nullptr) return DISP_E_BADPARAMCOUNT;
        if (params->rgvarg[0].vt != VT_BOOL || !IsUnsigned32(params->rgvarg[1].vt)) return DISP_E_TYPEMISMATCH;
        if (handler_ != nullptr) handler_->CommandStateChange(params->rgvarg[1].lVal, params->rgvarg[0].boolVal);
        return S_OK;
    case DISPID_BEFORENAVIGATE2: {
        hr = CheckShape(params, {kRefBool, kRefVariant, kRefVariant, kRefVariant, kRefVariant, kRefVariant,
                                 VT_DISPATCH});
        if (FAILED(hr)) return hr;
        VARIANT* a = params->rgvarg;
        if (handler_ != nullptr)
            handler_->BeforeNavigate2(a[6].pdispVal, a[5].pvarVal, a[4].pvarVal, a[3].pvarVal, a[2].pvarVal,
                                      a[1].pvarVal, a[0].pboolVal);
        return S_OK;
    }
    case DISPID_NAVIGATECOMPLETE2: {
        hr = CheckShape(params, {kRefVariant, VT_DISPATCH});
        if (FAILED(hr)) return hr;
        InstallUIHandler();
        if (handler_ != nullptr) handler_->NavigateComplete2(params->rgvarg[1].pdispVal, params->rgvarg[0].pvarVal);
        return S_OK;
    }
    case DISPID_DOCUMENTCOMPLETE: {
        hr = CheckShape(params, {kRefVariant, VT_DISPATCH});
        if (FAILED(hr)) return hr;
        // Frames inside the page complete too; only the page itself counts.
        if (handler_ != nullptr && IsHostedBrowser(params->rgvarg[1].pdispVal))
            handler_->DocumentComplete(params->rgvarg[1].pdispVal, params->rgvarg[0].pvarVal);
        return S_OK;
    }
    case DISPID_NAVIGATEERROR: {
        hr = CheckShape(params, {kRefBool, kRefVariant, kRefVariant, kRefVariant, VT_DISPATCH});
        if (FAILED(hr)) return hr;
        VARIANT* a = params->rgvarg;
        if (handler_ != nullptr)
            handler_->NavigateError(a[4].pdispVal, a[3].pvarVal, a[2].pvarVal, a[1].pvarVal, a[0].pboolVal);
        return S_OK;
    }
    case DISPID_NEWWINDOW3: {
        if (params == nullptr || params->cArgs != 5 || params->rgvarg == nullptr) return DISP_E_BADPARAMCOUNT;
        VARIANT* a = params->rgvarg;
        if (a[4].vt != (VT_BYREF | VT_DISPATCH) || a[4].byref == nullptr || a[3].vt != kRefBool ||
            a[3].byref == nullptr || !IsUnsigned32(a[2].vt) || a[1].vt != VT_BSTR || a[0].vt != VT_BSTR)
            return DISP_E_TYPEMISMATCH;
        if (handler_ != nullptr)
            handler_->NewWindow3(a[4].ppdispVal, a[3].pboolVal, a[2].ulVal, a[1].bstrVal, a[0].bstrVal);
        return S_OK;
    }
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

}  // namespace QuillUI
