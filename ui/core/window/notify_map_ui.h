// The static notification map of a window class: entries of notification
// type, optional control name and member-function handler, and the map of
// the base class to fall back on.
#pragma once
#include "common/win.h"
#include "ui/core/values/wide_string.h"

namespace QuillUI {

class CNotifyPump;
struct NotifyMessageUI;

// How an entry's handler is called; 0 ends the array of entries.
enum NotifySignatureUI : unsigned int {
    kNotifySignatureEnd = 0,
    kNotifySignatureParams = 1,   // LRESULT (WPARAM, LPARAM) of the notification
    kNotifySignatureMessage = 2,  // void (NotifyMessageUI&)
};

typedef LRESULT (CNotifyPump::*NotifyParamsHandlerUI)(WPARAM, LPARAM);
typedef void (CNotifyPump::*NotifyMessageHandlerUI)(NotifyMessageUI&);

struct NotifyMapEntryUI {
    NotifyMapEntryUI() = default;
    NotifyMapEntryUI(const wchar_t* type, const wchar_t* controlName, unsigned int signature,
                     NotifyParamsHandlerUI handler)
        : type(type), controlName(controlName), signature(signature), params(handler) {}
    NotifyMapEntryUI(const wchar_t* type, const wchar_t* controlName, unsigned int signature,
                     NotifyMessageHandlerUI handler)
        : type(type), controlName(controlName), signature(signature), message(handler) {}

    CWideString type;         // compared case-sensitively
    CWideString controlName;  // empty: any control
    unsigned int signature = kNotifySignatureEnd;
    NotifyParamsHandlerUI params = nullptr;
    NotifyMessageHandlerUI message = nullptr;
};

struct NotifyMapUI {
    const NotifyMapUI* base;          // null for the pump's own map
    const NotifyMapEntryUI* entries;  // up to the entry with signature 0
};

// Entries for handlers of a class derived from CNotifyPump (a non-virtual
// base, so the member pointer converts and the call adjusts the object).
template <class Window>
NotifyMapEntryUI NotifyEntry(const wchar_t* type, const wchar_t* controlName,
                             void (Window::*handler)(NotifyMessageUI&)) {
    return NotifyMapEntryUI(type, controlName, kNotifySignatureMessage, static_cast<NotifyMessageHandlerUI>(handler));
}
template <class Window>
NotifyMapEntryUI NotifyEntry(const wchar_t* type, const wchar_t* controlName,
                             LRESULT (Window::*handler)(WPARAM, LPARAM)) {
    return NotifyMapEntryUI(type, controlName, kNotifySignatureParams, static_cast<NotifyParamsHandlerUI>(handler));
}
inline NotifyMapEntryUI NotifyMapEnd() { return NotifyMapEntryUI(); }

}  // namespace QuillUI
