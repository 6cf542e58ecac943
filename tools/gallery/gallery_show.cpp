// Shows the gallery for pictures, at 40,40 on the screen:
//   gallery_show [MILLISECONDS]  the gallery as it opens, until closed or
//                                the time is up (5 s by default)
//   gallery_show scenes          each scene in turn (opened, unfolded,
//                                typing); with one on the screen
//                                the program writes "SCENE.ready" in its
//                                current folder and goes on to the next once
//                                "SCENE.taken" appears there
#include "tools/gallery/gallery_window.h"

#include "common/file_util.h"
#include "common/win.h"
#include "tests/unit/ui/support/skinned_window_fixture.h"
#include "ui/controls/buttons/check_box_ui.h"
#include "ui/controls/tree/tree_node_ui.h"
#include "ui/core/control/control_ui.h"

#include <cstdio>
#include <cwchar>
#include <string>

using namespace QuillUI;

namespace {

const int kWidth = 1180;
const int kHeight = 820;

HWND Open(GalleryWindow& window) {
    HWND hwnd = window.Create(nullptr, L"Gallery", WS_OVERLAPPEDWINDOW, 0, 0, 0, kWidth, kHeight);
    if (hwnd == nullptr) return nullptr;
    SetWindowPos(hwnd, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ::ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    UpdateWindow(hwnd);
    return hwnd;
}

POINT Centre(CControlUI* control) {
    const RECT& pos = control->GetPos();
    return POINT{(pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2};
}

void ClickAt(HWND hwnd, POINT point) {
    POINT screen = point;
    ClientToScreen(hwnd, &screen);
    SetCursorPos(screen.x, screen.y);
    const LPARAM at = MAKELPARAM(point.x, point.y);
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, at);
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(hwnd, WM_LBUTTONUP, 0, at);
    Pump(100);
}

// Unfolds the tree's folded node and opens the combo box's list, as clicks do.
bool UnfoldAndDropDown(GalleryWindow& window, HWND hwnd) {
    auto* america = static_cast<CTreeNodeUI*>(window.GetManager().FindControl(L"america"));
    CControlUI* combo = window.GetManager().FindControl(L"combo");
    if (america == nullptr || combo == nullptr) return false;
    ClickAt(hwnd, Centre(america->GetFolderButton()));
    if (america->GetFolderButton()->IsSelected()) return false;
    ClickAt(hwnd, Centre(combo));
    return FindWindowW(L"ComboWnd", nullptr) != nullptr;
}

// Turns to the last tab page, clicks the edit, which opens its native edit
// window, and types into it.
bool TypeIntoEdit(GalleryWindow& window, HWND hwnd) {
    CControlUI* edit = window.GetManager().FindControl(L"edit");
    CControlUI* lastTab = window.GetManager().FindControl(L"tab2");
    if (edit == nullptr || lastTab == nullptr) return false;
    ClickAt(hwnd, Centre(lastTab));
    ClickAt(hwnd, Centre(edit));
    HWND native = edit->GetNativeWindow();
    if (native == nullptr) return false;
    SendMessageW(native, EM_SETSEL, 0, -1);
    for (const wchar_t* c = L"Typed into the edit, key by key"; *c != L'\0'; ++c) {
        PostMessageW(native, WM_CHAR, *c, 1);
        Pump(15);
    }
    return true;
}

// Tells that SCENE is on the screen and waits, a minute at most, until its
// picture is taken.
bool Hold(const wchar_t* scene) {
    Pump(1500);
    const std::wstring ready = std::wstring(scene) + L".ready";
    const std::wstring taken = std::wstring(scene) + L".taken";
    DeleteFileW(taken.c_str());
    if (!WriteFileAtomically(ready, "", 0)) return false;
    for (int waited = 0; waited < 60000 && !FileExists(taken); waited += 50) Pump(50);
    return FileExists(taken);
}

struct Scene {
    const wchar_t* name;
    bool (*setUp)(GalleryWindow& window, HWND hwnd);
    const wchar_t* failure;
};

const Scene kScenes[] = {
    {L"opened", nullptr, nullptr},
    {L"unfolded", &UnfoldAndDropDown, L"the tree did not unfold or the combo box's list did not open"},
    {L"typing", &TypeIntoEdit, L"the edit opened no window to type into"},
};

int ShowScenes() {
    GalleryWindow window;
    HWND hwnd = Open(window);
    if (hwnd == nullptr) return 2;
    int result = 0;
    for (const Scene& scene : kScenes) {
        if (scene.setUp != nullptr && !scene.setUp(window, hwnd)) {
            fwprintf(stderr, L"%ls\n", scene.failure);
            result = 4;
            break;
        }
        if (!Hold(scene.name)) {
            result = 3;
            break;
        }
    }
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
    return result;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    if (argc > 1 && wcscmp(argv[1], L"scenes") == 0) return ShowScenes();
    GalleryWindow window;
    return ShowForPicture(window, L"Gallery", kWidth, kHeight, argc > 1 ? wcstoul(argv[1], nullptr, 10) : 5000);
}
