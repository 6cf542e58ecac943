// Turns a notification into a call of a member function chosen from the
// class's notification map, or hands it first to the pumps of named
// virtual windows.
#pragma once
#include "ui/core/window/notify_map_ui.h"
#include "ui/core/manager/notify_message_ui.h"
#include "ui/core/values/string_hash_map.h"

namespace QuillUI {

class CNotifyPump {
public:
    CNotifyPump() = default;
    CNotifyPump(const CNotifyPump&) = delete;
    CNotifyPump& operator=(const CNotifyPump&) = delete;
    virtual ~CNotifyPump() = default;

    // The class's map; derived classes return theirs, whose base is this one.
    virtual const NotifyMapUI* GetMessageMap() const;
    static const NotifyMapUI kMessageMap;

    // Pumps that serve notifications of a virtual window by name; not owned.
    bool AddVirtualWnd(const wchar_t* name, CNotifyPump* pump);
    bool RemoveVirtualWnd(const wchar_t* name);

    // True when some map entry took the notification.
    bool NotifyPump(NotifyMessageUI& message);

protected:
    bool LoopDispatch(NotifyMessageUI& message);

private:
    CStringHashMap virtualWnds_{83};
};

}  // namespace QuillUI
