#include "common/package_extractor.h"

#include "common/code_page.h"
#include "common/common_log.h"
#include "common/file_util.h"
#include "common/unique_handle.h"

#include <new>
#include <vector>

#include "7z.h"
#include "7zAlloc.h"
#include "7zCrc.h"
#include "7zFile.h"

namespace {

constexpr size_t kLookBufferSize = 1 << 18;

const ISzAlloc kAllocMain = {SzAlloc, SzFree};
const ISzAlloc kAllocTemp = {SzAllocTemp, SzFreeTemp};

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

void LogPackage(const std::wstring& archive, const std::string& text) {
    CommonLog("package " + Narrow(archive) + ": " + text);
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::wstring OutputPath(const std::wstring& destination, const std::wstring& entryName) {
    std::wstring path = destination;
    if (!path.empty() && !IsSeparator(path.back())) path += L'\\';
    for (wchar_t c : entryName) path += (c == L'/') ? L'\\' : c;
    return path;
}

}  // namespace

int EntryNameToNarrow(const std::wstring& name, std::string& narrow) {
    narrow.clear();
    if (name.empty()) return 0;
    int length = static_cast<int>(name.size());
    size_t capacity = 3 * name.size() + 100;
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[capacity]);
    if (!buffer) return 2;
    int written = WideCharToMultiByte(CP_ACP, 0, name.data(), length, buffer.get(),
                                      static_cast<int>(capacity), "_", nullptr);
    if (written <= 0) return 11;
    narrow.assign(buffer.get(), static_cast<size_t>(written));
    return 0;
}

struct PackageFile::State {
    ScopedFileHandle file;
    CFileInStream fileStream;
    CLookToRead2 lookStream;
    std::unique_ptr<Byte[]> lookBuffer;
    CSzArEx db;
    bool dbOpen = false;
    // The block cache of the decoder: the last decoded block and its size.
    UInt32 blockIndex = 0xFFFFFFFF;
    Byte* block = nullptr;
    size_t blockSize = 0;
};

PackageFile::PackageFile() = default;

PackageFile::~PackageFile() { Close(); }

void PackageFile::Close() {
    if (!state_) return;
    if (state_->block != nullptr) ISzAlloc_Free(&kAllocMain, state_->block);
    if (state_->dbOpen) SzArEx_Free(&state_->db, &kAllocMain);
    state_.reset();
}

bool PackageFile::Open(const std::wstring& path) {
    Close();
    EnsureCrcTable();
    std::unique_ptr<State> state(new (std::nothrow) State);
    if (!state) return false;
    state->file.Reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!state->file) {
        LogPackage(path, "cannot be opened (error " + std::to_string(GetLastError()) + ")");
        return false;
    }
    FileInStream_CreateVTable(&state->fileStream);
    state->fileStream.file.handle = state->file.Get();
    state->fileStream.wres = 0;

    state->lookBuffer.reset(new (std::nothrow) Byte[kLookBufferSize]);
    if (!state->lookBuffer) return false;
    LookToRead2_CreateVTable(&state->lookStream, False);
    state->lookStream.buf = state->lookBuffer.get();
    state->lookStream.bufSize = kLookBufferSize;
    state->lookStream.realStream = &state->fileStream.vt;
    LookToRead2_INIT(&state->lookStream);

    SzArEx_Init(&state->db);
    SRes result = SzArEx_Open(&state->db, &state->lookStream.vt, &kAllocMain, &kAllocTemp);
    if (result != SZ_OK) {
        SzArEx_Free(&state->db, &kAllocMain);
        LogPackage(path, "is no readable archive (error " + std::to_string(result) + ")");
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

bool PackageFile::Read(uint32_t index, const uint8_t*& data, size_t& size) {
    data = nullptr;
    size = 0;
    if (!state_ || index >= state_->db.NumFiles) return false;
    size_t offset = 0, processed = 0;
    SRes result = SzArEx_Extract(&state_->db, &state_->lookStream.vt, index, &state_->blockIndex,
                                 &state_->block, &state_->blockSize, &offset, &processed, &kAllocMain,
                                 &kAllocTemp);
    if (result != SZ_OK) {
        CommonLog("package entry " + Narrow(EntryName(index)) + " cannot be decoded (error " +
                  std::to_string(result) + ")");
        return false;
    }
    data = state_->block != nullptr ? state_->block + offset : nullptr;
    size = processed;
    return true;
}

int PackageExtractor::Extract(const std::wstring& archive, const std::wstring& destination,
                              std::atomic<int>* done, std::atomic<int>* total) const {
    PackageFile package;
    if (!package.Open(archive)) return kExtractFailed;
    uint32_t count = package.EntryCount();
    if (done != nullptr) done->store(0);
    if (total != nullptr) total->store(static_cast<int>(count));

    // Names are checked before anything is written: a hostile package
    // leaves nothing behind, inside the destination or outside it.
    std::vector<std::wstring> names(count);
    for (uint32_t i = 0; i < count; ++i) {
        names[i] = package.EntryName(i);
        if (!IsSafeRelativePath(names[i])) {
            LogPackage(archive, "entry \"" + Narrow(names[i]) + "\" would leave the destination; package refused");
            return kExtractFailed;
        }
    }

    for (uint32_t i = 0; i < count; ++i) {
        if (done != nullptr) done->fetch_add(1);
        std::wstring output = OutputPath(destination, names[i]);
        if (package.IsFolder(i)) {
            // A folder entry brings the folders above it only.
            MakeDirectoryChain(output);
            continue;
        }
        const uint8_t* data = nullptr;
        size_t size = 0;
        if (!package.Read(i, data, size)) {
            LogPackage(archive, "decoding stopped at entry \"" + Narrow(names[i]) + "\"");
            return kExtractFailed;
        }
        if (check_ && !check_(output, data, size)) {
            LogPackage(archive, "entry \"" + Narrow(names[i]) + "\" refused by its check");
            return kExtractFailed;
        }
        if (!MakeDirectoryChain(output) || !WriteFileAtomically(output, data, size)) {
            DWORD error = GetLastError();
            LogPackage(archive, "entry \"" + Narrow(names[i]) + "\" cannot be written to " + Narrow(output) +
                                    " (error " + std::to_string(error) + ")");
            return kExtractFailed;
        }
    }
    return kExtractOk;
}

int ExtractAll(const std::wstring& archive, const std::wstring& destination) {
    return PackageExtractor().Extract(archive, destination);
}

int ExtractWithProgress(const std::wstring& archive, std::atomic<int>& done, const std::wstring& destination,
                        std::atomic<int>& total) {
    return PackageExtractor().Extract(archive, destination, &done, &total);
}
