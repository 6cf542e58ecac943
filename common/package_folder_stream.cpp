#include "common/package_folder_stream.h"

#include <algorithm>
#include <new>

#include "7zAlloc.h"
#include "7zCrc.h"

namespace {

constexpr size_t kLookSize = 1 << 18;

const ISzAlloc kAlloc = {SzAlloc, SzFree};

bool ParseSingleCoder(const CSzArEx& db, UInt32 folder, CSzFolder& parsed) {
    if (folder >= db.db.NumFolders) return false;
    CSzData data;
    data.Data = db.db.CodersData + db.db.FoCodersOffsets[folder];
    data.Size = db.db.FoCodersOffsets[folder + 1] - db.db.FoCodersOffsets[folder];
    if (SzGetNextFolderItem(&parsed, &data) != SZ_OK || data.Size != 0) return false;
    return parsed.NumCoders == 1 && parsed.NumBonds == 0 && parsed.NumPackStreams == 1 &&
           parsed.Coders[0].NumStreams == 1 && parsed.UnpackStream == db.db.FoToMainUnpackSizeIndex[folder];
}

// The buffer an LZMA dictionary needs, rounded up as the decoder itself
// does, but never more than the folder holds.
SizeT DictionaryBufferSize(UInt32 dictionary, UInt64 unpackSize) {
    UInt32 mask = (1u << 12) - 1;
    if (dictionary >= (1u << 30)) {
        mask = (1u << 22) - 1;
    } else if (dictionary >= (1u << 22)) {
        mask = (1u << 20) - 1;
    }
    SizeT size = (static_cast<SizeT>(dictionary) + mask) & ~static_cast<SizeT>(mask);
    if (size < dictionary) size = dictionary;
    if (unpackSize < size) size = static_cast<SizeT>(unpackSize);
    return size == 0 ? 1 : size;
}

}  // namespace

bool PackageFolderStream::CanStream(const CSzArEx& db, UInt32 folder) {
    CSzFolder parsed;
    if (!ParseSingleCoder(db, folder, parsed)) return false;
    UInt32 method = parsed.Coders[0].MethodID;
    return method == kCopy || method == kLzma || method == kLzma2;
}

void PackageFolderStream::Reset() {
    if (probsAllocated_) {
        if (method_ == kLzma2) {
            Lzma2Dec_FreeProbs(&lzma2_, &kAlloc);
        } else {
            LzmaDec_FreeProbs(&lzma_, &kAlloc);
        }
        probsAllocated_ = false;
    }
    dictionary_.reset();
    active_ = false;
    folder_ = 0xFFFFFFFF;
}

SRes PackageFolderStream::Start(const CSzArEx& db, ILookInStreamPtr stream, UInt32 folder) {
    Reset();
    CSzFolder parsed;
    if (!ParseSingleCoder(db, folder, parsed)) return SZ_ERROR_UNSUPPORTED;
    const CSzCoderInfo& coder = parsed.Coders[0];
    const Byte* props = db.db.CodersData + db.db.FoCodersOffsets[folder] + coder.PropsOffset;
    UInt32 packIndex = db.db.FoStartPackStreamIndex[folder];

    stream_ = stream;
    method_ = coder.MethodID;
    packStart_ = db.dataPos + db.db.PackPositions[packIndex];
    packSize_ = db.db.PackPositions[packIndex + 1] - db.db.PackPositions[packIndex];
    packLeft_ = packSize_;
    unpackSize_ = SzAr_GetFolderUnpackSize(&db.db, folder);
    position_ = 0;
    hasFolderCrc_ = SzBitWithVals_Check(&db.db.FolderCRCs, folder);
    folderCrcExpected_ = hasFolderCrc_ ? db.db.FolderCRCs.Vals[folder] : 0;
    folderCrc_ = CRC_INIT_VAL;

    UInt32 dictionary = 0;
    if (method_ == kCopy) {
        if (packSize_ != unpackSize_) return SZ_ERROR_DATA;
    } else if (method_ == kLzma) {
        CLzmaProps lzmaProps;
        if (LzmaProps_Decode(&lzmaProps, props, coder.PropsSize) != SZ_OK) return SZ_ERROR_UNSUPPORTED;
        dictionary = lzmaProps.dicSize;
        LzmaDec_CONSTRUCT(&lzma_);
        if (LzmaDec_AllocateProbs(&lzma_, props, coder.PropsSize, &kAlloc) != SZ_OK) return SZ_ERROR_MEM;
        probsAllocated_ = true;
    } else if (method_ == kLzma2) {
        if (coder.PropsSize != 1 || props[0] > 40) return SZ_ERROR_UNSUPPORTED;
        dictionary = props[0] == 40 ? 0xFFFFFFFF : (2u | (props[0] & 1u)) << (props[0] / 2 + 11);
        Lzma2Dec_CONSTRUCT(&lzma2_);
        if (Lzma2Dec_AllocateProbs(&lzma2_, props[0], &kAlloc) != SZ_OK) return SZ_ERROR_MEM;
        probsAllocated_ = true;
    } else {
        return SZ_ERROR_UNSUPPORTED;
    }
    if (method_ != kCopy) {
        SizeT size = DictionaryBufferSize(dictionary, unpackSize_);
        dictionary_.reset(new (std::nothrow) Byte[size]);
        if (!dictionary_) return SZ_ERROR_MEM;
        CLzmaDec& decoder = Decoder();
        decoder.dic = dictionary_.get();
        decoder.dicBufSize = size;
        if (method_ == kLzma2) {
            Lzma2Dec_Init(&lzma2_);
        } else {
            LzmaDec_Init(&lzma_);
        }
    }
    SRes result = LookInStream_SeekTo(stream_, packStart_);
    if (result != SZ_OK) return result;
    moved_ = false;
    folder_ = folder;
    active_ = true;
    return SZ_OK;
}

SRes PackageFolderStream::Deliver(const uint8_t* data, size_t size, const Sink& sink) {
    if (size == 0) return SZ_OK;
    position_ += size;
    if (hasFolderCrc_) folderCrc_ = CrcUpdate(folderCrc_, data, size);
    if (sink && !sink(data, size)) return SZ_ERROR_WRITE;
    return SZ_OK;
}

SRes PackageFolderStream::Look(const void*& data, size_t& available) {
    data = nullptr;
    available = static_cast<size_t>(std::min<UInt64>(kLookSize, packLeft_));
    if (available == 0) return SZ_OK;
    if (moved_) {
        SRes result = LookInStream_SeekTo(stream_, packStart_ + (packSize_ - packLeft_));
        if (result != SZ_OK) return result;
        moved_ = false;
    }
    return ILookInStream_Look(stream_, &data, &available);
}

SRes PackageFolderStream::Consume(size_t size) {
    if (size == 0) return SZ_OK;
    packLeft_ -= size;
    return ILookInStream_Skip(stream_, size);
}

SRes PackageFolderStream::DecodeToDic(SizeT limit, const void* in, SizeT* inSize, ELzmaFinishMode mode,
                                      ELzmaStatus* status) {
    const Byte* bytes = static_cast<const Byte*>(in);
    if (method_ == kLzma2) return Lzma2Dec_DecodeToDic(&lzma2_, limit, bytes, inSize, mode, status);
    return LzmaDec_DecodeToDic(&lzma_, limit, bytes, inSize, mode, status);
}

SRes PackageFolderStream::Read(UInt64 size, const Sink& sink) {
    if (!active_) return SZ_ERROR_FAIL;
    if (size > unpackSize_ - position_) return SZ_ERROR_FAIL;
    SRes result = method_ == kCopy ? ReadCopy(size, sink) : ReadLzma(size, sink);
    if (result != SZ_OK) return result;
    if (position_ == unpackSize_) {
        if (method_ != kCopy) {
            result = FinishLzma();
            if (result != SZ_OK) return result;
        } else if (packLeft_ != 0) {
            return SZ_ERROR_DATA;
        }
        if (hasFolderCrc_ && CRC_GET_DIGEST(folderCrc_) != folderCrcExpected_) return SZ_ERROR_CRC;
    }
    return SZ_OK;
}

SRes PackageFolderStream::ReadCopy(UInt64 size, const Sink& sink) {
    while (size > 0) {
        const void* in = nullptr;
        size_t available = 0;
        SRes result = Look(in, available);
        if (result != SZ_OK) return result;
        available = static_cast<size_t>(std::min<UInt64>(available, size));
        if (available == 0) return SZ_ERROR_INPUT_EOF;
        result = Deliver(static_cast<const uint8_t*>(in), available, sink);
        if (result != SZ_OK) return result;
        result = Consume(available);
        if (result != SZ_OK) return result;
        size -= available;
    }
    return SZ_OK;
}

SRes PackageFolderStream::DecodeStep(SizeT limit, ELzmaFinishMode mode, SizeT& inProcessed, ELzmaStatus& status) {
    const void* in = nullptr;
    size_t available = 0;
    SRes result = Look(in, available);
    if (result != SZ_OK) return result;
    inProcessed = available;
    result = DecodeToDic(limit, in, &inProcessed, mode, &status);
    SRes consumed = Consume(inProcessed);
    return result != SZ_OK ? result : consumed;
}

SRes PackageFolderStream::ReadLzma(UInt64 size, const Sink& sink) {
    CLzmaDec& decoder = Decoder();
    while (size > 0) {
        // The dictionary is a ring: once full, decoding starts over at its front.
        if (decoder.dicPos == decoder.dicBufSize) decoder.dicPos = 0;
        SizeT start = decoder.dicPos;
        SizeT limit = start + static_cast<SizeT>(std::min<UInt64>(size, decoder.dicBufSize - start));
        SizeT inProcessed = 0;
        ELzmaStatus status;
        SRes result = DecodeStep(limit, LZMA_FINISH_ANY, inProcessed, status);
        if (result != SZ_OK) return result;
        SizeT produced = decoder.dicPos - start;
        // Input ended early, or the stream ended before the folder did.
        if (produced == 0 && inProcessed == 0) return SZ_ERROR_DATA;
        result = Deliver(decoder.dic + start, produced, sink);
        if (result != SZ_OK) return result;
        size -= produced;
    }
    return SZ_OK;
}

SRes PackageFolderStream::FinishLzma() {
    for (;;) {
        SizeT inProcessed = 0;
        ELzmaStatus status;
        SRes result = DecodeStep(Decoder().dicPos, LZMA_FINISH_END, inProcessed, status);
        if (result != SZ_OK) return result;
        if (status == LZMA_STATUS_FINISHED_WITH_MARK) return packLeft_ == 0 ? SZ_OK : SZ_ERROR_DATA;
        if (status == LZMA_STATUS_MAYBE_FINISHED_WITHOUT_MARK && packLeft_ == 0) return SZ_OK;
        if (inProcessed == 0) return SZ_ERROR_DATA;
    }
}
