// The Flash double under a host of the test's own: windowless activation,
// the movie interface called by slot number, events with the type library's
// shapes, the bars it draws, and the host-side faults it reports.
#include "double_module.h"

#include "common/file_util.h"

#include <gtest/gtest.h>

#include <olectl.h>

namespace doubles_test {
namespace {

const CLSID kClsidFlash = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const IID kIidMovie = {0xD27CDB6C, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const IID kDiidEvents = {0xD27CDB6D, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

// The movie interface's slots, counted from IUnknown's QueryInterface at 0.
const int kPutPlaying = 10, kPutMovie = 22, kPutWMode = 41, kPutAllowScriptAccess = 79, kCallFunction = 93,
          kDisableLocalSecurity = 95;

template <class... A>
HRESULT CallSlot(void* object, int slot, A... args) {
    using Method = HRESULT(STDMETHODCALLTYPE*)(void*, A...);
    return reinterpret_cast<Method>((*static_cast<void***>(object))[slot])(object, args...);
}

HRESULT PutText(void* movie, int slot, const wchar_t* text) {
    BSTR value = SysAllocString(text);
    HRESULT hr = CallSlot(movie, slot, value);
    SysFreeString(value);
    return hr;
}

std::wstring ProgramPath() {
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

class FlashDoubleTest : public HostWindowTest {
protected:

    void Start(DoubleModule& module, TestSite& site) {
        ASSERT_TRUE(module.Loaded());
        ASSERT_EQ(module.Create(kClsidFlash, &object_), S_OK);
        ASSERT_EQ(Embed(object_, site, window_, rect_), S_OK);
        ASSERT_EQ(object_->QueryInterface(kIidMovie, &movie_), S_OK);
    }

    void Advise(TestSink* sink) {
        IConnectionPointContainer* container = nullptr;
        ASSERT_EQ(object_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)), S_OK);
        ASSERT_EQ(container->FindConnectionPoint(kDiidEvents, &point_), S_OK);
        container->Release();
        ASSERT_EQ(point_->Advise(sink, &cookie_), S_OK);
    }

    RECT rect_ = {0, 0, 200, 100};
    IOleObject* object_ = nullptr;
    void* movie_ = nullptr;
    IConnectionPoint* point_ = nullptr;
    DWORD cookie_ = 0;
};

const SeenEvent* Find(const TestSink& sink, DISPID dispid) {
    for (const SeenEvent& e : sink.events)
        if (e.dispid == dispid) return &e;
    return nullptr;
}

TEST_F(FlashDoubleTest, MovieCallsLandOnTheirSlotsAndEventsReachTheSink) {
    DoubleModule module(L"flash_double.dll", L"flash_scenario.txt",
                        "movie 0 readystate 4\n"
                        "movie 0 progress 100\n"
                        "call:setProValOne 0 fscommand cmd arg\n"
                        "advise 0 flashcall \"<invoke name='hello'/>\"\n"
                        "file:go 0 readystate 3\n"
                        "bogus 0 readystate 1\n");
    TestSite site(window_, rect_, true);
    TestSink* sink = new TestSink();
    Start(module, site);
    std::string calls;
    for (const std::string& c : site.calls) calls += c + "\n";
    EXPECT_TRUE(InOrder(calls, {"CanInPlaceActivate", "CanWindowlessActivate", "OnInPlaceActivateEx windowless",
                                "GetWindowContext"}))
        << calls;
    EXPECT_EQ(FindWindowExW(window_, nullptr, L"ComDoubleWindow", nullptr), nullptr);

    // What the host does at creation, then the progress requests.
    EXPECT_EQ(PutText(movie_, kPutWMode, L"Transparent"), S_OK);
    EXPECT_EQ(PutText(movie_, kPutMovie, ProgramPath().c_str()), S_OK);
    EXPECT_EQ(CallSlot(movie_, kPutPlaying, static_cast<VARIANT_BOOL>(VARIANT_TRUE)), S_OK);
    EXPECT_EQ(CallSlot(movie_, kDisableLocalSecurity), S_OK);
    EXPECT_EQ(PutText(movie_, kPutAllowScriptAccess, L"always"), S_OK);
    Advise(sink);
    for (const wchar_t* request : {L"<invoke name='setProValOne'><arguments><number>50</number></arguments></invoke>",
                                   L"<invoke name='setTextOne'><arguments><string>Updating  50%</string></arguments></invoke>"}) {
        BSTR text = SysAllocString(request);
        BSTR response = nullptr;
        EXPECT_EQ(CallSlot(movie_, kCallFunction, text, &response), S_OK);
        EXPECT_EQ(BstrString(response), L"<string></string>");
        EXPECT_EQ(SysStringLen(response), 17u);
        SysFreeString(response);
        SysFreeString(text);
    }
    long unused = 0;
    EXPECT_EQ(CallSlot(movie_, 11, &unused), E_NOTIMPL);

    // The same call late-bound, by name.
    IDispatch* dispatch = nullptr;
    ASSERT_EQ(object_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
    LPOLESTR name = const_cast<LPOLESTR>(L"CallFunction");
    DISPID dispid = 0;
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &dispid), S_OK);
    EXPECT_EQ(dispid, 198);
    VARIANT arg, result;
    VariantInit(&arg);
    VariantInit(&result);
    arg.vt = VT_BSTR;
    arg.bstrVal = SysAllocString(L"<invoke name='setProValTwo'><arguments><number>16</number></arguments></invoke>");
    DISPPARAMS params = {&arg, nullptr, 1, 0};
    EXPECT_EQ(dispatch->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, nullptr,
                               nullptr),
              S_OK);
    EXPECT_EQ(result.vt, VT_BSTR);
    VariantClear(&result);
    VariantClear(&arg);
    dispatch->Release();

    ASSERT_TRUE(PumpUntil([&] { return Find(*sink, 150) != nullptr && Find(*sink, 1958) != nullptr; }));
    const SeenEvent* ready = Find(*sink, -609);
    ASSERT_NE(ready, nullptr);
    EXPECT_EQ(ready->types, std::vector<VARTYPE>{VT_I4});
    EXPECT_EQ(ready->numbers[0], 4);
    const SeenEvent* progress = Find(*sink, 1958);
    EXPECT_EQ(progress->types, std::vector<VARTYPE>{VT_I4});
    EXPECT_EQ(progress->numbers[0], 100);
    const SeenEvent* command = Find(*sink, 150);
    EXPECT_EQ(command->texts, (std::vector<std::wstring>{L"arg", L"cmd"}));
    const SeenEvent* call = Find(*sink, 197);
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->texts[0], L"<invoke name='hello'/>");

    // A step waiting for a file beside the DLL; a line it cannot read is logged.
    EXPECT_EQ(Find(*sink, -609)->numbers[0], 4);
    ASSERT_TRUE(WriteFileAtomically(module.Folder() + L"go", "", 0));
    ASSERT_TRUE(PumpUntil([&] {
        for (const SeenEvent& e : sink->events)
            if (e.dispid == -609 && e.numbers[0] == 3) return true;
        return false;
    }));
    EXPECT_NE(module.Log().find("scenario error: line 6: unknown trigger 'bogus'"), std::string::npos);

    size_t seen = sink->events.size();
    EXPECT_EQ(module.Play("progress-byref 7"), S_OK);
    EXPECT_EQ(module.Play("malformed fscommand-1arg"), S_OK);
    ASSERT_EQ(sink->events.size(), seen + 2);
    EXPECT_EQ(sink->events[seen].types, std::vector<VARTYPE>{VT_BYREF | VT_I4});
    EXPECT_EQ(sink->events[seen].numbers[0], 7);
    EXPECT_EQ(sink->events[seen + 1].types, std::vector<VARTYPE>{VT_BSTR});

    EXPECT_TRUE(InOrder(module.Log(), {"put_WMode \"Transparent\"", "put_Movie \"", "exists=yes", "put_Playing -1",
                                       "DisableLocalSecurity", "put_AllowScriptAccess \"always\"",
                                       "events Advise -> cookie",
                                       "CallFunction <invoke name='setProValOne'><arguments><number>50</number>"
                                       "</arguments></invoke>",
                                       "CallFunction <invoke name='setTextOne'>", "slot 11",
                                       "GetIDsOfNames \"CallFunction\"", "CallFunction <invoke name='setProValTwo'>"}))
        << module.Log();

    // Windowless: hit only in the upper half, and fed the host's messages.
    IViewObjectEx* view = nullptr;
    ASSERT_EQ(object_->QueryInterface(IID_IViewObjectEx, reinterpret_cast<void**>(&view)), S_OK);
    DWORD hit = 0;
    EXPECT_EQ(view->QueryHitPoint(DVASPECT_CONTENT, &rect_, POINT{100, 20}, 0, &hit), S_OK);
    EXPECT_EQ(hit, static_cast<DWORD>(HITRESULT_HIT));
    EXPECT_EQ(view->QueryHitPoint(DVASPECT_CONTENT, &rect_, POINT{100, 80}, 0, &hit), S_OK);
    EXPECT_EQ(hit, static_cast<DWORD>(HITRESULT_OUTSIDE));
    IOleInPlaceObjectWindowless* windowless = nullptr;
    ASSERT_EQ(object_->QueryInterface(IID_IOleInPlaceObjectWindowless, reinterpret_cast<void**>(&windowless)), S_OK);
    LRESULT answer = 1;
    EXPECT_EQ(windowless->OnWindowMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(30, 40), &answer), S_OK);
    windowless->Release();
    EXPECT_NE(module.Log().find("OnWindowMessage 0x00000201 point=(30,40)"), std::string::npos);

    // The bars it draws: one at 50 %, two at 16 %.
    DrawSurface surface(200, 100);
    RECTL bounds = surface.Bounds();
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, surface.Dc(), &bounds, nullptr, nullptr, 0),
              S_OK);
    const DWORD done = 0x30C050, track = 0x303030;
    EXPECT_EQ(surface.Pixel(50, 38), done);
    EXPECT_EQ(surface.Pixel(150, 38), track);
    EXPECT_EQ(surface.Pixel(30, 70), done);
    EXPECT_EQ(surface.Pixel(100, 70), track);
    view->Release();

    EXPECT_EQ(point_->Unadvise(cookie_), S_OK);
    point_->Release();
    CallSlot(movie_, 2);  // Release
    Unembed(object_);
    EXPECT_TRUE(InOrder(module.Log(), {"events Unadvise cookie", "SetSite null", "Close 1",
                                       "site OnInPlaceDeactivateEx", "SetClientSite null", "last Release",
                                       "teardown objects=0 locks=0 sinks=0 host-refs=0 violations=0"}))
        << module.Log();
    EXPECT_EQ(site.Refs(), 1);
    EXPECT_EQ(sink->Refs(), 1);
    sink->Release();
    EXPECT_TRUE(module.Unload());
}

// The scenario can make the movie windowed, with the client site first.
TEST_F(FlashDoubleTest, ActivatesWindowedWhenTheScenarioAsks) {
    DoubleModule module(L"flash_double.dll", L"flash_scenario.txt", "activate windowed\nmisc 0x20191\n");
    TestSite site(window_, rect_, true);
    Start(module, site);
    std::string calls;
    for (const std::string& c : site.calls) calls += c + "\n";
    EXPECT_TRUE(InOrder(calls, {"CanInPlaceActivate", "GetWindow", "OnInPlaceActivate\n", "GetWindowContext"}))
        << calls;
    EXPECT_EQ(calls.find("CanWindowlessActivate"), std::string::npos);
    EXPECT_NE(FindWindowExW(window_, nullptr, L"ComDoubleWindow", nullptr), nullptr);
    EXPECT_TRUE(InOrder(module.Log(), {"GetMiscStatus 1 -> 0x00020191", "SetClientSite site", "InitNew"}));
    CallSlot(movie_, 2);
    Unembed(object_);
    EXPECT_EQ(FindWindowExW(window_, nullptr, L"ComDoubleWindow", nullptr), nullptr);
    EXPECT_EQ(module.Count("objects"), 0);
    EXPECT_EQ(module.Count("violations"), 0);
}

// A host that breaks the rules of COM: each fault is logged and counted, and
// what it leaves held shows in the teardown counts.
TEST_F(FlashDoubleTest, HostFaultsAreReported) {
    struct Fault {
        const char* name;
        bool sloppySite;
        std::function<void()> act;  // ends with the object released or locked
        const char* logged;
        long objects, locks, violations;
    };
    auto release = [this]() {
        point_->Release();
        CallSlot(movie_, 2);
        Unembed(object_);
    };
    const Fault faults[] = {
        {"a movie path that is no BSTR", false,
         [&]() {
             struct {
                 UINT32 prefix;
                 wchar_t text[8];
             } fake = {2, L"abc.swf"};
             CallSlot(movie_, kPutMovie, static_cast<BSTR>(fake.text));
             point_->Unadvise(cookie_);
             release();
         },
         "violation: put_Movie: not a BSTR", 0, 0, 1},
        {"Unadvise with a cookie Advise never gave", false,
         [&]() {
             EXPECT_EQ(point_->Unadvise(cookie_ + 1), CONNECT_E_NOCONNECTION);
             point_->Unadvise(cookie_);
             release();
         },
         "violation: events Unadvise with cookie", 0, 0, 1},
        {"a call after Close", false,
         [&]() {
             point_->Unadvise(cookie_);
             point_->Release();
             object_->Close(OLECLOSE_NOSAVE);
             EXPECT_EQ(CallSlot(movie_, kPutPlaying, static_cast<VARIANT_BOOL>(VARIANT_TRUE)), E_UNEXPECTED);
             CallSlot(movie_, 2);
             Unembed(object_);
         },
         "violation: put_Playing after Close", 0, 0, 2},  // and the host's second Close
        {"released without Unadvise", false, [&]() { release(); },
         "still advised when released", 0, 0, 1},
        {"GetWindowContext leaves the rectangles unwritten", true,
         [&]() {
             point_->Unadvise(cookie_);
             release();
         },
         "violation: GetWindowContext succeeded but left a rectangle unwritten", 0, 0, 1},
        {"a running lock never released", false,
         [&]() {
             OleLockRunning(object_, TRUE, FALSE);
             point_->Unadvise(cookie_);
             release();
         },
         "LockRunning 1 0", 1, 1, 0},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.name);
        DoubleModule module(L"flash_double.dll", L"flash_scenario.txt", "");
        TestSite site(window_, rect_, true);
        site.leaveRectsUnwritten = fault.sloppySite;
        TestSink* sink = new TestSink();
        IOleObject* object = nullptr;
        Start(module, site);
        Advise(sink);
        object = object_;
        IRunnableObject* runnable = nullptr;
        object->QueryInterface(IID_IRunnableObject, reinterpret_cast<void**>(&runnable));
        runnable->Release();  // kept unreferenced, for the lock's release below
        fault.act();
        EXPECT_NE(module.Log().find(fault.logged), std::string::npos) << module.Log();
        EXPECT_EQ(module.Count("objects"), fault.objects);
        EXPECT_EQ(module.Count("locks"), fault.locks);
        EXPECT_EQ(module.Count("violations"), fault.violations);
        EXPECT_EQ(module.Count("sinks"), 0);
        EXPECT_EQ(module.Count("host-refs"), 0);
        if (fault.locks > 0) runnable->LockRunning(FALSE, FALSE);
        EXPECT_EQ(module.Count("objects"), 0);
        EXPECT_EQ(site.Refs(), 1);
        EXPECT_EQ(sink->Refs(), 1);
        sink->Release();
        EXPECT_TRUE(module.Unload());
    }
}

}  // namespace
}  // namespace doubles_test
