#pragma once
// The launcher's central object and its first skinned window: it owns the
// parameter list, the configuration read at set-up, the inbound channel
// queue, the HTTP reports and their worker, and the close rule.
#include "common/launcher_parameter_list.h"
#include "common/protocol_deal.h"
#include "launcher/copy_data_queue.h"
#include "launcher/launcher_settings.h"
#include "launcher/page_reload_schedule.h"
#include "ui/core/window_impl_base.h"

#include <memory>
#include <string>

class EventReports;
class ReportWorker;
class ScopedHttpLibrary;

class MainWindow : public QuillUI::WindowImplBase {
public:
    static constexpr UINT kChannelTimer = 1001;      // engine start, then the queued frames
    static constexpr UINT kChannelTimerMs = 300;
    static constexpr UINT kCloseFlagTimer = 1003;    // closing becomes allowed
    static constexpr UINT kCloseFlagTimerMs = 30000;
    static constexpr UINT kPageReloadTimer = 1004;   // ticks the page-reload schedule
    static constexpr UINT kPageReloadTimerMs = 1000;

    static constexpr UINT kIconId = 108;
    static constexpr DWORD kStyle = 0x96C80000;  // popup, visible, clipping, caption, system menu
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 572;

    MainWindow();
    ~MainWindow() override;

    // ---- Start-up --------------------------------------------------------
    // Without a trailing backslash.
    void SetProgramFolder(const std::wstring& folder) { programFolder_ = folder; }
    const std::wstring& GetProgramFolder() const { return programFolder_; }
    // Stores and parses the list, then asks the worker for the platform key.
    void ParseCommandLine(const std::wstring& text);
    std::wstring GetParam(const std::wstring& key) const { return parameters_.Get(key); }
    void SetPlatform(const std::wstring& platform) { platform_ = platform; }
    const std::wstring& GetPlatform() const { return platform_; }
    // Finds the client folder, then connects to the game hall when the hall
    // started the launcher; false when start-up must end without windows.
    bool ConnectHall();
    // Always ends in "\".
    const std::wstring& GetClientFolder() const { return clientFolder_; }

    // ---- Used by the other parts of the launcher -------------------------
    void SetWorkerRequest(int value);
    // Dropped when reports are suppressed or there is no report address.
    void QueueEventReport(const std::wstring& event, const std::wstring& parameter);
    // The next channel timer starts the update engine.
    void RequestEngineStart() { startEngine_ = true; }
    // A server was chosen: the page is not reloaded again.
    void StopPageReloads() { reloadSchedule_.Stop(); }
    bool CloseAllowed() const { return closeAllowed_; }
    ProtocolDeal& Channel() { return channel_; }

    // ---- WindowImplBase --------------------------------------------------
    const wchar_t* GetWindowClassName() const override { return L"ql_launcher_main"; }
    void OnFinalMessage(HWND window) override;
    void InitWindow() override;
    void OnClick(QuillUI::NotifyMessageUI& message) override;
    QuillUI::CWideString GetSkinFolder() override { return QuillUI::CWideString(L"Skin\\Launcher"); }
    QuillUI::CWideString GetSkinFile() override { return QuillUI::CWideString(L"layout/Main.xml"); }
    LRESULT ResponseDefaultKeyEvent(WPARAM key) override;
    LRESULT OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    LRESULT HandleCustomMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void OnChannelTimer();
    void StartEngine();
    void OnCloseFlagTimer();
    void OnPageReloadTimer();
    void OnWindowMoved();
    // The frame window's part; it has none yet.
    void ReloadFramePage() {}
    void SendEventReport(const std::wstring& event, const std::wstring& parameter);

    std::wstring programFolder_;
    std::wstring commandLine_;
    LauncherParameterList parameters_;
    std::wstring platform_;
    std::wstring clientFolder_;
    MainWindowSettings settings_;

    CopyDataQueue inbound_;
    ProtocolDeal channel_;
    bool dispatching_ = false;  // a box inside a handler lets the timer in again

    // Declared in the order they must end in reverse: the reports outlive
    // the worker, the library outlives both.
    std::unique_ptr<ScopedHttpLibrary> httpLibrary_;
    std::unique_ptr<EventReports> reports_;
    std::unique_ptr<ReportWorker> worker_;
    int workerRequest_ = 0;  // until the worker exists

    bool startEngine_ = false;
    bool closeAllowed_ = false;
    PageReloadSchedule reloadSchedule_;

    QuillUI::CControlUI* closeButton_ = nullptr;
    QuillUI::CControlUI* minimizeButton_ = nullptr;
};

// The one main window object of the process; null before it is made and
// once it is gone.
MainWindow* GetMainWindow();
