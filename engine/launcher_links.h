#pragma once
// The engine's side of its conversation with the launcher windows: one
// NotifyWnd record per window, the channel handlers, the queues that carry
// received frames, the core's events and the core's texts to the main
// thread, and the part of the engine's tick that serves the launchers.
#include "common/channel_types.h"
#include "common/copy_data_queue.h"
#include "common/critical_section_lock.h"
#include "common/protocol_deal.h"
#include "common/win.h"
#include "engine/notify_wnd.h"
#include "engine/speed_meter.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class NotifyCore;

class LauncherLinks {
public:
    // Core texts waiting for the tick beyond this many are dropped: they are
    // diagnostics, and a stalled main thread must not grow them without end.
    static constexpr size_t kMaxQueuedCoreTexts = 1024;
    // Launcher windows served at once; a hello beyond them is ignored.
    static constexpr size_t kMaxRecords = 64;
    static constexpr size_t kMaxFrameBytes = CopyDataQueue::kMaxFrameBytes;
    static constexpr size_t kMaxQueuedBytes = CopyDataQueue::kMaxQueuedBytes;
    static constexpr size_t kQueuedFrameCost = CopyDataQueue::kQueuedFrameCost;

    explicit LauncherLinks(NotifyCore& core);
    ~LauncherLinks();
    LauncherLinks(const LauncherLinks&) = delete;
    LauncherLinks& operator=(const LauncherLinks&) = delete;

    // Any thread.
    void PushCallbackType(int value);
    // The window procedure's copy of a received frame. False when it was
    // dropped: larger than any frame, or kMaxQueuedBytes wait already.
    bool QueueCopyData(WPARAM sender, const COPYDATASTRUCT* data);
    // A download-manager text for the registered launchers (CF_CORE_TEXT).
    void QueueCoreText(const std::string& text);

    // Main thread. One pass of the engine: the core's step, then everything
    // the launchers are owed. False ends the program.
    bool Tick();

    // None when the handle is not a window or kMaxRecords are held; the
    // existing record when one has this window.
    NotifyWnd* AddNotifyWnd(HWND window);
    NotifyWnd* FindNotifyWnd(HWND window) const;
    void RemoveNotifyWnd(NotifyWnd* record);
    // WM_COPYDATA with wParam 0; a failure is logged and returned.
    DWORD Send(HWND window, uint32_t type, const void* record);

    const std::vector<std::unique_ptr<NotifyWnd>>& Records() const { return records_; }
    NotifyWnd* CurrentRecord() const { return current_; }
    bool ServerListReady() const { return serverListFlag_; }
    bool PreDownloadReady() const { return readyFlag_; }
    bool RestartRequested() const { return restartFlag_; }
    const std::wstring& SpeedText() const { return speed_.Text(); }

    // The engine's own window, which a hello may name but is no launcher.
    void SetEngineWindow(HWND window) { engineWindow_ = window; }
    // Where the launcher windows go for a restart ("./Tidemill.ini").
    void SetRestartFile(const std::wstring& file) { restartFile_ = file; }
    // Milliseconds for the speed text (timeGetTime unless replaced).
    void SetClock(std::function<uint32_t()> clock) { clock_ = std::move(clock); }

private:
    void OnNotifyWnd(WPARAM sender, const ChannelIntRecord& record);
    void OnNotifyAction(WPARAM sender, const ChannelSlotTextRecord& record);
    void OnCoreCallback(int value);
    // To every registered record.
    void Broadcast(int value);
    void SendCoreTexts();
    void ReceiveFrames();
    void ServeRecords();
    void Log(const std::string& line);

    NotifyCore& core_;
    ProtocolDeal deal_;
    std::vector<std::unique_ptr<NotifyWnd>> records_;
    NotifyWnd* current_ = nullptr;
    bool serverListFlag_ = false;
    bool readyFlag_ = false;
    bool restartFlag_ = false;

    CopyDataQueue inbound_;
    CriticalSectionLock eventLock_;
    std::vector<int> events_;
    CriticalSectionLock coreTextLock_;
    std::vector<std::string> coreTexts_;

    SpeedMeter speed_;
    std::function<uint32_t()> clock_;
    std::wstring restartFile_;
    HWND engineWindow_ = nullptr;
};
