#include "event_args.h"

namespace comdouble {

EventArgs::EventArgs() {
    for (int i = 0; i < kMax; ++i) {
        VariantInit(&args_[i]);
        VariantInit(&inner_[i]);
    }
}

EventArgs::~EventArgs() {
    for (int i = 0; i < kMax; ++i) {
        VariantClear(&inner_[i]);
        if (args_[i].vt == VT_BSTR) VariantClear(&args_[i]);
    }
    if (outDispatch_ != nullptr) outDispatch_->Release();
}

VARIANT* EventArgs::Next() { return count_ < kMax ? &args_[count_++] : nullptr; }

void EventArgs::Dispatch(IDispatch* object) {
    VARIANT* v = Next();
    v->vt = VT_DISPATCH;
    v->pdispVal = object;
}

void EventArgs::RefVariantText(const std::wstring& text) {
    VARIANT* v = Next();
    VARIANT* inner = &inner_[count_ - 1];
    inner->vt = VT_BSTR;
    inner->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    v->vt = VT_BYREF | VT_VARIANT;
    v->pvarVal = inner;
}

void EventArgs::RefVariantNumber(long value) {
    VARIANT* v = Next();
    VARIANT* inner = &inner_[count_ - 1];
    inner->vt = VT_I4;
    inner->lVal = value;
    v->vt = VT_BYREF | VT_VARIANT;
    v->pvarVal = inner;
}

void EventArgs::RefVariantEmpty() {
    VARIANT* v = Next();
    v->vt = VT_BYREF | VT_VARIANT;
    v->pvarVal = &inner_[count_ - 1];
}

void EventArgs::RefCancel() {
    VARIANT* v = Next();
    v->vt = VT_BYREF | VT_BOOL;
    v->pboolVal = &cancel_;
}

void EventArgs::RefDispatchOut() {
    VARIANT* v = Next();
    v->vt = VT_BYREF | VT_DISPATCH;
    v->ppdispVal = &outDispatch_;
}

void EventArgs::Text(const std::wstring& text) {
    VARIANT* v = Next();
    v->vt = VT_BSTR;
    v->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

void EventArgs::Number(long value) {
    VARIANT* v = Next();
    v->vt = VT_I4;
    v->lVal = value;
}

void EventArgs::RefNumber(long value) {
    VARIANT* v = Next();
    VARIANT* inner = &inner_[count_ - 1];
    inner->vt = VT_I4;
    inner->lVal = value;
    v->vt = VT_BYREF | VT_I4;
    v->plVal = &inner->lVal;
}

void EventArgs::Unsigned(unsigned long value) {
    VARIANT* v = Next();
    v->vt = VT_UI4;
    v->ulVal = value;
}

void EventArgs::Flag(bool value) {
    VARIANT* v = Next();
    v->vt = VT_BOOL;
    v->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

DISPPARAMS* EventArgs::Params() {
    for (int i = 0; i < count_; ++i) reversed_[i] = args_[count_ - 1 - i];
    params_.rgvarg = count_ > 0 ? reversed_ : nullptr;
    params_.cArgs = static_cast<UINT>(count_);
    params_.rgdispidNamedArgs = nullptr;
    params_.cNamedArgs = 0;
    return &params_;
}

}  // namespace comdouble
