#include "common/hall_event_inbox.h"

#include <utility>

const char* ProcMsgCheckName(ProcMsgCheck check) {
    switch (check) {
    case ProcMsgCheck::kOk: return "ok";
    case ProcMsgCheck::kMissing: return "no record";
    case ProcMsgCheck::kBadLength: return "length out of range";
    }
    return "?";
}

void HallEventInbox::OnConnected() { Queue(HallEvent{HallEvent::kConnected, {}, ProcMsgCheck::kOk}); }
void HallEventInbox::OnConnectFailed() { Queue(HallEvent{HallEvent::kConnectFailed, {}, ProcMsgCheck::kOk}); }
void HallEventInbox::OnClosed() { Queue(HallEvent{HallEvent::kClosed, {}, ProcMsgCheck::kOk}); }

void HallEventInbox::OnMessage(ClientProcMsgObject*, int, const ProcMsg* record) {
    // The library's own code is on the stack: nothing may be thrown into it.
    // Out of memory the message is lost, as if it never came.
    try {
        // Copied out at once: the record belongs to the library.
        HallEvent event;
        event.kind = HallEvent::kMessage;
        event.check = CopyProcMsg(record, event.message);
        if (event.check != ProcMsgCheck::kOk) event.kind = HallEvent::kRejected;
        Queue(std::move(event));
    } catch (...) {
    }
}

void HallEventInbox::Queue(HallEvent event) {
    try {
        ScopedCriticalSection hold(lock_);
        events_.push_back(std::move(event));
    } catch (...) {
        return;
    }
    OnHallEventQueued();
}

bool HallEventInbox::TakeHallEvent(HallEvent& out) {
    ScopedCriticalSection hold(lock_);
    if (events_.empty()) return false;
    out = std::move(events_.front());
    events_.pop_front();
    return true;
}

bool HallEventInbox::HallEventsWaiting() {
    ScopedCriticalSection hold(lock_);
    return !events_.empty();
}
