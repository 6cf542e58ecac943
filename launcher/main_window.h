#pragma once
// The launcher's central object and its first skinned window: it owns the
// parameter list, the configuration read at set-up, the conversations with
// the update engine and the game hall, the HTTP reports and their worker,
// and the close rule; it moves, shows and hides the frame and game windows.
#include "common/launcher_parameter_list.h"
#include "launcher/engine_conversation.h"
#include "launcher/external.h"
#include "launcher/game_main.h"
#include "launcher/hall_client.h"
#include "launcher/launcher_settings.h"
#include "launcher/page_reload_schedule.h"
#include "ui/core/window/window_impl_base.h"

#include <memory>
#include <string>

class EventReports;
class ReportWorker;
class ScopedHttpLibrary;

class MainWindow : public QuillUI::WindowImplBase,
                   public EngineConversationHost,
                   public HallClientHost,
                   public ServerChoiceSink,
                   public GameMainHost {
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

    // PROGRAM_FOLDER without a trailing backslash.
    explicit MainWindow(const std::wstring& programFolder);
    ~MainWindow() override;

    // ---- Start-up --------------------------------------------------------
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
    // The frame window over this one, shown at the configured offset; false
    // when it cannot be made.
    bool OpenFrameWindow();

    // ---- Used by the other parts of the launcher -------------------------
    void SetWorkerRequest(int value);
    bool CloseAllowed() const { return closeAllowed_; }
    const EngineConversation& Conversation() const { return conversation_; }

    // ---- EngineConversationHost, HallClientHost, GameMainHost ------------
    // Dropped when reports are suppressed or there is no report address.
    void QueueEventReport(const std::wstring& event, const std::wstring& parameter) override;
    void ShowGameText(const std::wstring& text) override;
    void ShowGameProgress(int32_t done, int32_t total) override;
    void StartGame() override;
    // A server was chosen: the page is not reloaded again.
    void StopPageReloads() override { reloadSchedule_.Stop(); }
    bool OpenGameWindow() override;
    void HideMainAndFrame() override;
    void QuitMessageLoop() override;
    void ShowMainAndFrame() override;
    void HideMainShowFrame() override;
    void HideMainWindow() override;
    void ResetProgressAndReloadPage() override;

    // ---- ServerChoiceSink ------------------------------------------------
    void OnServerChosen(const std::wstring& serverId, const std::wstring& token) override;

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
    void OnCloseFlagTimer();
    void OnPageReloadTimer();
    void OnWindowMoved();
    void ReloadFramePage();
    void SendEventReport(const std::wstring& event, const std::wstring& parameter);

    const std::wstring programFolder_;
    std::wstring commandLine_;
    LauncherParameterList parameters_;
    std::wstring platform_;
    std::wstring clientFolder_;
    MainWindowSettings settings_;

    // After the folder, which both keep a copy of.
    HallClient hall_{*this, programFolder_};
    EngineConversation conversation_{*this, programFolder_};

    // The HTTP library is set up once for the process, before the first
    // transfer of set-up; the destructor ends the worker, then the reports,
    // then the library, so no transfer outlives it.
    std::unique_ptr<ScopedHttpLibrary> httpLibrary_;
    std::unique_ptr<EventReports> reports_;
    std::unique_ptr<ReportWorker> worker_;
    int workerRequest_ = 0;  // until the worker exists

    bool closeAllowed_ = false;
    PageReloadSchedule reloadSchedule_;

    QuillUI::CControlUI* closeButton_ = nullptr;
    QuillUI::CControlUI* minimizeButton_ = nullptr;
};

// The one main window object of the process; null before it is made and
// once it is gone.
MainWindow* GetMainWindow();
