#include "launcher/launcher_startup.h"

#include "common/common_log.h"
#include "common/module_path.h"
#include "launcher/launcher_settings.h"
#include "launcher/main_window.h"
#include "launcher/run_time_functions.h"
#include "ui/core/manager/window_manager_ui.h"

#include <cstdio>
#include <new>
#include <string>

namespace {

// Messages that other processes send to the launcher's windows.
const UINT kGameWindowMessages[] = {0x7E8, 0x7E9, 0x7EA};

void LogToStandardError(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
}

// The launcher runs in the folder of its configuration: the one it was
// started in when that holds "LauncherConfig.ini", else its own.
std::wstring EnterProgramFolder() {
    if (GetFileAttributesW(kLauncherConfigFile) == INVALID_FILE_ATTRIBUTES)
        SetCurrentDirectoryW(ExecutableFolder().c_str());
    std::wstring folder = CurrentFolder();
    while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    return folder;
}

// The object, and its window when there is one.
void EndMainWindow(MainWindow* window) {
    if (window == nullptr) return;
    HWND handle = window->GetHWND();
    if (handle != nullptr && IsWindow(handle)) {
        DestroyWindow(handle);  // the object deletes itself with its window
        return;
    }
    delete window;
}

}  // namespace

int RunLauncher(HINSTANCE instance, const wchar_t* commandLine) {
    SetCommonLogFunction(&LogToStandardError);
    const std::wstring folder = EnterProgramFolder();
    QuillUI::CWindowManagerUI::SetInstance(instance);

    for (UINT message : kGameWindowMessages) AllowMessageThroughFilter(message, true);
    AllowMessageThroughFilter(WM_COPYDATA, true);

    MainWindow* window = new (std::nothrow) MainWindow(folder);
    if (window == nullptr) return 0;
    window->ParseCommandLine(commandLine != nullptr ? commandLine : L"");

    const std::wstring platform = ReadPlatform(folder);
    // On the hall's platform the launcher runs only when the hall started it.
    if (window->GetParam(L"PROCPARA").empty() && platform == L"1") {
        delete window;
        return 0;
    }
    window->SetPlatform(platform);
    SetAppUserModelId(window->GetParam(L"ModelID"));
    if (!window->ConnectHall()) {
        delete window;
        return 0;
    }

    const std::wstring title = ReadAppName(folder);
    if (window->Create(nullptr, title.c_str(), MainWindow::kStyle, 0, 0, 0, MainWindow::kWidth,
                       MainWindow::kHeight) == nullptr) {
        CommonLog("The launcher's main window cannot be created");
        EndMainWindow(GetMainWindow());
        return 0;
    }
    window->SetIcon(MainWindow::kIconId);
    window->CenterWindow();
    if (!window->OpenFrameWindow()) {
        // Without the server page there is nothing the player could do.
        EndMainWindow(GetMainWindow());
        QuillUI::CWindowManagerUI::Term();
        return 0;
    }

    QuillUI::CWindowManagerUI::MessageLoop();

    // The windows end before the process does, so that the worker is joined,
    // the HTTP library cleaned up and the hall's library let go in order. The
    // game windows first: they report to the main window.
    DestroyGameWindows();
    EndMainWindow(GetMainWindow());
    QuillUI::CWindowManagerUI::Term();
    return 0;
}
