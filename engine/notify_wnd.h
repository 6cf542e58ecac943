#pragma once
// The engine's record of one launcher window: where that launcher stands in
// its conversation with the engine, and the last texts and progress sent to
// it, so that only changes are sent.
#include "common/win.h"

#include <cstdint>
#include <functional>
#include <string>

class NotifyCore;

enum eNotifyWndState : int32_t {
    eNotifyWndState_Idle = 0,
    eNotifyWndState_WaitCheckVer = 1,
    eNotifyWndState_CheckingVer = 2,
    SetCheckingVerPadding = 3,
    eNotifyWndState_WaitUpdateClient = 4,
    eNotifyWndState_UpdatintClient = 5,
    eNotifyWndState_WaitClose = 6,
};

// The state's name as the log writes it; "" outside the enumeration.
const char* NotifyWndStateName(int state);

class NotifyWnd {
public:
    static constexpr int kSlotCount = 4;
    // Sends one channel record to a window; 0 when delivered.
    using Sender = std::function<DWORD(HWND window, uint32_t type, const void* record)>;

    NotifyWnd(HWND window, NotifyCore& core, Sender send);
    NotifyWnd(const NotifyWnd&) = delete;
    NotifyWnd& operator=(const NotifyWnd&) = delete;

    HWND GetWindow() const { return window_; }
    bool IsAlive() const { return IsWindow(window_) != FALSE; }
    // Set once the launcher has answered the greeting; only registered
    // records get broadcasts and core texts.
    bool IsRegistered() const { return registered_; }
    void SetRegistered() { registered_ = true; }
    bool IsStartGame() const { return startGame_; }
    eNotifyWndState GetState() const { return m_kState; }
    const std::string& GetServerId() const { return serverId_; }

    // Enters a state and logs it; entering WaitClose clears start-game and
    // shows Tip67 in slot 2.
    void SetState(eNotifyWndState state);

    void NotifyCallBackType(int value);
    // Texts are sent as UTF-8, and only when they differ from the slot's last one.
    void SetSlotText(int slot, const std::wstring& text);
    void SetSlotText0(const std::wstring& text) { SetSlotText(0, text); }
    void SetSlotText1(const std::wstring& text) { SetSlotText(1, text); }
    void SetSlotText2(const std::wstring& text) { SetSlotText(2, text); }
    void SetSlotText3(const std::wstring& text) { SetSlotText(3, text); }
    // Sent as a whole percentage of 100, and only when the pair changed.
    void SetProgress(double done, double total);

    // From the start request to the game start, or the update's failure.
    bool IsUpdatingClient() const {
        return m_kState == eNotifyWndState_WaitUpdateClient || m_kState == eNotifyWndState_UpdatintClient;
    }
    // eActionType_CheckVer: remembers the server ID (UTF-8 as received).
    // While the client update runs it is logged and ignored: taken, it would
    // stop the update half-way with the game never started. The update goes
    // on and starts the game in the end.
    void WaitCheckVer(const std::string& serverId);
    // eActionType_ManualUpdate (false) or eActionType_StartGame (true);
    // ignored once the launcher has asked to start the game.
    void RequestUpdate(bool startGame);
    // The tick's step for the current record in WaitCheckVer.
    void StartCheckVer();
    // The tick's step for the current record in WaitUpdateClient.
    void StartCheckClient();

private:
    void Log(const std::string& line);

    HWND window_;
    NotifyCore& core_;
    Sender send_;
    eNotifyWndState m_kState = eNotifyWndState_Idle;
    bool registered_ = false;
    bool startGame_ = false;
    std::string serverId_;
    std::string slotTexts_[kSlotCount];
    double lastDone_ = 0;
    double lastTotal_ = 0;
};
