// Internal to the package reader: the stages that decode one folder (solid
// block) of a 7z archive. Each stage hands out its output front to back
// through a buffer of bounded size, pulling from the stages that feed it, so
// a block of any size unpacks in a 32-bit process.
#pragma once
#include <cstddef>
#include <memory>
#include <vector>

#include "7zTypes.h"

// Every buffer of the package reader comes from this allocator, so that
// running short of memory can be provoked (SetPackageMemoryLimit).
const ISzAlloc* PackageAlloc();

// The archive file shared by every pack stream of a folder; reads seek only
// when another reader moved the file position.
class PackageArchiveInput {
public:
    explicit PackageArchiveInput(ISeekInStreamPtr stream) : stream_(stream) {}
    SRes ReadAt(UInt64 offset, Byte* buffer, size_t& size);
    // Someone else moved the file position.
    void Forget() { known_ = false; }

private:
    ISeekInStreamPtr stream_;
    UInt64 position_ = 0;
    bool known_ = false;
};

class PackageCoder {
public:
    virtual ~PackageCoder() = default;
    // Points at the next output bytes; size 0 only once the whole output
    // was handed out. Bytes not skipped are offered again.
    virtual SRes Look(const Byte*& data, size_t& size) = 0;
    // Drops `size` bytes of what the last Look offered.
    virtual void Skip(size_t size) = 0;
    // After the whole output: SZ_OK when every input ended exactly there.
    virtual SRes Finish() = 0;
};

using PackageCoderPtr = std::unique_ptr<PackageCoder>;

// The packed bytes at [start, start + size) of the archive.
SRes CreatePackInput(PackageArchiveInput& archive, UInt64 start, UInt64 size, PackageCoderPtr& out);

// A coder of the folder with its inputs in stream order. SZ_ERROR_UNSUPPORTED
// for a method or property this reader does not decode, SZ_ERROR_MEM when
// its buffers cannot be had.
SRes CreateCoder(UInt32 method, const Byte* props, size_t propsSize, UInt64 unpackSize,
                 std::vector<PackageCoderPtr>& inputs, PackageCoderPtr& out);

// How many inputs a method takes (0 for one this reader does not know).
unsigned CoderInputCount(UInt32 method);
