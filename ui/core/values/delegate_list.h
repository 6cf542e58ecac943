// The subscribers to one kind of a control's happenings, called in the order
// they were added.
#pragma once
#include "ui/core/values/delegate_base.h"
#include "ui/core/values/pointer_array.h"

namespace QuillUI {

class CDelegateList {
public:
    CDelegateList() = default;
    CDelegateList(const CDelegateList&) = delete;
    CDelegateList& operator=(const CDelegateList&) = delete;
    ~CDelegateList();

    // Keeps a copy; a delegate equal to one already held is not added again.
    void Add(const CDelegateBase& delegate);
    // Drops the copy equal to delegate, leaving its slot empty so that the
    // others keep their places; a walk in progress goes on with the next
    // slot. False when no such delegate is held.
    bool Remove(const CDelegateBase& delegate);
    bool HasDelegates() const { return state_ != nullptr && state_->live > 0; }
    // Calls each delegate in turn and stops at the first that answers false,
    // which is then the answer; true when all agreed or there are none.
    bool Invoke(void* argument);

private:
    // Made by the first Add: most lists of a control never get a delegate,
    // and most others get one, so the slots grow from one.
    struct State {
        CDelegateBase** slots = nullptr;
        int count = 0;
        int capacity = 0;
        int live = 0;
        int invoking = 0;
        // Delegates removed while a walk was calling one of them: freed
        // when the outermost walk ends, as one of them may still be running.
        CPointerArray removed;
    };

    State* state_ = nullptr;
};

}  // namespace QuillUI
