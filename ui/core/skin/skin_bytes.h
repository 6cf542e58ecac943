// Reads a skin file whole into memory: from the skin zip when one is set,
// else from the resource folder; or a plain file by its path. Sizes above
// the caller's limit are refused before anything is allocated, whatever an
// archive's header claims.
#pragma once
#include <cstddef>

namespace QuillUI {

// The limit for image files: far above any skin image, so a damaged archive
// cannot make a loader allocate more.
const size_t kMaxImageFileSize = 64 * 1024 * 1024;

enum class SkinReadResult {
    kOk,
    kCannotOpen,      // no such file, or it cannot be opened
    kCannotRead,
    kEmpty,
    kTooLarge,        // above the limit, or no memory for it
    kZipCannotOpen,
    kZipNotFound,
    kZipCannotUnzip,
};

// A malloc'd byte block with one owner.
class SkinBytesUI {
public:
    SkinBytesUI() = default;
    SkinBytesUI(const SkinBytesUI&) = delete;
    SkinBytesUI& operator=(const SkinBytesUI&) = delete;
    ~SkinBytesUI() { Reset(); }

    const unsigned char* GetData() const { return data_; }
    size_t GetSize() const { return size_; }
    bool IsEmpty() const { return size_ == 0; }
    void Reset();
    // Replaces the block with one of size bytes; false when there is no memory.
    bool Allocate(size_t size);
    unsigned char* GetBuffer() { return data_; }

private:
    unsigned char* data_ = nullptr;
    size_t size_ = 0;
};

// name is relative to the resource folder, or an item of the skin zip
// (letters in either case).
SkinReadResult ReadSkinFile(const wchar_t* name, size_t maxSize, SkinBytesUI& out);
SkinReadResult ReadFileBytes(const wchar_t* path, size_t maxSize, SkinBytesUI& out);

}  // namespace QuillUI
