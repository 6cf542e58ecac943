// The main window's own messages: the engine's frames, the hall's events,
// its three timers and the frame window's place. Everything else goes on to
// the framework.
#include "launcher/main_window.h"

#include "common/common_log.h"
#include "launcher/close_flag.h"
#include "launcher/event_reports.h"
#include "launcher/frame_window.h"

#include <string>

LRESULT MainWindow::HandleCustomMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = false;
    switch (message) {
    case WM_DESTROY:
        // The hall's threads may still queue events: they wake no one now.
        hall_.SetNotifyWindow(nullptr);
        ::PostQuitMessage(0);
        handled = true;
        return 0;
    case WM_CLOSE:
        // A close from outside (another process, a task list) ends the
        // launcher as SC_CLOSE does. The window stays until the loop has
        // ended: a handler's box may be up inside it, and the game window
        // and the page's object refer to this object.
        ::PostQuitMessage(0);
        handled = true;
        return 0;
    case WM_WINDOWPOSCHANGED:
        // Left to the default handling, which derives WM_SIZE and WM_MOVE
        // from it: the layout depends on those.
        OnWindowMoved();
        return 0;
    case WM_COPYDATA:
        conversation_.QueueCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        handled = true;
        return 0;
    case WM_TIMER:
        // Other ids are the framework's own control and repaint timers.
        switch (wParam) {
        case kChannelTimer:
            conversation_.OnTimer();
            if (reports_) reports_->LogDroppedReports();
            break;
        case kCloseFlagTimer: OnCloseFlagTimer(); break;
        case kPageReloadTimer: OnPageReloadTimer(); break;
        default: return 0;
        }
        handled = true;
        return 0;
    default:
        if (message == HallClient::kHallEventMessage) {
            hall_.ApplyEvents();
            handled = true;
        }
        return 0;
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

void MainWindow::ReloadFramePage() {
    if (FrameWindow* frame = GetFrameWindow()) frame->ReloadPage();
}

void MainWindow::OnWindowMoved() {
    FrameWindow* frame = GetFrameWindow();
    if (frame == nullptr || frame->GetHWND() == nullptr) return;
    RECT place = {};
    if (!::GetWindowRect(GetHWND(), &place)) return;
    // Never shown from here: hiding the main window moves it too.
    ::SetWindowPos(frame->GetHWND(), HWND_TOP, place.left + settings_.frameOffsetX, place.top + settings_.frameOffsetY,
                   0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}
