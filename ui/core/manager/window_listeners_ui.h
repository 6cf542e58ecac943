// The one-operation interfaces through which objects outside the control
// tree listen to a window's manager.
#pragma once
#include "common/win.h"

namespace QuillUI {

struct NotifyMessageUI;

// Receives every notification of the window's controls.
class INotifyUI {
public:
    virtual void Notify(NotifyMessageUI& message) = 0;

protected:
    ~INotifyUI() = default;
};

// Sees a message before the manager does; setting handled makes the
// answer the message's result.
class IMessageFilterUI {
public:
    virtual LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) = 0;

protected:
    ~IMessageFilterUI() = default;
};

// Offered keyboard messages before they are translated; S_OK consumes one.
class ITranslateAccelerator {
public:
    virtual LRESULT TranslateAccelerator(MSG* message) = 0;

protected:
    ~ITranslateAccelerator() = default;
};

// A control that may keep the Tab key for itself (a rich edit) answers
// GetInterface(kWantTabInterface) with this interface.
constexpr const wchar_t* kWantTabInterface = L"WantTab";
class IWantTabUI {
public:
    virtual bool IsWantTab() const = 0;

protected:
    ~IWantTabUI() = default;
};

}  // namespace QuillUI
