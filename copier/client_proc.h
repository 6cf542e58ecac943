#pragma once
#include "common/client_proc_msg.h"
#include "common/hall_event_inbox.h"
#include "common/launcher_parameter_list.h"

#include <cstdint>
#include <string>

// The copier's game-hall client in hall mode: stays connected with the old
// "PROCPARA", waits until the old launcher has exited, asks the hall for a
// fresh parameter, installs the new launcher and starts it with the
// parameter list rebuilt around the fresh value.
//
// The library may call the handlers on a thread of its own: they only queue
// what arrived, and Poll applies it on the copier's thread.
class ClientProc final : public HallEventInbox {
public:
    enum State : int32_t {
        kConnecting = 0,
        kConnected = 1,
        kConnectFailed = 2,
        kClosed = 3,
        kReplyReceived = 4,  // fresh parameter received
        kWaiting = 5,        // request sent, or the new launcher started
        kReplaceNow = 6,     // old launcher gone
    };

    // `folder`: the installation folder, without a trailing backslash.
    explicit ClientProc(const std::wstring& folder);
    ~ClientProc();
    ClientProc(const ClientProc&) = delete;
    ClientProc& operator=(const ClientProc&) = delete;

    // Keeps the parameter list and connects with its "PROCPARA".
    bool Init(const std::wstring& parameterList);
    bool Connect();
    // The value in the ANSI code page, empty when missing.
    std::string GetParam(const std::wstring& key) const;
    // One pass of the state machine; false ends the copier.
    bool Poll();

    State state() const { return state_; }
    const std::wstring& rebuiltList() const { return rebuiltList_; }

private:
    void ApplyEvents();
    void Apply(const HallEvent& event);
    void OnProcParaReply(const ReceivedProcMsg& reply);
    void SetState(State next);
    bool LauncherRuns() const;
    void ReplaceLauncher();

    std::wstring folder_;
    HMODULE library_ = nullptr;
    ClientProcMsgObject* object_ = nullptr;
    std::wstring parameterText_;
    LauncherParameterList parameters_;
    std::wstring rebuiltList_;
    State state_ = kConnecting;
    // Only a reply to our own request counts as a fresh parameter.
    bool requestOutstanding_ = false;
    // The hall hung up after its reply, before the launcher was replaced.
    bool hallGone_ = false;
};

const wchar_t* ClientProcStateName(int32_t state);
