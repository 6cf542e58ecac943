#include "common/staged_file.h"

#include "common/file_util.h"

#include <algorithm>

StagedFile::StagedFile(const std::wstring& target) : target_(target), temporary_(target + L".tmp~") {}

StagedFile::~StagedFile() { Discard(); }

bool StagedFile::Open() {
    Discard();
    file_.Reset(CreateFileW(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    created_ = file_.IsValid();
    return created_;
}

bool StagedFile::Write(const void* data, size_t size) {
    if (!file_) return false;
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 8 << 20));
        DWORD written = 0;
        if (!WriteFile(file_.Get(), bytes, chunk, &written, nullptr) || written != chunk) return false;
        bytes += written;
        size -= written;
    }
    return true;
}

bool StagedFile::Finish() {
    if (!created_) return false;
    if (!file_) return true;  // finished before
    bool flushed = FlushFileBuffers(file_.Get()) != 0;
    HANDLE handle = file_.Release();
    bool closed = CloseHandle(handle) != 0;
    return flushed && closed;
}

bool StagedFile::Commit() {
    if (!Finish() || !ReplaceFileAtomically(temporary_, target_)) {
        Discard();
        return false;
    }
    created_ = false;
    return true;
}

void StagedFile::Discard() {
    file_.Reset();
    if (created_) {
        DWORD error = GetLastError();  // the caller reports the failure that led here
        DeleteFileW(temporary_.c_str());
        SetLastError(error);
        created_ = false;
    }
}
