#include "ui/core/hosts/active_x_enum.h"

namespace QuillUI {

CActiveXEnum::CActiveXEnum(IUnknown* object) : object_(object) {
    if (object_ != nullptr) object_->AddRef();
}

CActiveXEnum::~CActiveXEnum() {
    if (object_ != nullptr) object_->Release();
}

STDMETHODIMP CActiveXEnum::QueryInterface(REFIID iid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IEnumUnknown) return E_NOINTERFACE;
    *out = static_cast<IEnumUnknown*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CActiveXEnum::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

STDMETHODIMP_(ULONG) CActiveXEnum::Release() {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

STDMETHODIMP CActiveXEnum::Next(ULONG count, IUnknown** items, ULONG* fetched) {
    if (fetched != nullptr) *fetched = 0;
    if (count == 0) return S_OK;
    if (items == nullptr) return E_POINTER;
    if (++position_ > 1 || object_ == nullptr) return S_FALSE;
    items[0] = object_;
    object_->AddRef();
    if (fetched != nullptr) *fetched = 1;
    return count == 1 ? S_OK : S_FALSE;
}

STDMETHODIMP CActiveXEnum::Skip(ULONG count) {
    position_ += static_cast<LONG>(count);
    return S_OK;
}

STDMETHODIMP CActiveXEnum::Reset() {
    position_ = 0;
    return S_OK;
}

STDMETHODIMP CActiveXEnum::Clone(IEnumUnknown** copy) {
    if (copy != nullptr) *copy = nullptr;
    return E_NOTIMPL;
}

}  // namespace QuillUI
