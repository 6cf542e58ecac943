// The ActiveX host with the platform's real browser and with the Flash and
// browser doubles: creation, the protocol order, windowless input and
// painting, the site's answers and the release.
#include "tests/unit/ui/core/hosts/host_test_support.h"
#include "tests/support/desktop_input_lock.h"
#include "ui/core/hosts/active_x_ctrl.h"
#include "ui/core/hosts/active_x_ui.h"
#include "ui/core/manager/notify_message_ui.h"

#include <gtest/gtest.h>

using namespace QuillUI;
using namespace hosts_test;

namespace {

const wchar_t kBrowserClsid[] = L"{8856F961-340A-11D0-A96B-00C04FD705A2}";
const wchar_t kFlashClsid[] = L"{D27CDB6E-AE6D-11CF-96B8-444553540000}";
const char kClean[] = "teardown objects=0 locks=0 sinks=0 host-refs=0 violations=0";
const RECT kRect = {20, 30, 220, 130};

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

RECT RectIn(HWND child, HWND parent) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// A control of the Flash double's module; windowless unless the scenario says otherwise.
CActiveXUI* FlashDoubleControl(const DoubleFolder& folder) {
    auto* control = new CActiveXUI();
    control->SetAttribute(L"modulename", folder.Dll().c_str());
    control->SetAttribute(L"clsid", kFlashClsid);
    return control;
}

template <class T>
T* SiteOf(CActiveXUI* control, REFIID iid) {
    IOleObject* object = nullptr;
    if (FAILED(control->GetControl(IID_IOleObject, reinterpret_cast<void**>(&object)))) return nullptr;
    IOleClientSite* site = nullptr;
    object->GetClientSite(&site);
    object->Release();
    if (site == nullptr) return nullptr;
    T* face = nullptr;
    site->QueryInterface(iid, reinterpret_cast<void**>(&face));
    site->Release();
    return face;
}

}  // namespace

TEST(ActiveXHost, RealBrowserLivesInAChildWindowThatFollowsTheControl) {
    HostWindow host;
    auto* control = new CActiveXUI();
    control->SetAttribute(L"clsid", kBrowserClsid);
    host.Manager().AttachDialog(control);
    // Delayed by default: nothing before the first layout.
    void* unknown = reinterpret_cast<void*>(1);
    EXPECT_EQ(control->GetControl(IID_IUnknown, &unknown), E_PENDING);
    EXPECT_EQ(unknown, nullptr);
    EXPECT_EQ(control->GetControl(IID_IUnknown, nullptr), E_POINTER);
    EXPECT_EQ(control->GetNativeWindow(), nullptr);

    control->SetPos(kRect);
    HWND child = control->GetNativeWindow();
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(ClassOf(child), L"ActiveXWnd");
    wchar_t title[32] = L"";
    GetWindowTextW(child, title, 32);
    EXPECT_STREQ(title, L"UIActiveX");
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE)) & ~WS_VISIBLE, 0x56000000u & ~WS_VISIBLE);
    EXPECT_EQ(GetParent(child), host.GetHWND());
    EXPECT_NE(GetWindow(child, GW_CHILD), nullptr);  // the browser's own window
    RECT placed = RectIn(child, host.GetHWND());
    EXPECT_TRUE(EqualRect(&placed, &kRect));

    const RECT moved = {40, 60, 300, 200};
    control->SetPos(moved);
    placed = RectIn(child, host.GetHWND());
    EXPECT_TRUE(EqualRect(&placed, &moved));
    control->SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(child));

    host.DeleteTree();
    EXPECT_FALSE(IsWindow(child));
}

TEST(ActiveXHost, ClassesThatCannotBeMadeCreateNothingAndAreNotRetried) {
    struct Case {
        const wchar_t* clsid;
        bool accepted;
    };
    const Case cases[] = {
        {kFlashClsid, true},  // not registered here
        {L"{zz}", false},
        {L"No.Such", false},
        {L"{00000000-0000-0000-0000-000000000000}", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.clsid);
        HostWindow host;
        auto* control = new CActiveXUI();
        host.Manager().AttachDialog(control);
        EXPECT_EQ(control->CreateControl(c.clsid), c.accepted);
        control->SetPos(kRect);
        control->SetPos(kRect);
        void* object = nullptr;
        EXPECT_EQ(control->GetControl(IID_IUnknown, &object), E_PENDING);
        EXPECT_EQ(control->GetNativeWindow(), nullptr);
        EXPECT_EQ(FindWindowExW(host.GetHWND(), nullptr, L"ActiveXWnd", nullptr), nullptr);
    }

    // A module that has no such class is asked once, however often the layout runs.
    DoubleFolder folder(L"flash_double.dll", L"flash_scenario.txt", "");
    HostWindow host;
    auto* control = new CActiveXUI();
    control->SetAttribute(L"modulename", folder.Dll().c_str());
    control->SetAttribute(L"clsid", L"{11111111-2222-3333-4444-555555555555}");
    host.Attach(control, kRect);
    control->SetPos(kRect);
    control->Move(5, 5);
    EXPECT_EQ(Occurrences(folder.Log(), "DllGetClassObject"), 1) << folder.Log();
    EXPECT_EQ(control->GetNativeWindow(), nullptr);
}

TEST(ActiveXHost, DelayCreateDecidesWhenTheObjectIsMade) {
    DoubleFolder folder(L"flash_double.dll", L"flash_scenario.txt", "");
    {
        // "false" after "clsid" creates at once.
        HostWindow host;
        CActiveXUI* control = FlashDoubleControl(folder);
        host.Manager().AttachDialog(control);
        EXPECT_FALSE(control->IsCreated());
        control->SetAttribute(L"delaycreate", L"false");
        IUnknown* object = nullptr;
        EXPECT_EQ(control->GetControl(IID_IUnknown, reinterpret_cast<void**>(&object)), S_OK);
        if (object != nullptr) object->Release();
    }
    {
        // Without a manager nothing can be activated: the attempt waits for
        // the first layout under one.
        HostWindow host;
        CActiveXUI* control = FlashDoubleControl(folder);
        control->SetAttribute(L"delaycreate", L"false");
        EXPECT_FALSE(control->IsCreated());
        host.Attach(control, kRect);
        EXPECT_TRUE(control->IsCreated());
        IUnknown* object = nullptr;
        EXPECT_EQ(control->GetControl(IID_IUnknown, reinterpret_cast<void**>(&object)), S_OK);
        if (object != nullptr) object->Release();
    }
    EXPECT_EQ(folder.Count("objects"), 0);
    EXPECT_EQ(folder.Count("locks"), 0);
}

namespace {

// Reaches the new object from "showactivex", and notes how far the double's
// log had come by then.
class ShowNotifier : public INotifyUI {
public:
    explicit ShowNotifier(const DoubleFolder& folder) : folder_(folder) {}
    void Notify(NotifyMessageUI& message) override {
        if (message.type != L"showactivex") return;
        ++heard;
        auto* control = static_cast<CActiveXUI*>(message.sender);
        IOleObject* object = nullptr;
        reached = control->GetControl(IID_IOleObject, reinterpret_cast<void**>(&object));
        if (object != nullptr) object->Release();
        logThen = folder_.Log();
    }
    int heard = 0;
    HRESULT reached = E_FAIL;
    std::string logThen;

private:
    const DoubleFolder& folder_;
};

}  // namespace

TEST(ActiveXHost, CreationFollowsTheObjectsMiscStatusAndReleaseUndoesIt) {
    struct Case {
        const char* name;
        const wchar_t* dll;
        const wchar_t* scenarioName;
        const char* scenario;
        std::vector<std::string> creation;
        bool verb;
        std::vector<std::string> release;
    };
    const Case cases[] = {
        {"windowless movie, site after InitNew",
         L"flash_double.dll",
         L"flash_scenario.txt",
         "",
         {"GetMiscStatus 1 -> 0x00000191", "InitNew", "SetClientSite site", "SetHostNames \"UIActiveX\" (null)",
          "DoVerb -5 site=yes parent=yes rect=(20,30,220,130)", "LockRunning 1 0",
          "OnInPlaceActivateEx windowless -> 0x00000000",
          "GetWindowContext -> 0x00000000 position=(20,30,220,130) clip=(20,30,220,130)", "SetSite site",
          "SetExtent 1 5292x2646"},
         true,
         {"SetSite null", "Close 1", "LockRunning 0 0", "SetClientSite null", "last Release"}},
        {"invisible at run time: no verb",
         L"flash_double.dll",
         L"flash_scenario.txt",
         "misc 0x591\n",
         {"InitNew", "SetClientSite site", "SetHostNames", "SetSite site"},
         false,
         {"SetSite null", "Close 1", "SetClientSite null", "last Release"}},
        {"windowed browser, site before InitNew",
         L"browser_double.dll",
         L"browser_scenario.txt",
         "",
         {"GetMiscStatus 1 -> 0x00020191", "SetClientSite site", "InitNew", "SetHostNames \"UIActiveX\" (null)",
          "DoVerb -5", "LockRunning 1 0", "SetObjectRects (0,0,200,100)", "site OnInPlaceActivate -> 0x00000000",
          "window created", "site ShowObject -> 0x00000000", "SetExtent 1 5292x2646",
          "SetObjectRects (0,0,200,100)"},
         true,
         {"Close 1", "LockRunning 0 0", "SetClientSite null", "last Release"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DoubleFolder folder(c.dll, c.scenarioName, c.scenario);
        ShowNotifier notifier(folder);
        {
            HostWindow host;
            host.Manager().AddNotifier(&notifier);
            auto* control = new CActiveXUI();
            control->SetAttribute(L"modulename", folder.Dll().c_str());
            control->SetAttribute(L"clsid", c.dll == std::wstring(L"flash_double.dll") ? kFlashClsid : kBrowserClsid);
            host.Attach(control, kRect);
            EXPECT_TRUE(InOrder(folder.Log(), c.creation)) << folder.Log();
            EXPECT_EQ(Occurrences(folder.Log(), "DoVerb"), c.verb ? 2 : 0);  // the call and its result
            // The notification comes once, before the verb, with the object reachable.
            EXPECT_EQ(notifier.heard, 1);
            EXPECT_EQ(notifier.reached, S_OK);
            EXPECT_NE(notifier.logThen.find("SetHostNames"), std::string::npos);
            EXPECT_EQ(notifier.logThen.find("DoVerb"), std::string::npos);
            host.Manager().RemoveNotifier(&notifier);
            const size_t created = folder.Log().size();
            host.DeleteTree();
            EXPECT_TRUE(InOrder(folder.Log().substr(created), c.release)) << folder.Log();
        }
        EXPECT_NE(folder.Log().find(kClean), std::string::npos) << folder.Log();
        for (const char* count : {"objects", "locks", "sinks", "host-refs", "violations"})
            EXPECT_EQ(folder.Count(count), 0) << count;
    }
}

TEST(ActiveXHost, ANewClassIdReleasesTheOldObjectFirst) {
    DoubleFolder folder(L"flash_double.dll", L"flash_scenario.txt", "");
    HostWindow host;
    CActiveXUI* control = FlashDoubleControl(folder);
    host.Attach(control, kRect);
    const long objects = folder.Count("objects");
    EXPECT_GT(objects, 0);
    control->SetDelayCreate(false);
    EXPECT_TRUE(control->CreateControl(kFlashClsid));
    EXPECT_EQ(Occurrences(folder.Log(), "last Release"), 1) << folder.Log();
    EXPECT_EQ(Occurrences(folder.Log(), "flash created"), 2);
    EXPECT_EQ(folder.Count("objects"), objects);
    EXPECT_EQ(folder.Count("locks"), 1);
    host.DeleteTree();
    EXPECT_EQ(folder.Count("objects"), 0);
    EXPECT_EQ(folder.Count("locks"), 0);
}

TEST(ActiveXHost, WindowlessObjectPaintsIntoTheControlRectangle) {
    DoubleFolder folder(L"flash_double.dll", L"flash_scenario.txt", "");
    HostWindow host;
    CActiveXUI* control = FlashDoubleControl(folder);
    host.Attach(control, kRect);
    EXPECT_EQ(control->GetNativeWindow(), host.GetHWND());

    DrawSurface dib(400, 300);
    const RECT all = {0, 0, 400, 300};
    EXPECT_TRUE(control->DoPaint(dib.Dc(), all, nullptr));
    auto pixel = [&](int x, int y) { return dib.Pixel(x, y); };
    const DWORD back = 0x101828;
    EXPECT_EQ(pixel(20, 30), back);
    EXPECT_EQ(pixel(219, 129), back);
    EXPECT_EQ(pixel(19, 30), 0xFFFFFFu);
    EXPECT_EQ(pixel(20, 29), 0xFFFFFFu);
    EXPECT_EQ(pixel(220, 129), 0xFFFFFFu);
    EXPECT_EQ(pixel(219, 130), 0xFFFFFFu);
}

TEST(ActiveXHost, WindowlessObjectTakesInputOnlyWhereAndWhenItShould) {
    DoubleFolder folder(L"flash_double.dll", L"flash_scenario.txt", "");
    HostWindow host;
    CActiveXUI* control = FlashDoubleControl(folder);
    host.Attach(control, kRect);
    IOleInPlaceSiteWindowless* site = SiteOf<IOleInPlaceSiteWindowless>(control, IID_IOleInPlaceSiteWindowless);
    ASSERT_NE(site, nullptr);

    // The double hits in the upper half of the control: y 30 to 79.
    struct Step {
        const char* name;
        std::function<void()> before;
        UINT message;
        LPARAM lParam;
        bool offered, handled;
    };
    const Step steps[] = {
        {"move inside the hit area", nullptr, WM_MOUSEMOVE, MAKELPARAM(100, 40), true, true},
        {"move outside it", nullptr, WM_MOUSEMOVE, MAKELPARAM(100, 100), false, false},
        {"key while not focused", nullptr, WM_KEYDOWN, 0, false, false},
        {"click inside focuses", nullptr, WM_LBUTTONDOWN, MAKELPARAM(100, 40), true, true},
        {"key while focused", nullptr, WM_KEYDOWN, 0, true, true},
        {"context menu is passed on", nullptr, WM_CONTEXTMENU, 0, true, false},
        {"other messages stay", nullptr, WM_SIZE, 0, false, false},
        {"captured: outside too", [&] { site->SetCapture(TRUE); }, WM_MOUSEMOVE, MAKELPARAM(100, 100), true, true},
        {"mouse disabled", [&] { site->SetCapture(FALSE); control->SetMouseEnabled(false); }, WM_LBUTTONUP,
         MAKELPARAM(100, 40), false, false},
        {"disabled", [&] { control->SetMouseEnabled(true); control->SetEnabled(false); }, WM_LBUTTONDOWN,
         MAKELPARAM(100, 40), false, false},
        {"hidden", [&] { control->SetEnabled(true); control->SetVisible(false); }, WM_LBUTTONDOWN,
         MAKELPARAM(100, 40), false, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        if (step.before) step.before();
        const int offered = Occurrences(folder.Log(), "OnWindowMessage");
        bool handled = false;
        control->MessageHandler(step.message, 0, step.lParam, handled);
        EXPECT_EQ(Occurrences(folder.Log(), "OnWindowMessage") - offered, step.offered ? 1 : 0);
        EXPECT_EQ(handled, step.handled);
    }
    control->SetVisible(true);

    // The cursor and the wheel are hit-tested where the cursor is, in client coordinates.
    DesktopInputLock desktop;
    ASSERT_TRUE(SetCursorPos(100 + 110, 100 + 45));
    bool handled = false;
    control->MessageHandler(WM_SETCURSOR, reinterpret_cast<WPARAM>(host.GetHWND()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE),
                            handled);
    EXPECT_FALSE(handled);
    control->MessageHandler(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(100 + 120, 100 + 50), handled);
    EXPECT_TRUE(handled);
    EXPECT_TRUE(InOrder(folder.Log(), {"QueryHitPoint (110,45)", "OnWindowMessage 0x00000020",
                                       "QueryHitPoint (120,50)", "OnWindowMessage 0x0000020A"}))
        << folder.Log();

    // Messages reach the object through the manager's filter list too.
    const int offered = Occurrences(folder.Log(), "OnWindowMessage");
    SendMessageW(host.GetHWND(), WM_MOUSEMOVE, 0, MAKELPARAM(100, 40));
    EXPECT_EQ(Occurrences(folder.Log(), "OnWindowMessage"), offered + 1);
    site->Release();
}

TEST(ActiveXHost, SiteAnswersWriteTheirOutParameters) {
    DoubleFolder folder(L"flash_double.dll", L"flash_scenario.txt", "");
    HostWindow host;
    CActiveXUI* control = FlashDoubleControl(folder);
    host.Attach(control, kRect);
    IOleInPlaceSiteWindowless* site = SiteOf<IOleInPlaceSiteWindowless>(control, IID_IOleInPlaceSiteWindowless);
    ASSERT_NE(site, nullptr);
    EXPECT_EQ(folder.Count("violations"), 0) << folder.Log();  // the double checks GetWindowContext's rectangles

    HDC sentinel = reinterpret_cast<HDC>(static_cast<INT_PTR>(0x5EED));
    HDC dc = sentinel;
    EXPECT_EQ(site->GetDC(nullptr, 0, &dc), S_FALSE);
    EXPECT_EQ(dc, nullptr);

    OLEINPLACEFRAMEINFO frameInfo[2] = {};
    IOleInPlaceFrame* keptFrame = nullptr;
    for (OLEINPLACEFRAMEINFO& info : frameInfo) {
        IOleInPlaceFrame* frame = nullptr;
        IOleInPlaceUIWindow* document = reinterpret_cast<IOleInPlaceUIWindow*>(1);
        RECT position = {-7, -7, -7, -7}, clip = position;
        ASSERT_EQ(site->GetWindowContext(&frame, &document, &position, &clip, &info), S_OK);
        EXPECT_TRUE(EqualRect(&position, &kRect));
        EXPECT_TRUE(EqualRect(&clip, &kRect));
        EXPECT_EQ(document, nullptr);
        ASSERT_NE(frame, nullptr);
        HWND frameWindow = nullptr;
        EXPECT_EQ(frame->GetWindow(&frameWindow), S_OK);
        EXPECT_EQ(frameWindow, host.GetHWND());
        EXPECT_EQ(frame->RequestBorderSpace(nullptr), INPLACE_E_NOTOOLSPACE);
        if (keptFrame == nullptr)
            keptFrame = frame;
        else
            frame->Release();
        EXPECT_EQ(info.cb, sizeof(OLEINPLACEFRAMEINFO));
        EXPECT_EQ(info.hwndFrame, host.GetHWND());
        EXPECT_FALSE(info.fMDIApp);
    }
    // One table for the site, not one per call.
    EXPECT_NE(frameInfo[0].haccel, nullptr);
    EXPECT_EQ(frameInfo[0].haccel, frameInfo[1].haccel);

    // The container hands out its one object once per pass.
    IOleContainer* container = nullptr;
    ASSERT_EQ(site->QueryInterface(IID_IOleContainer, reinterpret_cast<void**>(&container)), S_OK);
    IEnumUnknown* items = nullptr;
    ASSERT_EQ(container->EnumObjects(OLECONTF_EMBEDDINGS, &items), S_OK);
    IUnknown* marker = reinterpret_cast<IUnknown*>(static_cast<INT_PTR>(0x5EED));
    IUnknown* got[2] = {marker, marker};
    ULONG fetched = 9;
    EXPECT_EQ(items->Next(0, got, &fetched), S_OK);
    EXPECT_EQ(fetched, 0u);
    EXPECT_EQ(got[0], marker);
    EXPECT_EQ(items->Next(1, nullptr, &fetched), E_POINTER);
    EXPECT_EQ(items->Next(1, got, &fetched), S_OK);
    EXPECT_EQ(fetched, 1u);
    ASSERT_NE(got[0], marker);
    got[0]->Release();
    got[0] = marker;
    EXPECT_EQ(items->Next(1, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    EXPECT_EQ(got[0], marker);
    EXPECT_EQ(items->Reset(), S_OK);
    EXPECT_EQ(items->Next(2, got, &fetched), S_FALSE);  // fewer than asked
    EXPECT_EQ(fetched, 1u);
    EXPECT_EQ(got[1], marker);
    got[0]->Release();
    items->Release();

    // COM identity: every face of the site answers IUnknown with one pointer.
    IUnknown* fromSite = nullptr;
    IUnknown* fromContainer = nullptr;
    site->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromSite));
    container->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromContainer));
    EXPECT_EQ(fromSite, fromContainer);
    fromSite->Release();
    fromContainer->Release();
    container->Release();

    // Once the control has let go, the site kept by someone else refuses politely.
    host.DeleteTree();
    HWND window = reinterpret_cast<HWND>(1);
    EXPECT_EQ(site->GetWindow(&window), E_UNEXPECTED);
    EXPECT_EQ(window, nullptr);
    IOleClientSite* client = nullptr;
    ASSERT_EQ(site->QueryInterface(IID_IOleClientSite, reinterpret_cast<void**>(&client)), S_OK);
    EXPECT_EQ(client->ShowObject(), E_UNEXPECTED);
    client->Release();
    EXPECT_EQ(site->Release(), 0u);
    // A frame an object kept outlives the control harmlessly.
    HWND frameWindow = nullptr;
    EXPECT_EQ(keptFrame->GetWindow(&frameWindow), S_OK);
    EXPECT_EQ(frameWindow, host.GetHWND());
    EXPECT_EQ(keptFrame->Release(), 0u);
    EXPECT_EQ(folder.Count("objects"), 0);
}

TEST(ActiveXHost, WindowedObjectPrintsItselfAndALayeredWindowShowsItsCaret) {
    DoubleFolder folder(L"flash_double.dll", L"flash_scenario.txt", "activate windowed\n");
    HostWindow host(true);
    host.Manager().SetLayered(true);
    CActiveXUI* control = FlashDoubleControl(folder);
    host.Attach(control, kRect);
    HWND child = control->GetNativeWindow();
    ASSERT_NE(child, nullptr);
    ASSERT_NE(child, host.GetHWND());
    SetFocus(child);
    ASSERT_TRUE(CreateCaret(child, nullptr, 1, 10));
    ASSERT_TRUE(SetCaretPos(5, 5));

    DrawSurface dib(200, 100);
    auto pixel = [&](int x, int y) { return dib.Pixel(x, y); };
    auto print = [&] {
        dib.Clear();
        EXPECT_EQ(SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dib.Dc()), PRF_CLIENT), 1);
    };
    print();
    EXPECT_EQ(pixel(5, 8), 0x101828u);
    EXPECT_EQ(pixel(199, 99), 0x101828u);

    // The caret blinks every half second, drawn by the host. The caret it
    // draws is the foreground thread's, and a window of a test running beside
    // this one may take the foreground: it is put back, and a look during
    // which it was elsewhere does not count.
    bool drawn = false, hidden = false;
    PumpUntil([&] {
        if (GetForegroundWindow() != host.GetHWND()) {
            SetForegroundWindow(host.GetHWND());
            SetFocus(child);
            return false;
        }
        print();
        if (GetForegroundWindow() == host.GetHWND()) (pixel(5, 8) == 0 ? drawn : hidden) = true;
        return drawn && hidden;
    });
    EXPECT_TRUE(drawn);
    EXPECT_TRUE(hidden);
    EXPECT_EQ(pixel(6, 8), 0x101828u);
    DestroyCaret();
}

// On a thread that already runs COM multithreaded the control's own
// initialisation fails, and its end must leave the thread's COM alone.
DWORD WINAPI RunControlOnAMultithreadedThread(void* out) {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    delete new CActiveXUI();
    *static_cast<HRESULT*>(out) = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    CoUninitialize();
    CoUninitialize();
    return 0;
}

TEST(ActiveXHost, ControlLeavesAThreadsOtherCOMModeAlone) {
    HRESULT again = E_FAIL;
    HANDLE thread = CreateThread(nullptr, 0, &RunControlOnAMultithreadedThread, &again, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    EXPECT_EQ(again, S_FALSE);  // still initialised by the thread itself
}

// An object without a view object is shown and printed without drawing.
TEST(ActiveXHost, WithoutAViewObjectNothingIsDrawn) {
    HostWindow host;
    auto* control = new CActiveXUI();
    host.Attach(control, kRect);  // no class id: no object
    CActiveXCtrl* site = new CActiveXCtrl(control);
    EXPECT_EQ(site->ShowObject(), E_FAIL);  // no host window yet
    ASSERT_EQ(site->CreateActiveXWnd(), S_OK);
    HWND child = control->GetNativeWindow();
    ASSERT_NE(child, nullptr);
    DrawSurface dib(200, 100);
    EXPECT_EQ(SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dib.Dc()), PRF_CLIENT), 1);
    EXPECT_EQ(dib.Pixel(5, 5), 0xFFFFFFu);
    EXPECT_EQ(site->ShowObject(), S_OK);
    EXPECT_EQ(site->Release(), 0u);
    EXPECT_FALSE(IsWindow(child));
}
