#include "launcher/hall_client.h"

#include "common/code_page.h"
#include "common/common_log.h"
#include "common/process_util.h"

#include <cstring>

namespace {

const wchar_t kProcParaKey[] = L"PROCPARA";
const wchar_t kConnectLostText[] = L"管道连接失败，程序退出!";
const wchar_t kRefusedNewText[] = L"管道连接失败，拒绝新连接!";
const wchar_t kExitCaption[] = L"退出提示";
const wchar_t kNoticeCaption[] = L"提示";

}  // namespace

HallClient::HallClient(HallClientHost& host, const std::wstring& programFolder, ProgramStarter& starter,
                       LibraryLoader loader)
    : host_(host), programFolder_(programFolder), starter_(starter), loader_(std::move(loader)) {}

HallClient::~HallClient() {
    if (object_ != nullptr) {
        // Waits for a delivery in progress; our handlers never block on the
        // UI thread, so this cannot deadlock.
        object_->RemoveEventHandler(this);
        object_->Release();
        object_ = nullptr;
    }
}

HallClient::ConnectResult HallClient::Connect(const LauncherParameterList& parameters) {
    if (object_ != nullptr) return ConnectResult::kConnecting;  // one connection a launcher
    parameters_ = parameters;
    std::wstring procPara = parameters_.Get(kProcParaKey);
    if (procPara.empty()) return ConnectResult::kNoHall;
    library_ = loader_ ? loader_() : nullptr;
    if (library_ == nullptr) {
        CommonLog("the hall library could not be loaded (error " + std::to_string(GetLastError()) + ")");
        return ConnectResult::kNoHall;
    }
    object_ = CreateHallMessageObject(library_);
    if (object_ == nullptr) {
        CommonLog("the hall library gave no message object");
        return ConnectResult::kNoHall;
    }
    object_->Initialize();
    object_->AddEventHandler(this);
    if (object_->Connect(WideToMulti(procPara, 0).c_str()) == 0) {
        CommonLog("the hall refused the connection");
        ShowErrorBox(kConnectLostText, kExitCaption);
        return ConnectResult::kRefused;
    }
    return ConnectResult::kConnecting;
}

bool HallClient::Connected() const { return object_ != nullptr && object_->IsConnected() != 0; }

bool HallClient::SendHallMessage(int32_t type, const void* body, size_t length) {
    return SendProcMsg(object_, type, body, length);
}

bool HallClient::RequestFreshProcPara(RestartKind kind) {
    if (!SendHallMessage(HALL_MSG_PROCPARA, nullptr, 0)) return false;
    requestOutstanding_ = true;
    requestedKind_ = kind;
    return true;
}

void HallClient::SetNotifyWindow(HWND window) {
    notifyWindow_.store(window);
    if (window != nullptr && HallEventsWaiting()) PostMessageW(window, kHallEventMessage, 0, 0);
}

void HallClient::OnHallEventQueued() {
    // Posting never waits for the UI thread.
    HWND window = notifyWindow_.load();
    if (window != nullptr) PostMessageW(window, kHallEventMessage, 0, 0);
}

void HallClient::ApplyEvents() {
    HallEvent event;
    while (TakeHallEvent(event)) Apply(event);
}

void HallClient::Apply(const HallEvent& event) {
    switch (event.kind) {
    case HallEvent::kConnected:
        break;
    case HallEvent::kConnectFailed:
        ShowErrorBox(kConnectLostText, kNoticeCaption);
        host_.QuitMessageLoop();
        break;
    case HallEvent::kClosed:
        // The launcher ends when the hall drops the connection.
        host_.QuitMessageLoop();
        break;
    case HallEvent::kRejected:
        CommonLog(std::string("hall message ignored: ") + ProcMsgCheckName(event.check));
        break;
    case HallEvent::kMessage:
        OnMessageReceived(event.message);
        break;
    }
}

void HallClient::OnMessageReceived(const ReceivedProcMsg& message) {
    switch (message.type) {
    case HALL_MSG_SHOW: {
        int32_t flag = 0;
        if (message.body.size() < sizeof(flag)) {
            CommonLog("hall show message ignored: its body holds " + std::to_string(message.body.size()) +
                      " bytes, not a flag");
            return;
        }
        std::memcpy(&flag, message.body.data(), sizeof(flag));
        if (flag != 0)
            host_.ShowMainAndFrame();
        else
            host_.HideMainShowFrame();
        break;
    }
    case HALL_MSG_PROCPARA:
        OnProcParaReply(message);
        break;
    case HALL_MSG_REFUSED:
        ShowErrorBox(kRefusedNewText, kNoticeCaption);
        break;
    case SC_HALL_CMDPARA:
    default:
        break;
    }
}

void HallClient::OnProcParaReply(const ReceivedProcMsg& reply) {
    if (!requestOutstanding_) {
        // Nobody asked: a replacement now would install whatever package lies around.
        CommonLog("hall reply with a parameter ignored: nothing was asked");
        return;
    }
    std::string fresh;
    if (!ProcParaFromReply(reply, fresh)) {
        CommonLog("hall reply with a parameter of " + std::to_string(reply.body.size()) + " bytes ignored: longer than " +
                  std::to_string(kProcParaMaxLength) + " bytes");
        return;
    }
    requestOutstanding_ = false;
    rebuiltList_ = parameters_.RebuiltWith(kProcParaKey, MultiToWide(fresh, 0));
    // The launcher keeps running; it ends when the hall closes the connection.
    StartHallRestart(starter_, programFolder_, requestedKind_, rebuiltList_);
}
