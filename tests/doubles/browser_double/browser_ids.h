// The identifiers of the browser control and its events, as the control's
// type library gives them.
#pragma once
#include "common/win.h"

#include <ole2.h>

namespace browser {

// {8856F961-340A-11D0-A96B-00C04FD705A2}
const CLSID kClsidWebBrowser = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
// DWebBrowserEvents2, {34A715A0-6587-11D0-924A-0020AFC7AC4D}
const IID kDiidEvents2 = {0x34A715A0, 0x6587, 0x11D0, {0x92, 0x4A, 0x00, 0x20, 0xAF, 0xC7, 0xAC, 0x4D}};
// The document host's command group, {F38BC242-B950-11D1-8918-00C04FC2C836}
const GUID kCgidDocHostCommandHandler = {0xF38BC242, 0xB950, 0x11D1, {0x89, 0x18, 0x00, 0xC0, 0x4F, 0xC2, 0xC8, 0x36}};

const DISPID kStatusTextChange = 102;
const DISPID kDownloadComplete = 104;
const DISPID kCommandStateChange = 105;
const DISPID kDownloadBegin = 106;
const DISPID kBeforeNavigate2 = 250;
const DISPID kNavigateComplete2 = 252;
const DISPID kDocumentComplete = 259;
const DISPID kNavigateError = 271;
const DISPID kNewWindow3 = 273;

const DWORD kShowScriptError = 40;  // OLECMDID_SHOWSCRIPTERROR

}  // namespace browser
