#include "test_host.h"

#include <cstring>
#include <cwchar>

namespace doubles_test {

namespace {

// {F38BC242-B950-11D1-8918-00C04FC2C836}
const GUID kCgidDocHostCommandHandler = {0xF38BC242, 0xB950, 0x11D1, {0x89, 0x18, 0x00, 0xC0, 0x4F, 0xC2, 0xC8, 0x36}};

std::string Utf8(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += static_cast<char>(c < 0x80 ? c : '?');
    return out;
}

std::string ArgumentText(const VARIANT& v) {
    if (v.vt == VT_BSTR) return "\"" + Utf8(BstrString(v.bstrVal)) + "\"";
    if (v.vt == VT_I4) return std::to_string(v.lVal);
    return "vt" + std::to_string(v.vt);
}

}  // namespace

std::wstring BstrString(BSTR text) { return text != nullptr ? std::wstring(text, SysStringLen(text)) : L""; }

STDMETHODIMP CountedDispatch::QueryInterface(REFIID riid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (riid != IID_IUnknown && riid != IID_IDispatch) return E_NOINTERFACE;
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CountedDispatch::Release() {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

STDMETHODIMP CountedDispatch::GetTypeInfoCount(UINT* count) {
    if (count != nullptr) *count = 0;
    return E_NOTIMPL;
}

STDMETHODIMP CountedDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP TestExternal::QueryInterface(REFIID riid, void** out) {
    calls_->push_back(riid == IID_IUnknown || riid == IID_IDispatch ? "QueryInterface known" : "QueryInterface other");
    return CountedDispatch::QueryInterface(riid, out);
}

STDMETHODIMP TestExternal::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (names == nullptr || ids == nullptr || count == 0) return E_POINTER;
    std::wstring name = names[0];
    calls_->push_back("GetIDsOfNames " + Utf8(name));
    ids[0] = name == L"startGame" ? 104 : name == L"ismc" ? 103 : DISPID_UNKNOWN;
    return ids[0] == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK;
}

// Records the arguments as they arrive in rgvarg, last argument first.
STDMETHODIMP TestExternal::Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                  EXCEPINFO*, UINT*) {
    std::string call = "Invoke " + std::to_string(dispid) + " flags=" + std::to_string(flags) + " rgvarg=[";
    for (UINT i = 0; params != nullptr && i < params->cArgs; ++i)
        call += (i > 0 ? "," : "") + ArgumentText(params->rgvarg[i]);
    calls_->push_back(call + "]");
    if (dispid == 103 && result != nullptr) {
        VariantInit(result);
        result->vt = VT_BOOL;
        result->boolVal = VARIANT_TRUE;
    }
    return S_OK;
}

STDMETHODIMP TestSink::Invoke(DISPID dispid, REFIID riid, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                              UINT*) {
    SeenEvent seen;
    seen.dispid = dispid;
    seen.riidNull = riid == IID_NULL;
    for (UINT i = 0; params != nullptr && i < params->cArgs; ++i) {
        const VARIANT& v = params->rgvarg[i];
        seen.types.push_back(v.vt);
        const VARIANT* inner = v.vt == (VT_BYREF | VT_VARIANT) ? v.pvarVal : &v;
        seen.texts.push_back(inner->vt == VT_BSTR ? BstrString(inner->bstrVal) : L"");
        long number = inner->vt == VT_I4 ? inner->lVal
                      : inner->vt == VT_UI4 ? static_cast<long>(inner->ulVal)
                      : inner->vt == VT_BOOL ? inner->boolVal
                      : v.vt == (VT_BYREF | VT_I4) ? *v.plVal
                                                  : 0;
        seen.numbers.push_back(number);
    }
    if (params != nullptr && params->cArgs > 0 && params->rgvarg[params->cArgs - 1].vt == VT_DISPATCH &&
        params->rgvarg[params->cArgs - 1].pdispVal != nullptr) {
        IUnknown* identity = nullptr;
        params->rgvarg[params->cArgs - 1].pdispVal->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
        seen.identity = identity;
        if (identity != nullptr) identity->Release();
    }
    events.push_back(seen);
    return onEvent ? onEvent(dispid, params) : S_OK;
}

STDMETHODIMP TestSite::QueryInterface(REFIID riid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (riid == IID_IUnknown || riid == IID_IOleClientSite)
        *out = static_cast<IOleClientSite*>(this);
    else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite || riid == IID_IOleInPlaceSiteEx ||
             riid == IID_IOleInPlaceSiteWindowless)
        *out = static_cast<IOleInPlaceSiteWindowless*>(this);
    else if (riid == __uuidof(IDocHostUIHandler))
        *out = static_cast<IDocHostUIHandler*>(this);
    else if (riid == IID_IOleCommandTarget)
        *out = static_cast<IOleCommandTarget*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP TestSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker != nullptr) *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP TestSite::GetContainer(IOleContainer** container) {
    if (container != nullptr) *container = nullptr;
    return Note("GetContainer", E_NOINTERFACE);
}

STDMETHODIMP TestSite::GetWindow(HWND* window) {
    if (window == nullptr) return E_POINTER;
    *window = window_;
    return Note("GetWindow", S_OK);
}

STDMETHODIMP TestSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                        LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
    if (frame == nullptr || document == nullptr || position == nullptr || clip == nullptr) return E_POINTER;
    *frame = nullptr;
    *document = nullptr;
    if (!leaveRectsUnwritten) {
        *position = rect_;
        *clip = rect_;
    }
    if (info != nullptr) {
        info->fMDIApp = FALSE;
        info->hwndFrame = window_;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
    }
    return Note("GetWindowContext", S_OK);
}

STDMETHODIMP TestSite::OnInPlaceActivateEx(BOOL* noRedraw, DWORD flags) {
    if (noRedraw != nullptr) *noRedraw = FALSE;
    return Note(flags == ACTIVATE_WINDOWLESS ? "OnInPlaceActivateEx windowless" : "OnInPlaceActivateEx", S_OK);
}

STDMETHODIMP TestSite::CanWindowlessActivate() { return Note("CanWindowlessActivate", windowless_ ? S_OK : S_FALSE); }

STDMETHODIMP TestSite::GetDC(LPCRECT, DWORD, HDC* dc) {
    if (dc != nullptr) *dc = nullptr;
    return S_FALSE;
}

STDMETHODIMP TestSite::OnDefWindowMessage(UINT, WPARAM, LPARAM, LRESULT* result) {
    if (result != nullptr) *result = 0;
    return S_OK;
}

STDMETHODIMP TestSite::GetHostInfo(DOCHOSTUIINFO* info) {
    if (info == nullptr) return E_POINTER;
    info->dwFlags |= DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO;
    return Note("GetHostInfo", S_OK);
}

STDMETHODIMP TestSite::GetOptionKeyPath(LPOLESTR* key, DWORD) {
    if (key != nullptr) *key = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP TestSite::GetDropTarget(IDropTarget*, IDropTarget** target) {
    if (target != nullptr) *target = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP TestSite::GetExternal(IDispatch** external) {
    if (external == nullptr) return E_POINTER;
    *external = new TestExternal(&externalCalls);
    return Note("GetExternal", S_OK);
}

STDMETHODIMP TestSite::TranslateUrl(DWORD, LPWSTR, LPWSTR* out) {
    if (out != nullptr) *out = nullptr;
    return S_FALSE;
}

STDMETHODIMP TestSite::FilterDataObject(IDataObject*, IDataObject** out) {
    if (out != nullptr) *out = nullptr;
    return S_FALSE;
}

STDMETHODIMP TestSite::Exec(const GUID* group, DWORD id, DWORD, VARIANT*, VARIANT* out) {
    if (group == nullptr || *group != kCgidDocHostCommandHandler) return OLECMDERR_E_UNKNOWNGROUP;
    if (id != 40) return OLECMDERR_E_NOTSUPPORTED;
    if (out != nullptr) {
        VariantInit(out);
        out->vt = VT_BOOL;
        out->boolVal = VARIANT_TRUE;
    }
    return Note("Exec script error", S_OK);
}

DrawSurface::DrawSurface(int width, int height) : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    Clear();
}

DrawSurface::~DrawSurface() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

void DrawSurface::Clear() {
    if (bits_ != nullptr) memset(bits_, 0xFF, static_cast<size_t>(width_) * height_ * 4);
}

DWORD DrawSurface::Pixel(int x, int y) const {
    GdiFlush();
    return static_cast<const DWORD*>(bits_)[y * width_ + x] & 0xFFFFFF;
}

}  // namespace doubles_test
