#include "ui/core/values/delegate_list.h"

namespace QuillUI {

namespace {

void DeleteAll(CPointerArray& delegates) {
    for (int i = 0; i < delegates.GetSize(); ++i) delete static_cast<CDelegateBase*>(delegates[i]);
    delegates.Empty();
}

}  // namespace

CDelegateList::~CDelegateList() {
    DeleteAll(delegates_);
    DeleteAll(removed_);
}

void CDelegateList::Add(const CDelegateBase& delegate) {
    for (int i = 0; i < delegates_.GetSize(); ++i) {
        const CDelegateBase* held = static_cast<const CDelegateBase*>(delegates_[i]);
        if (held != nullptr && *held == delegate) return;
    }
    CDelegateBase* copy = delegate.Copy();
    if (copy == nullptr) return;
    if (!delegates_.Add(copy)) {
        delete copy;
        return;
    }
    ++live_;
}

bool CDelegateList::Remove(const CDelegateBase& delegate) {
    for (int i = 0; i < delegates_.GetSize(); ++i) {
        CDelegateBase* held = static_cast<CDelegateBase*>(delegates_[i]);
        if (held == nullptr || *held != delegate) continue;
        // The slot stays: a walk reads the list by index.
        delegates_.SetAt(i, nullptr);
        --live_;
        // During a walk the delegate may be the one running: it is freed
        // when the walk ends (or, without memory to remember it, never).
        if (invoking_ == 0) {
            delete held;
        } else {
            removed_.Add(held);
        }
        return true;
    }
    return false;
}

bool CDelegateList::Invoke(void* argument) {
    ++invoking_;
    bool agreed = true;
    // By index: a delegate may add to or remove from this list while it runs.
    for (int i = 0; i < delegates_.GetSize() && agreed; ++i) {
        CDelegateBase* delegate = static_cast<CDelegateBase*>(delegates_.GetAt(i));
        if (delegate != nullptr) agreed = (*delegate)(argument);
    }
    if (--invoking_ == 0) DeleteAll(removed_);
    return agreed;
}

}  // namespace QuillUI
