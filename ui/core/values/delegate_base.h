// A subscriber to a control's happenings: an object and one of its member
// functions taking one pointer-sized argument and answering a bool.
#pragma once
#include <cstddef>

namespace QuillUI {

class CDelegateBase {
public:
    // Wide enough for a pointer to member function of any class layout.
    static const size_t kMaxFunctionSize = 4 * sizeof(void*);

    // function points at the member-function pointer; its bytes are kept so
    // that delegates of any class compare by object and function.
    CDelegateBase(void* object, const void* function, size_t functionSize);
    CDelegateBase(const CDelegateBase& other);
    CDelegateBase& operator=(const CDelegateBase&) = delete;
    virtual ~CDelegateBase();

    // A new heap copy of the same kind, or null when memory is short.
    virtual CDelegateBase* Copy() const = 0;
    virtual bool Invoke(void* argument) = 0;

    bool operator()(void* argument) { return Invoke(argument); }
    bool operator==(const CDelegateBase& other) const;
    bool operator!=(const CDelegateBase& other) const { return !(*this == other); }

    void* GetTarget() const { return object_; }

private:
    void* object_;
    unsigned char function_[kMaxFunctionSize];
    size_t functionSize_;
};

}  // namespace QuillUI
