// The DWebBrowserEvents2 events the double fires, with the argument shapes
// the platform's control gives them (rgvarg[0] is the last argument), and the
// malformed shapes a careful host must refuse.
#pragma once
#include "connection_point.h"
#include "event_args.h"

#include <string>
#include <vector>

namespace browser {

using comdouble::EventArgs;

// Fires and logs "event NAME DETAIL -> HRESULT".
HRESULT FireLogged(comdouble::ConnectionPoint& events, const std::vector<DWORD>& cookies, DISPID dispid,
                   EventArgs& args, const std::string& what, REFIID riid = IID_NULL);

// Fires the malformed event KIND ("before-2args", "before-i4", "error-short",
// "complete-noargs", "unknown-dispid", "riid", "null-params"); false for an
// unknown kind. BROWSER is the event's browser dispatch.
bool FireMalformed(comdouble::ConnectionPoint& events, const std::string& kind, IDispatch* browser);
extern const char* const kMalformedKinds[];

}  // namespace browser
