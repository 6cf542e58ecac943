#include "common/package_file.h"

#include "common/common_log.h"
#include "common/package_extractor.h"
#include "common/package_folder_stream.h"
#include "common/unique_handle.h"

#include <new>
#include <vector>

#include "7z.h"
#include "7zCrc.h"
#include "7zFile.h"

namespace {

// The archive's headers are read through this; the folders bring their own.
constexpr size_t kLookBufferSize = 1 << 16;

// The decoder's CRC table is global: built once, before any thread decodes.
void EnsureCrcTable() {
    static const bool ready = (CrcGenerateTable(), true);
    (void)ready;
}

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    EntryNameToNarrow(text, narrow);
    return narrow;
}

}  // namespace

struct PackageFile::State {
    std::wstring path;
    ScopedFileHandle file;
    CFileInStream fileStream;
    CLookToRead2 lookStream;
    std::unique_ptr<Byte[]> lookBuffer;
    CSzArEx db;
    bool dbOpen = false;
    PackageFolderStream folderStream;
};

PackageFile::PackageFile() = default;

PackageFile::~PackageFile() { Close(); }

void PackageFile::Close() {
    if (!state_) return;
    state_->folderStream.Reset();
    if (state_->dbOpen) SzArEx_Free(&state_->db, PackageAlloc());
    state_.reset();
}

bool PackageFile::Open(const std::wstring& path) {
    Close();
    EnsureCrcTable();
    lackedMemory_ = false;
    std::unique_ptr<State> state(new (std::nothrow) State);
    if (!state) {
        lackedMemory_ = true;
        return false;
    }
    state->path = path;
    state->file.Reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!state->file) {
        CommonLog("package " + Narrow(path) + " cannot be opened (error " + std::to_string(GetLastError()) + ")");
        return false;
    }
    FileInStream_CreateVTable(&state->fileStream);
    state->fileStream.file.handle = state->file.Get();
    state->fileStream.wres = 0;

    state->lookBuffer.reset(new (std::nothrow) Byte[kLookBufferSize]);
    if (!state->lookBuffer) {
        lackedMemory_ = true;
        return false;
    }
    LookToRead2_CreateVTable(&state->lookStream, False);
    state->lookStream.buf = state->lookBuffer.get();
    state->lookStream.bufSize = kLookBufferSize;
    state->lookStream.realStream = &state->fileStream.vt;
    LookToRead2_INIT(&state->lookStream);

    SzArEx_Init(&state->db);
    SRes result = SzArEx_Open(&state->db, &state->lookStream.vt, PackageAlloc(), PackageAlloc());
    if (result != SZ_OK) {
        SzArEx_Free(&state->db, PackageAlloc());
        lackedMemory_ = result == SZ_ERROR_MEM;
        CommonLog("package " + Narrow(path) +
                  (lackedMemory_ ? " cannot be read: not enough memory for its headers"
                                 : " is no readable archive (error " + std::to_string(result) + ")"));
        return false;
    }
    state->dbOpen = true;
    state_ = std::move(state);
    return true;
}

uint32_t PackageFile::EntryCount() const { return state_ ? state_->db.NumFiles : 0; }

std::wstring PackageFile::EntryName(uint32_t index) const {
    if (!state_ || index >= state_->db.NumFiles) return std::wstring();
    size_t length = SzArEx_GetFileNameUtf16(&state_->db, index, nullptr);
    std::vector<UInt16> name(length + 1, 0);
    SzArEx_GetFileNameUtf16(&state_->db, index, name.data());
    std::wstring out;
    for (size_t i = 0; i < length && name[i] != 0; ++i) out += static_cast<wchar_t>(name[i]);
    return out;
}

bool PackageFile::IsFolder(uint32_t index) const {
    return state_ && index < state_->db.NumFiles && SzArEx_IsDir(&state_->db, index);
}

uint64_t PackageFile::EntrySize(uint32_t index) const {
    if (!state_ || index >= state_->db.NumFiles) return 0;
    return SzArEx_GetFileSize(&state_->db, index);
}

bool PackageFile::ReadEntry(uint32_t index, const Sink& sink) {
    lackedMemory_ = false;
    if (!state_ || index >= state_->db.NumFiles || IsFolder(index)) return false;
    State& s = *state_;
    UInt32 folder = s.db.FileToFolder[index];
    if (folder == 0xFFFFFFFF) return true;  // an empty file has no data
    UInt64 size = SzArEx_GetFileSize(&s.db, index);
    UInt64 offset = s.db.UnpackPositions[index] - s.db.UnpackPositions[s.db.FolderToFile[folder]];

    SRes result = SZ_OK;
    PackageFolderStream& stream = s.folderStream;
    if (!stream.Active() || stream.Folder() != folder || stream.Position() > offset)
        result = stream.Start(s.db, &s.fileStream.vt, folder);
    if (result == SZ_OK) result = stream.Read(offset - stream.Position(), nullptr);
    UInt32 crc = CRC_INIT_VAL;
    if (result == SZ_OK) {
        result = stream.Read(size, [&](const uint8_t* data, size_t length) {
            crc = CrcUpdate(crc, data, length);
            return sink(data, length);
        });
    }
    if (result == SZ_OK && SzBitWithVals_Check(&s.db.CRCs, index) && CRC_GET_DIGEST(crc) != s.db.CRCs.Vals[index])
        result = SZ_ERROR_CRC;
    if (result == SZ_OK) return true;
    stream.Reset();  // a broken folder is not read on; its buffers go at once

    std::string entry = "package " + Narrow(s.path) + ": entry \"" + Narrow(EntryName(index)) + "\" ";
    if (result == SZ_ERROR_MEM) {
        lackedMemory_ = true;
        CommonLog(entry + "cannot be decoded: not enough memory for the decoder of its block (methods " +
                  PackageFolderStream::Methods(s.db, folder) + ")");
    } else if (result == SZ_ERROR_UNSUPPORTED) {
        CommonLog(entry + "is packed with methods " + PackageFolderStream::Methods(s.db, folder) +
                  " that cannot be unpacked here; package refused");
    } else if (result != SZ_ERROR_WRITE) {
        CommonLog(entry + "cannot be decoded (error " + std::to_string(result) + ")");
    }
    return false;
}
