// Notifications to the window's listeners, synchronous or queued, and the
// flush that delivers the queue and deletes controls left for later.
#include "ui/core/control/control_ui.h"
#include "ui/core/manager/notify_message_ui.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/values/listed_walk.h"

#include <new>

namespace QuillUI {

namespace {

const UINT kFlushMessage = WM_APP + 1;

}  // namespace

// A listener that ends the window, and the manager with it, ends the
// walk. False then.
bool CWindowManagerUI::Deliver(NotifyMessageUI& message) {
    LifeWatch watch(*this);
    // A sender that was destroyed meanwhile is null and has no delegates.
    if (message.sender != nullptr && message.sender->OnNotify.HasDelegates()) {
        message.sender->OnNotify.Invoke(&message);
        if (watch.IsGone()) return false;
    }
    return ForEachStillListed(notifiers_, [&](void* notifier) {
        static_cast<INotifyUI*>(notifier)->Notify(message);
        return !watch.IsGone();
    });
}

bool CWindowManagerUI::RemoveFrom(CPointerArray& list, void* item) {
    const int at = list.Find(item);
    if (at < 0) return false;
    list.Remove(at);
    return true;
}

bool CWindowManagerUI::AddNotifier(INotifyUI* notifier) {
    if (notifier == nullptr || notifiers_.Find(notifier) >= 0) return false;
    return notifiers_.Add(notifier);
}

bool CWindowManagerUI::RemoveNotifier(INotifyUI* notifier) { return RemoveFrom(notifiers_, notifier); }

void CWindowManagerUI::SendNotify(CControlUI* control, const wchar_t* type, WPARAM wParam, LPARAM lParam,
                                  bool asynchronous, bool repeatAllowed) {
    NotifyMessageUI message;
    message.type = type;
    message.sender = control;
    message.wParam = wParam;
    message.lParam = lParam;
    SendNotifyMessage(message, asynchronous, repeatAllowed);
}

void CWindowManagerUI::SendNotifyMessage(NotifyMessageUI& message, bool asynchronous, bool repeatAllowed) {
    message.mousePoint = lastMousePos_;
    message.timestamp = ::GetTickCount();
    if (usesVirtualWindows_ && message.sender != nullptr) message.virtualWnd = message.sender->GetVirtualWnd();
    if (!asynchronous) {
        Deliver(message);
        return;
    }
    if (!repeatAllowed) {
        for (int i = 0; i < asyncNotifications_.GetSize(); ++i) {
            NotifyMessageUI* queued = static_cast<NotifyMessageUI*>(asyncNotifications_[i]);
            if (queued->sender != message.sender || queued->type.Compare(message.type.GetData()) != 0) continue;
            queued->wParam = message.wParam;
            queued->lParam = message.lParam;
            queued->mousePoint = message.mousePoint;
            queued->timestamp = message.timestamp;
            return;
        }
    }
    NotifyMessageUI* copy = new (std::nothrow) NotifyMessageUI(message);
    if (copy == nullptr) return;
    if (!asyncNotifications_.Add(copy)) {
        delete copy;
        return;
    }
    PostFlush();
}

void CWindowManagerUI::PostFlush() {
    // Only a message really in the queue counts, or a full queue would stop
    // every later flush.
    if (asyncNotifyPosted_ || paintWindow_ == nullptr) return;
    asyncNotifyPosted_ = ::PostMessageW(paintWindow_, kFlushMessage, 0, 0) != FALSE;
}

void CWindowManagerUI::OnFlush() {
    asyncNotifyPosted_ = false;
    // Each record leaves the queue before it is delivered: a listener may
    // attach a new tree, which empties the queue.
    while (!asyncNotifications_.IsEmpty()) {
        NotifyMessageUI* message = static_cast<NotifyMessageUI*>(asyncNotifications_[0]);
        asyncNotifications_.Remove(0);
        const bool alive = Deliver(*message);
        delete message;
        if (!alive) return;
    }
    DeleteDelayedCleanup();
}

void CWindowManagerUI::AddDelayedCleanup(CControlUI* control) {
    if (control == nullptr || delayedCleanup_.Find(control) >= 0) return;
    control->SetManager(this, nullptr, false);
    if (!delayedCleanup_.Add(control)) return;
    PostFlush();
}

void CWindowManagerUI::DeleteDelayedCleanup() {
    // Swapped out first: a destructor may queue more or attach a tree.
    CPointerArray doomed(delayedCleanup_);
    delayedCleanup_.Empty();
    for (int i = 0; i < doomed.GetSize(); ++i) static_cast<CControlUI*>(doomed[i])->Delete();
}

void CWindowManagerUI::DeleteQueuedNotifications() {
    CPointerArray queued(asyncNotifications_);
    asyncNotifications_.Empty();
    for (int i = 0; i < queued.GetSize(); ++i) delete static_cast<NotifyMessageUI*>(queued[i]);
}

}  // namespace QuillUI
