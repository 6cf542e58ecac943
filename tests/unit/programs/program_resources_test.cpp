// The resources that the programs' windows load from their own module,
// checked in the built executables (the tests' own windows are made with the
// test executable's module, which has none of them).
#include "common/about_dialog.h"
#include "engine/engine_window.h"
#include "tests/support/desktop_input_lock.h"
#include "tests/unit/common/test_paths.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

// The ids both programs use (engine/resource.h, copier/resource.h).
constexpr UINT kTitleString = 103;
constexpr UINT kAboutDialog = 103;
constexpr UINT kAboutCommand = 104;
constexpr UINT kExitCommand = 105;
constexpr UINT kLargeIcon = 107;
constexpr UINT kSmallIcon = 108;
constexpr UINT kClassName = 109;  // string, menu and accelerators
constexpr UINT kProcessManifest = 1;

struct Program {
    const wchar_t* file;
    const wchar_t* title;
    const wchar_t* className;
    const wchar_t* aboutCaption;
    bool accelerators;
};

const Program kPrograms[] = {
    {L"Tidemill.exe", L"Tidemill", L"TIDEMILL", L"About Tidemill", false},
    {L"Ferrier.exe", L"Ferrier", L"FERRIER", L"About Ferrier", true},
};

class ProgramModule {
public:
    explicit ProgramModule(const wchar_t* file)
        : module_(LoadLibraryExW((TestExeFolder() + file).c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
    ~ProgramModule() {
        if (module_ != nullptr) FreeLibrary(module_);
    }
    ProgramModule(const ProgramModule&) = delete;
    ProgramModule& operator=(const ProgramModule&) = delete;
    HMODULE Get() const { return module_; }

private:
    HMODULE module_;
};

std::wstring LoadText(HMODULE module, UINT id) {
    wchar_t buffer[100] = {};  // the programs read them into 100 characters
    int n = LoadStringW(module, id, buffer, 100);
    return std::wstring(buffer, n > 0 ? n : 0);
}

// Widths of the images in an icon group.
std::set<int> IconWidths(HMODULE module, UINT id) {
    std::set<int> widths;
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), RT_GROUP_ICON);
    if (found == nullptr) return widths;
    const BYTE* group = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    const DWORD size = SizeofResource(module, found);
    if (group == nullptr || size < 6) return widths;
    const WORD count = *reinterpret_cast<const WORD*>(group + 4);
    for (WORD n = 0; n < count && 6 + 14u * (n + 1) <= size; ++n) {
        const BYTE width = group[6 + 14 * n];
        widths.insert(width == 0 ? 256 : width);
    }
    return widths;
}

// Every command id of a menu and its submenus.
void CollectCommands(HMENU menu, std::set<UINT>* commands) {
    for (int n = 0, count = GetMenuItemCount(menu); n < count; ++n) {
        if (HMENU sub = GetSubMenu(menu, n)) {
            CollectCommands(sub, commands);
        } else {
            commands->insert(GetMenuItemID(menu, n));
        }
    }
}

std::set<UINT> MenuCommands(HMODULE module, UINT id) {
    std::set<UINT> commands;
    HMENU menu = LoadMenuW(module, MAKEINTRESOURCEW(id));
    if (menu == nullptr) return commands;
    CollectCommands(menu, &commands);
    DestroyMenu(menu);
    return commands;
}

struct AboutBox {
    INT_PTR result = -1;  // what the box returned; -1 when it could not be shown
    std::wstring caption;
    bool hasOk = false;
    bool hasIcon = false;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (wcscmp(name, L"#32770") != 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// Shows the About box modally with the programs' own dialog procedure; a
// watcher looks at the box of this thread and presses OK.
AboutBox ShowAboutAndPressOk(HMODULE module) {
    // A box on the shared desktop, where other tests' box watchers look too.
    DesktopInputLock desktop;
    AboutBox seen;
    const DWORD thread = GetCurrentThreadId();
    std::atomic<bool> stop{false};
    std::thread watcher([&] {
        while (!stop.load()) {
            HWND box = nullptr;
            EnumThreadWindows(thread, FindDialog, reinterpret_cast<LPARAM>(&box));
            if (box != nullptr && IsWindowVisible(box)) {
                wchar_t caption[100] = {};
                GetWindowTextW(box, caption, 100);
                seen.caption = caption;
                seen.hasOk = GetDlgItem(box, IDOK) != nullptr;
                for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
                    if (SendMessageW(child, STM_GETICON, 0, 0) != 0) seen.hasIcon = true;
                }
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(10);
        }
    });
    seen.result = DialogBoxParamW(module, MAKEINTRESOURCEW(kAboutDialog), nullptr, AboutDialogProc, 0);
    stop = true;
    watcher.join();
    return seen;
}

TEST(ProgramResourcesTest, EachProgramHasTheResourcesItsWindowLoads) {
    for (const Program& program : kPrograms) {
        SCOPED_TRACE(testing::Message() << "program " << std::string(program.file, program.file + wcslen(program.file)));
        ProgramModule module(program.file);
        ASSERT_NE(module.Get(), nullptr);

        EXPECT_EQ(LoadText(module.Get(), kTitleString), program.title);
        EXPECT_EQ(LoadText(module.Get(), kClassName), program.className);

        EXPECT_EQ(IconWidths(module.Get(), kLargeIcon).count(32), 1u);
        EXPECT_EQ(IconWidths(module.Get(), kSmallIcon).count(16), 1u);
        HANDLE icon = LoadImageW(module.Get(), MAKEINTRESOURCEW(kLargeIcon), IMAGE_ICON, 32, 32, 0);
        EXPECT_NE(icon, nullptr);
        if (icon != nullptr) DestroyIcon(static_cast<HICON>(icon));

        const std::set<UINT> commands = MenuCommands(module.Get(), kClassName);
        EXPECT_EQ(commands.count(kAboutCommand), 1u);
        EXPECT_EQ(commands.count(kExitCommand), 1u);

        AboutBox about = ShowAboutAndPressOk(module.Get());
        EXPECT_EQ(about.result, IDOK);
        EXPECT_EQ(about.caption, program.aboutCaption);
        EXPECT_TRUE(about.hasOk);
        EXPECT_TRUE(about.hasIcon);

        HACCEL accelerators = LoadAcceleratorsW(module.Get(), MAKEINTRESOURCEW(kClassName));
        EXPECT_EQ(accelerators != nullptr, program.accelerators);
        if (accelerators != nullptr) {
            std::vector<ACCEL> entries(CopyAcceleratorTableW(accelerators, nullptr, 0));
            CopyAcceleratorTableW(accelerators, entries.data(), static_cast<int>(entries.size()));
            bool about = false;
            for (const ACCEL& entry : entries) about = about || entry.cmd == kAboutCommand;
            EXPECT_TRUE(about);
            DestroyAcceleratorTable(accelerators);
        }

        HRSRC manifest = FindResourceW(module.Get(), MAKEINTRESOURCEW(kProcessManifest), RT_MANIFEST);
        ASSERT_NE(manifest, nullptr);
        const char* text = static_cast<const char*>(LockResource(LoadResource(module.Get(), manifest)));
        std::string xml(text, SizeofResource(module.Get(), manifest));
        EXPECT_NE(xml.find("level=\"asInvoker\""), std::string::npos);
    }
}

// The engine's window made with the engine's own module carries its menu,
// icons and title.
TEST(ProgramResourcesTest, EngineWindowMadeWithTheProgramsModuleShowsItsResources) {
    ProgramModule module(L"Tidemill.exe");
    ASSERT_NE(module.Get(), nullptr);
    EngineWindow window;
    ASSERT_TRUE(window.Create(reinterpret_cast<HINSTANCE>(module.Get()), nullptr));
    HWND handle = window.Handle();
    wchar_t title[100] = {};
    GetWindowTextW(handle, title, 100);
    EXPECT_STREQ(title, L"Tidemill");
    std::set<UINT> commands;
    ASSERT_NE(GetMenu(handle), nullptr);
    CollectCommands(GetMenu(handle), &commands);
    EXPECT_EQ(commands, (std::set<UINT>{kAboutCommand, kExitCommand}));
    EXPECT_NE(GetClassLongPtrW(handle, GCLP_HICON), 0);
    EXPECT_NE(GetClassLongPtrW(handle, GCLP_HICONSM), 0);
}

}  // namespace
