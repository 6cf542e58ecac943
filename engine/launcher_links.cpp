#include "engine/launcher_links.h"

#include "common/code_page.h"
#include "engine/notify_core.h"
#include "engine/restart_windows.h"

#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kUpToDateState = 44;
constexpr int kStoppedState = 46;

}  // namespace

LauncherLinks::LauncherLinks(NotifyCore& core)
    : core_(core), clock_([] { return static_cast<uint32_t>(timeGetTime()); }), restartFile_(kRestartWindowsFile) {
    deal_.RegisterHandler(CF_NOTIFY_WND, [this](WPARAM sender, const void* record, int32_t) {
        OnNotifyWnd(sender, *static_cast<const ChannelIntRecord*>(record));
    });
    deal_.RegisterHandler(CF_ACTION, [this](WPARAM sender, const void* record, int32_t) {
        OnNotifyAction(sender, *static_cast<const ChannelSlotTextRecord*>(record));
    });
    deal_.RegisterHandler(CF_LAUNCHER_TEXT, [](WPARAM, const void*, int32_t) {});
}

LauncherLinks::~LauncherLinks() = default;

void LauncherLinks::Log(const std::string& line) { core_.Log(line); }

void LauncherLinks::PushCallbackType(int value) {
    ScopedCriticalSection hold(eventLock_);
    events_.push_back(value);
}

bool LauncherLinks::QueueCopyData(WPARAM sender, const COPYDATASTRUCT* data) {
    bool firstDrop = false;
    const CopyDataQueue::Result result = inbound_.Push(sender, data, firstDrop);
    // One line a tick: a flood must not fill the log instead.
    if (firstDrop) {
        Log(result == CopyDataQueue::Result::kOversized
                ? "WM_COPYDATA of " + std::to_string(data->cbData) + " bytes dropped: larger than any frame"
                : std::string("WM_COPYDATA dropped until the next tick: too many bytes wait already"));
    }
    return result == CopyDataQueue::Result::kQueued;
}

void LauncherLinks::QueueCoreText(const std::string& text) {
    // Download threads call this; the records and the send buffer belong to
    // the main thread, which sends the texts from its tick.
    ScopedCriticalSection hold(coreTextLock_);
    if (coreTexts_.size() < kMaxQueuedCoreTexts) coreTexts_.push_back(text);
}

NotifyWnd* LauncherLinks::AddNotifyWnd(HWND window) {
    if (!IsWindow(window)) return nullptr;
    if (NotifyWnd* existing = FindNotifyWnd(window)) return existing;
    if (records_.size() >= kMaxRecords) {
        Log("AddNotifyWnd: " + std::to_string(kMaxRecords) + " launcher windows are served already; ignored");
        return nullptr;
    }
    records_.push_back(std::make_unique<NotifyWnd>(
        window, core_, [this](HWND target, uint32_t type, const void* record) { return Send(target, type, record); }));
    return records_.back().get();
}

NotifyWnd* LauncherLinks::FindNotifyWnd(HWND window) const {
    for (const auto& record : records_) {
        if (record->GetWindow() == window) return record.get();
    }
    return nullptr;
}

void LauncherLinks::RemoveNotifyWnd(NotifyWnd* record) {
    if (record == current_) current_ = nullptr;
    records_.erase(std::remove_if(records_.begin(), records_.end(),
                                  [record](const std::unique_ptr<NotifyWnd>& r) { return r.get() == record; }),
                   records_.end());
}

DWORD LauncherLinks::Send(HWND window, uint32_t type, const void* record) {
    DWORD result = deal_.SendCopyData(window, type, record, 0);
    if (result != 0) {
        char line[64];
        // "Send" and the GBK words for "error code".
        std::snprintf(line, sizeof(line), "Send\xB4\xED\xCE\xF3\xC2\xEB: %lu", static_cast<unsigned long>(result));
        Log(line);
    }
    return result;
}

void LauncherLinks::OnNotifyWnd(WPARAM, const ChannelIntRecord& record) {
    Log("OnNotifyWnd");
    HWND window = ChannelToWindow(record.value);
    if (window == engineWindow_ && window != nullptr) {
        Log("OnNotifyWnd names the engine's own window; ignored");
        return;
    }
    NotifyWnd* notify = AddNotifyWnd(window);
    if (notify == nullptr) return;
    notify->SetRegistered();
    // A launcher that greets late learns at once what the others were told.
    if (serverListFlag_) notify->NotifyCallBackType(eCallBackType_DownloadServerList);
    if (readyFlag_) notify->NotifyCallBackType(eCallBackType_PreDownloadReady);
}

void LauncherLinks::OnNotifyAction(WPARAM sender, const ChannelSlotTextRecord& record) {
    NotifyWnd* notify = FindNotifyWnd(reinterpret_cast<HWND>(sender));
    if (notify == nullptr) return;
    switch (record.slot) {
    case eActionType_CheckVer:
        Log("OnNotifyAction eActionType_CheckVer");
        notify->WaitCheckVer(std::string(record.text, strnlen(record.text, sizeof(record.text))));
        break;
    case eActionType_ManualUpdate:
        Log("OnNotifyAction eActionType_ManualUpdate");
        notify->RequestUpdate(false);
        break;
    case eActionType_StartGame:
        Log("OnNotifyAction eActionType_StartGame");
        notify->RequestUpdate(true);
        break;
    default:
        break;
    }
}

void LauncherLinks::Broadcast(int value) {
    for (const auto& record : records_) {
        if (record->IsRegistered()) record->NotifyCallBackType(value);
    }
}

void LauncherLinks::OnCoreCallback(int value) {
    switch (value) {
    case eCallBackType_DownloadServerList:
        Log(CallBackTypeName(value));
        serverListFlag_ = true;
        Broadcast(value);
        break;
    case eCallBackType_PrePatchVer:
        Log(CallBackTypeName(value));
        if (current_ != nullptr) {
            current_->SetState(SetCheckingVerPadding);
            current_->NotifyCallBackType(value);
        } else {
            Log("eCallBackType_PrePatchVer fail 333!");
        }
        break;
    case eCallBackType_FinishClient:
        Log("eCallBackType_FinishClient1");
        if (current_ == nullptr) break;
        if (current_->IsStartGame()) {
            Log("eCallBackType_FinishClient2");
            current_->NotifyCallBackType(eCallBackType_LaunchClient);
            current_->SetState(eNotifyWndState_WaitClose);
        } else {
            current_->SetState(eNotifyWndState_Idle);
            Log("eCallBackType_FinishClient3");
            current_->NotifyCallBackType(eCallBackType_FinishClient);
        }
        break;
    case eCallBackType_WaitRelaunch:
    case eCallBackType_WaitReStartLaunch: {
        // Every record, answered or not: each launcher must let itself be replaced.
        std::string name = CallBackTypeName(value);
        Log(name + "1");
        for (const auto& record : records_) {
            Log(name + "2");
            record->NotifyCallBackType(value);
        }
        break;
    }
    case eCallBackType_WaitReStartCore: {
        Log(CallBackTypeName(value));
        std::wstring text = core_.Text(L"Tip69");
        for (const auto& record : records_) record->SetSlotText2(text);
        restartFlag_ = true;
        break;
    }
    case eCallBackType_LaunchClient:
        break;  // only the records send it, to the launcher that asked
    case eCallBackType_PreDownloadReady:
        Log(CallBackTypeName(value));
        if (readyFlag_) break;
        readyFlag_ = true;
        Broadcast(value);
        break;
    default:
        if (value >= eCallBackType_DownloadLauncherVerError && value <= eCallBackType_StartUpdateClientRes) {
            Broadcast(value);
        }
        break;
    }
}

void LauncherLinks::SendCoreTexts() {
    std::vector<std::string> texts;
    {
        ScopedCriticalSection hold(coreTextLock_);
        texts.swap(coreTexts_);
    }
    for (const std::string& text : texts) {
        ChannelTextRecord record;
        std::memset(&record, 0, sizeof(record));
        std::strncpy(record.text, text.c_str(), sizeof(record.text) - 1);
        for (const auto& notify : records_) {
            if (notify->IsRegistered()) Send(notify->GetWindow(), CF_CORE_TEXT, &record);
        }
    }
}

void LauncherLinks::ReceiveFrames() {
    for (const CopyDataQueue::Frame& frame : inbound_.Take())
        deal_.OnReceive(frame.sender, frame.bytes.data(), static_cast<int32_t>(frame.bytes.size()));
}

void LauncherLinks::ServeRecords() {
    // Once the engine is about to restart, Tip69 stays the status the
    // launchers see rather than being replaced by the core's.
    std::wstring texts[NotifyWnd::kSlotCount] = {core_.SlotText(0), core_.SlotText(1),
                                                 restartFlag_ ? core_.Text(L"Tip69") : core_.SlotText(2),
                                                 speed_.Text()};
    double done = 0;
    double total = 0;
    core_.DisplayProgress(done, total);
    for (size_t n = 0; n < records_.size();) {
        NotifyWnd* record = records_[n].get();
        if (!record->IsAlive()) {
            if (record == current_) current_ = nullptr;
            records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(n));
            continue;
        }
        for (int slot = 0; slot < NotifyWnd::kSlotCount; ++slot) {
            // A record waiting to close keeps Tip67 as its last status.
            if (slot == 2 && record->GetState() == eNotifyWndState_WaitClose) continue;
            record->SetSlotText(slot, texts[slot]);
        }
        record->SetProgress(done, total);
        ++n;
    }
}

bool LauncherLinks::Tick() {
    core_.ContinueUpdate();

    std::vector<int> events;
    {
        ScopedCriticalSection hold(eventLock_);
        events.swap(events_);
    }
    // The launchers get the core's latest texts and progress before an
    // event that may end their record (the game start), so the last step of
    // an update is never lost between two ticks.
    if (!events.empty()) ServeRecords();
    for (int value : events) OnCoreCallback(value);
    SendCoreTexts();

    speed_.Update(clock_(), core_.UpdateState() == kUpToDateState, core_.ReceivedBytes(), core_.Text(L"Tip65"),
                  core_.Text(L"Tip66"));
    ReceiveFrames();
    ServeRecords();

    if (current_ != nullptr && current_->GetState() == eNotifyWndState_WaitClose) {
        Log("eCallBackType_FinishClient2 RemoveNotifyWnd");
        RemoveNotifyWnd(current_);
    }
    if (current_ != nullptr && current_->GetState() != eNotifyWndState_Idle && current_->IsAlive()) {
        if (current_->GetState() == eNotifyWndState_WaitCheckVer) {
            current_->StartCheckVer();
        } else if (current_->GetState() == eNotifyWndState_WaitUpdateClient) {
            current_->StartCheckClient();
        }
        return true;
    }
    if (restartFlag_) {
        std::vector<HWND> windows;
        for (const auto& record : records_) windows.push_back(record->GetWindow());
        if (!WriteRestartWindows(restartFile_, windows)) Log("WriteRestartWindows failed");
        return false;
    }
    if (records_.empty() && readyFlag_) return false;
    for (const auto& record : records_) {
        if (record->GetState() == eNotifyWndState_WaitCheckVer) {
            current_ = record.get();
            break;
        }
    }
    if (core_.UpdateState() == kStoppedState) return false;
    return true;
}
