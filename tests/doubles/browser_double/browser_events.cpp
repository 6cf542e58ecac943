#include "browser_events.h"

#include "browser_ids.h"

namespace browser {

using comdouble::HexResult;
using comdouble::Log;

const char* const kMalformedKinds[] = {"before-2args", "before-i4",   "error-short", "complete-noargs",
                                       "unknown-dispid", "riid", "null-params", nullptr};

HRESULT FireLogged(comdouble::ConnectionPoint& events, const std::vector<DWORD>& cookies, DISPID dispid,
                   EventArgs& args, const std::string& what, REFIID riid) {
    HRESULT hr = events.FireTo(cookies, dispid, args.Params(), riid);
    Log("event " + what + " -> " + HexResult(hr));
    return hr;
}

bool FireMalformed(comdouble::ConnectionPoint& events, const std::string& kind, IDispatch* browser) {
    std::vector<DWORD> cookies = events.Cookies();
    EventArgs args;
    if (kind == "before-2args") {
        args.Dispatch(browser);
        args.RefCancel();
        FireLogged(events, cookies, kBeforeNavigate2, args, "malformed BeforeNavigate2 with 2 arguments");
    } else if (kind == "before-i4") {
        // The URL as VT_I4 where VT_BYREF|VT_VARIANT belongs.
        args.Dispatch(browser);
        args.Number(7);
        for (int i = 0; i < 4; ++i) args.RefVariantEmpty();
        args.RefCancel();
        FireLogged(events, cookies, kBeforeNavigate2, args, "malformed BeforeNavigate2 with a VT_I4 URL");
    } else if (kind == "error-short") {
        args.Dispatch(browser);
        args.RefVariantText(L"http://127.0.0.1/missing");
        args.RefCancel();
        FireLogged(events, cookies, kNavigateError, args, "malformed NavigateError with 3 arguments");
    } else if (kind == "complete-noargs") {
        FireLogged(events, cookies, kNavigateComplete2, args, "malformed NavigateComplete2 with no arguments");
    } else if (kind == "unknown-dispid") {
        FireLogged(events, cookies, 9999, args, "malformed unknown dispid 9999");
    } else if (kind == "riid") {
        args.Dispatch(browser);
        args.RefVariantText(L"about:blank");
        FireLogged(events, cookies, kDocumentComplete, args, "malformed DocumentComplete with a non-null riid",
                   IID_IDispatch);
    } else if (kind == "null-params") {
        HRESULT hr = events.FireTo(cookies, kBeforeNavigate2, nullptr);
        Log("event malformed BeforeNavigate2 without parameters -> " + HexResult(hr));
    } else {
        return false;
    }
    return true;
}

}  // namespace browser
