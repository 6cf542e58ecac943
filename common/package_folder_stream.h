// Internal to the package reader: decodes one folder (solid block) of a 7z
// archive front to back in pieces.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "7z.h"
#include "common/package_coder.h"

// Every folder passes through its stages' bounded buffers (the dictionary
// being the largest), never through one buffer the size of the block, so a
// block of any size unpacks in a 32-bit process.
class PackageFolderStream {
public:
    // Receives each decoded piece; false stops the decoding.
    using Sink = std::function<bool(const uint8_t* data, size_t size)>;

    PackageFolderStream() = default;
    PackageFolderStream(const PackageFolderStream&) = delete;
    PackageFolderStream& operator=(const PackageFolderStream&) = delete;

    // Sets up the folder's stages over the archive. SZ_ERROR_UNSUPPORTED
    // for a method or a layout of coders this reader does not decode,
    // SZ_ERROR_MEM when their buffers cannot be had.
    SRes Start(const CSzArEx& db, ISeekInStreamPtr stream, UInt32 folder);
    void Reset();

    bool Active() const { return root_ != nullptr; }
    UInt32 Folder() const { return folder_; }
    // Unpacked bytes delivered (or skipped) so far.
    UInt64 Position() const { return position_; }

    // Delivers the next `size` unpacked bytes; a null sink skips them. The
    // folder's own checksum and its end are verified with its last byte.
    SRes Read(UInt64 size, const Sink& sink);

    // The folder's methods as hexadecimal ids, for log lines ("21+3030103").
    static std::string Methods(const CSzArEx& db, UInt32 folder);

private:
    std::unique_ptr<PackageArchiveInput> archive_;
    PackageCoderPtr root_;
    UInt32 folder_ = 0xFFFFFFFF;
    UInt64 unpackSize_ = 0;
    UInt64 position_ = 0;
    bool hasFolderCrc_ = false;
    UInt32 folderCrcExpected_ = 0;
    UInt32 folderCrc_ = 0;
};
