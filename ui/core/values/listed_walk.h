// The walk over a list of listeners (notifiers, message filters, controls
// waiting for a mouse leave, ...) while they are being called.
#pragma once
#include "ui/core/values/pointer_array.h"

namespace QuillUI {

// Calls visit(entry) for each entry of list as the list stood when the walk
// began, skipping entries that left it meanwhile: whoever is called may add
// or remove entries, itself among them. visit answers false to end the walk,
// and must do so when the list itself may be gone (the window ended), since
// the list is read again before each further call. False when visit ended
// the walk.
template <class Visit>
bool ForEachStillListed(const CPointerArray& list, Visit visit) {
    const CPointerArray snapshot(list);
    for (int i = 0; i < snapshot.GetSize(); ++i) {
        if (list.Find(snapshot[i]) < 0) continue;
        if (!visit(snapshot[i])) return false;
    }
    return true;
}

}  // namespace QuillUI
