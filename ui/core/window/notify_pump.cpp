#include "ui/core/window/notify_pump.h"

#include "ui/core/manager/notify_sender_name.h"

namespace QuillUI {

namespace {

const NotifyMapEntryUI kPumpEntries[] = {NotifyMapEnd()};

// A named entry for the sender wins at once; otherwise the last entry for
// any control.
const NotifyMapEntryUI* FindEntry(const NotifyMapUI& map, const NotifyMessageUI& message, const wchar_t* senderName) {
    const NotifyMapEntryUI* anyControl = nullptr;
    for (const NotifyMapEntryUI* entry = map.entries; entry->signature != kNotifySignatureEnd; ++entry) {
        if (entry->type.Compare(message.type.GetData()) != 0) continue;
        if (entry->controlName.IsEmpty()) anyControl = entry;
        else if (entry->controlName.Compare(senderName) == 0) return entry;
    }
    return anyControl;
}

}  // namespace

const NotifyMapUI CNotifyPump::kMessageMap = {nullptr, kPumpEntries};

const NotifyMapUI* CNotifyPump::GetMessageMap() const { return &kMessageMap; }

bool CNotifyPump::AddVirtualWnd(const wchar_t* name, CNotifyPump* pump) {
    if (name == nullptr || *name == L'\0' || pump == nullptr) return false;
    return virtualWnds_.Insert(name, pump);
}

bool CNotifyPump::RemoveVirtualWnd(const wchar_t* name) { return virtualWnds_.Remove(name); }

bool CNotifyPump::NotifyPump(NotifyMessageUI& message) {
    if (!message.virtualWnd.IsEmpty()) {
        for (int i = 0; i < virtualWnds_.GetSize(); ++i) {
            const wchar_t* key = virtualWnds_.GetAt(i);
            if (key == nullptr || message.virtualWnd.CompareNoCase(key) != 0) continue;
            // Looking up without moving the entry keeps the walk's order.
            CNotifyPump* pump = static_cast<CNotifyPump*>(virtualWnds_.Find(key, false));
            if (pump != nullptr && pump->LoopDispatch(message)) return true;
        }
    }
    return LoopDispatch(message);
}

bool CNotifyPump::LoopDispatch(NotifyMessageUI& message) {
    const wchar_t* senderName = GetNotifySenderName(message.sender);
    for (const NotifyMapUI* map = GetMessageMap(); map != nullptr; map = map->base) {
        const NotifyMapEntryUI* entry = FindEntry(*map, message, senderName);
        if (entry == nullptr) continue;
        switch (entry->signature) {
            case kNotifySignatureParams:
                if (entry->params == nullptr) return false;
                (this->*(entry->params))(message.wParam, message.lParam);
                return true;
            case kNotifySignatureMessage:
                if (entry->message == nullptr) return false;
                (this->*(entry->message))(message);
                return true;
            default:
                return false;
        }
    }
    return false;
}

}  // namespace QuillUI
