#include "launcher/external.h"

#include <cwchar>

namespace {

struct Method {
    const wchar_t* name;
    DISPID id;
};

const Method kMethods[] = {
    {L"RechargeResult", External::kRechargeResult},
    {L"Close", External::kClose},
    {L"CallClient", External::kCallClient},
    {L"ismc", External::kIsMc},
    {L"startGame", External::kStartGame},
};

// A null BSTR is how script engines may pass "".
std::wstring BstrText(BSTR text) {
    return text != nullptr ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

}  // namespace

STDMETHODIMP External::QueryInterface(REFIID iid, void** out) {
    if (out == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) External::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

STDMETHODIMP_(ULONG) External::Release() {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

STDMETHODIMP External::GetTypeInfoCount(UINT* count) {
    if (count != nullptr) *count = 0;
    return E_NOTIMPL;
}

STDMETHODIMP External::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP External::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (count == 0) return S_OK;
    if (names == nullptr || ids == nullptr) return E_POINTER;
    for (UINT i = 1; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    ids[0] = DISPID_UNKNOWN;
    if (names[0] != nullptr) {
        for (const Method& method : kMethods) {
            if (wcscmp(names[0], method.name) == 0) {
                ids[0] = method.id;
                return S_OK;
            }
        }
    }
    return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP External::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                              UINT*) {
    if (id == kIsMc && result != nullptr) {
        // An out parameter: what lies there is not ours to free.
        VariantInit(result);
        result->vt = VT_BOOL;
        result->boolVal = VARIANT_TRUE;
    } else if (id == kStartGame) {
        StartGame(params);
    }
    return S_OK;
}

void External::StartGame(const DISPPARAMS* params) {
    if (params == nullptr || params->cArgs != 2 || params->rgvarg == nullptr) return;
    // Arguments arrive last first: the script's first one is rgvarg[1].
    const VARIANT& server = params->rgvarg[1];
    const VARIANT& token = params->rgvarg[0];
    if (server.vt != VT_BSTR || token.vt != VT_BSTR) return;
    if (sink_ != nullptr) sink_->OnServerChosen(BstrText(server.bstrVal), BstrText(token.bstrVal));
}
