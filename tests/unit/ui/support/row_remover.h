// A listener that takes the sender of one notification out of its list (or
// tree, or combo box) while the notification is delivered, as an
// application's handler may do: kept, deleted later or deleted at once.
#pragma once
#include "ui/controls/containers/container_ui.h"
#include "ui/core/manager/notify_message_ui.h"
#include "ui/core/manager/window_listeners_ui.h"
#include "ui/core/manager/window_manager_ui.h"

#include <cwchar>

enum class RowRemoval { Kept, Delayed, AtOnce };

inline const char* RowRemovalName(RowRemoval how) {
    switch (how) {
    case RowRemoval::Kept: return "kept";
    case RowRemoval::Delayed: return "deleted later";
    default: return "deleted at once";
    }
}

class RowRemover : public QuillUI::INotifyUI {
public:
    // rows: the container the rows are destroyed by (delayed or not).
    RowRemover(QuillUI::CWindowManagerUI& manager, QuillUI::IContainerUI* owner, QuillUI::CContainerUI* rows,
               const wchar_t* type, RowRemoval how)
        : manager_(manager), owner_(owner), type_(type), how_(how) {
        rows->SetDelayedDestroy(how != RowRemoval::AtOnce);
        manager_.AddNotifier(this);
    }
    ~RowRemover() {
        manager_.RemoveNotifier(this);
        // A kept row is the test's to delete.
        if (how_ == RowRemoval::Kept) delete removed;
    }
    RowRemover(const RowRemover&) = delete;
    RowRemover& operator=(const RowRemover&) = delete;

    void Notify(QuillUI::NotifyMessageUI& message) override {
        if (removed != nullptr || message.sender == nullptr || wcscmp(message.type.GetData(), type_) != 0) return;
        removed = message.sender;
        owner_->Remove(message.sender, how_ == RowRemoval::Kept);
    }

    // Only a kept row may be looked at afterwards.
    QuillUI::CControlUI* removed = nullptr;

private:
    QuillUI::CWindowManagerUI& manager_;
    QuillUI::IContainerUI* owner_;
    const wchar_t* type_;
    RowRemoval how_;
};
