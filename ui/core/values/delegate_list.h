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
    bool HasDelegates() const { return !delegates_.IsEmpty(); }
    // Calls each delegate in turn and stops at the first that answers false,
    // which is then the answer; true when all agreed or there are none.
    bool Invoke(void* argument);

private:
    CPointerArray delegates_;
};

}  // namespace QuillUI
