// The bytes of an open archive: a file handle of the reader's own or a memory
// block. Offsets are relative to the archive's start (the handle's position
// when it was opened), and every read is checked against the archive's end.
#pragma once
#include "common/unique_handle.h"
#include "ui/core/skin/zip_reader.h"

#include <cstddef>
#include <cstdint>

namespace QuillUI {

class ZipSource {
public:
    ZipResult OpenHandle(HANDLE handle);
    ZipResult OpenFileName(const wchar_t* name);
    ZipResult OpenMemory(const void* block, unsigned int length);

    uint64_t GetSize() const { return size_; }
    // Reads exactly count bytes at offset; false past the end or on a failed read.
    bool ReadAt(uint64_t offset, void* destination, size_t count);

private:
    ZipResult AdoptHandle(HANDLE handle);

    ScopedFileHandle file_;
    const unsigned char* memory_ = nullptr;
    uint64_t start_ = 0;
    uint64_t size_ = 0;
};

}  // namespace QuillUI
