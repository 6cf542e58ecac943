// The arguments of an event a double fires through IDispatch::Invoke.
#pragma once
#include "common/win.h"

#include <ole2.h>
#include <oleauto.h>

#include <string>

namespace comdouble {

// Arguments of one event, added in the event's declared order; Params()
// hands them over last first, as IDispatch::Invoke takes them.
class EventArgs {
public:
    EventArgs();
    ~EventArgs();
    EventArgs(const EventArgs&) = delete;
    EventArgs& operator=(const EventArgs&) = delete;

    void Dispatch(IDispatch* object);  // VT_DISPATCH, borrowed
    void RefVariantText(const std::wstring& text);  // VT_BYREF|VT_VARIANT holding VT_BSTR
    void RefVariantNumber(long value);  // VT_BYREF|VT_VARIANT holding VT_I4
    void RefVariantEmpty();
    void RefCancel();  // VT_BYREF|VT_BOOL, VARIANT_FALSE
    void RefDispatchOut();  // VT_BYREF|VT_DISPATCH, null
    void Text(const std::wstring& text);  // VT_BSTR
    void Number(long value);  // VT_I4
    void RefNumber(long value);  // VT_BYREF|VT_I4
    void Unsigned(unsigned long value);  // VT_UI4
    void Flag(bool value);  // VT_BOOL

    DISPPARAMS* Params();
    bool Cancelled() const { return cancel_ != VARIANT_FALSE; }
    // What the sink put into the VT_BYREF|VT_DISPATCH argument.
    IDispatch* OutDispatch() const { return outDispatch_; }

private:
    static const int kMax = 8;
    VARIANT* Next();

    VARIANT args_[kMax];
    VARIANT inner_[kMax];
    VARIANT reversed_[kMax];
    int count_ = 0;
    VARIANT_BOOL cancel_ = VARIANT_FALSE;
    IDispatch* outDispatch_ = nullptr;
    DISPPARAMS params_ = {};
};

}  // namespace comdouble
