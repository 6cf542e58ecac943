#pragma once
#include "common/file_util.h"
#include "common/win.h"
#include "tests/unit/common/test_paths.h"

#include <cstdint>
#include <cstring>
#include <string>

// "left,top,right,bottom", for comparing rectangles in tests.
inline std::wstring RectText(const RECT& r) {
    return std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L"," + std::to_wstring(r.right) + L"," +
           std::to_wstring(r.bottom);
}

// A control (or window) whose memory is spoilt on deletion and never given
// back, so that no later allocation can hide a use of it: any such use
// crashes.
template <class Base>
class Spoilt : public Base {
public:
    using Base::Base;
    static void operator delete(void* memory, size_t size) { std::memset(memory, 0xFE, size); }
};

// The skin archives that the build made with Python's zipfile.
inline std::wstring FixturePath(const wchar_t* name) {
    return TestExeFolder() + L"zip_fixtures\\" + name;
}

inline std::string ReadFixture(const wchar_t* name) {
    std::string bytes;
    ReadWholeFile(FixturePath(name), bytes);
    return bytes;
}

// The fixture script's deterministic bytes.
inline std::string Pattern(size_t size, uint32_t seed) {
    std::string out(size, '\0');
    uint32_t x = seed;
    for (size_t i = 0; i < size; ++i) {
        x = (x * 1103515245u + 12345u) & 0x7FFFFFFFu;
        out[i] = static_cast<char>(i % 3 ? (x >> 16) & 0x3F : 0x41);
    }
    return out;
}

// Memory whose last byte touches a page that may not be read, so a reader
// that runs past the bytes it was given crashes at once.
class GuardedBytes {
public:
    explicit GuardedBytes(size_t capacity) {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        page_ = info.dwPageSize;
        dataSize_ = (capacity + page_ - 1) / page_ * page_;
        base_ = static_cast<unsigned char*>(VirtualAlloc(nullptr, dataSize_ + page_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(base_ + dataSize_, page_, PAGE_NOACCESS, &old);
    }
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;
    ~GuardedBytes() { VirtualFree(base_, 0, MEM_RELEASE); }

    // Copies the bytes so that they end right at the guard page.
    const unsigned char* Place(const std::string& bytes) {
        SetReadOnly(false);
        unsigned char* at = base_ + dataSize_ - bytes.size();
        if (!bytes.empty()) memcpy(at, bytes.data(), bytes.size());
        return at;
    }
    // Wide text with its terminator, so that the character after the
    // terminator is the first one that may not be read.
    const wchar_t* PlaceText(const std::wstring& text) {
        std::string bytes(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(wchar_t));
        return reinterpret_cast<const wchar_t*>(Place(bytes));
    }
    void SetReadOnly(bool readOnly) {
        DWORD old = 0;
        VirtualProtect(base_, dataSize_, readOnly ? PAGE_READONLY : PAGE_READWRITE, &old);
    }

private:
    size_t page_ = 4096;
    size_t dataSize_ = 0;
    unsigned char* base_ = nullptr;
};
