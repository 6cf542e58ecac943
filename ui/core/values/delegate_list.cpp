#include "ui/core/values/delegate_list.h"

namespace QuillUI {

CDelegateList::~CDelegateList() {
    for (int i = 0; i < delegates_.GetSize(); ++i) delete static_cast<CDelegateBase*>(delegates_[i]);
}

void CDelegateList::Add(const CDelegateBase& delegate) {
    for (int i = 0; i < delegates_.GetSize(); ++i) {
        const CDelegateBase* held = static_cast<const CDelegateBase*>(delegates_[i]);
        if (held != nullptr && *held == delegate) return;
    }
    CDelegateBase* copy = delegate.Copy();
    if (copy != nullptr && !delegates_.Add(copy)) delete copy;
}

bool CDelegateList::Invoke(void* argument) {
    // By index: a delegate may add to this list while it runs.
    for (int i = 0; i < delegates_.GetSize(); ++i) {
        CDelegateBase* delegate = static_cast<CDelegateBase*>(delegates_.GetAt(i));
        if (delegate != nullptr && !(*delegate)(argument)) return false;
    }
    return true;
}

}  // namespace QuillUI
