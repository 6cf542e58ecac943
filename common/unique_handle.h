// Move-only owners of platform handles: one close function and one empty
// value per kind, kept in a traits struct.
#pragma once
#include "common/win.h"

#include <utility>

template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : handle_(h) {}
    ~UniqueHandle() { Close(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    Handle Get() const { return handle_; }
    bool IsValid() const { return handle_ != Traits::Empty(); }
    explicit operator bool() const { return IsValid(); }

    Handle Release() {
        Handle h = handle_;
        handle_ = Traits::Empty();
        return h;
    }
    void Reset(Handle h = Traits::Empty()) {
        if (handle_ != h) {
            Close();
            handle_ = h;
        }
    }
    // Address for an out-parameter; the current value is closed first.
    Handle* Put() {
        Close();
        return &handle_;
    }

private:
    void Close() {
        if (handle_ != Traits::Empty()) {
            DWORD error = GetLastError();  // closing must not hide the caller's error
            Traits::Close(handle_);
            SetLastError(error);
            handle_ = Traits::Empty();
        }
    }

    Handle handle_ = Traits::Empty();
};

struct KernelHandleTraits {  // processes, threads, mutexes, events
    using Handle = HANDLE;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { CloseHandle(h); }
};
struct FileHandleTraits {  // files and snapshots: empty at INVALID_HANDLE_VALUE
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { CloseHandle(h); }
};
struct RegKeyTraits {
    using Handle = HKEY;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { RegCloseKey(h); }
};

using ScopedHandle = UniqueHandle<KernelHandleTraits>;
using ScopedFileHandle = UniqueHandle<FileHandleTraits>;
using ScopedRegKey = UniqueHandle<RegKeyTraits>;
