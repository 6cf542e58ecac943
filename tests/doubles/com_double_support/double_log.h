// The book every COM double keeps: a call log beside its DLL, the counts its
// teardown report gives, and the checks of the host's side of COM.
#pragma once
#include "common/win.h"

#include <ole2.h>
#include <oleauto.h>

#include <string>

namespace comdouble {

enum Counter {
    kObjects,     // live COM objects of the double
    kLocks,       // running locks (IRunnableObject) and server locks
    kSinks,       // event sinks held (Advise without Unadvise)
    kHostRefs,    // other host interfaces held: sites, UI handlers
    kViolations,  // host-side COM faults seen
    kCounterCount
};

// The log file's name, beside the module; set once by the DLL.
void SetLogName(const wchar_t* name);
std::wstring ModuleFolder();
void Log(const std::string& line);
// Logs "violation: WHAT" and counts it.
void Violation(const std::string& what);

void AddCount(Counter counter, long delta);
long Count(Counter counter);
// "objects", "locks", "sinks", "host-refs", "violations"; -1 for others.
long CountByName(const char* name);
// "teardown objects=N locks=N sinks=N host-refs=N violations=N".
void LogTeardown();

std::string Narrow(const wchar_t* text);
std::string Narrow(const wchar_t* text, size_t length);
std::wstring Widen(const std::string& text);
std::string HexResult(HRESULT hr);
std::string HexValue(unsigned long value);
std::string GuidText(REFGUID guid);
std::string RectText(const RECT& r);
// Type and value, e.g. "VT_BOOL -1", "VT_BSTR \"7\"", "VT_EMPTY".
std::string DescribeVariant(const VARIANT& v);

// A BSTR argument must carry its length prefix: SysStringLen equal to the
// characters up to the terminator. Logs a violation naming WHERE when not.
// Null is a valid empty BSTR.
bool CheckBstr(BSTR text, const char* where);
// The argument as quoted text for the log, "(null)" for null.
std::string BstrText(BSTR text);

// A host interface the double holds, counted while held.
template <class T>
class HostRef {
public:
    explicit HostRef(Counter counter = kHostRefs) : counter_(counter) {}
    HostRef(const HostRef&) = delete;
    HostRef& operator=(const HostRef&) = delete;
    ~HostRef() { Reset(); }

    void Set(T* pointer) {
        if (pointer != nullptr) {
            pointer->AddRef();
            AddCount(counter_, 1);
        }
        Reset();
        ptr_ = pointer;
    }
    // Takes over a reference the caller already holds.
    void Adopt(T* pointer) {
        if (pointer != nullptr) AddCount(counter_, 1);
        Reset();
        ptr_ = pointer;
    }
    void Reset() {
        if (ptr_ == nullptr) return;
        T* old = ptr_;
        ptr_ = nullptr;
        AddCount(counter_, -1);
        old->Release();
    }
    T* Get() const { return ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }

private:
    Counter counter_;
    T* ptr_ = nullptr;
};

// Counts one live object of the double for as long as it exists; the last
// one gone writes the teardown report.
class LiveObject {
public:
    LiveObject();
    ~LiveObject();
    LiveObject(const LiveObject&) = delete;
    LiveObject& operator=(const LiveObject&) = delete;
};

}  // namespace comdouble
