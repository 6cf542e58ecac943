#include "ui/core/manager/notify_sender_name.h"

namespace QuillUI {

namespace {

NotifySenderNameReader& Reader() {
    static NotifySenderNameReader reader = nullptr;
    return reader;
}

}  // namespace

const wchar_t* GetNotifySenderName(const CControlUI* sender) {
    if (sender == nullptr || Reader() == nullptr) return L"";
    const wchar_t* name = Reader()(sender);
    return name != nullptr ? name : L"";
}

void SetNotifySenderNameReader(NotifySenderNameReader reader) { Reader() = reader; }

}  // namespace QuillUI
