// A delegate that calls a member function of T on an object of class O
// (O is T or derives from it).
#pragma once
#include "ui/core/values/delegate_base.h"

#include <new>

namespace QuillUI {

template <class O, class T>
class CDelegate : public CDelegateBase {
public:
    typedef bool (T::*Function)(void*);

    CDelegate(O* object, Function function)
        : CDelegateBase(static_cast<void*>(object), &function, sizeof(function)), function_(function) {
        static_assert(sizeof(Function) <= kMaxFunctionSize, "member-function pointer too wide");
    }

    CDelegateBase* Copy() const override { return new (std::nothrow) CDelegate(*this); }

    bool Invoke(void* argument) override {
        O* object = static_cast<O*>(GetTarget());
        return (object->*function_)(argument);
    }

private:
    Function function_;
};

}  // namespace QuillUI
