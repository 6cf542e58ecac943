#pragma once
// The launcher's connection to the game hall through the hall's client
// library: the hall shows or hides the launcher, refuses second connections
// and hands out the fresh "PROCPARA" with which a replaced or restarted
// launcher connects again.
//
// The library may call the handlers on a thread of its own, even before the
// launcher's windows exist: they only copy what arrived into a queue and wake
// the notify window, and ApplyEvents acts on the queue on the UI thread.
#include "common/client_proc_msg.h"
#include "common/hall_event_inbox.h"
#include "common/launcher_parameter_list.h"
#include "launcher/launcher_restart.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

// What the hall's events do to the launcher's windows; MainWindow implements
// it. Called on the UI thread only.
class HallClientHost {
public:
    // HALL_MSG_SHOW with a flag other than 0: main and frame window shown
    // normally and active.
    virtual void ShowMainAndFrame() = 0;
    // HALL_MSG_SHOW with flag 0: the main window hidden, the frame shown.
    virtual void HideMainShowFrame() = 0;
    // Ends the message loop (PostQuitMessage on the UI thread).
    virtual void QuitMessageLoop() = 0;

protected:
    ~HallClientHost() = default;
};

class HallClient final : public HallEventInbox {
public:
    // Posted to the notify window when hall events wait for ApplyEvents.
    static constexpr UINT kHallEventMessage = WM_APP + 0x101;

    using LibraryLoader = std::function<HMODULE()>;

    enum class ConnectResult {
        kNoHall,      // no "PROCPARA", or no usable library: the launcher works alone
        kConnecting,  // the library took the parameter
        kRefused,     // the box has been shown; the launcher ends without windows
    };

    // `programFolder`: where the replacement programs are started from.
    HallClient(HallClientHost& host, const std::wstring& programFolder,
               ProgramStarter& starter = ShellProgramStarter(), LibraryLoader loader = LoadHallLibrary);
    // Removes the handler from the message object and releases it; the
    // library stays loaded, as threads of its own may still be ending.
    ~HallClient();
    HallClient(const HallClient&) = delete;
    HallClient& operator=(const HallClient&) = delete;

    // Connects with the list's "PROCPARA" in the ANSI code page. On a refusal
    // shows the box "管道连接失败，程序退出!" ("退出提示").
    ConnectResult Connect(const LauncherParameterList& parameters);

    // True when there is a message object and it reports itself connected.
    bool Connected() const;

    // Sends a record while connected; false when nothing was handed over.
    bool SendHallMessage(int32_t type, const void* body, size_t length);

    // Asks the hall for a fresh "PROCPARA" (HALL_MSG_PROCPARA, empty body);
    // its reply starts the program of `kind` with the rebuilt parameter list.
    // False when not connected: the caller takes the direct road.
    bool RequestFreshProcPara(RestartKind kind);

    // The window woken with kHallEventMessage; events already waiting wake
    // it at once. Null stops the wake-ups.
    void SetNotifyWindow(HWND window);

    // Acts on every queued hall event, in arrival order (UI thread).
    void ApplyEvents();

    // The parameter list of the last replacement started from a reply.
    const std::wstring& rebuiltList() const { return rebuiltList_; }

private:
    void OnHallEventQueued() override;
    void Apply(const HallEvent& event);
    void OnMessageReceived(const ReceivedProcMsg& message);
    void OnProcParaReply(const ReceivedProcMsg& reply);

    HallClientHost& host_;
    const std::wstring programFolder_;
    ProgramStarter& starter_;
    LibraryLoader loader_;
    HMODULE library_ = nullptr;
    ClientProcMsgObject* object_ = nullptr;
    LauncherParameterList parameters_;
    std::wstring rebuiltList_;
    // Only a reply to our own request restarts anything, by the kind asked.
    bool requestOutstanding_ = false;
    RestartKind requestedKind_ = RestartKind::kReplace;

    std::atomic<HWND> notifyWindow_{nullptr};
};
