// The browser double under a host of the test's own: windowed activation,
// navigations whose events arrive from the message loop with the control's
// argument shapes, the page's calls into the host, and a clean teardown.
#include "double_module.h"

#include <gtest/gtest.h>

namespace doubles_test {
namespace {

const CLSID kClsidWebBrowser = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
const IID kDiidEvents2 = {0x34A715A0, 0x6587, 0x11D0, {0x92, 0x4A, 0x00, 0x20, 0xAF, 0xC7, 0xAC, 0x4D}};

const char kPageScenario[] =
    "frames 1\n"
    "page:http://127.0.0.1/page 0 hostinfo\n"
    "page:http://127.0.0.1/page 0 external startGame \"7\" tok   # the script's startGame(\"7\",\"tok\")\n"
    "page:http://127.0.0.1/page 0 external ismc\n"
    "page:http://127.0.0.1/page 0 external StartGame \"7\" tok\n"
    "page:http://127.0.0.1/page 0 scripterror\n";

class BrowserDoubleTest : public HostWindowTest {
protected:

    // Creates and embeds the browser, and advises SINK.
    void Start(DoubleModule& module, TestSite& site, TestSink* sink) {
        ASSERT_TRUE(module.Loaded());
        ASSERT_EQ(module.Create(kClsidWebBrowser, &object_), S_OK);
        ASSERT_EQ(Embed(object_, site, window_, rect_), S_OK);
        ASSERT_EQ(object_->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser_)), S_OK);
        VARIANT blank;
        VariantInit(&blank);
        blank.vt = VT_BSTR;
        blank.bstrVal = SysAllocString(L"about:blank");
        ASSERT_EQ(browser_->Navigate2(&blank, nullptr, nullptr, nullptr, nullptr), S_OK);
        VariantClear(&blank);
        IConnectionPointContainer* container = nullptr;
        ASSERT_EQ(object_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)), S_OK);
        ASSERT_EQ(container->FindConnectionPoint(kDiidEvents2, &point_), S_OK);
        container->Release();
        ASSERT_EQ(point_->Advise(sink, &cookie_), S_OK);
    }

    void Navigate(const wchar_t* url) {
        BSTR text = SysAllocString(url);
        EXPECT_EQ(browser_->Navigate(text, nullptr, nullptr, nullptr, nullptr), S_OK);
        SysFreeString(text);
    }

    std::wstring Location() {
        BSTR url = nullptr;
        EXPECT_EQ(browser_->get_LocationURL(&url), S_OK);
        std::wstring text = BstrString(url);
        SysFreeString(url);
        return text;
    }

    // The host's side of release; the double must then hold nothing.
    void Stop(DoubleModule& module) {
        EXPECT_EQ(point_->Unadvise(cookie_), S_OK);
        point_->Release();
        browser_->Release();
        Unembed(object_);
        for (const char* count : {"objects", "locks", "sinks", "host-refs", "violations"})
            EXPECT_EQ(module.Count(count), 0) << count;
        EXPECT_NE(module.Log().find("teardown objects=0 locks=0 sinks=0 host-refs=0 violations=0"), std::string::npos);
        EXPECT_TRUE(module.Unload());
    }

    RECT rect_ = {10, 20, 210, 120};
    IOleObject* object_ = nullptr;
    IWebBrowser2* browser_ = nullptr;
    IConnectionPoint* point_ = nullptr;
    DWORD cookie_ = 0;
};

// The host installs its UI handler through the new document, as on NavigateComplete2.
HRESULT InstallHandler(IWebBrowser2* browser, TestSite& site) {
    IDispatch* document = nullptr;
    if (browser->get_Document(&document) != S_OK || document == nullptr) return E_FAIL;
    ICustomDoc* custom = nullptr;
    HRESULT hr = document->QueryInterface(__uuidof(ICustomDoc), reinterpret_cast<void**>(&custom));
    if (SUCCEEDED(hr)) {
        hr = custom->SetUIHandler(&site);
        custom->Release();
    }
    document->Release();
    return hr;
}

TEST_F(BrowserDoubleTest, ThePageCallsTheHostAsAScriptEngineDoes) {
    DoubleModule module(L"browser_double.dll", L"browser_scenario.txt", kPageScenario);
    TestSite site(window_, rect_, false);
    TestSink* sink = new TestSink();
    sink->onEvent = [&](DISPID dispid, DISPPARAMS*) { return dispid == 252 ? InstallHandler(browser_, site) : S_OK; };
    Start(module, site, sink);

    // Windowed, in the order the platform's control activates, in a window of its own.
    std::string calls;
    for (const std::string& c : site.calls) calls += c + "\n";
    EXPECT_TRUE(InOrder(calls, {"CanInPlaceActivate", "GetWindow", "OnInPlaceActivate", "GetWindowContext",
                                "ShowObject"}))
        << calls;
    HWND child = FindWindowExW(window_, nullptr, L"ComDoubleWindow", nullptr);
    ASSERT_NE(child, nullptr);
    RECT placed;
    GetWindowRect(child, &placed);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_TRUE(EqualRect(&placed, &rect_));

    Navigate(L"http://127.0.0.1/page?ID=7");
    ASSERT_TRUE(PumpUntil([&] { return module.Log().find("Exec script error without out") != std::string::npos; }))
        << module.Log();

    // about:blank was asked for before Advise: only the page's events arrive.
    std::vector<DISPID> dispids;
    for (const SeenEvent& e : sink->events) dispids.push_back(e.dispid);
    EXPECT_EQ(dispids, (std::vector<DISPID>{250, 106, 105, 105, 102, 252, 104, 259, 259}));
    const SeenEvent& before = sink->events[0];
    EXPECT_EQ(before.types, (std::vector<VARTYPE>{VT_BYREF | VT_BOOL, VT_BYREF | VT_VARIANT, VT_BYREF | VT_VARIANT,
                                                  VT_BYREF | VT_VARIANT, VT_BYREF | VT_VARIANT,
                                                  VT_BYREF | VT_VARIANT, VT_DISPATCH}));
    EXPECT_EQ(before.texts[5], L"http://127.0.0.1/page?ID=7");
    IUnknown* self = nullptr;
    object_->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&self));
    self->Release();
    EXPECT_EQ(before.identity, self);
    EXPECT_NE(sink->events[7].identity, self);  // the frame's DocumentComplete
    EXPECT_EQ(sink->events[8].identity, self);  // the page's own

    // The script's arguments arrive last first.
    std::string external;
    for (const std::string& c : site.externalCalls) external += c + "\n";
    EXPECT_TRUE(InOrder(external, {"QueryInterface other", "GetIDsOfNames startGame",
                                   "Invoke 104 flags=1 rgvarg=[\"tok\",\"7\"]", "GetIDsOfNames ismc",
                                   "Invoke 103 flags=1 rgvarg=[]", "GetIDsOfNames StartGame"}))
        << external;
    EXPECT_EQ(external.find("Invoke -1"), std::string::npos);
    // The handler arrives while NavigateComplete2 is delivered.
    EXPECT_TRUE(InOrder(module.Log(), {"get_Document -> document",
                                       "document http://127.0.0.1/page?ID=7 SetUIHandler handler",
                                       "event NavigateComplete2 \"http://127.0.0.1/page?ID=7\"",
                                       "document UI handler: installed",
                                       "GetHostInfo -> 0x00000000 flags=0x0000000C",
                                       "external ismc(): Invoke 103 -> 0x00000000 result=VT_BOOL -1",
                                       "external StartGame(\"7\",\"tok\"): GetIDsOfNames -> 0x80020006",
                                       "Exec script error -> 0x00000000 out=VT_BOOL -1",
                                       "Exec script error without out -> 0x00000000"}))
        << module.Log();
    EXPECT_EQ(Location(), L"http://127.0.0.1/page?ID=7");

    Stop(module);
    EXPECT_EQ(site.Refs(), 1);
    EXPECT_EQ(sink->Refs(), 1);
    sink->Release();
}

TEST_F(BrowserDoubleTest, CancelFailureAndMalformedEventsKeepTheirShapes) {
    DoubleModule module(L"browser_double.dll", L"browser_scenario.txt",
                        "fail http://127.0.0.1/missing 404\n"
                        "accelerator 0x74\n");
    TestSite site(window_, rect_, false);
    TestSink* sink = new TestSink();
    sink->onEvent = [](DISPID dispid, DISPPARAMS* params) {
        if (dispid == 250 && params != nullptr && params->cArgs == 7 &&
            params->rgvarg[5].vt == (VT_BYREF | VT_VARIANT) && params->rgvarg[5].pvarVal->vt == VT_BSTR &&
            BstrString(params->rgvarg[5].pvarVal->bstrVal).find(L"cancel") != std::wstring::npos)
            *params->rgvarg[0].pboolVal = VARIANT_TRUE;
        return S_OK;
    };
    Start(module, site, sink);

    Navigate(L"http://127.0.0.1/cancel");
    Navigate(L"http://127.0.0.1/missing");
    ASSERT_TRUE(PumpUntil([&] { return !sink->events.empty() && sink->events.back().dispid == 104; }));
    std::vector<DISPID> dispids;
    for (const SeenEvent& e : sink->events) dispids.push_back(e.dispid);
    EXPECT_EQ(dispids, (std::vector<DISPID>{250, 250, 106, 105, 105, 102, 271, 104}));
    const SeenEvent& error = sink->events[6];
    EXPECT_EQ(error.types, (std::vector<VARTYPE>{VT_BYREF | VT_BOOL, VT_BYREF | VT_VARIANT, VT_BYREF | VT_VARIANT,
                                                 VT_BYREF | VT_VARIANT, VT_DISPATCH}));
    EXPECT_EQ(error.numbers[1], 404);
    EXPECT_EQ(error.texts[3], L"http://127.0.0.1/missing");
    EXPECT_EQ(Location(), L"http://127.0.0.1/missing");
    EXPECT_NE(module.Log().find("navigation cancelled: \"http://127.0.0.1/cancel\""), std::string::npos);

    // Each malformed shape in turn, fired at once.
    sink->events.clear();
    EXPECT_EQ(module.Play("malformed"), S_OK);
    ASSERT_EQ(sink->events.size(), 7u);
    EXPECT_EQ(sink->events[0].dispid, 250);
    EXPECT_EQ(sink->events[0].types.size(), 2u);
    EXPECT_EQ(sink->events[1].types[5], VT_I4);
    EXPECT_EQ(sink->events[2].dispid, 271);
    EXPECT_EQ(sink->events[2].types.size(), 3u);
    EXPECT_EQ(sink->events[3].dispid, 252);
    EXPECT_TRUE(sink->events[3].types.empty());
    EXPECT_EQ(sink->events[4].dispid, 9999);
    EXPECT_FALSE(sink->events[5].riidNull);
    EXPECT_TRUE(sink->events[6].types.empty());
    EXPECT_EQ(module.Play("malformed nonsense"), E_INVALIDARG);

    // The one key the scenario names is taken; others are left to the host.
    IOleInPlaceActiveObject* active = nullptr;
    ASSERT_EQ(object_->QueryInterface(IID_IOleInPlaceActiveObject, reinterpret_cast<void**>(&active)), S_OK);
    MSG key = {window_, WM_KEYDOWN, VK_F5, 0, 0, {0, 0}};
    EXPECT_EQ(active->TranslateAccelerator(&key), S_OK);
    key.wParam = VK_F6;
    EXPECT_EQ(active->TranslateAccelerator(&key), S_FALSE);
    active->Release();

    Stop(module);
    sink->Release();
}

// The page shows its address as it is: an "&" in it is no mnemonic prefix.
TEST_F(BrowserDoubleTest, ThePageShowsItsAddressWithItsAmpersands) {
    DoubleModule module(L"browser_double.dll", L"browser_scenario.txt", "");
    TestSite site(window_, rect_, false);
    TestSink* sink = new TestSink();
    Start(module, site, sink);
    const wchar_t kUrl[] = L"http://127.0.0.1/page?a=1&b=2&&c";
    Navigate(kUrl);
    ASSERT_TRUE(PumpUntil([&] { return module.Log().find("NavigateComplete2 \"http://127.0.0.1/page?a=1") !=
                                       std::string::npos; }))
        << module.Log();

    DrawSurface surface(400, 60);
    IViewObject* view = nullptr;
    ASSERT_EQ(object_->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(&view)), S_OK);
    RECTL bounds = surface.Bounds();
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, surface.Dc(), &bounds, nullptr, nullptr, 0),
              S_OK);
    view->Release();
    // The first line ends where the whole address, ampersands and all, ends.
    TEXTMETRICW metrics = {};
    GetTextMetricsW(surface.Dc(), &metrics);
    SIZE extent = {};
    GetTextExtentPoint32W(surface.Dc(), kUrl, static_cast<int>(wcslen(kUrl)), &extent);
    const DWORD page = surface.Pixel(0, 0);
    int right = -1;
    for (int y = 8; y < 8 + metrics.tmHeight; ++y) {
        for (int x = right + 1; x < bounds.right; ++x) {
            if (surface.Pixel(x, y) != page) right = x;
        }
    }
    EXPECT_NEAR(right + 1, 8 + extent.cx, 2);

    Stop(module);
    sink->Release();
}

}  // namespace
}  // namespace doubles_test
