#pragma once
// The launcher's side of the WM_COPYDATA channel with the update engine:
// starting the engine, the inbound queue that the window procedure fills and
// timer 1001 empties, the handlers of what the engine sends, the reaction to
// every eCallBackType and the two CF_ACTION requests. All of it runs on the
// UI thread; the inbound queue keeps its lock all the same.
#include "common/channel_types.h"
#include "common/copy_data_queue.h"
#include "common/protocol_deal.h"
#include "common/unique_handle.h"
#include "common/win.h"
#include "launcher/launcher_restart.h"

#include <cstdint>
#include <string>
#include <vector>

class HallClient;

// What the conversation does to the launcher's windows and reports;
// MainWindow implements it. Called on the UI thread only.
class EngineConversationHost {
public:
    // The event reports (queued for the worker).
    virtual void QueueEventReport(const std::wstring& event, const std::wstring& parameter) = 0;
    // Slot 2 and the progress pair, for the current game window when one
    // exists; otherwise nothing (a new game window reads GameText and
    // LastProgress).
    virtual void ShowGameText(const std::wstring& text) = 0;
    virtual void ShowGameProgress(int32_t done, int32_t total) = 0;
    // eCallBackType_LaunchClient: the mini client and the game client.
    virtual void StartGame() = 0;
    // A server choice: no more page reloads, a new game window created and
    // shown, the main and the frame window hidden. Without a game window the
    // choice ends there.
    virtual void StopPageReloads() = 0;
    // False when no game window could be opened.
    virtual bool OpenGameWindow() = 0;
    virtual void HideMainAndFrame() = 0;
    // Ends the message loop (PostQuitMessage).
    virtual void QuitMessageLoop() = 0;

protected:
    ~EngineConversationHost() = default;
};

// The report name of each eCallBackType, empty where none is sent (3 to 6)
// and outside 0 to 18.
const wchar_t* CallBackEventName(int value);

class EngineConversation {
public:
    static constexpr size_t kMaxFrameBytes = CopyDataQueue::kMaxFrameBytes;
    static constexpr size_t kMaxQueuedBytes = CopyDataQueue::kMaxQueuedBytes;
    static constexpr size_t kQueuedFrameCost = CopyDataQueue::kQueuedFrameCost;
    static constexpr int kSlotCount = 4;
    static constexpr int kGameTextSlot = 2;

    EngineConversation(EngineConversationHost& host, const std::wstring& programFolder,
                       ProgramStarter& starter = ShellProgramStarter());
    EngineConversation(const EngineConversation&) = delete;
    EngineConversation& operator=(const EngineConversation&) = delete;

    // The main window: the engine's command line, the answer to its hello
    // and the wParam of every frame sent.
    void SetMainWindow(HWND window) { mainWindow_ = window; }
    // The hall through which a replacement asks for a fresh "PROCPARA";
    // null without a hall.
    void SetHallClient(HallClient* hall) { hall_ = hall; }

    // WM_COPYDATA of the main window: copies the payload into the inbound
    // queue. False when it was dropped for being larger than any frame, or
    // because kMaxQueuedBytes wait for the timer already.
    bool QueueCopyData(const COPYDATASTRUCT* data);

    // Timer 1001: starts the engine when asked, then dispatches every queued
    // payload in arrival order. A call made while one runs (a modal box
    // inside it pumps timers) returns at once.
    void OnTimer();

    // The page's "startGame".
    void OnServerChosen(const std::wstring& serverId, const std::wstring& token);

    // Values 3, 4 and 6 end or replace the launcher or start the game, and
    // any process can send them: they are acted on only while an engine
    // conversation is in progress (a choice has asked for an engine and a
    // hello was answered), and 6 at most once per choice. The rest is logged
    // and dropped.
    void OnEngineCallback(int32_t value);

    // The game window closed: the progress pair back to (0, 100), and no
    // choice waits for the engine.
    void ForgetChoice();

    HWND engineWindow() const { return engineWindow_; }
    bool engineReady() const { return engineReady_; }
    bool checkVerOwed() const { return checkVerOwed_; }
    bool startEnginePending() const { return startEngine_; }
    const std::wstring& serverId() const { return serverId_; }
    const std::wstring& token() const { return token_; }
    // The slot's text as received (UTF-8 bytes).
    const std::string& slotText(int slot) const { return slots_[slot]; }
    // Slot 2 as the game window shows it.
    std::wstring GameText() const;
    ChannelProgressRecord LastProgress() const { return progress_; }

private:
    void StartEngine();
    bool ConversationInProgress() const;
    void OnNotifyWnd(const ChannelIntRecord& record);
    void OnTextSlot(const ChannelSlotTextRecord& record);
    void OnProgress(const ChannelProgressRecord& record);
    void OnCoreText(const ChannelTextRecord& record);
    void StartReplacement(RestartKind kind);
    void SendCheckVer();
    void SendAction(eActionType action, const std::string& text);
    void Report(const wchar_t* event, const std::wstring& parameter = std::wstring());

    EngineConversationHost& host_;
    const std::wstring programFolder_;
    ProgramStarter& starter_;
    ProtocolDeal deal_;
    HWND mainWindow_ = nullptr;
    HallClient* hall_ = nullptr;

    HWND engineWindow_ = nullptr;
    ScopedHandle launcherOk_;  // "qln_launcher_ok", held for the rest of the process
    bool engineReady_ = false;
    // A choice whose eActionType_CheckVer has not gone out yet.
    bool checkVerOwed_ = false;
    bool startEngine_ = false;
    // Set by the first choice that starts an engine; kept for the run.
    bool engineRequested_ = false;
    // The current choice has not had its game start yet.
    bool gameStartOwed_ = false;
    bool inTimer_ = false;
    std::wstring serverId_;
    std::wstring token_;
    std::string slots_[kSlotCount];
    ChannelProgressRecord progress_ = {0, 0};

    CopyDataQueue inbound_;
};
