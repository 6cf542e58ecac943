#include "ui/core/values/delegate_list.h"

#include <cstdlib>
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
    for (int i = 0; i < state_->count; ++i) delete state_->slots[i];
    free(state_->slots);
    DeleteAll(state_->removed);
    delete state_;
}

void CDelegateList::Add(const CDelegateBase& delegate) {
    if (state_ == nullptr) {
        state_ = new (std::nothrow) State;
        if (state_ == nullptr) return;
    }
    State& state = *state_;
    for (int i = 0; i < state.count; ++i) {
        if (state.slots[i] != nullptr && *state.slots[i] == delegate) return;
    }
    if (state.count == state.capacity) {
        if (state.capacity > 0x3FFFFFFF / static_cast<int>(sizeof(CDelegateBase*))) return;
        const int capacity = state.capacity == 0 ? 1 : state.capacity * 2;
        void* grown = realloc(state.slots, static_cast<size_t>(capacity) * sizeof(CDelegateBase*));
        if (grown == nullptr) return;
        state.slots = static_cast<CDelegateBase**>(grown);
        state.capacity = capacity;
    }
    CDelegateBase* copy = delegate.Copy();
    if (copy == nullptr) return;
    state.slots[state.count++] = copy;
    ++state.live;
}

bool CDelegateList::Remove(const CDelegateBase& delegate) {
    if (state_ == nullptr) return false;
    State& state = *state_;
    for (int i = 0; i < state.count; ++i) {
        CDelegateBase* held = state.slots[i];
        if (held == nullptr || *held != delegate) continue;
        // The slot stays: a walk reads the list by index.
        state.slots[i] = nullptr;
        --state.live;
        // During a walk the delegate may be the one running: it is freed
        // when the walk ends (or, without memory to remember it, never).
        if (state.invoking == 0) {
            delete held;
        } else {
            state.removed.Add(held);
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
    // By index: a delegate may add to or remove from this list while it
    // runs, and an addition may move the slots.
    for (int i = 0; i < state->count && agreed; ++i) {
        CDelegateBase* delegate = state->slots[i];
        if (delegate != nullptr) agreed = (*delegate)(argument);
    }
    if (--state->invoking == 0) DeleteAll(state->removed);
    return agreed;
}

}  // namespace QuillUI
