// Control timers on top of the paint window's timers.
#include "ui/core/control/control_ui.h"
#include "ui/core/manager/window_manager_ui.h"

#include <new>

namespace QuillUI {

namespace {

const UINT kNativeIdModulus = 255;

TimerEntryUI* EntryAt(const CPointerArray& timers, int index) { return static_cast<TimerEntryUI*>(timers[index]); }

bool IdHeld(const CPointerArray& timers, HWND window, UINT nativeId) {
    for (int i = 0; i < timers.GetSize(); ++i) {
        const TimerEntryUI* entry = EntryAt(timers, i);
        if (entry->window == window && entry->nativeId == nativeId) return true;
    }
    return false;
}

}  // namespace

bool CWindowManagerUI::SetTimer(CControlUI* control, UINT timerId, UINT elapse) {
    if (control == nullptr || paintWindow_ == nullptr) return false;
    for (int i = 0; i < timers_.GetSize(); ++i) {
        TimerEntryUI* entry = EntryAt(timers_, i);
        if (entry->control != control || entry->window != paintWindow_ || entry->localId != timerId) continue;
        if (!entry->killed) return false;
        if (::SetTimer(paintWindow_, entry->nativeId, elapse, nullptr) == 0) return false;
        entry->killed = false;
        return true;
    }
    // The counter runs modulo 255 from 17; an id that an entry of this
    // window still holds is skipped, or a long-lived timer would be
    // replaced once 255 timers were made over the window's life. Id 0 is
    // not a valid timer id.
    UINT nativeId = 0;
    bool found = false;
    for (UINT tries = 0; tries < kNativeIdModulus && !found; ++tries) {
        timerCounter_ = (timerCounter_ + 1) % kNativeIdModulus;
        found = timerCounter_ != 0 && !IdHeld(timers_, paintWindow_, timerCounter_);
        nativeId = timerCounter_;
    }
    if (!found) return false;
    TimerEntryUI* entry = new (std::nothrow) TimerEntryUI;
    if (entry == nullptr) return false;
    if (::SetTimer(paintWindow_, nativeId, elapse, nullptr) == 0 || !timers_.Add(entry)) {
        ::KillTimer(paintWindow_, nativeId);
        delete entry;
        return false;
    }
    entry->control = control;
    entry->localId = timerId;
    entry->window = paintWindow_;
    entry->nativeId = nativeId;
    return true;
}

bool CWindowManagerUI::KillTimer(CControlUI* control, UINT timerId) {
    for (int i = 0; i < timers_.GetSize(); ++i) {
        TimerEntryUI* entry = EntryAt(timers_, i);
        if (entry->control != control || entry->window != paintWindow_ || entry->localId != timerId ||
            entry->killed) {
            continue;
        }
        if (::IsWindow(paintWindow_)) ::KillTimer(entry->window, entry->nativeId);
        entry->killed = true;
        return true;
    }
    return false;
}

void CWindowManagerUI::KillAllTimers(CControlUI* control) {
    for (int i = timers_.GetSize() - 1; i >= 0; --i) {
        TimerEntryUI* entry = EntryAt(timers_, i);
        if (entry->control != control || entry->window != paintWindow_) continue;
        if (!entry->killed && ::IsWindow(paintWindow_)) ::KillTimer(entry->window, entry->nativeId);
        delete entry;
        timers_.Remove(i);
    }
}

void CWindowManagerUI::RemoveAllTimers() {
    for (int i = 0; i < timers_.GetSize(); ++i) {
        TimerEntryUI* entry = EntryAt(timers_, i);
        if (!entry->killed && ::IsWindow(entry->window)) ::KillTimer(entry->window, entry->nativeId);
        delete entry;
    }
    timers_.Empty();
}

void CWindowManagerUI::OnTimerMessage(UINT_PTR nativeId) {
    for (int i = 0; i < timers_.GetSize(); ++i) {
        const TimerEntryUI* entry = EntryAt(timers_, i);
        if (entry->window != paintWindow_ || entry->nativeId != nativeId || entry->killed) continue;
        RaiseEvent(entry->control, EventTimer, entry->localId);
        return;
    }
}

}  // namespace QuillUI
