// The main window's life: construction, set-up, buttons, keys and system
// commands, and the order in which its parts end.
#include "launcher/main_window.h"

#include "common/common_log.h"
#include "launcher/client_folder_finder.h"
#include "launcher/close_flag.h"
#include "launcher/event_reports.h"
#include "launcher/frame_window.h"
#include "launcher/game_start.h"
#include "launcher/page_query.h"
#include "launcher/http_transfer.h"
#include "launcher/report_worker.h"
#include "ui/core/control/control_ui.h"
#include "ui/core/manager/notify_sender_name.h"

#include <cwchar>
#include <new>

namespace {

MainWindow* g_mainWindow = nullptr;

bool IsSender(const QuillUI::NotifyMessageUI& message, const wchar_t* name) {
    const wchar_t* sender = QuillUI::GetNotifySenderName(message.sender);
    return sender != nullptr && wcscmp(sender, name) == 0;
}

}  // namespace

MainWindow* GetMainWindow() { return g_mainWindow; }

MainWindow::MainWindow(const std::wstring& programFolder) : programFolder_(programFolder) {
    conversation_.SetHallClient(&hall_);
    g_mainWindow = this;
}

MainWindow::~MainWindow() {
    // The worker first: it gets a last moment for what is queued, then a
    // transfer under way is aborted and the thread joined, so the HTTP
    // library is cleaned up under no live transfer.
    if (worker_) worker_->Stop();
    worker_.reset();
    reports_.reset();
    httpLibrary_.reset();
    if (g_mainWindow == this) g_mainWindow = nullptr;
}

void MainWindow::ParseCommandLine(const std::wstring& text) {
    commandLine_ = text;
    parameters_.Parse(text);
    SetWorkerRequest(ReportWorker::kRequestPlatformKey);
}

bool MainWindow::ConnectHall() {
    clientFolder_ = FindClientFolder(programFolder_, platform_, MachineClientFolderSystem());
    // Without a hall parameter or library the launcher works alone; a refusal
    // has shown its box already.
    return hall_.Connect(parameters_) != HallClient::ConnectResult::kRefused;
}

bool MainWindow::OpenFrameWindow() {
    FrameWindow* frame = FrameWindow::Open(GetHWND(), PageQuery(parameters_), this);
    if (frame == nullptr) {
        CommonLog("The launcher's frame window cannot be created");
        return false;
    }
    // Centred at creation; the configured offset holds from the start on.
    OnWindowMoved();
    ::ShowWindow(frame->GetHWND(), SW_SHOWNA);
    return true;
}

void MainWindow::SetWorkerRequest(int value) {
    workerRequest_ = value;
    if (worker_) worker_->SetWorkerRequest(value);
}

void MainWindow::QueueEventReport(const std::wstring& event, const std::wstring& parameter) {
    if (reports_) reports_->QueueEventReport(event, parameter);
}

void MainWindow::SendEventReport(const std::wstring& event, const std::wstring& parameter) {
    if (reports_) reports_->SendEventReport(event, parameter);
}

void MainWindow::InitWindow() {
    httpLibrary_.reset(new (std::nothrow) ScopedHttpLibrary());
    settings_ = ReadMainWindowSettings(programFolder_);
    closeAllowed_ = ReadCloseAllowed(programFolder_, GetParam(L"ID"));

    ReportSettings reportSettings;
    reportSettings.platformKeyUrl = settings_.platformKeyUrl;
    reportSettings.reportUrl = settings_.reportUrl;
    reportSettings.triggerUrl = settings_.triggerUrl;
    reportSettings.openId = GetParam(L"ID");
    reportSettings.key = GetParam(L"Key");
    reports_.reset(new (std::nothrow) EventReports(reportSettings));
    if (reports_) {
        reports_->SetReportsSuppressed(reports_->QueryReportsSuppressed());
        reports_->SendEventReport(L"Start Launcher", L"");
    }

    closeButton_ = manager_.FindControl(L"btnClose");
    minimizeButton_ = manager_.FindControl(L"minbtn");

    HWND window = GetHWND();
    conversation_.SetMainWindow(window);
    hall_.SetNotifyWindow(window);
    ::SetTimer(window, kChannelTimer, kChannelTimerMs, nullptr);
    if (settings_.refreshPage) ::SetTimer(window, kPageReloadTimer, kPageReloadTimerMs, nullptr);
    if (!closeAllowed_) ::SetTimer(window, kCloseFlagTimer, kCloseFlagTimerMs, nullptr);
    reloadSchedule_.Start();

    if (reports_) worker_.reset(new (std::nothrow) ReportWorker(*reports_));
    if (worker_) {
        worker_->SetWorkerRequest(workerRequest_);
        if (!worker_->Start()) CommonLog("The launcher's report worker cannot be started");
    }
}

void MainWindow::OnFinalMessage(HWND window) {
    WindowImplBase::OnFinalMessage(window);
    delete this;
}

void MainWindow::OnClick(QuillUI::NotifyMessageUI& message) {
    if (IsSender(message, L"btnClose")) {
        if (!closeAllowed_) return;
        SendEventReport(L"Close Launcher", L"");
        ::PostQuitMessage(0);
    } else if (IsSender(message, L"minbtn")) {
        SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    }
}

LRESULT MainWindow::ResponseDefaultKeyEvent(WPARAM key) {
    // Escape must not close the launcher's main window.
    return key == VK_ESCAPE ? 1 : 0;
}

LRESULT MainWindow::OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if ((wParam & 0xFFF0) == SC_CLOSE) {
        ::PostQuitMessage(0);
        return 0;
    }
    return WindowImplBase::OnSysCommand(message, wParam, lParam, handled);
}

// ---- What the conversations and the game window do to the windows ---------

void MainWindow::ShowGameText(const std::wstring& text) {
    if (GameMain* game = GetGameMain()) game->SetTextOne(text);
}

void MainWindow::ShowGameProgress(int32_t done, int32_t total) {
    GameMain* game = GetGameMain();
    if (game == nullptr) return;
    game->SetProgressOne(static_cast<uint32_t>(done < 0 ? 0 : done), static_cast<uint32_t>(total < 0 ? 0 : total));
}

void MainWindow::StartGame() {
    StartGameInCurrentWindow(ShellProgramStarter(), *this,
                             GameStartRequest{clientFolder_, settings_.exeName, conversation_.token()});
}

bool MainWindow::OpenGameWindow() {
    const ChannelProgressRecord progress = conversation_.LastProgress();
    return GameMain::Open(*this, LauncherConfigPath(programFolder_), conversation_.GameText(),
                          static_cast<uint32_t>(progress.done < 0 ? 0 : progress.done),
                          static_cast<uint32_t>(progress.total < 0 ? 0 : progress.total)) != nullptr;
}

void MainWindow::OnServerChosen(const std::wstring& serverId, const std::wstring& token) {
    conversation_.OnServerChosen(serverId, token);
}

void MainWindow::HideMainAndFrame() {
    ShowWindow(false, false);
    if (FrameWindow* frame = GetFrameWindow()) frame->ShowWindow(false, false);
}

void MainWindow::ShowMainAndFrame() {
    ::ShowWindow(GetHWND(), SW_SHOWNORMAL);
    if (FrameWindow* frame = GetFrameWindow()) ::ShowWindow(frame->GetHWND(), SW_SHOWNORMAL);
}

void MainWindow::HideMainShowFrame() {
    ShowWindow(false, false);
    if (FrameWindow* frame = GetFrameWindow()) ::ShowWindow(frame->GetHWND(), SW_SHOWNORMAL);
}

void MainWindow::HideMainWindow() { ShowWindow(false, false); }

void MainWindow::ResetProgressAndReloadPage() {
    conversation_.ForgetChoice();
    ReloadFramePage();
}

void MainWindow::QuitMessageLoop() { ::PostQuitMessage(0); }
