#include "ui/core/values/delegate_base.h"

#include <cstring>

namespace QuillUI {

CDelegateBase::CDelegateBase(void* object, const void* function, size_t functionSize)
    : object_(object), function_(), functionSize_(0) {
    if (functionSize > kMaxFunctionSize) functionSize = kMaxFunctionSize;
    if (function != nullptr) {
        memcpy(function_, function, functionSize);
        functionSize_ = functionSize;
    }
}

CDelegateBase::CDelegateBase(const CDelegateBase& other)
    : object_(other.object_), functionSize_(other.functionSize_) {
    memcpy(function_, other.function_, sizeof(function_));
}

CDelegateBase::~CDelegateBase() = default;

bool CDelegateBase::operator==(const CDelegateBase& other) const {
    return object_ == other.object_ && functionSize_ == other.functionSize_ &&
           memcmp(function_, other.function_, functionSize_) == 0;
}

}  // namespace QuillUI
