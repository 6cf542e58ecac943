#pragma once
// What the launcher-facing side of the engine needs of the update core. The
// engine object answers it from its update core; tests answer it themselves.
#include <cstdint>
#include <string>

class NotifyCore {
public:
    virtual ~NotifyCore() = default;

    // One step of the update procedure (main thread).
    virtual void ContinueUpdate() = 0;
    // The core's step state (44 up to date, 46 stopped, ...).
    virtual int UpdateState() const = 0;

    // A [Launcher] text by key, such as L"Tip65"; empty when there is none.
    virtual std::wstring Text(const std::wstring& key) const = 0;
    // The launchers' text slots: 0 installed version, 1 target version, 2 status.
    virtual std::wstring SlotText(int slot) const = 0;
    // The progress pair the launchers show in the current state.
    virtual void DisplayProgress(double& done, double& total) const = 0;
    // Every byte any download has received so far.
    virtual uint64_t ReceivedBytes() const = 0;

    // Selects the server with this ID and starts the patch-list step.
    virtual void CheckServerVersion(const std::wstring& serverId) = 0;
    virtual bool ClientAtTargetVersion() const = 0;
    // Starts the client check (step state 1).
    virtual void RequestClientCheck() = 0;

    // One line of the engine's log.
    virtual void Log(const std::string& line) = 0;
};
