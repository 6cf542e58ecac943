#include "ui/core/values/delegate_list.h"

#include <new>

namespace QuillUI {

namespace {

void DeleteAll(CPointerArray& delegates) {
    for (int i = 0; i < delegates.GetSize(); ++i) delete static_cast<CDelegateBase*>(delegates[i]);
    delegates.Empty();
}

}  // namespace

CDelegateList::~CDelegateList() {
    if (state_ == nullptr) return;
    DeleteAll(state_->delegates);
    DeleteAll(state_->removed);
    delete state_;
}

void CDelegateList::Add(const CDelegateBase& delegate) {
    if (state_ == nullptr) {
        state_ = new (std::nothrow) State;
        if (state_ == nullptr) return;
    }
    CPointerArray& delegates = state_->delegates;
    for (int i = 0; i < delegates.GetSize(); ++i) {
        const CDelegateBase* held = static_cast<const CDelegateBase*>(delegates[i]);
        if (held != nullptr && *held == delegate) return;
    }
    CDelegateBase* copy = delegate.Copy();
    if (copy == nullptr) return;
    if (!delegates.Add(copy)) {
        delete copy;
        return;
    }
    ++state_->live;
}

bool CDelegateList::Remove(const CDelegateBase& delegate) {
    if (state_ == nullptr) return false;
    CPointerArray& delegates = state_->delegates;
    for (int i = 0; i < delegates.GetSize(); ++i) {
        CDelegateBase* held = static_cast<CDelegateBase*>(delegates[i]);
        if (held == nullptr || *held != delegate) continue;
        // The slot stays: a walk reads the list by index.
        delegates.SetAt(i, nullptr);
        --state_->live;
        // During a walk the delegate may be the one running: it is freed
        // when the walk ends (or, without memory to remember it, never).
        if (state_->invoking == 0) {
            delete held;
        } else {
            state_->removed.Add(held);
        }
        return true;
    }
    return false;
}

bool CDelegateList::Invoke(void* argument) {
    // The state, once made, stays until the list goes, so a delegate that
    // adds or removes while it runs leaves it in place.
    State* state = state_;
    if (state == nullptr) return true;
    ++state->invoking;
    bool agreed = true;
    // By index: a delegate may add to or remove from this list while it runs.
    for (int i = 0; i < state->delegates.GetSize() && agreed; ++i) {
        CDelegateBase* delegate = static_cast<CDelegateBase*>(state->delegates.GetAt(i));
        if (delegate != nullptr) agreed = (*delegate)(argument);
    }
    if (--state->invoking == 0) DeleteAll(state->removed);
    return agreed;
}

}  // namespace QuillUI
