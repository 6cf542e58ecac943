// Navigations, one at a time, each event a step of its own from the message
// loop: BeforeNavigate2 (which the host may cancel), the download events,
// then NavigateError, or NavigateComplete2, the frames' DocumentComplete and
// the page's own. A navigation's events reach the sinks advised when it was
// asked for.
#include "browser_events.h"
#include "browser_ids.h"
#include "browser_object.h"

namespace browser {

using comdouble::HexResult;
using comdouble::Log;
using comdouble::Narrow;

namespace {

const DWORD kStepMs = 1;
const long kNavigateForward = 1;  // CSC_NAVIGATEFORWARD
const long kNavigateBack = 2;     // CSC_NAVIGATEBACK

bool IsBlank(const std::wstring& url) { return url == L"about:blank"; }

}  // namespace

void BrowserDouble::StartNavigation(const std::wstring& url) {
    navigations_.push_back({url, Events().Cookies()});
    if (!navigating_) NextNavigation();
}

void BrowserDouble::NextNavigation() {
    if (navigations_.empty() || Closed()) {
        navigating_ = false;
        return;
    }
    navigating_ = true;
    readyState_ = READYSTATE_LOADING;
    Later(kStepMs, [this]() {
        if (!navigations_.empty()) BeforeNavigate(navigations_.front());
    });
}

void BrowserDouble::BeforeNavigate(Navigation nav) {
    EventArgs args;
    args.Dispatch(Self());
    args.RefVariantText(nav.url);
    args.RefVariantNumber(0);  // flags
    args.RefVariantText(L"");  // target frame
    args.RefVariantEmpty();    // post data
    args.RefVariantText(L"");  // headers
    args.RefCancel();
    FireLogged(Events(), nav.cookies, kBeforeNavigate2, args, "BeforeNavigate2 \"" + Narrow(nav.url.c_str()) + "\"");
    if (Closed()) return;
    if (args.Cancelled()) {
        Log("navigation cancelled: \"" + Narrow(nav.url.c_str()) + "\"");
        Finish(nav, false);
        return;
    }
    Later(kStepMs, [this]() {
        if (!navigations_.empty()) Progress(navigations_.front());
    });
}

void BrowserDouble::Progress(Navigation nav) {
    EventArgs begin;
    FireLogged(Events(), nav.cookies, kDownloadBegin, begin, "DownloadBegin");
    for (long command : {kNavigateForward, kNavigateBack}) {
        EventArgs state;
        state.Number(command);
        state.Flag(false);
        FireLogged(Events(), nav.cookies, kCommandStateChange, state,
                   "CommandStateChange " + std::to_string(command) + " false");
    }
    EventArgs status;
    status.Text(nav.url);
    FireLogged(Events(), nav.cookies, kStatusTextChange, status, "StatusTextChange");
    Later(kStepMs, [this]() {
        if (!navigations_.empty()) Complete(navigations_.front());
    });
}

void BrowserDouble::Complete(Navigation nav) {
    std::wstring page = PagePart(nav.url);
    for (const FailRule& rule : scenario_.failures) {
        if (rule.url != page) continue;
        location_ = nav.url;
        EventArgs error;
        error.Dispatch(Self());
        error.RefVariantText(nav.url);
        error.RefVariantText(L"");  // frame
        error.RefVariantNumber(rule.code);
        error.RefCancel();
        FireLogged(Events(), nav.cookies, kNavigateError, error,
                   "NavigateError \"" + Narrow(nav.url.c_str()) + "\" " + std::to_string(rule.code));
        EventArgs done;
        if (Closed()) return;
        FireLogged(Events(), nav.cookies, kDownloadComplete, done, "DownloadComplete");
        Finish(nav, false);
        return;
    }
    // The new document replaces the old one, and the old one's UI handler.
    if (document_ != nullptr) {
        document_->Unload("replaced");
        document_->Release();
    }
    document_ = new Document(nav.url);
    location_ = nav.url;
    Invalidate();  // the page shows its address
    readyState_ = READYSTATE_INTERACTIVE;
    EventArgs navigated;
    navigated.Dispatch(Self());
    navigated.RefVariantText(nav.url);
    FireLogged(Events(), nav.cookies, kNavigateComplete2, navigated,
               "NavigateComplete2 \"" + Narrow(nav.url.c_str()) + "\"");
    Log(std::string("document UI handler: ") + (document_ != nullptr && document_->Handler() != nullptr ? "installed" : "none"));
    if (Closed()) return;
    Later(kStepMs, [this]() {
        if (navigations_.empty()) return;
        Navigation current = navigations_.front();
        EventArgs done;
        FireLogged(Events(), current.cookies, kDownloadComplete, done, "DownloadComplete");
        for (int i = 1; i <= scenario_.frames; ++i) {
            FrameDispatch* frame = new FrameDispatch();
            EventArgs frameDone;
            frameDone.Dispatch(frame);
            frameDone.RefVariantText(current.url + L"#frame" + std::to_wstring(i));
            FireLogged(Events(), current.cookies, kDocumentComplete, frameDone,
                       "DocumentComplete frame " + std::to_string(i));
            frame->Release();
            if (Closed()) return;
        }
        readyState_ = READYSTATE_COMPLETE;
        EventArgs pageDone;
        pageDone.Dispatch(Self());
        pageDone.RefVariantText(current.url);
        FireLogged(Events(), current.cookies, kDocumentComplete, pageDone,
                   "DocumentComplete \"" + Narrow(current.url.c_str()) + "\"");
        Finish(current, true);
    });
}

void BrowserDouble::Finish(const Navigation& nav, bool loaded) {
    std::wstring url = nav.url;
    if (Closed()) return;
    if (!navigations_.empty()) navigations_.pop_front();
    if (readyState_ != READYSTATE_COMPLETE) readyState_ = READYSTATE_COMPLETE;
    if (loaded) PageLoaded(url);
    NextNavigation();
}

void BrowserDouble::PageLoaded(const std::wstring& url) {
    if (IsBlank(url) || Closed()) return;
    ++loads_;
    Trigger("page:*");
    Trigger("page:" + Narrow(PagePart(url).c_str()));
    Trigger("load:" + std::to_string(loads_));
}

}  // namespace browser
