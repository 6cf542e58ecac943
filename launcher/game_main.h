#pragma once
// The game window: it replaces the main and the frame window once a server
// is chosen, shows the update's two progress bars in the Flash movie
// "flash", hosts the game client's window (the client is told this window's
// handle), can hide itself in the notification area, and watches the game
// process: when the game ends, the launcher's first windows come back.
#include "common/win.h"
#include "ui/core/hosts/flash_event_handler.h"
#include "ui/core/window/window_impl_base.h"

#include <cstdint>
#include <string>

namespace QuillUI {
class CFlashUI;
class CContainerUI;
}  // namespace QuillUI

// What the game window does to the rest of the launcher; the main window
// implements it. UI thread only.
class GameMainHost {
public:
    virtual void QueueEventReport(const std::wstring& event, const std::wstring& parameter) = 0;
    virtual void ShowMainAndFrame() = 0;
    virtual void HideMainWindow() = 0;
    // Progress forgotten, the server page loaded again.
    virtual void ResetProgressAndReloadPage() = 0;

protected:
    ~GameMainHost() = default;
};

class GameMain : public QuillUI::WindowImplBase, public QuillUI::CFlashEventHandler {
public:
    // Messages from the game's own processes.
    static constexpr UINT kReleaseMessage = 0x7E8;      // WM_GAMEMAIN_RELEASE
    static constexpr UINT kProgressOneMessage = 0x7E9;  // WM_GAMEMAIN_PROGRESS_ONE
    static constexpr UINT kProgressTwoMessage = 0x7EA;  // WM_GAMEMAIN_PROGRESS_TWO
    static constexpr UINT kTrayMessage = 0xBD0;         // WM_GAMEMAIN_TRAY
    static constexpr UINT kTimer = 1001;
    static constexpr UINT kTimerMs = 300;
    static constexpr UINT kTrayIconId = 107;
    static constexpr UINT kIconId = 108;
    static constexpr DWORD kStyle = 0x10CF0000;  // visible, overlapped window
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 572;
    static constexpr uint32_t kProgressTwoTotal = 6;
    // A text from another process is cut here (then back to a whole character).
    static constexpr size_t kMaxTextBytes = 4096;

    // CONFIG is the full path of "LauncherConfig.ini" ([Launcher] AppName
    // and Tip79).
    GameMain(GameMainHost& host, const std::wstring& config);
    ~GameMain() override;

    // Creates and shows a new game window, maximised and active, with the
    // engine's text and last progress pair; null when it cannot be made.
    static GameMain* Open(GameMainHost& host, const std::wstring& config, const std::wstring& text,
                          uint32_t value, uint32_t total);

    // The watched game process; 0 watches nothing.
    void SetGameProcessId(DWORD pid) { gamePid_ = pid; }
    DWORD GetGameProcessId() const { return gamePid_; }
    void SetTextOne(const std::wstring& text) { textOne_ = text; }
    // The value, and the total when the value is not 0.
    void SetProgressOne(uint32_t value, uint32_t total);
    void SetProgressTwo(uint32_t value);
    const std::wstring& TextOne() const { return textOne_; }
    uint32_t ProgressOneValue() const { return oneValue_; }
    uint32_t ProgressOneTotal() const { return oneTotal_; }
    uint32_t ProgressTwoValue() const { return twoValue_; }
    bool HasTrayIcon() const { return trayIcon_; }

    // ---- WindowImplBase --------------------------------------------------
    const wchar_t* GetWindowClassName() const override { return L"ql_launcher_gamemain"; }
    void OnFinalMessage(HWND window) override;
    void InitWindow() override;
    void OnClick(QuillUI::NotifyMessageUI& message) override;
    QuillUI::CWideString GetSkinFolder() override { return QuillUI::CWideString(L"Skin\\Launcher"); }
    QuillUI::CWideString GetSkinFile() override { return QuillUI::CWideString(L"layout/GameMain.xml"); }
    LRESULT ResponseDefaultKeyEvent(WPARAM key) override;
    LRESULT OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    LRESULT HandleCustomMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

    // ---- CFlashEventHandler: the movie's events change nothing ------------
    HRESULT STDMETHODCALLTYPE OnProgress(long) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE FSCommand(BSTR, BSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE FlashCall(BSTR) override { return S_OK; }

private:
    void OnTimer();
    void UpdateMovie();
    void CallMovie(const std::wstring& request);
    void ReleaseMovie();
    void OnCopyData(const COPYDATASTRUCT* data);
    void OnTrayMessage(WPARAM id, LPARAM mouse);
    void HideInTray();
    void RemoveTrayIcon();
    // Closes this window and brings the launcher's first windows back.
    void EndGame(const wchar_t* report);
    void PostToDescendants();
    void SetZoomedLook(bool zoomed);
    // The Flash control's own window, when it is not this window itself.
    HWND MovieWindow() const;

    GameMainHost& host_;
    const std::wstring config_;
    std::wstring appName_;
    QuillUI::CControlUI* menuButton_ = nullptr;
    QuillUI::CControlUI* minButton_ = nullptr;
    QuillUI::CControlUI* maxButton_ = nullptr;
    QuillUI::CControlUI* restoreButton_ = nullptr;
    QuillUI::CControlUI* closeButton_ = nullptr;
    QuillUI::CControlUI* freshButton_ = nullptr;
    QuillUI::CFlashUI* flash_ = nullptr;
    QuillUI::CContainerUI* mainContainer_ = nullptr;

    std::wstring textOne_;
    uint32_t oneValue_ = 0;
    uint32_t oneTotal_ = 100;
    uint32_t twoValue_ = 1;
    uint32_t twoTotal_ = kProgressTwoTotal;
    DWORD gamePid_ = 0;
    bool trayIcon_ = false;
    bool ending_ = false;
};

// The game window made last; null when it is gone, even while an older one
// still shows.
GameMain* GetGameMain();
// Destroys every game window the launcher made, the current one and any
// older one (still in the tray, say), each taking its tray icon with it.
void DestroyGameWindows();
