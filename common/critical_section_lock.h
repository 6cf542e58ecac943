#pragma once
#include "common/win.h"

// A critical section owned for its whole life.
class CriticalSectionLock {
public:
    CriticalSectionLock() { InitializeCriticalSection(&section_); }
    ~CriticalSectionLock() { DeleteCriticalSection(&section_); }
    CriticalSectionLock(const CriticalSectionLock&) = delete;
    CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

    void Enter() { EnterCriticalSection(&section_); }
    void Leave() { LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};

// Holds a CriticalSectionLock for one scope.
class ScopedCriticalSection {
public:
    explicit ScopedCriticalSection(CriticalSectionLock& lock) : lock_(lock) { lock_.Enter(); }
    ~ScopedCriticalSection() { lock_.Leave(); }
    ScopedCriticalSection(const ScopedCriticalSection&) = delete;
    ScopedCriticalSection& operator=(const ScopedCriticalSection&) = delete;

private:
    CriticalSectionLock& lock_;
};
