#include "browser_document.h"

namespace browser {

using comdouble::Log;
using comdouble::Narrow;

STDMETHODIMP PlainDispatch::QueryInterface(REFIID riid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (riid != IID_IUnknown && riid != IID_IDispatch) return E_NOINTERFACE;
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) PlainDispatch::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

STDMETHODIMP_(ULONG) PlainDispatch::Release() {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

STDMETHODIMP PlainDispatch::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP PlainDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP PlainDispatch::GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) {
    for (UINT i = 0; ids != nullptr && i < count; ++i) ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP PlainDispatch::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
    return DISP_E_MEMBERNOTFOUND;
}

Document::Document(const std::wstring& url) : url_(url) {}

STDMETHODIMP Document::QueryInterface(REFIID riid, void** out) {
    if (out == nullptr || riid != __uuidof(ICustomDoc)) return PlainDispatch::QueryInterface(riid, out);
    *out = static_cast<ICustomDoc*>(this);
    AddRef();
    return S_OK;
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

}  // namespace browser
