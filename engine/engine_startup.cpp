#include "engine/engine_startup.h"

#include "common/protocol_deal.h"
#include "common/registry_util.h"
#include "common/unique_handle.h"
#include "engine/engine_command_line.h"
#include "engine/engine_instance.h"
#include "engine/engine_window.h"
#include "engine/notify_host.h"

#include <memory>

namespace {

constexpr int kCurrentUserRoot = 1;
constexpr DWORD kLoopPauseMs = 30;

// "Software\Quillon\" and [platform] GameName of the root's configuration.
std::wstring EngineRegistryKey(const std::wstring& root) {
    wchar_t gameName[512] = {};
    std::wstring config = root + L"LauncherConfig.ini";
    GetPrivateProfileStringW(L"platform", L"GameName", L"", gameName, 512, config.c_str());
    return std::wstring(L"Software\\Quillon\\") + gameName;
}

}  // namespace

int RunTidemill(HINSTANCE instance, const wchar_t* commandLine) {
    // The engine object holds the channel's large codec tables: not on the stack.
    std::unique_ptr<NotifyHost> owner(new NotifyHost);
    NotifyHost& host = *owner;
    host.Log("Start Tidemill.exe");

    EngineInstance engines;
    engines.BeginStartup([&host] { host.Log("OpenMutexA qln_tidemill_a fail"); });

    EngineWindow window;
    if (!window.Create(instance, [&host](WPARAM sender, const COPYDATASTRUCT* data) {
            host.QueueCopyData(sender, data);
        })) {
        host.Log("InitInstance\xCA\xA7\xB0\xDC");  // "InitInstance" and the GBK words for "failed"
        host.Stop();
        return 0;
    }
    host.SetEngineWindow(window.Handle());
    AllowCopyDataMessages();

    std::wstring line = commandLine != nullptr ? commandLine : L"";
    std::vector<HWND> launchers = LauncherWindowsFromCommandLine(line);
    if (launchers.empty()) {
        engines.EndStartup();
        // A handle that is not a window ends the engine without a word.
        if (IsRestartCommandLine(line)) host.Log("vecHwnd.empty()");
        host.Stop();
        return 0;
    }

    std::wstring registryKey = EngineRegistryKey(host.GetRoot());
    const int32_t ownWindow = WindowToChannel(window.Handle());
    auto publish = [&] {
        if (!WriteRegistryString(kCurrentUserRoot, registryKey, L"wnd", std::to_wstring(ownWindow)))
            host.Log("wnd cannot be written: a second engine cannot hand its launchers over");
    };
    if (engines.Claim(publish) == EngineInstance::Role::kHandOver) {
        // Another engine serves the launchers: tell them its window instead.
        // A value that names no window would take a launcher's engine from it.
        HWND running = WindowFromDecimalText(ReadRegistryString(kCurrentUserRoot, registryKey, L"wnd"));
        if (running == nullptr) {
            host.Log("wnd names no engine window; the launchers are not told");
            launchers.clear();
        }
        ChannelIntRecord record = {WindowToChannel(running)};
        for (HWND launcher : launchers) {
            host.Log("Send to foreground CF_NOTIFY_WND");
            host.Send(launcher, CF_NOTIFY_WND, &record);
        }
        host.Stop();
        return 0;
    }

    ChannelIntRecord hello = {ownWindow};
    for (HWND launcher : launchers) {
        host.Log("Send to foreground CF_NOTIFY_WND2");
        host.Send(launcher, CF_NOTIFY_WND, &hello);
        host.AddNotifyWnd(launcher);
    }

    host.OnLoopStart();
    // Only the tick ends the loop; WM_QUIT from a destroyed window does not.
    WPARAM lastWParam = 0;
    for (;;) {
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            lastWParam = msg.wParam;
        } else if (!host.Tick()) {
            break;
        }
        Sleep(kLoopPauseMs);
    }
    host.Stop();
    engines.EndRun();
    return static_cast<int>(lastWParam);
}
