// The web browser host with the platform's real browser (creation,
// navigation, cancel) and with the browser double (the page's document host
// calls, the external object, malformed events, keys and the release).
#include "tests/unit/ui/core/hosts/host_test_support.h"
#include "ui/core/hosts/web_browser_ui.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace QuillUI;
using namespace hosts_test;

namespace {

const char kClean[] = "teardown objects=0 locks=0 sinks=0 host-refs=0 violations=0";
const RECT kRect = {20, 30, 220, 130};

std::wstring UrlOf(const VARIANT* url) {
    return url != nullptr && url->vt == VT_BSTR ? BstrText(url->bstrVal) : L"(not text)";
}

// The page's external object: "startGame" 104 and "ismc" 103, as a frame
// window offers them.
class External : public IDispatch {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch) return E_NOINTERFACE;
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--refs); }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (count != 1) return E_INVALIDARG;
        std::wstring name = names[0];
        ids[0] = name == L"startGame" ? 104 : name == L"ismc" ? 103 : DISPID_UNKNOWN;
        return ids[0] == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                        UINT*) override {
        std::wstring call = std::to_wstring(id) + L"(";
        for (UINT i = params->cArgs; i-- > 0;) {
            const VARIANT& a = params->rgvarg[i];
            call += a.vt == VT_BSTR ? L"\"" + BstrText(a.bstrVal) + L"\"" : L"?";
            if (i > 0) call += L",";
        }
        calls.push_back(call + L")");
        if (id == 103 && result != nullptr) {
            result->vt = VT_BOOL;
            result->boolVal = VARIANT_TRUE;
        }
        return S_OK;
    }
    long refs = 1;
    std::vector<std::wstring> calls;
};

// A frame window's part: host flags, the external object, and a record of
// the events; navigations to a URL holding "cancel" are stopped.
class RecordingHandler : public CWebBrowserEventHandler {
public:
    void BeforeNavigate2(IDispatch*, VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                         VARIANT_BOOL* cancel) override {
        before.push_back(UrlOf(url));
        if (before.back().find(L"cancel") != std::wstring::npos) *cancel = VARIANT_TRUE;
    }
    void NavigateError(IDispatch*, VARIANT* url, VARIANT*, VARIANT* status, VARIANT_BOOL*) override {
        errors.push_back(UrlOf(url) + L" " + (status != nullptr && status->vt == VT_I4 ? std::to_wstring(status->lVal) : L"?"));
    }
    void NavigateComplete2(IDispatch*, VARIANT* url) override { completed.push_back(UrlOf(url)); }
    void DocumentComplete(IDispatch*, VARIANT* url) override { documents.push_back(UrlOf(url)); }
    // Pop-ups are refused.
    void NewWindow3(IDispatch** window, VARIANT_BOOL* cancel, DWORD, BSTR context, BSTR url) override {
        windows.push_back(BstrText(url) + L" from " + BstrText(context) + (*window == nullptr ? L"" : L" (window?)"));
        *cancel = VARIANT_TRUE;
    }
    void CommandStateChange(long command, VARIANT_BOOL enable) override {
        commands.push_back(std::to_wstring(command) + L"=" + std::to_wstring(enable));
    }
    // As a frame window does: the page opens once events flow.
    void OnBrowserCreated() override {
        ++created;
        if (openOnCreate != nullptr) openOnCreate->NavigateHomePage();
    }
    HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* info) override {
        info->dwFlags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** out) override {
        external.AddRef();
        *out = &external;
        return S_OK;
    }

    CWebBrowserUI* openOnCreate = nullptr;
    int created = 0;
    std::vector<std::wstring> before, errors, completed, documents, commands, windows;
    External external;
};

std::wstring Location(CWebBrowserUI* control) {
    if (control->GetWebBrowser2() == nullptr) return L"(no browser)";
    BSTR url = nullptr;
    control->GetWebBrowser2()->get_LocationURL(&url);
    std::wstring text = BstrText(url);
    SysFreeString(url);
    return text;
}

}  // namespace

TEST(WebBrowserHost, RealBrowserShowsTheHomePageOnlyWhenAskedTo) {
    struct Case {
        const wchar_t* autonavi;
        const wchar_t* homepage;
        const wchar_t* shown;
    };
    const Case cases[] = {
        {L"true", L"http://127.0.0.1:9/home?ID=7&x=1", L"http://127.0.0.1:9/home?ID=7&x=1"},
        {L"true", L"", L"about:blank"},
        {L"yes", L"http://127.0.0.1:9/home", L"about:blank"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.autonavi << " " << c.homepage);
        HostWindow host;
        auto* control = new CWebBrowserUI();
        RecordingHandler handler;
        control->SetWebBrowserEventHandler(&handler);
        control->SetAttribute(L"homepage", c.homepage);
        control->SetAttribute(L"autonavi", c.autonavi);
        host.Attach(control, kRect);
        ASSERT_NE(control->GetWebBrowser2(), nullptr);
        EXPECT_EQ(handler.created, 1);
        EXPECT_TRUE(PumpUntil([&] { return Location(control) == c.shown; })) << Location(control);
        EXPECT_EQ(control->GetHomePage(), c.homepage);
    }
}

TEST(WebBrowserHost, RealBrowserReportsNavigationsAndHonoursCancel) {
    HostWindow host;
    auto* control = new CWebBrowserUI();
    RecordingHandler handler;
    control->SetWebBrowserEventHandler(&handler);
    host.Attach(control, kRect);
    const std::wstring page = L"http://127.0.0.1:9/page?ID=7&name=a%20b";
    control->Navigate(page.c_str());
    ASSERT_TRUE(PumpUntil([&] { return !handler.errors.empty(); }));
    EXPECT_EQ(handler.before, std::vector<std::wstring>{page});
    EXPECT_EQ(handler.errors[0].find(page), 0u) << handler.errors[0];
    EXPECT_FALSE(handler.commands.empty());
    EXPECT_EQ(Location(control), page);

    handler.errors.clear();
    control->Navigate(L"http://127.0.0.1:9/cancel");
    ASSERT_TRUE(PumpUntil([&] { return handler.before.size() == 2; }));
    Pump(300);
    EXPECT_TRUE(handler.errors.empty());
    EXPECT_EQ(Location(control), page);
}

TEST(WebBrowserHost, ThePageReachesTheHandlerThroughTheDocumentHost) {
    DoubleFolder folder(L"browser_double.dll", L"browser_scenario.txt",
                        "frames 1\n"
                        "page:http://127.0.0.1/page 0 hostinfo\n"
                        "page:http://127.0.0.1/page 0 external startGame \"7\" tok\n"
                        "page:http://127.0.0.1/page 0 external ismc\n"
                        "page:http://127.0.0.1/page 0 external StartGame \"7\" tok\n"
                        "page:http://127.0.0.1/page 0 translateurl http://127.0.0.1/other\n"
                        "page:http://127.0.0.1/page 0 contextmenu\n"
                        "page:http://127.0.0.1/page 0 scripterror\n");
    RecordingHandler handler;
    {
        HostWindow host;
        auto* control = new CWebBrowserUI();
        control->SetWebBrowserEventHandler(&handler);
        control->SetAttribute(L"modulename", folder.Dll().c_str());
        control->SetAttribute(L"homepage", L"http://127.0.0.1/page?ID=7");
        handler.openOnCreate = control;
        host.Attach(control, kRect);
        ASSERT_TRUE(PumpUntil([&] { return folder.Log().find("Exec script error without out") != std::string::npos; }))
            << folder.Log();
        const std::string log = folder.Log();
        EXPECT_TRUE(InOrder(log, {"Navigate2 VT_BSTR \"about:blank\"", "events Advise -> cookie",
                                  "Navigate \"http://127.0.0.1/page?ID=7\""}))
            << log;
        EXPECT_TRUE(InOrder(log, {"document http://127.0.0.1/page?ID=7 SetUIHandler handler",
                                  "document UI handler: installed", "GetHostInfo -> 0x00000000 flags=0x0000000C",
                                  "QueryInterface IDispatchEx -> 0x80004002",
                                  "external ismc(): Invoke 103 -> 0x00000000 result=VT_BOOL -1",
                                  "external StartGame(\"7\",\"tok\"): GetIDsOfNames -> 0x80020006",
                                  "TranslateUrl \"http://127.0.0.1/other\" -> 0x80004001 out=null",
                                  "ShowContextMenu -> 0x00000000",
                                  "Exec script error -> 0x00000000 out=VT_BOOL -1",
                                  "Exec script error without out -> 0x00000000"}))
            << log;
        EXPECT_EQ(handler.created, 1);
        EXPECT_EQ(handler.before, std::vector<std::wstring>{L"http://127.0.0.1/page?ID=7"});
        EXPECT_EQ(handler.completed, std::vector<std::wstring>{L"http://127.0.0.1/page?ID=7"});
        // The frame's DocumentComplete stays out; the page's own comes through.
        EXPECT_EQ(handler.documents, std::vector<std::wstring>{L"http://127.0.0.1/page?ID=7"});
        EXPECT_EQ(handler.external.calls, (std::vector<std::wstring>{L"104(\"7\",\"tok\")", L"103()"}));
        EXPECT_EQ(handler.external.refs, 1);

        // Malformed events are refused before anything reads them.
        const size_t seen = handler.before.size() + handler.errors.size() + handler.completed.size() +
                            handler.documents.size();
        EXPECT_EQ(folder.Play("malformed"), S_OK);
        EXPECT_TRUE(InOrder(folder.Log(), {"malformed BeforeNavigate2 with 2 arguments -> 0x8002000E",
                                           "malformed BeforeNavigate2 with a VT_I4 URL -> 0x80020005",
                                           "malformed NavigateError with 3 arguments -> 0x8002000E",
                                           "malformed NavigateComplete2 with no arguments -> 0x8002000E",
                                           "malformed unknown dispid 9999 -> 0x80020003",
                                           "malformed DocumentComplete with a non-null riid -> 0x80070057",
                                           "malformed BeforeNavigate2 without parameters -> 0x8002000E"}))
            << folder.Log();
        EXPECT_EQ(handler.before.size() + handler.errors.size() + handler.completed.size() + handler.documents.size(),
                  seen);

        // A new window reaches the handler with its values.
        EXPECT_EQ(folder.Play("fail 404"), E_INVALIDARG);  // not an action: the rule belongs in the scenario
        EXPECT_EQ(folder.Play("newwindow http://127.0.0.1/popup"), S_OK);
        EXPECT_NE(folder.Log().find("NewWindow3 cancel=-1 window=null"), std::string::npos) << folder.Log();
        EXPECT_EQ(handler.windows,
                  std::vector<std::wstring>{L"http://127.0.0.1/popup from http://127.0.0.1/page?ID=7"});
    }
    const std::string log = folder.Log();
    const size_t advised = log.find("events Advise -> cookie ");
    ASSERT_NE(advised, std::string::npos);
    const std::string cookie = log.substr(advised + 24, log.find('\n', advised) - advised - 24);
    EXPECT_NE(log.find("events Unadvise cookie " + cookie), std::string::npos) << log;
    EXPECT_NE(log.find(kClean), std::string::npos) << log;
    for (const char* count : {"objects", "locks", "sinks", "host-refs", "violations"})
        EXPECT_EQ(folder.Count(count), 0) << count;
}

TEST(WebBrowserHost, KeysReachTheBrowserOnlyWhileTheFocusIsInside) {
    DoubleFolder folder(L"browser_double.dll", L"browser_scenario.txt", "accelerator 0x74\n");
    HostWindow host(true);
    auto* control = new CWebBrowserUI();
    control->SetAttribute(L"modulename", folder.Dll().c_str());
    host.Attach(control, kRect);
    HWND inner = FindWindowExW(control->GetNativeWindow(), nullptr, L"ComDoubleWindow", nullptr);
    ASSERT_NE(inner, nullptr);

    SetFocus(inner);
    ASSERT_EQ(GetFocus(), inner);
    MSG key = {inner, WM_KEYDOWN, VK_F5, 0, 0, {0, 0}};
    EXPECT_TRUE(host.Manager().TranslateAccelerator(&key));
    key.wParam = VK_F6;
    EXPECT_FALSE(host.Manager().TranslateAccelerator(&key));
    MSG mouse = {inner, WM_LBUTTONDOWN, 0, 0, 0, {0, 0}};
    EXPECT_FALSE(host.Manager().TranslateAccelerator(&mouse));
    EXPECT_EQ(Occurrences(folder.Log(), "TranslateAccelerator message="), 2) << folder.Log();

    SetFocus(host.GetHWND());
    key.wParam = VK_F5;
    EXPECT_FALSE(host.Manager().TranslateAccelerator(&key));
    EXPECT_EQ(Occurrences(folder.Log(), "TranslateAccelerator message="), 2) << folder.Log();
}

TEST(WebBrowserHost, DocumentHostAnswersWriteTheirOutPointers) {
    CWebBrowserEventHandler defaults;
    for (CWebBrowserEventHandler* handler : {static_cast<CWebBrowserEventHandler*>(nullptr), &defaults}) {
        SCOPED_TRACE(handler != nullptr ? "default handler" : "no handler");
        CWebBrowserUI control;
        control.SetWebBrowserEventHandler(handler);
        IDocHostUIHandler* host = &control;
        void* const sentinel = reinterpret_cast<void*>(static_cast<INT_PTR>(0x5EED));
        IDispatch* external = static_cast<IDispatch*>(sentinel);
        EXPECT_EQ(host->GetExternal(&external), handler != nullptr ? E_NOTIMPL : S_FALSE);
        EXPECT_EQ(external, nullptr);
        IDropTarget* drop = static_cast<IDropTarget*>(sentinel);
        EXPECT_EQ(host->GetDropTarget(nullptr, &drop), handler != nullptr ? E_NOTIMPL : S_FALSE);
        EXPECT_EQ(drop, nullptr);
        wchar_t url[] = L"http://127.0.0.1/";
        LPWSTR translated = static_cast<LPWSTR>(sentinel);
        EXPECT_EQ(host->TranslateUrl(0, url, &translated), E_NOTIMPL);
        EXPECT_EQ(translated, nullptr);
        IDataObject* data = static_cast<IDataObject*>(sentinel);
        EXPECT_EQ(host->FilterDataObject(nullptr, &data), E_NOTIMPL);
        EXPECT_EQ(data, nullptr);
        LPOLESTR key = static_cast<LPOLESTR>(sentinel);
        EXPECT_EQ(host->GetOptionKeyPath(&key, 0), E_NOTIMPL);
        EXPECT_EQ(key, nullptr);
        EXPECT_EQ(host->ShowContextMenu(0, nullptr, nullptr, nullptr), handler != nullptr ? S_OK : S_FALSE);
        EXPECT_EQ(host->ShowUI(0, nullptr, nullptr, nullptr, nullptr), handler != nullptr ? S_FALSE : S_OK);
        DOCHOSTUIINFO info = {};
        info.cbSize = sizeof(info);
        EXPECT_EQ(host->GetHostInfo(&info), handler != nullptr ? S_OK : E_NOTIMPL);

        // No download manager is offered.
        void* service = sentinel;
        IServiceProvider* provider = &control;
        EXPECT_EQ(provider->QueryService(__uuidof(IDownloadManager), __uuidof(IDownloadManager), &service),
                  E_NOINTERFACE);
        EXPECT_EQ(service, nullptr);
    }
}

TEST(WebBrowserHost, OneIdentityAndTheScriptErrorCommand) {
    CWebBrowserUI control;
    IUnknown* faces[] = {static_cast<IDocHostUIHandler*>(&control), static_cast<IServiceProvider*>(&control),
                         static_cast<IOleCommandTarget*>(&control), static_cast<IDispatch*>(&control)};
    IUnknown* identity = nullptr;
    for (IUnknown* face : faces) {
        IUnknown* unknown = nullptr;
        ASSERT_EQ(face->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
        if (identity == nullptr) identity = unknown;
        EXPECT_EQ(unknown, identity);
        unknown->Release();
        void* other = reinterpret_cast<void*>(1);
        EXPECT_EQ(face->QueryInterface(IID_IOleClientSite, &other), E_NOINTERFACE);
        EXPECT_EQ(other, nullptr);
    }

    IOleCommandTarget* target = &control;
    VARIANT out;
    VariantInit(&out);
    EXPECT_EQ(target->Exec(&kCgidDocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, &out), S_OK);
    EXPECT_EQ(out.vt, VT_BOOL);
    EXPECT_EQ(out.boolVal, VARIANT_TRUE);
    EXPECT_EQ(target->Exec(&kCgidDocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, nullptr), S_OK);
    EXPECT_EQ(target->Exec(&kCgidDocHostCommandHandler, OLECMDID_PRINT, 0, nullptr, &out),
              static_cast<HRESULT>(OLECMDERR_E_NOTSUPPORTED));
    EXPECT_EQ(target->Exec(nullptr, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, &out),
              static_cast<HRESULT>(OLECMDERR_E_UNKNOWNGROUP));
    EXPECT_EQ(target->Exec(&IID_IUnknown, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, &out),
              static_cast<HRESULT>(OLECMDERR_E_UNKNOWNGROUP));
    EXPECT_EQ(target->QueryStatus(nullptr, 0, nullptr, nullptr), static_cast<HRESULT>(OLECMDERR_E_NOTSUPPORTED));
}

TEST(WebBrowserHost, EventsWithTheirShapesReachTheHandler) {
    CWebBrowserUI control;
    RecordingHandler handler;
    control.SetWebBrowserEventHandler(&handler);
    control.SetWebBrowserEventHandler(nullptr);  // a handler stays once set

    // BeforeNavigate2's seven arguments, last first, as the browser passes them.
    VARIANT url, empty, args[7];
    VariantInit(&url);
    VariantInit(&empty);
    url.vt = VT_BSTR;
    url.bstrVal = SysAllocString(L"http://127.0.0.1/cancel?x=1");
    VARIANT_BOOL cancel = VARIANT_FALSE;
    args[0].vt = VT_BYREF | VT_BOOL;
    args[0].pboolVal = &cancel;
    for (int i = 1; i <= 4; ++i) {
        args[i].vt = VT_BYREF | VT_VARIANT;
        args[i].pvarVal = &empty;
    }
    args[5].vt = VT_BYREF | VT_VARIANT;
    args[5].pvarVal = &url;
    args[6].vt = VT_DISPATCH;
    args[6].pdispVal = nullptr;
    DISPPARAMS params = {args, nullptr, 7, 0};
    IDispatch* sink = &control;
    EXPECT_EQ(sink->Invoke(250, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(handler.before, std::vector<std::wstring>{L"http://127.0.0.1/cancel?x=1"});
    EXPECT_EQ(cancel, VARIANT_TRUE);

    VARIANT command[2];
    command[0].vt = VT_BOOL;
    command[0].boolVal = VARIANT_TRUE;
    command[1].vt = VT_I4;
    command[1].lVal = 2;
    DISPPARAMS state = {command, nullptr, 2, 0};
    EXPECT_EQ(sink->Invoke(105, IID_NULL, 0, DISPATCH_METHOD, &state, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(handler.commands, std::vector<std::wstring>{L"2=-1"});

    // Shapes the browser never sends are refused unread.
    struct Bad {
        const char* name;
        DISPID id;
        DISPPARAMS* params;
        HRESULT result;
    };
    DISPPARAMS shortParams = {args, nullptr, 2, 0};
    DISPPARAMS noArray = {nullptr, nullptr, 7, 0};
    VARIANT wrong[7];
    for (int i = 0; i < 7; ++i) wrong[i] = args[i];
    wrong[5].vt = VT_I4;
    wrong[5].lVal = 5;
    DISPPARAMS wrongType = {wrong, nullptr, 7, 0};
    VARIANT nullRef[7];
    for (int i = 0; i < 7; ++i) nullRef[i] = args[i];
    nullRef[0].pboolVal = nullptr;
    DISPPARAMS nullCancel = {nullRef, nullptr, 7, 0};
    const Bad bad[] = {
        {"two arguments", 250, &shortParams, DISP_E_BADPARAMCOUNT},
        {"no array", 250, &noArray, DISP_E_BADPARAMCOUNT},
        {"no parameters", 250, nullptr, DISP_E_BADPARAMCOUNT},
        {"a number for the URL", 250, &wrongType, DISP_E_TYPEMISMATCH},
        {"a null cancel reference", 250, &nullCancel, DISP_E_TYPEMISMATCH},
        {"NavigateError with seven", 271, &params, DISP_E_BADPARAMCOUNT},
        {"NavigateComplete2 with seven", 252, &params, DISP_E_BADPARAMCOUNT},
        {"DocumentComplete with none", 259, nullptr, DISP_E_BADPARAMCOUNT},
        {"NewWindow3 with seven", 273, &params, DISP_E_BADPARAMCOUNT},
        {"CommandStateChange with seven", 105, &params, DISP_E_BADPARAMCOUNT},
        {"unknown", 9999, &params, DISP_E_MEMBERNOTFOUND},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.name);
        EXPECT_EQ(sink->Invoke(b.id, IID_NULL, 0, DISPATCH_METHOD, b.params, nullptr, nullptr, nullptr), b.result);
    }
    EXPECT_EQ(sink->Invoke(250, IID_IDispatch, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), E_INVALIDARG);
    EXPECT_EQ(handler.before.size(), 1u);
    EXPECT_EQ(handler.commands.size(), 1u);
    EXPECT_TRUE(handler.errors.empty());
    EXPECT_TRUE(handler.completed.empty());
    VariantClear(&url);
}
