#include "browser_document.h"

namespace browser {

using comdouble::Log;
using comdouble::Narrow;

namespace {

HRESULT NoTypeInfoCount(UINT* count) {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT UnknownNames(DISPID* ids, UINT count) {
    for (UINT i = 0; ids != nullptr && i < count; ++i) ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

}  // namespace

Document::Document(const std::wstring& url) : url_(url) {}

STDMETHODIMP Document::QueryInterface(REFIID riid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (riid == IID_IUnknown || riid == IID_IDispatch)
        *out = static_cast<IDispatch*>(this);
    else if (riid == __uuidof(ICustomDoc))
        *out = static_cast<ICustomDoc*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) Document::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

STDMETHODIMP_(ULONG) Document::Release() {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

STDMETHODIMP Document::GetTypeInfoCount(UINT* count) { return NoTypeInfoCount(count); }

STDMETHODIMP Document::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP Document::GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) {
    return UnknownNames(ids, count);
}

STDMETHODIMP Document::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
    return DISP_E_MEMBERNOTFOUND;
}

STDMETHODIMP Document::SetUIHandler(IDocHostUIHandler* handler) {
    Log(std::string("document ") + Narrow(url_.c_str()) + " SetUIHandler " + (handler != nullptr ? "handler" : "null"));
    handler_.Set(handler);
    return S_OK;
}

void Document::Unload(const char* why) {
    if (handler_) Log(std::string("document ") + Narrow(url_.c_str()) + " " + why + ": UI handler released");
    handler_.Reset();
}

STDMETHODIMP FrameDispatch::QueryInterface(REFIID riid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (riid != IID_IUnknown && riid != IID_IDispatch) return E_NOINTERFACE;
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) FrameDispatch::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

STDMETHODIMP_(ULONG) FrameDispatch::Release() {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

STDMETHODIMP FrameDispatch::GetTypeInfoCount(UINT* count) { return NoTypeInfoCount(count); }

STDMETHODIMP FrameDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP FrameDispatch::GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) {
    return UnknownNames(ids, count);
}

STDMETHODIMP FrameDispatch::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
    return DISP_E_MEMBERNOTFOUND;
}

}  // namespace browser
