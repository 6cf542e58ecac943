#include "launcher/engine_conversation.h"

#include "common/code_page.h"
#include "common/common_log.h"
#include "launcher/hall_client.h"
#include "launcher/http_transfer.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

const wchar_t kLauncherOkMutex[] = L"qln_launcher_ok";

const wchar_t* const kCallBackEventNames[] = {
    L"DownloadServerList_Sucess",      // 0
    L"DownloadPatchVer_Sucess",        // 1
    L"FinishUpdateClientRes",          // 2
    L"",                               // 3: replacement start
    L"",                               // 4: restart
    L"",                               // 5: the engine's own restart
    L"",                               // 6: game start
    L"DownloadLauncherVerError",       // 7
    L"DownloadLauncherHashFileError",  // 8
    L"DownloadLauncherError",          // 9
    L"DownloadLauncherResError",       // 10
    L"DownloadServerListError",        // 11
    L"DownloadPatchVerError",          // 12
    L"StartTinyPackage",               // 13
    L"UnZipTinyPackage",               // 14
    L"UnZipTinyPackageFail",           // 15
    L"UnZipTinyPackageSuccess",        // 16
    L"StartUpdateClientRes",           // 17
    L"PreDownloadReady",               // 18
};
constexpr int kCallBackCount = static_cast<int>(sizeof(kCallBackEventNames) / sizeof(kCallBackEventNames[0]));

template <typename Record>
Record RecordFrom(const void* record) {
    Record out;
    std::memcpy(&out, record, sizeof(out));
    return out;
}

// The bytes of a channel text up to its terminator.
std::string ChannelText(const char* text) {
    return std::string(text, static_cast<size_t>(CNetData::BoundedLength(text, kChannelTextCapacity)));
}

// Clears a flag however the scope is left.
class FlagHold {
public:
    explicit FlagHold(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagHold() { flag_ = false; }
    FlagHold(const FlagHold&) = delete;
    FlagHold& operator=(const FlagHold&) = delete;

private:
    bool& flag_;
};

}  // namespace

const wchar_t* CallBackEventName(int value) {
    return value >= 0 && value < kCallBackCount ? kCallBackEventNames[value] : L"";
}

EngineConversation::EngineConversation(EngineConversationHost& host, const std::wstring& programFolder,
                                       ProgramStarter& starter)
    : host_(host), programFolder_(programFolder), starter_(starter) {
    deal_.RegisterHandler(CF_NOTIFY_WND, [this](WPARAM, const void* record, int32_t) {
        OnNotifyWnd(RecordFrom<ChannelIntRecord>(record));
    });
    deal_.RegisterHandler(CF_CALLBACK_TYPE, [this](WPARAM, const void* record, int32_t) {
        OnEngineCallback(RecordFrom<ChannelIntRecord>(record).value);
    });
    deal_.RegisterHandler(CF_TEXT_SLOT, [this](WPARAM, const void* record, int32_t) {
        OnTextSlot(*static_cast<const ChannelSlotTextRecord*>(record));
    });
    deal_.RegisterHandler(CF_PROGRESS, [this](WPARAM, const void* record, int32_t) {
        OnProgress(RecordFrom<ChannelProgressRecord>(record));
    });
    deal_.RegisterHandler(CF_CORE_TEXT, [this](WPARAM, const void* record, int32_t) {
        OnCoreText(*static_cast<const ChannelTextRecord*>(record));
    });
}

bool EngineConversation::QueueCopyData(const COPYDATASTRUCT* data) {
    bool firstDrop = false;
    const CopyDataQueue::Result result = inbound_.Push(0, data, firstDrop);
    // One line a timer: a flood must not fill the log instead.
    if (firstDrop && result == CopyDataQueue::Result::kOversized)
        CommonLog("WM_COPYDATA of " + std::to_string(data->cbData) + " bytes dropped: larger than any frame");
    else if (firstDrop)
        CommonLog("WM_COPYDATA dropped until the next timer: too many bytes wait already");
    return result == CopyDataQueue::Result::kQueued;
}

void EngineConversation::OnTimer() {
    // The starter's failure box runs a modal loop that delivers this timer
    // again, and the channel's receive record is one shared buffer. The
    // guard clears however the tick ends: left set by a failure, it would
    // stop the conversation for the rest of the run.
    if (inTimer_) return;
    FlagHold hold(inTimer_);
    if (startEngine_) {
        startEngine_ = false;
        StartEngine();
    }
    for (const CopyDataQueue::Frame& frame : inbound_.Take())
        deal_.OnReceive(0, frame.bytes.data(), static_cast<int32_t>(frame.bytes.size()));
}

void EngineConversation::StartEngine() {
    std::wstring commandLine = std::to_wstring(WindowToChannel(mainWindow_));
    Report(L"Start Tidemill.exe");
    std::wstring folder = FolderWithBackslash(programFolder_);
    DWORD pid = starter_.Start(folder + kEngineProgram, commandLine, folder, SW_HIDE);
    if (pid == 0) {
        DWORD error = GetLastError();
        Report(L"Start Tidemill.exe fail", L"ShellExecuteExW  " + std::to_wstring(error));
    } else {
        Report(L"Start Tidemill.exe success");
    }
}

void EngineConversation::OnServerChosen(const std::wstring& serverId, const std::wstring& token) {
    host_.StopPageReloads();
    Report(L"Click ServerName");
    if (!host_.OpenGameWindow()) {
        // Hidden windows and no game window would leave the player nothing
        // on screen: the choice is not taken, and can be made again.
        CommonLog("The game window cannot be created; the server choice is dropped");
        return;
    }
    serverId_ = serverId;
    token_ = token;
    host_.HideMainAndFrame();
    checkVerOwed_ = true;
    gameStartOwed_ = true;
    // Every choice starts one more engine; a second one hands its launcher
    // over to the engine that runs.
    startEngine_ = true;
    engineRequested_ = true;
    if (engineReady_) SendCheckVer();
}

void EngineConversation::ForgetChoice() {
    progress_ = {0, 100};
    checkVerOwed_ = false;
}

bool EngineConversation::ConversationInProgress() const { return engineRequested_ && engineWindow_ != nullptr; }

void EngineConversation::OnEngineCallback(int32_t value) {
    // Anything outside the enumeration comes from a malformed frame.
    if (value < 0 || value >= kCallBackCount) {
        CommonLog("engine callback " + std::to_string(value) + " ignored");
        return;
    }
    const wchar_t* event = kCallBackEventNames[value];
    const bool steersTheLauncher = value == eCallBackType_WaitRelaunch || value == eCallBackType_WaitReStartLaunch ||
                                   value == eCallBackType_LaunchClient;
    if (steersTheLauncher && !ConversationInProgress()) {
        CommonLog(std::string(CallBackTypeName(value)) + " ignored: no engine conversation is in progress");
        return;
    }
    switch (value) {
    case eCallBackType_PrePatchVer:
        Report(event);
        checkVerOwed_ = false;
        engineReady_ = false;
        SendAction(eActionType_StartGame, std::string());
        break;
    case eCallBackType_WaitRelaunch:
        StartReplacement(RestartKind::kReplace);
        break;
    case eCallBackType_WaitReStartLaunch:
        StartReplacement(RestartKind::kRestart);
        break;
    case eCallBackType_WaitReStartCore:
        break;
    case eCallBackType_LaunchClient:
        if (!gameStartOwed_) {
            CommonLog("eCallBackType_LaunchClient ignored: the game of this choice was started already");
            break;
        }
        gameStartOwed_ = false;
        host_.StartGame();
        break;
    case eCallBackType_PreDownloadReady:
        engineReady_ = true;
        Report(event);
        if (checkVerOwed_) {
            engineReady_ = false;
            SendCheckVer();
        }
        break;
    default:
        Report(event);
        break;
    }
}

void EngineConversation::StartReplacement(RestartKind kind) {
    if (hall_ != nullptr && hall_->RequestFreshProcPara(kind)) return;  // the hall's reply goes on
    StartDirectRestart(starter_, programFolder_, kind);
    // A restart ends this launcher even when the new one did not start; a
    // replacement waits for the copier to end it.
    if (kind == RestartKind::kRestart) host_.QuitMessageLoop();
}

void EngineConversation::OnNotifyWnd(const ChannelIntRecord& record) {
    HWND engine = ChannelToWindow(record.value);
    if (!IsWindow(engine)) {
        CommonLog("engine hello ignored: " + std::to_string(record.value) + " is no window");
        return;
    }
    if (engine == mainWindow_) {
        // Answered, it would come back on the next timer, again and again,
        // and every request meant for the engine would go to ourselves.
        CommonLog("engine hello ignored: it names the launcher's own window");
        return;
    }
    engineWindow_ = engine;
    ChannelIntRecord answer = {WindowToChannel(mainWindow_)};
    deal_.SendCopyData(engineWindow_, CF_NOTIFY_WND, &answer, reinterpret_cast<WPARAM>(mainWindow_));
    // One handle for the whole run; a later hello finds the mutex held.
    if (!launcherOk_) launcherOk_.Reset(CreateMutexW(nullptr, TRUE, kLauncherOkMutex));
}

void EngineConversation::OnTextSlot(const ChannelSlotTextRecord& record) {
    if (record.slot < 0 || record.slot >= kSlotCount) return;
    slots_[record.slot] = ChannelText(record.text);
    if (record.slot == kGameTextSlot) host_.ShowGameText(GameText());
}

void EngineConversation::OnProgress(const ChannelProgressRecord& record) {
    progress_ = record;
    host_.ShowGameProgress(record.done, record.total);
}

void EngineConversation::OnCoreText(const ChannelTextRecord& record) {
    Report(L"Error Log", MultiToWide(EscapeUrlText(ChannelText(record.text)), CP_UTF8));
}

std::wstring EngineConversation::GameText() const { return MultiToWide(slots_[kGameTextSlot], CP_UTF8); }

void EngineConversation::SendCheckVer() {
    // A choice is sent once: a hello repeated by a second engine brings
    // eCallBackType_PreDownloadReady again and must not re-send it.
    checkVerOwed_ = false;
    SendAction(eActionType_CheckVer, WideToMulti(serverId_, CP_UTF8));
}

void EngineConversation::SendAction(eActionType action, const std::string& text) {
    if (engineWindow_ == nullptr) {
        CommonLog(std::string("no engine window: ") + ActionTypeName(action) + " not sent");
        return;
    }
    ChannelSlotTextRecord record;
    std::memset(&record, 0, sizeof(record));
    record.slot = action;
    // The codec sends at most 1,023 bytes, cut back to a whole character.
    std::memcpy(record.text, text.data(), std::min(text.size(), sizeof(record.text) - 1));
    deal_.SendCopyData(engineWindow_, CF_ACTION, &record, reinterpret_cast<WPARAM>(mainWindow_));
}

void EngineConversation::Report(const wchar_t* event, const std::wstring& parameter) {
    host_.QueueEventReport(event, parameter);
}
