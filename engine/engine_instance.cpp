#include "engine/engine_instance.h"

#include <utility>

EngineInstance::EngineInstance(std::wstring startupName, std::wstring runningName)
    : startup_(std::move(startupName)), runningName_(std::move(runningName)) {}

EngineInstance::~EngineInstance() {
    EndRun();
    EndStartup();
}

void EngineInstance::BeginStartup(const std::function<void()>& onLongWait) { startup_.Acquire(onLongWait); }

void EngineInstance::EndStartup() { startup_.Release(); }

EngineInstance::Role EngineInstance::Claim(const std::function<void()>& publish) {
    SetLastError(0);
    running_.Reset(CreateMutexW(nullptr, TRUE, runningName_.c_str()));
    const bool created = running_ && GetLastError() != ERROR_ALREADY_EXISTS;
    if (!created) {
        running_.Reset();
        EndStartup();
        return Role::kHandOver;
    }
    runningOwned_ = true;
    if (publish) publish();
    EndStartup();
    return Role::kServe;
}

void EngineInstance::EndRun() {
    if (runningOwned_) ReleaseMutex(running_.Get());
    runningOwned_ = false;
    running_.Reset();
}
