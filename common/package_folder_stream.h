// Internal to the package reader: decodes one folder (solid block) of a 7z
// archive front to back in pieces.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include "7z.h"
#include "Lzma2Dec.h"
#include "LzmaDec.h"

// Folders of one coder (copy, LZMA, LZMA2), which is what packages are made
// of, pass through a buffer no larger than the dictionary, so a block of any
// size unpacks in a 32-bit process. Other folders go through the decoder's
// whole-block cache instead.
class PackageFolderStream {
public:
    // Receives each decoded piece; false stops the decoding.
    using Sink = std::function<bool(const uint8_t* data, size_t size)>;

    PackageFolderStream() = default;
    ~PackageFolderStream() { Reset(); }
    PackageFolderStream(const PackageFolderStream&) = delete;
    PackageFolderStream& operator=(const PackageFolderStream&) = delete;

    static bool CanStream(const CSzArEx& db, UInt32 folder);

    // Positions the archive at the folder's packed data and sets up its decoder.
    SRes Start(const CSzArEx& db, ILookInStreamPtr stream, UInt32 folder);
    void Reset();

    bool Active() const { return active_; }
    UInt32 Folder() const { return folder_; }
    // Unpacked bytes delivered (or skipped) so far.
    UInt64 Position() const { return position_; }

    // Delivers the next `size` unpacked bytes; a null sink skips them. The
    // folder's own checksum and its end are verified with its last byte.
    SRes Read(UInt64 size, const Sink& sink);

    // Someone else moved the archive's read position: seek back before reading.
    void MarkMoved() { moved_ = true; }

private:
    SRes Deliver(const uint8_t* data, size_t size, const Sink& sink);
    SRes Look(const void*& data, size_t& available);
    SRes Consume(size_t size);
    SRes ReadCopy(UInt64 size, const Sink& sink);
    SRes ReadLzma(UInt64 size, const Sink& sink);
    SRes FinishLzma();
    CLzmaDec& Decoder() { return method_ == kLzma2 ? lzma2_.decoder : lzma_; }
    SRes DecodeToDic(SizeT limit, const void* in, SizeT* inSize, ELzmaFinishMode mode, ELzmaStatus* status);
    // Looks at the next input, decodes up to `limit` in the dictionary and
    // consumes the input used.
    SRes DecodeStep(SizeT limit, ELzmaFinishMode mode, SizeT& inProcessed, ELzmaStatus& status);

    static constexpr UInt32 kCopy = 0;
    static constexpr UInt32 kLzma2 = 0x21;
    static constexpr UInt32 kLzma = 0x30101;

    bool active_ = false;
    bool moved_ = false;
    ILookInStreamPtr stream_ = nullptr;
    UInt32 folder_ = 0xFFFFFFFF;
    UInt32 method_ = 0;
    UInt64 packStart_ = 0;
    UInt64 packSize_ = 0;
    UInt64 packLeft_ = 0;
    UInt64 unpackSize_ = 0;
    UInt64 position_ = 0;
    bool hasFolderCrc_ = false;
    UInt32 folderCrcExpected_ = 0;
    UInt32 folderCrc_ = 0;
    CLzmaDec lzma_ = {};
    CLzma2Dec lzma2_ = {};
    bool probsAllocated_ = false;
    std::unique_ptr<Byte[]> dictionary_;
};
