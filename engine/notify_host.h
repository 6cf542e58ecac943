#pragma once
// The engine object of Tidemill.exe: the update core extended by everything
// that faces the launchers (their records, the channel, the queues of
// received frames, core events and core texts, the speed text). Its tick,
// run by the main loop whenever no window message waits, advances the
// update and carries its results to the launchers.
#include "common/channel_types.h"
#include "common/win.h"
#include "engine/launcher_links.h"
#include "engine/notify_core.h"
#include "engine/update_controller.h"

#include <string>

class NotifyHost : public UpdateController, private NotifyCore {
public:
    // Builds and initialises the update core: configuration, log, lists and
    // download threads. The program path is the current folder followed by
    // "\Tidemill.exe".
    NotifyHost();
    ~NotifyHost() override;

    // Installs the event sink again and calls the core's start hook.
    bool OnLoopStart();
    // Ends the download threads.
    void Stop();
    // False ends the program.
    bool Tick() { return links_.Tick(); }

    // Any thread.
    void PushCallbackType(eCallBackType value) { links_.PushCallbackType(value); }
    // The window procedure's WM_COPYDATA; the payload is copied at once.
    void QueueCopyData(WPARAM sender, const COPYDATASTRUCT* data) { links_.QueueCopyData(sender, data); }
    // The engine's own window: a hello naming it is no launcher's.
    void SetEngineWindow(HWND window) { links_.SetEngineWindow(window); }
    // The core's texts for CF_CORE_TEXT, from the download threads; sent by the tick.
    bool OnCoreText(const std::string& text);

    NotifyWnd* AddNotifyWnd(HWND window) { return links_.AddNotifyWnd(window); }
    NotifyWnd* FindNotifyWnd(HWND window) const { return links_.FindNotifyWnd(window); }
    void RemoveNotifyWnd(NotifyWnd* record) { links_.RemoveNotifyWnd(record); }
    DWORD Send(HWND window, uint32_t type, const void* record) { return links_.Send(window, type, record); }

    // One line of the HTML log at the engine's level.
    void Log(const std::string& line) override;

private:
    void ContinueUpdate() override;
    int UpdateState() const override;
    std::wstring Text(const std::wstring& key) const override;
    std::wstring SlotText(int slot) const override;
    void DisplayProgress(double& done, double& total) const override;
    uint64_t ReceivedBytes() const override;
    void CheckServerVersion(const std::wstring& serverId) override;
    bool ClientAtTargetVersion() const override;
    void RequestClientCheck() override;

    void InstallSinks();

    LauncherLinks links_;
};

// The engine object while it exists, else null.
NotifyHost* GetNotifyHost();
