#pragma once
// Serialises engine start-ups: the engine holds "qln_tidemill_a" from before
// it looks for a running engine until it has recorded its own window, so two
// engines started together never both take the running-engine role.
#include "common/unique_handle.h"

#include <functional>
#include <utility>
#include <string>

constexpr wchar_t kStartupMutexName[] = L"qln_tidemill_a";

class StartupMutex {
public:
    // Polls this often; after kLongWaitPolls polls the long-wait hook runs once.
    static constexpr unsigned kPollMs = 100;
    static constexpr unsigned kLongWaitPolls = 30;

    explicit StartupMutex(std::wstring name = kStartupMutexName) : name_(std::move(name)) {}
    ~StartupMutex() { Release(); }
    StartupMutex(const StartupMutex&) = delete;
    StartupMutex& operator=(const StartupMutex&) = delete;

    // Creates the mutex (or opens the existing one) and waits, without a
    // limit, until this engine owns it. One call creates and takes it, so
    // no second engine can slip in between a test and a creation. A mutex
    // that an engine of higher integrity holds is waited on with the only
    // right it grants us; one that cannot be opened at all counts as held
    // until it is gone: a start-up never goes on unserialised.
    void Acquire(const std::function<void()>& onLongWait = nullptr);
    bool IsHeld() const { return held_; }
    void Release();

private:
    HANDLE CreateOrOpen() const;

    std::wstring name_;
    ScopedHandle mutex_;
    bool held_ = false;
};
