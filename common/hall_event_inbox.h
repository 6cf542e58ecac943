#pragma once
// The event handlers of a program that acts on the game hall's events on a
// thread of its own: the hall library may call them on any thread (even
// before the program's windows exist), so each call only copies what
// arrived into a queue that the program takes on its thread.
#include "common/client_proc_msg.h"
#include "common/critical_section_lock.h"

#include <deque>

struct HallEvent {
    enum Kind {
        kConnected,
        kConnectFailed,
        kClosed,
        kMessage,   // a record that passed CopyProcMsg
        kRejected,  // a record that did not; `check` says why
    };
    Kind kind = kConnected;
    ReceivedProcMsg message;
    ProcMsgCheck check = ProcMsgCheck::kOk;
};

const char* ProcMsgCheckName(ProcMsgCheck check);

class HallEventInbox : public IClientProcMsgEventHandler {
public:
    void HALL_METHOD OnConnected() override;
    void HALL_METHOD OnConnectFailed() override;
    void HALL_METHOD OnClosed() override;
    void HALL_METHOD OnMessage(ClientProcMsgObject* source, int size, const ProcMsg* record) override;

    // The oldest event not yet taken; false when there is none.
    bool TakeHallEvent(HallEvent& out);
    bool HallEventsWaiting();

protected:
    HallEventInbox() = default;
    ~HallEventInbox() = default;
    HallEventInbox(const HallEventInbox&) = delete;
    HallEventInbox& operator=(const HallEventInbox&) = delete;

    // Called on the library's thread after an event was queued; it must not
    // wait for the program's thread.
    virtual void OnHallEventQueued() {}

private:
    void Queue(HallEvent event);

    CriticalSectionLock lock_;
    std::deque<HallEvent> events_;  // under lock_
};
