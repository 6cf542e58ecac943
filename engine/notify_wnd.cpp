#include "engine/notify_wnd.h"

#include "common/channel_types.h"
#include "common/code_page.h"
#include "engine/notify_core.h"

#include <cstring>
#include <utility>

const char* NotifyWndStateName(int state) {
    switch (state) {
    case eNotifyWndState_Idle: return "eNotifyWndState_Idle";
    case eNotifyWndState_WaitCheckVer: return "eNotifyWndState_WaitCheckVer";
    case eNotifyWndState_CheckingVer: return "eNotifyWndState_CheckingVer";
    case SetCheckingVerPadding: return "SetCheckingVerPadding";
    case eNotifyWndState_WaitUpdateClient: return "eNotifyWndState_WaitUpdateClient";
    case eNotifyWndState_UpdatintClient: return "eNotifyWndState_UpdatintClient";
    case eNotifyWndState_WaitClose: return "eNotifyWndState_WaitClose";
    default: return "";
    }
}

NotifyWnd::NotifyWnd(HWND window, NotifyCore& core, Sender send)
    : window_(window), core_(core), send_(std::move(send)) {}

void NotifyWnd::Log(const std::string& line) { core_.Log(line); }

void NotifyWnd::SetState(eNotifyWndState state) {
    m_kState = state;
    Log(std::string("m_kState = ") + NotifyWndStateName(state));
    if (state == eNotifyWndState_WaitClose) {
        startGame_ = false;
        SetSlotText2(core_.Text(L"Tip67"));
    }
}

void NotifyWnd::NotifyCallBackType(int value) {
    Log(std::string("NotifyCallBackType  :  ") + CallBackTypeName(value));
    ChannelIntRecord record = {value};
    send_(window_, CF_CALLBACK_TYPE, &record);
}

void NotifyWnd::SetSlotText(int slot, const std::wstring& text) {
    if (slot < 0 || slot >= kSlotCount) return;
    std::string utf8 = WideToMulti(text, CP_UTF8);
    if (utf8 == slotTexts_[slot]) return;
    slotTexts_[slot] = utf8;
    ChannelSlotTextRecord record;
    std::memset(&record, 0, sizeof(record));
    record.slot = slot;
    // The codec sends at most 1,023 bytes, cut back to a whole character.
    std::strncpy(record.text, utf8.c_str(), sizeof(record.text) - 1);
    send_(window_, CF_TEXT_SLOT, &record);
}

void NotifyWnd::SetProgress(double done, double total) {
    if (done == lastDone_ && total == lastTotal_) return;
    lastDone_ = done;
    lastTotal_ = total;
    ChannelProgressRecord record;
    double percent = total > 0 ? done * 100 / total : 0;
    if (percent > 2147483647.0) percent = 2147483647.0;  // a pair that makes no sense must not overflow
    if (percent < 0) percent = 0;
    record.done = static_cast<int32_t>(percent);
    record.total = 100;
    send_(window_, CF_PROGRESS, &record);
}

void NotifyWnd::WaitCheckVer(const std::string& serverId) {
    if (IsUpdatingClient()) {
        Log("eActionType_CheckVer ignored: the client update of this launcher runs");
        return;
    }
    serverId_ = serverId;
    SetState(eNotifyWndState_WaitCheckVer);
}

void NotifyWnd::RequestUpdate(bool startGame) {
    if (startGame_) return;
    if (startGame) startGame_ = true;
    SetState(eNotifyWndState_WaitUpdateClient);
}

void NotifyWnd::StartCheckVer() {
    SetState(eNotifyWndState_CheckingVer);
    core_.CheckServerVersion(MultiToWide(serverId_, CP_UTF8));
}

void NotifyWnd::StartCheckClient() {
    Log("StartCheckClient");
    if (startGame_ && core_.ClientAtTargetVersion()) {
        Log("StartCheckClient 1");
        NotifyCallBackType(eCallBackType_LaunchClient);
        SetState(eNotifyWndState_WaitClose);
        return;
    }
    Log("StartCheckClient 2");
    SetState(eNotifyWndState_UpdatintClient);
    core_.RequestClientCheck();
}
