#pragma once
// Which engine serves the launchers when several start. Start-ups run one at
// a time under the start-up mutex, from before the look for a running engine
// until the one that serves has published its window; the running-engine
// mutex "qln_tidemill_b" is held for the whole run of the one that serves.
#include "common/unique_handle.h"
#include "engine/startup_mutex.h"

#include <functional>
#include <string>

constexpr wchar_t kRunningMutexName[] = L"qln_tidemill_b";

class EngineInstance {
public:
    enum class Role {
        kServe,     // this engine runs; its window was published
        kHandOver,  // another engine runs: tell the launchers its window
    };

    explicit EngineInstance(std::wstring startupName = kStartupMutexName,
                            std::wstring runningName = kRunningMutexName);
    ~EngineInstance();
    EngineInstance(const EngineInstance&) = delete;
    EngineInstance& operator=(const EngineInstance&) = delete;

    // Waits, without a limit, until no other engine is starting.
    void BeginStartup(const std::function<void()>& onLongWait = nullptr);
    // Ends the start-up without claiming anything (an early exit).
    void EndStartup();

    // Claims the running-engine mutex, then ends the start-up. On kServe
    // publish has run before the start-up ended, so the next engine to start
    // finds the window. A mutex that cannot be created at all means another
    // engine runs too (access denied: it belongs to a process of higher
    // integrity); two engines must never update one client together.
    Role Claim(const std::function<void()>& publish);

    // Gives up the running-engine mutex at the end of the run.
    void EndRun();

private:
    StartupMutex startup_;
    std::wstring runningName_;
    ScopedHandle running_;
    bool runningOwned_ = false;
};
