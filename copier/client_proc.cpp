#include "copier/client_proc.h"

#include "common/code_page.h"
#include "common/process_util.h"
#include "copier/copier_log.h"
#include "copier/program_replacement.h"

namespace {

const wchar_t kProcParaKey[] = L"PROCPARA";

}  // namespace

const wchar_t* ClientProcStateName(int32_t state) {
    switch (state) {
    case ClientProc::kConnecting: return L"connecting";
    case ClientProc::kConnected: return L"connected";
    case ClientProc::kConnectFailed: return L"connect failed";
    case ClientProc::kClosed: return L"connection closed";
    case ClientProc::kReplyReceived: return L"fresh parameter received";
    case ClientProc::kWaiting: return L"waiting";
    case ClientProc::kReplaceNow: return L"replace now";
    }
    return L"unknown";
}

ClientProc::ClientProc(const std::wstring& folder) : folder_(folder) {}

ClientProc::~ClientProc() {
    if (object_ != nullptr) {
        object_->RemoveEventHandler(this);
        object_->Release();
        object_ = nullptr;
    }
    // The library stays loaded: threads of its own may still be winding down.
}

bool ClientProc::Init(const std::wstring& parameterList) {
    parameterText_ = parameterList;
    parameters_.Parse(parameterList);
    return Connect();
}

bool ClientProc::Connect() {
    library_ = LoadHallLibrary();
    if (library_ == nullptr) {
        CopierLog(L"the hall library %ls could not be loaded (error %lu)", kHallLibraryName,
                  static_cast<unsigned long>(GetLastError()));
        return false;
    }
    object_ = CreateHallMessageObject(library_);
    if (object_ == nullptr) {
        CopierLog(L"the hall library gave no message object");
        return false;
    }
    object_->Initialize();
    object_->AddEventHandler(this);
    std::string procPara = GetParam(kProcParaKey);
    if (object_->Connect(procPara.c_str()) == 0) {
        CopierLog(L"the hall refused the connection");
        return false;
    }
    CopierLog(L"connecting to the hall");
    return true;
}

std::string ClientProc::GetParam(const std::wstring& key) const { return WideToMulti(parameters_.Get(key), 0); }

void ClientProc::ApplyEvents() {
    HallEvent event;
    while (TakeHallEvent(event)) Apply(event);
}

void ClientProc::Apply(const HallEvent& event) {
    switch (event.kind) {
    case HallEvent::kConnected:
        if (state_ == kConnecting) {
            SetState(kConnected);
        } else {
            // A second "connected" would start the whole exchange again.
            CopierLog(L"hall event connected ignored in state %d (%ls)", state_, ClientProcStateName(state_));
        }
        break;
    case HallEvent::kConnectFailed:
    case HallEvent::kClosed:
        if (state_ == kReplyReceived || state_ == kReplaceNow) {
            // The fresh parameter is in hand and the old launcher is going:
            // the replacement goes on without the hall, then the copier ends.
            CopierLog(L"the hall connection ended in state %d (%ls); the launcher is replaced all the same",
                      state_, ClientProcStateName(state_));
            hallGone_ = true;
        } else {
            SetState(event.kind == HallEvent::kClosed ? kClosed : kConnectFailed);
        }
        break;
    case HallEvent::kRejected:
        CopierLog(L"hall message ignored: %ls", MultiToWide(ProcMsgCheckName(event.check), CP_UTF8).c_str());
        break;
    case HallEvent::kMessage:
        if (event.message.type == HALL_MSG_PROCPARA)
            OnProcParaReply(event.message);
        else
            CopierLog(L"hall message of type %d ignored", event.message.type);
        break;
    }
}

void ClientProc::OnProcParaReply(const ReceivedProcMsg& reply) {
    if (!requestOutstanding_) {
        CopierLog(L"hall reply with a parameter ignored: nothing was asked (state %d, %ls)", state_,
                  ClientProcStateName(state_));
        return;
    }
    std::string fresh;
    if (!ProcParaFromReply(reply, fresh)) {
        CopierLog(L"hall reply with a parameter of %u bytes ignored: longer than %u bytes",
                  static_cast<unsigned>(reply.body.size()), static_cast<unsigned>(kProcParaMaxLength));
        return;
    }
    requestOutstanding_ = false;
    rebuiltList_ = parameters_.RebuiltWith(kProcParaKey, MultiToWide(fresh, CP_UTF8));
    SetState(kReplyReceived);
}

void ClientProc::SetState(State next) {
    if (next == state_) return;
    CopierLog(L"hall state %d (%ls) -> %d (%ls)", state_, ClientProcStateName(state_), next,
              ClientProcStateName(next));
    state_ = next;
}

bool ClientProc::LauncherRuns() const { return IsProcessRunningA(WideToMulti(kLauncherExe, 0).c_str()); }

bool ClientProc::Poll() {
    ApplyEvents();
    if (state_ == kConnected && !LauncherRuns()) {
        SetState(kWaiting);
        if (SendProcMsg(object_, HALL_MSG_PROCPARA, nullptr, 0)) {
            requestOutstanding_ = true;
            CopierLog(L"the old launcher has exited; asked the hall for a fresh parameter");
        } else {
            CopierLog(L"the old launcher has exited, but the hall is not connected: nothing asked");
        }
        return true;
    }
    if (state_ == kConnectFailed || state_ == kClosed) return false;
    if (state_ == kReplaceNow) {
        ReplaceLauncher();
        return !hallGone_;
    }
    if (state_ == kReplyReceived && !LauncherRuns()) SetState(kReplaceNow);
    return true;
}

void ClientProc::ReplaceLauncher() {
    if (!InstallDownloadedProgram(kLauncherExe)) CopierLog(L"starting the old %ls again", kLauncherExe);
    SetState(kWaiting);
    StartInstalledProgram(folder_, kLauncherExe, rebuiltList_);
}
