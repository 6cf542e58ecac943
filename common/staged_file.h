#pragma once
#include "common/unique_handle.h"

#include <cstddef>
#include <string>

// A file written beside its target under a temporary name (target +
// ".tmp~") and moved over the target only once complete and flushed, so a
// cut or a crash leaves the old file or the new one, never a torn one.
// Unless committed, the temporary file is deleted.
class StagedFile {
public:
    explicit StagedFile(const std::wstring& target);
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Creates the temporary file afresh.
    bool Open();
    bool Write(const void* data, size_t size);
    // Flushes and closes the temporary file; it can then be read and
    // checked before Commit.
    bool Finish();
    // Finishes and renames over the target. False, with the temporary file
    // deleted, when any step fails.
    bool Commit();
    void Discard();

    const std::wstring& TemporaryPath() const { return temporary_; }

private:
    std::wstring target_;
    std::wstring temporary_;
    ScopedFileHandle file_;
    bool created_ = false;
};
