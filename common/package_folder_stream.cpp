#include "common/package_folder_stream.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <vector>

#include "7zCrc.h"

namespace {

bool ParseFolder(const CSzArEx& db, UInt32 folder, CSzFolder& parsed) {
    if (folder >= db.db.NumFolders) return false;
    CSzData data;
    data.Data = db.db.CodersData + db.db.FoCodersOffsets[folder];
    data.Size = db.db.FoCodersOffsets[folder + 1] - db.db.FoCodersOffsets[folder];
    return SzGetNextFolderItem(&parsed, &data) == SZ_OK && data.Size == 0 &&
           parsed.UnpackStream == db.db.FoToMainUnpackSizeIndex[folder];
}

// Builds the stages of a folder from the coder that gives its output back
// to the packed streams: each input of a coder is either another coder's
// output (a bond) or one of the folder's packed streams.
class FolderBuilder {
public:
    FolderBuilder(const CSzArEx& db, UInt32 folder, const CSzFolder& parsed, PackageArchiveInput& archive)
        : db_(db), folder_(folder), parsed_(parsed), archive_(archive) {}

    SRes Build(PackageCoderPtr& root) {
        SRes result = BuildCoder(parsed_.UnpackStream, root);
        if (result != SZ_OK) return result;
        // Every coder and every packed stream belongs to the one chain.
        if (codersUsed_ != parsed_.NumCoders || packsUsed_ != parsed_.NumPackStreams) return SZ_ERROR_UNSUPPORTED;
        return SZ_OK;
    }

private:
    SRes BuildCoder(UInt32 index, PackageCoderPtr& out) {
        if (index >= parsed_.NumCoders || (usedMask_ & (1u << index)) != 0) return SZ_ERROR_UNSUPPORTED;
        usedMask_ |= 1u << index;
        ++codersUsed_;
        const CSzCoderInfo& coder = parsed_.Coders[index];
        if (CoderInputCount(coder.MethodID) == 0 || coder.NumStreams != CoderInputCount(coder.MethodID))
            return SZ_ERROR_UNSUPPORTED;
        UInt32 firstIn = 0;
        for (UInt32 i = 0; i < index; ++i) firstIn += parsed_.Coders[i].NumStreams;

        std::vector<PackageCoderPtr> inputs(coder.NumStreams);
        for (UInt32 k = 0; k < coder.NumStreams; ++k) {
            SRes result = BuildInput(firstIn + k, inputs[k]);
            if (result != SZ_OK) return result;
        }
        const Byte* props = db_.db.CodersData + db_.db.FoCodersOffsets[folder_] + coder.PropsOffset;
        UInt64 unpackSize = db_.db.CoderUnpackSizes[db_.db.FoToCoderUnpackSizes[folder_] + index];
        return CreateCoder(coder.MethodID, props, coder.PropsSize, unpackSize, inputs, out);
    }

    SRes BuildInput(UInt32 inIndex, PackageCoderPtr& out) {
        for (UInt32 b = 0; b < parsed_.NumBonds; ++b)
            if (parsed_.Bonds[b].InIndex == inIndex) return BuildCoder(parsed_.Bonds[b].OutIndex, out);
        for (UInt32 p = 0; p < parsed_.NumPackStreams; ++p) {
            if (parsed_.PackStreams[p] != inIndex) continue;
            ++packsUsed_;
            UInt32 pack = db_.db.FoStartPackStreamIndex[folder_] + p;
            UInt64 start = db_.dataPos + db_.db.PackPositions[pack];
            UInt64 size = db_.db.PackPositions[pack + 1] - db_.db.PackPositions[pack];
            return CreatePackInput(archive_, start, size, out);
        }
        return SZ_ERROR_UNSUPPORTED;
    }

    const CSzArEx& db_;
    UInt32 folder_;
    const CSzFolder& parsed_;
    PackageArchiveInput& archive_;
    UInt32 usedMask_ = 0;
    UInt32 codersUsed_ = 0;
    UInt32 packsUsed_ = 0;
};

}  // namespace

std::string PackageFolderStream::Methods(const CSzArEx& db, UInt32 folder) {
    CSzFolder parsed;
    if (!ParseFolder(db, folder, parsed)) return "unreadable";
    std::string text;
    for (UInt32 i = 0; i < parsed.NumCoders; ++i) {
        char id[16];
        std::snprintf(id, sizeof(id), "%s%X", i == 0 ? "" : "+", static_cast<unsigned>(parsed.Coders[i].MethodID));
        text += id;
    }
    return text;
}

void PackageFolderStream::Reset() {
    root_.reset();
    archive_.reset();
    folder_ = 0xFFFFFFFF;
}

SRes PackageFolderStream::Start(const CSzArEx& db, ISeekInStreamPtr stream, UInt32 folder) {
    Reset();
    CSzFolder parsed;
    if (!ParseFolder(db, folder, parsed)) return SZ_ERROR_UNSUPPORTED;
    archive_.reset(new (std::nothrow) PackageArchiveInput(stream));
    if (!archive_) return SZ_ERROR_MEM;
    PackageCoderPtr root;
    SRes result = FolderBuilder(db, folder, parsed, *archive_).Build(root);
    if (result != SZ_OK) {
        Reset();
        return result;
    }
    root_ = std::move(root);
    folder_ = folder;
    unpackSize_ = SzAr_GetFolderUnpackSize(&db.db, folder);
    position_ = 0;
    hasFolderCrc_ = SzBitWithVals_Check(&db.db.FolderCRCs, folder);
    folderCrcExpected_ = hasFolderCrc_ ? db.db.FolderCRCs.Vals[folder] : 0;
    folderCrc_ = CRC_INIT_VAL;
    return SZ_OK;
}

SRes PackageFolderStream::Read(UInt64 size, const Sink& sink) {
    if (!root_) return SZ_ERROR_FAIL;
    if (size > unpackSize_ - position_) return SZ_ERROR_FAIL;
    while (size > 0) {
        const Byte* data = nullptr;
        size_t available = 0;
        SRes result = root_->Look(data, available);
        if (result != SZ_OK) return result;
        if (available == 0) return SZ_ERROR_DATA;  // the block ended before its size
        size_t piece = static_cast<size_t>(std::min<UInt64>(available, size));
        root_->Skip(piece);
        position_ += piece;
        size -= piece;
        if (hasFolderCrc_) folderCrc_ = CrcUpdate(folderCrc_, data, piece);
        // Pieces stay as small as the stages' buffers, so a sink can stop promptly.
        if (sink && !sink(data, piece)) return SZ_ERROR_WRITE;
    }
    if (position_ == unpackSize_) {
        SRes result = root_->Finish();
        if (result != SZ_OK) return result;
        if (hasFolderCrc_ && CRC_GET_DIGEST(folderCrc_) != folderCrcExpected_) return SZ_ERROR_CRC;
    }
    return SZ_OK;
}
