// The Flash host without any Flash player (the failure path) and with the
// Flash double: the movie's set-up in order, calls landing on the type
// library's slots, the event table, the handler's references and the release.
#include "tests/unit/ui/core/hosts/host_test_support.h"
#include "ui/core/markup/dialog_builder.h"
#include "ui/core/hosts/flash_ui.h"
#include "ui/core/hosts/web_browser_ui.h"

#include "common/file_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace QuillUI;
using namespace hosts_test;

namespace {

const char kClean[] = "teardown objects=0 locks=0 sinks=0 host-refs=0 violations=0";
const RECT kRect = {0, 0, 200, 100};

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// Counts its references as an application's window would, and records events.
class RecordingFlashHandler : public CFlashEventHandler {
public:
    ULONG STDMETHODCALLTYPE AddRef() override {
        ++addRefs;
        return static_cast<ULONG>(++refs);
    }
    ULONG STDMETHODCALLTYPE Release() override {
        ++releases;
        if (--refs == 0) wentToZero = true;
        return static_cast<ULONG>(refs);
    }
    HRESULT STDMETHODCALLTYPE OnReadyStateChange(long state) override {
        seen.push_back("ready " + std::to_string(state));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnProgress(long percent) override {
        seen.push_back("progress " + std::to_string(percent));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE FSCommand(BSTR command, BSTR args) override {
        seen.push_back("fscommand " + Narrow(BstrText(command)) + " " + Narrow(BstrText(args)));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE FlashCall(BSTR request) override {
        seen.push_back("call " + Narrow(BstrText(request)));
        return S_OK;
    }

    long refs = 0, addRefs = 0, releases = 0;
    bool wentToZero = false;
    std::vector<std::string> seen;
};

CFlashUI* MovieControl(const DoubleFolder& folder, const wchar_t* swf) {
    auto* control = new CFlashUI();
    control->SetAttribute(L"modulename", folder.Dll().c_str());
    control->SetAttribute(L"swf", swf);
    return control;
}

}  // namespace

TEST(FlashHost, WithoutAPlayerNothingIsCreatedAndNothingRetried) {
    HostWindow host;
    auto* control = new CFlashUI();
    control->SetAttribute(L"swf", L"progress.swf");
    control->SetAttribute(L"homepage", L"http://127.0.0.1/");
    control->SetAttribute(L"autonavi", L"true");
    EXPECT_EQ(control->GetCustomAttribute(L"homepage"), nullptr);
    EXPECT_EQ(control->GetCustomAttribute(L"autonavi"), nullptr);
    host.Attach(control, kRect);
    EXPECT_TRUE(control->IsCreated());
    EXPECT_EQ(control->movie, nullptr);
    EXPECT_EQ(control->RegisterEventHandler(true), S_FALSE);
    EXPECT_EQ(control->GetNativeWindow(), nullptr);
    EXPECT_EQ(FindWindowExW(host.GetHWND(), nullptr, L"ActiveXWnd", nullptr), nullptr);
    MSG key = {host.GetHWND(), WM_KEYDOWN, VK_F5, 0, 0, {0, 0}};
    EXPECT_EQ(control->TranslateAccelerator(&key), E_NOTIMPL);
    control->SetPos(kRect);
    EXPECT_EQ(control->movie, nullptr);
}

TEST(FlashHost, TheMovieIsSetUpInOrderAndCalledOnItsSlots) {
    DoubleFolder folder(L"flash_double.dll", L"flash_scenario.txt", "");
    ASSERT_TRUE(WriteFileAtomically(folder.Folder() + L"progress.swf", "FWS", 3));
    const CWideString oldPath = CWindowManagerUI::GetResourcePath();
    CWindowManagerUI::SetResourcePath(folder.Folder().c_str());
    {
        HostWindow host;
        CFlashUI* control = MovieControl(folder, L"progress.swf");
        host.Attach(control, kRect);
        ASSERT_NE(control->movie, nullptr);
        const std::string movie = "put_Movie \"" + Narrow(folder.Folder()) + "progress.swf\" exists=yes";
        EXPECT_TRUE(InOrder(folder.Log(), {"DoVerb -5", "put_WMode \"Transparent\"", movie, "put_Playing -1",
                                           "DisableLocalSecurity", "put_AllowScriptAccess \"always\"",
                                           "events Advise -> cookie"}))
            << folder.Log();

        BSTR request = SysAllocString(L"<invoke name='setProValOne'><arguments><number>50</number></arguments></invoke>");
        BSTR response = nullptr;
        EXPECT_EQ(control->movie->CallFunction(request, &response), S_OK);
        EXPECT_EQ(BstrText(response), L"<string></string>");
        SysFreeString(response);
        SysFreeString(request);
        // Two methods the double leaves unimplemented name their slots.
        long state = 0;
        EXPECT_EQ(control->movie->get_ReadyState(&state), E_NOTIMPL);
        EXPECT_EQ(control->movie->SetReturnValue(nullptr), E_NOTIMPL);
        const std::string log = folder.Log();
        EXPECT_TRUE(InOrder(log, {"CallFunction <invoke name='setProValOne'><arguments><number>50</number>"
                                  "</arguments></invoke>",
                                  "slot 7", "slot 94"}))
            << log;
        EXPECT_EQ(Occurrences(log, "slot "), 2) << log;
        EXPECT_EQ(folder.Count("violations"), 0) << log;
        host.DeleteTree();
        EXPECT_TRUE(InOrder(folder.Log(), {"events Unadvise cookie", "SetSite null", "Close 1",
                                           "LockRunning 0 0", "site OnInPlaceDeactivateEx", "SetClientSite null",
                                           "last Release"}))
            << folder.Log();
    }
    EXPECT_NE(folder.Log().find(kClean), std::string::npos) << folder.Log();
    CWindowManagerUI::SetResourcePath(oldPath.GetData());
    for (const char* count : {"objects", "locks", "sinks", "host-refs", "violations"})
        EXPECT_EQ(folder.Count(count), 0) << count;
}

TEST(FlashHost, WithoutAMovieFileOnlyTheEventsAreConnected) {
    DoubleFolder folder(L"flash_double.dll", L"flash_scenario.txt", "");
    HostWindow host;
    CFlashUI* control = MovieControl(folder, L"");
    host.Attach(control, kRect);
    EXPECT_NE(control->movie, nullptr);
    EXPECT_NE(folder.Log().find("events Advise -> cookie"), std::string::npos);
    EXPECT_EQ(folder.Log().find("put_"), std::string::npos) << folder.Log();
}

TEST(FlashHost, EventsReachTheHandlerAndMalformedOnesAreRefused) {
    DoubleFolder folder(L"flash_double.dll", L"flash_scenario.txt", "");
    HostWindow host;
    CFlashUI* control = MovieControl(folder, L"");
    host.Attach(control, kRect);
    RecordingFlashHandler handler;
    control->SetFlashEventHandler(&handler);
    struct Case {
        const char* play;
        HRESULT result;
        const char* seen;  // null: the handler hears nothing
    };
    const Case cases[] = {
        {"readystate 4", S_OK, "ready 4"},
        {"progress 42", S_OK, "progress 42"},
        {"progress-byref 7", S_OK, "progress 7"},
        {"fscommand cmd arg", S_OK, "fscommand cmd arg"},
        {"flashcall \"<invoke name='hello'/>\"", S_OK, "call <invoke name='hello'/>"},
        {"malformed readystate-noargs", DISP_E_BADPARAMCOUNT, nullptr},
        {"malformed progress-noargs", DISP_E_BADPARAMCOUNT, nullptr},
        {"malformed progress-bstr", DISP_E_TYPEMISMATCH, nullptr},
        {"malformed fscommand-1arg", DISP_E_BADPARAMCOUNT, nullptr},
        {"malformed fscommand-i4", DISP_E_TYPEMISMATCH, nullptr},
        {"malformed flashcall-i4", E_INVALIDARG, nullptr},
        {"malformed unknown-dispid", S_OK, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.play);
        handler.seen.clear();
        EXPECT_EQ(folder.Play(c.play), c.result);
        EXPECT_EQ(handler.seen, c.seen != nullptr ? std::vector<std::string>{c.seen} : std::vector<std::string>{});
    }
    control->SetFlashEventHandler(nullptr);
    EXPECT_EQ(handler.refs, 0);
    EXPECT_EQ(folder.Play("readystate 3"), S_OK);
    EXPECT_TRUE(handler.seen.empty());
}

TEST(FlashHost, TheHandlerIsHeldThroughItsOwnReferenceCount) {
    RecordingFlashHandler first, second;
    {
        CFlashUI control;
        control.SetFlashEventHandler(&first);
        EXPECT_EQ(first.refs, 1);
        control.SetFlashEventHandler(&second);
        EXPECT_EQ(first.releases, 1);
        EXPECT_EQ(first.refs, 0);
        EXPECT_EQ(second.refs, 1);
        // The same handler again never drops to zero on the way.
        control.SetFlashEventHandler(&second);
        EXPECT_EQ(second.refs, 1);
        EXPECT_FALSE(second.wentToZero);
        control.SetFlashEventHandler(nullptr);
        EXPECT_EQ(second.refs, 0);
        EXPECT_EQ(control.GetFlashEventHandler(), nullptr);
        control.SetFlashEventHandler(&first);
    }
    // The control's end releases the current handler once.
    EXPECT_EQ(first.refs, 0);
    EXPECT_EQ(first.addRefs, 2);
    EXPECT_EQ(first.releases, 2);
    EXPECT_EQ(second.addRefs, 1);
    EXPECT_EQ(second.releases, 1);
}

TEST(FlashHost, EventSinkIdentity) {
    CFlashUI control;
    _IShockwaveFlashEvents* sink = &control;
    for (REFIID iid : {IID_IUnknown, IID_IDispatch, kDiidShockwaveFlashEvents}) {
        void* face = nullptr;
        ASSERT_EQ(sink->QueryInterface(iid, &face), S_OK);
        EXPECT_EQ(face, static_cast<void*>(sink));
        sink->Release();
    }
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(sink->QueryInterface(IID_IOleObject, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
}

TEST(HostTags, TheBuilderMakesEachHostFromItsTag) {
    HostWindow host;
    CDialogBuilder builder;
    CControlUI* root = builder.Create(
        L"<Window><Container>"
        L"<ActiveX name=\"object\" clsid=\"{D27CDB6E-AE6D-11CF-96B8-444553540000}\"/>"
        L"<WebBrowser name=\"web\" homepage=\"http://127.0.0.1/home\" autonavi=\"true\"/>"
        L"<Flash name=\"flash\" swf=\"progress.swf\" homepage=\"ignored\"/>"
        L"</Container></Window>",
        nullptr, nullptr, &host.Manager());
    ASSERT_NE(root, nullptr);
    ASSERT_TRUE(host.Manager().AttachDialog(root));
    CControlUI* object = host.Manager().FindControl(L"object");
    ASSERT_NE(object, nullptr);
    EXPECT_STREQ(object->GetClass(), L"ActiveX");
    auto* web = static_cast<CWebBrowserUI*>(host.Manager().FindControl(L"web")->GetInterface(L"WebBrowser"));
    ASSERT_NE(web, nullptr);
    EXPECT_EQ(web->GetHomePage(), L"http://127.0.0.1/home");
    EXPECT_TRUE(web->IsAutoNavigation());
    EXPECT_NE(web->GetInterface(L"ActiveX"), nullptr);
    auto* flash = static_cast<CFlashUI*>(host.Manager().FindControl(L"flash")->GetInterface(L"Flash"));
    ASSERT_NE(flash, nullptr);
    EXPECT_EQ(flash->GetMovieFile(), L"progress.swf");
    EXPECT_EQ(flash->GetControlFlags(), 1u);
}
