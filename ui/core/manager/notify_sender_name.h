// The name under which notify maps know a notification's sender.
#pragma once

namespace QuillUI {

class CControlUI;

// The sender's control name; empty for a null sender (one destroyed while
// its notification was queued).
const wchar_t* GetNotifySenderName(const CControlUI* sender);

// Reads a control's name. The control class installs it, so that the
// dispatch needs no more of the control than this; until then every sender
// counts as unnamed.
using NotifySenderNameReader = const wchar_t* (*)(const CControlUI* sender);
void SetNotifySenderNameReader(NotifySenderNameReader reader);

}  // namespace QuillUI
