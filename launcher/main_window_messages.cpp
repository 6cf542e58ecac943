// The main window's own messages: the channel queue, its three timers and
// the frame window's place. Everything else goes on to the framework.
#include "launcher/main_window.h"

#include "common/common_log.h"
#include "common/process_util.h"
#include "launcher/close_flag.h"
#include "launcher/event_reports.h"

#include <string>

LRESULT MainWindow::HandleCustomMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = false;
    switch (message) {
    case WM_DESTROY:
        ::PostQuitMessage(0);
        handled = true;
        return 0;
    case WM_WINDOWPOSCHANGED:
        // Left to the default handling, which derives WM_SIZE and WM_MOVE
        // from it: the layout depends on those.
        OnWindowMoved();
        return 0;
    case WM_COPYDATA: {
        const COPYDATASTRUCT* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (data == nullptr || !inbound_.Push(data->lpData, data->cbData))
            CommonLog("A WM_COPYDATA payload was dropped: " + std::to_string(data ? data->cbData : 0) + " bytes");
        handled = true;
        return 0;
    }
    case WM_TIMER:
        // Other ids are the framework's own control and repaint timers.
        switch (wParam) {
        case kChannelTimer: OnChannelTimer(); break;
        case kCloseFlagTimer: OnCloseFlagTimer(); break;
        case kPageReloadTimer: OnPageReloadTimer(); break;
        default: return 0;
        }
        handled = true;
        return 0;
    default:
        return 0;
    }
}

void MainWindow::OnChannelTimer() {
    // A handler that shows a modal box lets this timer run again inside
    // it; the nested run would overwrite the record being handled.
    if (dispatching_) return;
    dispatching_ = true;
    if (startEngine_) {
        startEngine_ = false;
        StartEngine();
    }
    for (const std::vector<uint8_t>& frame : inbound_.TakeAll()) {
        if (!frame.empty()) channel_.OnReceive(0, frame.data(), static_cast<int32_t>(frame.size()));
    }
    dispatching_ = false;
}

void MainWindow::StartEngine() {
    const std::wstring handle = std::to_wstring(WindowToChannel(GetHWND()));
    QueueEventReport(L"Start Tidemill.exe", L"");
    const DWORD pid = RunProgram(programFolder_ + L"\\Tidemill.exe", handle, programFolder_ + L"\\", SW_HIDE, false);
    if (pid == 0) {
        const DWORD error = ::GetLastError();
        QueueEventReport(L"Start Tidemill.exe fail", L"ShellExecuteExW  " + std::to_wstring(static_cast<int>(error)));
    } else {
        QueueEventReport(L"Start Tidemill.exe success", L"");
    }
}

void MainWindow::OnCloseFlagTimer() {
    ::KillTimer(GetHWND(), kCloseFlagTimer);
    closeAllowed_ = true;
    if (!WriteCloseAllowed(programFolder_, GetParam(L"ID"))) CommonLog("LancherCache.ini cannot be written");
}

void MainWindow::OnPageReloadTimer() {
    if (reloadSchedule_.Tick()) ReloadFramePage();
}

void MainWindow::OnWindowMoved() {
    // The frame window follows the main window at (frameOffsetX,
    // frameOffsetY) once it exists.
}
