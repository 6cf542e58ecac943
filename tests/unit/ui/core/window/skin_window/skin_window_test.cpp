// The sample skin loaded into a skinned window, one way of finding the skin
// per process (the skin location is process-wide):
//   skin_window_test folder|zip|xml|zipres   the window's behaviour
//   skin_window_test failure                 skins that cannot be loaded
#include "tests/unit/ui/support/skinned_window_fixture.h"
#include "common/win.h"
#include "tests/support/desktop_input_lock.h"
#include "ui/controls/containers/container_ui.h"
#include "ui/core/control/control_ui.h"
#include "ui/core/render/font_info_ui.h"
#include "ui/core/manager/notify_message_ui.h"
#include "ui/core/window/window_impl_base.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

using namespace QuillUI;

namespace {

struct SkinSource {
    const wchar_t* mode;
    SkinResourceTypeUI type;
    const wchar_t* folder;
    const wchar_t* file;
    const wchar_t* zip;
    const wchar_t* resource;
};

// The zip-resource way names a folder that does not exist: everything must
// come from the zip.
const SkinSource kSources[] = {
    {L"folder", kSkinFolder, L"sample_skin", L"main.xml", L"", L""},
    {L"zip", kSkinZipFile, L"skin_zip", L"main.xml", L"sample.zip", L""},
    {L"xml", kSkinXmlResource, L"sample_skin", L"1001", L"", L""},
    {L"zipres", kSkinZipResource, L"no_such_folder", L"main.xml", L"", L"SAMPLESKIN"},
    {L"show", kSkinFolder, L"sample_skin", L"main.xml", L"", L""},
    {L"child-missing-layout", kSkinFolder, L"sample_skin", L"missing.xml", L"", L""},
    {L"child-missing-zipres", kSkinZipResource, L"no_such_folder", L"main.xml", L"", L"NOSUCHSKIN"},
};

const SkinSource* g_source = nullptr;

// Stands in for a control class by its class name until the framework's own
// tag makes it; the tag table is asked first, so the real class wins then.
class ClassControl : public CControlUI {
public:
    explicit ClassControl(const wchar_t* className) : className_(className) {}
    const wchar_t* GetClass() const override { return className_; }

private:
    const wchar_t* className_;
};

class KeyProbe : public CControlUI {
public:
    UINT GetControlFlags() const override { return ControlFlagTabStop; }
    void DoEvent(ControlEventUI& event) override {
        kinds.push_back(event.kind);
        CControlUI::DoEvent(event);
    }
    std::vector<int> kinds;
};

class SampleWindow : public WindowImplBase {
public:
    explicit SampleWindow(const SkinSource& source) : source_(source) {}

    const wchar_t* GetWindowClassName() const override { return L"QuillSampleSkinWindow"; }
    CWideString GetSkinFolder() override { return source_.folder; }
    CWideString GetSkinFile() override { return source_.file; }
    SkinResourceTypeUI GetResourceType() const override { return source_.type; }
    CWideString GetZipFileName() const override { return source_.zip; }
    CWideString GetResourceId() const override { return source_.resource; }

    CControlUI* CreateControl(const wchar_t* className) override {
        for (const wchar_t* known : {L"Button", L"Label", L"Text"}) {
            if (_wcsicmp(className, known) == 0) return new ClassControl(known);
        }
        return nullptr;
    }
    // Closing is recorded and the window kept, so one test sees several.
    LRESULT OnClose(UINT, WPARAM wParam, LPARAM, bool& handled) override {
        closeCodes.push_back(wParam);
        handled = true;
        return 0;
    }

    std::vector<WPARAM> closeCodes;

private:
    const SkinSource& source_;
};

class SkinnedWindow : public SkinnedWindowFixture<SampleWindow> {
protected:
    void SetUp() override { Open(new SampleWindow(*g_source), L"Sample"); }
    LRESULT HitTest(int x, int y) {
        POINT point = {x, y};
        ClientToScreen(hwnd_, &point);
        return SendMessageW(hwnd_, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
    }
    void Click(const wchar_t* name) { Manager().SendNotify(Find(name), L"click"); }
};

std::wstring Text(const CWideString& text) { return text.GetData(); }

TEST_F(SkinnedWindow, BuildsTheSampleTreeWithItsResources) {
    // Window attributes, and the frame without a caption.
    EXPECT_EQ(Manager().GetRoundCorner().cx, 8);
    EXPECT_EQ(Manager().GetCaptionRect().bottom, 40);
    EXPECT_EQ(Manager().GetSizeBox().left, 4);
    EXPECT_EQ(Manager().GetMinInfo().cx, 200);
    EXPECT_EQ(GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_CAPTION, 0);
    RECT windowRect, client;
    GetWindowRect(hwnd_, &windowRect);
    GetClientRect(hwnd_, &client);
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 300);
    EXPECT_EQ(windowRect.right - windowRect.left, 400);
    MINMAXINFO limits = {};
    SendMessageW(hwnd_, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(limits.ptMinTrackSize.x, 200);
    EXPECT_EQ(limits.ptMinTrackSize.y, 150);
    EXPECT_EQ(limits.ptMaxTrackSize.x, work.right - work.left);
    EXPECT_EQ(limits.ptMaxTrackSize.y, work.bottom - work.top);

    // Resources: images, fonts (id -1 and a font without id are skipped),
    // multi-language texts.
    EXPECT_NE(Manager().GetImage(L"bg.png"), nullptr);
    ASSERT_NE(Manager().GetImage(L"mark.png"), nullptr);
    FontInfoUI* bold = Manager().GetFontInfo(1);
    ASSERT_NE(bold, nullptr);
    EXPECT_TRUE(bold->bold);
    EXPECT_EQ(bold->size, 18);
    FontInfoUI* defaultFont = Manager().GetDefaultFontInfo();
    ASSERT_NE(defaultFont, nullptr);
    EXPECT_EQ(defaultFont->size, 14);
    EXPECT_EQ(Manager().GetFontInfo(-1), defaultFont);
    EXPECT_EQ(Manager().FindFont(L"Skipped Face", 30, false, false, false), nullptr);
    EXPECT_EQ(Manager().FindFont(L"No Id", 20, false, false, false), nullptr);
    ASSERT_NE(CWindowManagerUI::GetMultiLanguageString(7), nullptr);
    EXPECT_STREQ(CWindowManagerUI::GetMultiLanguageString(7), L"Sample skin");

    // Controls by name and class.
    CControlUI* root = Manager().GetRoot();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Text(root->GetName()), L"root");
    EXPECT_STREQ(Find(L"closebtn")->GetClass(), L"Button");
    EXPECT_STREQ(Find(L"note")->GetClass(), L"Text");
    EXPECT_STREQ(Find(L"title")->GetClass(), L"Label");
    EXPECT_FALSE(Find(L"restorebtn")->IsVisible());

    // The include built three rows into "rows"; the default list came first,
    // so the rows' own colour won and the default tooltip stayed.
    auto* rows = static_cast<IContainerUI*>(Find(L"rows")->GetInterface(L"IContainer"));
    ASSERT_NE(rows, nullptr);
    ASSERT_EQ(rows->GetCount(), 3);
    for (int i = 0; i < 3; ++i) {
        CControlUI* row = rows->GetItemAt(i);
        EXPECT_EQ(Text(row->GetName()), L"row");
        EXPECT_EQ(row->GetBkColor(), 0xFF2E8B57u);
        EXPECT_EQ(Text(row->GetToolTip()), L"from default");
    }

    // The cover is the body's cover and not one of its children.
    CControlUI* body = Find(L"body");
    auto* bodyItems = static_cast<IContainerUI*>(body->GetInterface(L"IContainer"));
    ASSERT_NE(bodyItems, nullptr);
    EXPECT_EQ(bodyItems->GetCount(), 1);
    ASSERT_NE(body->GetCover(), nullptr);
    EXPECT_EQ(Text(body->GetCover()->GetName()), L"bodycover");
    EXPECT_EQ(body->GetCover()->GetManager(), &Manager());
}

TEST_F(SkinnedWindow, LaysOutTheTree) {
    struct Expected {
        const wchar_t* name;
        RECT pos;
    };
    const Expected expected[] = {
        {L"root", {0, 0, 400, 300}},      {L"titlebar", {0, 0, 400, 40}}, {L"closebtn", {360, 8, 384, 32}},
        {L"body", {20, 60, 380, 280}},    {L"rows", {30, 70, 370, 270}},  {L"row", {50, 90, 350, 250}},
        {L"bodycover", {20, 60, 380, 280}},
    };
    for (const Expected& e : expected) {
        CControlUI* control = Find(e.name);
        ASSERT_NE(control, nullptr);
        const RECT& pos = control->GetPos();
        EXPECT_TRUE(EqualRect(&pos, &e.pos)) << std::string(e.name, e.name + wcslen(e.name)) << ": " << pos.left
                                              << "," << pos.top << "," << pos.right << "," << pos.bottom;
    }
}

TEST_F(SkinnedWindow, HitTestsTheFrameAndTheCaption) {
    struct Case {
        int x, y;
        LRESULT expected;
    };
    const Case cases[] = {
        {1, 1, HTTOPLEFT},        {200, 1, HTTOP},        {398, 2, HTTOPRIGHT},  {1, 150, HTLEFT},
        {398, 150, HTRIGHT},      {1, 298, HTBOTTOMLEFT}, {200, 298, HTBOTTOM},  {398, 298, HTBOTTOMRIGHT},
        {200, 20, HTCAPTION},     // the title bar itself
        {100, 20, HTCAPTION},     // a label drags the window
        {250, 20, HTCLIENT},      // a text does not
        {312, 20, HTCLIENT},      // nor a button
        {200, 150, HTCLIENT},     // below the caption
    };
    for (const Case& c : cases) EXPECT_EQ(HitTest(c.x, c.y), c.expected) << c.x << "," << c.y;

    // Maximised there are no sizing borders: the corner is caption.
    SendMessageW(hwnd_, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    Pump();
    ASSERT_TRUE(IsZoomed(hwnd_));
    EXPECT_EQ(HitTest(1, 1), HTCAPTION);
    EXPECT_EQ(HitTest(312, 20), HTCLIENT);
}

TEST_F(SkinnedWindow, RoundsTheCorners) {
    // roundcorner was set before size, so the first resize made a region.
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(hwnd_, region), ERROR);
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_TRUE(PtInRegion(region, 200, 150));
    EXPECT_TRUE(PtInRegion(region, 8, 0));
    // A later resize makes the region anew.
    SetWindowPos(hwnd_, nullptr, 0, 0, 500, 350, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_NE(GetWindowRgn(hwnd_, region), ERROR);
    EXPECT_FALSE(PtInRegion(region, 499, 349));
    EXPECT_TRUE(PtInRegion(region, 480, 340));
    DeleteObject(region);
}

TEST_F(SkinnedWindow, MaximiseAndRestoreButtonsSwap) {
    Click(L"maxbtn");
    Pump();
    ASSERT_TRUE(IsZoomed(hwnd_));
    RECT client;
    GetClientRect(hwnd_, &client);
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(client.right, work.right - work.left);
    EXPECT_EQ(client.bottom, work.bottom - work.top);
    EXPECT_FALSE(Find(L"maxbtn")->IsVisible());
    EXPECT_TRUE(Find(L"restorebtn")->IsVisible());

    Click(L"restorebtn");
    Pump();
    EXPECT_FALSE(IsZoomed(hwnd_));
    EXPECT_TRUE(Find(L"maxbtn")->IsVisible());
    EXPECT_FALSE(Find(L"restorebtn")->IsVisible());

    Click(L"minbtn");
    Pump();
    EXPECT_TRUE(IsIconic(hwnd_));
}

TEST_F(SkinnedWindow, CloseButtonAndEscapeCloseWithCodeOne) {
    Click(L"closebtn");
    Pump();
    ASSERT_EQ(window_->closeCodes.size(), 1u);
    EXPECT_EQ(window_->closeCodes[0], 1u);

    // Escape closes as well, and the focused control still gets the key.
    auto* probe = new KeyProbe;
    auto* root = static_cast<IContainerUI*>(Manager().GetRoot()->GetInterface(L"IContainer"));
    ASSERT_NE(root, nullptr);
    ASSERT_TRUE(root->Add(probe));
    DesktopInputLock desktop;
    SetForegroundWindow(hwnd_);
    ::SetFocus(hwnd_);
    Manager().SetFocus(probe);
    ASSERT_EQ(Manager().GetFocus(), probe);
    probe->kinds.clear();
    PostMessageW(hwnd_, WM_KEYDOWN, VK_ESCAPE, 1);
    Pump();
    ASSERT_EQ(window_->closeCodes.size(), 2u);
    EXPECT_EQ(window_->closeCodes[1], 1u);
    bool sawKeyDown = false;
    for (int kind : probe->kinds) sawKeyDown |= kind == EventKeyDown;
    EXPECT_TRUE(sawKeyDown);
}

// Runs this program as a child that cannot load its skin; the failure box
// is found, read and dismissed, and the child ends with code 1.
struct BoxSearch {
    DWORD processId;
    HWND box;
};

BOOL CALLBACK FindChildFailureBox(HWND window, LPARAM data) {
    auto* s = reinterpret_cast<BoxSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[16] = L"", caption[16] = L"";
    GetClassNameW(window, className, 16);
    GetWindowTextW(window, caption, 16);
    if (owner != s->processId || wcscmp(className, L"#32770") != 0 ||
        wcscmp(caption, WindowImplBase::kLoadFailedCaption) != 0)
        return TRUE;
    s->box = window;
    return FALSE;
}

void ExpectFailureBox(const wchar_t* childMode) {
    // A box on the shared desktop, where other tests' box watchers look too.
    DesktopInputLock desktop;
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = std::wstring(L"\"") + self + L"\" " + childMode;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    // The child's own box: other programs in this prefix may show boxes too.
    BoxSearch search = {process.dwProcessId, nullptr};
    const WNDENUMPROC findBox = FindChildFailureBox;
    for (const DWORD start = GetTickCount(); search.box == nullptr && GetTickCount() - start < 30000;) {
        EnumWindows(findBox, reinterpret_cast<LPARAM>(&search));
        if (search.box == nullptr && WaitForSingleObject(process.hProcess, 10) == WAIT_OBJECT_0) break;
    }
    HWND box = search.box;
    EXPECT_NE(box, nullptr) << "no failure box";
    if (box != nullptr) {
        wchar_t text[100] = L"";
        GetDlgItemTextW(box, 0xFFFF, text, 100);
        EXPECT_STREQ(text, WindowImplBase::kLoadFailedText);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    EXPECT_EQ(code, 1u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

TEST(SkinFailure, MissingLayoutShowsTheBoxAndExitsWithOne) { ExpectFailureBox(L"child-missing-layout"); }

TEST(SkinFailure, MissingZipResourceShowsTheBoxAndExitsWithOne) { ExpectFailureBox(L"child-missing-zipres"); }

// A window that cannot load its skin never comes back from creation.
int RunFailingChild(const SkinSource& source) {
    SampleWindow window(source);
    window.Create(nullptr, L"Sample", WS_OVERLAPPEDWINDOW, 0, 0, 0, 400, 300);
    return 3;
}

// Shows the sample window until it is closed or the time is up, for a
// picture of it.
int ShowSample(const SkinSource& source, DWORD milliseconds) {
    SampleWindow window(source);
    return ShowForPicture(window, L"Sample", 400, 300, milliseconds);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    const wchar_t* mode = argc > 1 ? argv[1] : L"folder";
    for (const SkinSource& source : kSources) {
        if (wcscmp(source.mode, mode) == 0) g_source = &source;
    }
    if (wcsncmp(mode, L"child-", 6) == 0 && g_source != nullptr) return RunFailingChild(*g_source);
    if (wcscmp(mode, L"show") == 0) return ShowSample(*g_source, argc > 2 ? wcstoul(argv[2], nullptr, 10) : 5000);

    int gtestArgc = 1;
    char program[] = "skin_window_test";
    char* gtestArgv[] = {program, nullptr};
    ::testing::InitGoogleTest(&gtestArgc, gtestArgv);
    if (wcscmp(mode, L"failure") == 0) {
        ::testing::GTEST_FLAG(filter) = "SkinFailure.*";
    } else if (g_source != nullptr) {
        ::testing::GTEST_FLAG(filter) = "SkinnedWindow.*";
    } else {
        fprintf(stderr, "unknown mode\n");
        return 2;
    }
    return RUN_ALL_TESTS();
}
