#include "ui/core/skin/zip_archive.h"

#include "common/code_page.h"
#include "common/file_util.h"
#include "common/unique_handle.h"

#include <cstring>
#include <new>

namespace QuillUI {

namespace {

const uint32_t kEndRecordSignature = 0x06054B50;
const uint32_t kDirectorySignature = 0x02014B50;
const size_t kEndRecordSize = 22;
const size_t kDirectoryHeaderSize = 46;
const size_t kLongestComment = 65535;
const size_t kNameCapacity = 260;
const uint8_t kHostUnix = 3, kHostMac = 19;


unsigned char FoldAscii(unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c; }

bool IsAbsoluteName(const wchar_t* name) {
    return name[0] == L'/' || name[0] == L'\\' || (name[0] != 0 && name[1] == L':');
}

bool HasFolderPart(const wchar_t* name) { return wcschr(name, L'/') != nullptr || wcschr(name, L'\\') != nullptr; }

DWORD AttributesOf(const ZipItemRecord& record, const unsigned char* name) {
    const uint8_t host = static_cast<uint8_t>(record.versionMadeBy >> 8);
    const DWORD dosMask = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                          FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE;
    DWORD attributes = record.externalAttributes & dosMask;
    const uint32_t mode = record.externalAttributes >> 16;
    if ((host == kHostUnix || host == kHostMac) && mode != 0) {
        if ((mode & 0170000) == 0040000) attributes |= FILE_ATTRIBUTE_DIRECTORY;
        if (!(mode & 0200)) attributes |= FILE_ATTRIBUTE_READONLY;
    }
    if (record.nameLength > 0) {
        unsigned char last = name[record.nameLength - 1];
        if (last == '/' || last == '\\') attributes |= FILE_ATTRIBUTE_DIRECTORY;
    }
    return attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
}

FILETIME FileTimeOf(uint16_t dosDate, uint16_t dosTime) {
    FILETIME local = {}, utc = {};
    if (DosDateTimeToFileTime(dosDate, dosTime, &local)) LocalFileTimeToFileTime(&local, &utc);
    return utc;
}

}  // namespace

ZipResult ZipArchive::Open(const void* source, unsigned int length, unsigned int kind) {
    if (opened_) return kZipAlreadyOpen;
    ZipResult result;
    switch (kind) {
    case kZipHandle: result = source_.OpenHandle(const_cast<HANDLE>(source)); break;
    case kZipFileName: result = source_.OpenFileName(static_cast<const wchar_t*>(source)); break;
    case kZipMemory: result = source_.OpenMemory(source, length); break;
    default: return kZipBadArguments;
    }
    if (result != kZipOk) return result;

    EndRecord end = {};
    result = FindEndRecord(&end);
    if (result == kZipOk) result = ReadDirectory(end);
    if (result != kZipOk) return result;

    wchar_t folder[MAX_PATH + 1];
    DWORD n = GetCurrentDirectoryW(MAX_PATH + 1, folder);
    baseFolder_ = (n > 0 && n <= MAX_PATH) ? std::wstring(folder, n) : std::wstring(L".");
    if (baseFolder_.back() != L'\\' && baseFolder_.back() != L'/') baseFolder_ += L'\\';
    opened_ = true;
    return kZipOk;
}

ZipResult ZipArchive::FindEndRecord(EndRecord* end) {
    const uint64_t size = source_.GetSize();
    if (size < kEndRecordSize) return kZipCorrupt;
    // The record is 22 bytes followed by a comment of at most 65,535 bytes.
    const size_t window = size < kEndRecordSize + kLongestComment ? static_cast<size_t>(size)
                                                                  : kEndRecordSize + kLongestComment;
    const uint64_t windowStart = size - window;
    std::unique_ptr<unsigned char[]> tail(new (std::nothrow) unsigned char[window]);
    if (!tail) return kZipReadFailed;
    if (!source_.ReadAt(windowStart, tail.get(), window)) return kZipReadFailed;
    // Nearest the end first; a candidate that does not describe a directory
    // inside the archive (say, the signature inside a comment) is passed over.
    for (size_t i = window - kEndRecordSize + 1; i-- > 0;) {
        const unsigned char* p = tail.get() + i;
        if (Read32(p) != kEndRecordSignature) continue;
        const uint16_t thisDisk = Read16(p + 4), directoryDisk = Read16(p + 6);
        const uint16_t onDisk = Read16(p + 8), total = Read16(p + 10);
        const uint32_t dirSize = Read32(p + 12), dirOffset = Read32(p + 16);
        const uint16_t commentLength = Read16(p + 20);
        const uint64_t at = windowStart + i;
        if (thisDisk != 0 || directoryDisk != 0 || onDisk != total) continue;
        if (uint64_t(dirOffset) + dirSize > at || at + kEndRecordSize + commentLength > size) continue;
        // Bytes in front of the directory's recorded start belong to a prefix
        // (an archive appended to another file); every offset moves by them.
        end->directoryStart = at - dirSize;
        end->prefix = end->directoryStart - dirOffset;
        end->directorySize = dirSize;
        end->entries = total;
        return kZipOk;
    }
    return kZipCorrupt;
}

ZipResult ZipArchive::ReadDirectory(const EndRecord& end) {
    const uint32_t directorySize = end.directorySize;
    const uint16_t entries = end.entries;
    directory_.reset(new (std::nothrow) unsigned char[directorySize > 0 ? directorySize : 1]);
    items_.reset(new (std::nothrow) ZipItemRecord[entries > 0 ? entries : 1]);
    if (!directory_ || !items_) return kZipReadFailed;
    if (!source_.ReadAt(end.directoryStart, directory_.get(), directorySize)) return kZipReadFailed;
    uint64_t at = 0;
    for (uint16_t i = 0; i < entries; ++i) {
        if (at + kDirectoryHeaderSize > directorySize) return kZipCorrupt;
        const unsigned char* p = directory_.get() + at;
        if (Read32(p) != kDirectorySignature) return kZipCorrupt;
        ZipItemRecord& item = items_[i];
        item.versionMadeBy = Read16(p + 4);
        item.flags = Read16(p + 8);
        item.method = Read16(p + 10);
        item.dosTime = Read16(p + 12);
        item.dosDate = Read16(p + 14);
        item.crc = Read32(p + 16);
        item.compressedSize = Read32(p + 20);
        item.uncompressedSize = Read32(p + 24);
        item.nameLength = Read16(p + 28);
        const uint16_t extraLength = Read16(p + 30), commentLength = Read16(p + 32);
        item.externalAttributes = Read32(p + 38);
        item.localHeaderOffset = end.prefix + Read32(p + 42);
        item.nameOffset = static_cast<uint32_t>(at + kDirectoryHeaderSize);
        const uint64_t next = at + kDirectoryHeaderSize + item.nameLength + extraLength + commentLength;
        if (next > directorySize) return kZipCorrupt;
        at = next;
    }
    itemCount_ = entries;
    return kZipOk;
}

void ZipArchive::FillEntry(int index, ZipEntryUI* entry) const {
    const ZipItemRecord& item = items_[index];
    const unsigned char* name = directory_.get() + item.nameOffset;
    memset(entry, 0, sizeof(*entry));
    entry->index = index;
    std::wstring wide = MultiToWide(std::string(reinterpret_cast<const char*>(name), item.nameLength),
                                    (item.flags & kZipFlagUtf8Name) ? CP_UTF8 : CP_ACP);
    size_t length = wide.size() < kNameCapacity - 1 ? wide.size() : kNameCapacity - 1;
    if (length > 0 && length < wide.size() && wide[length - 1] >= 0xD800 && wide[length - 1] <= 0xDBFF)
        --length;  // never end on half a surrogate pair
    wmemcpy(entry->name, wide.data(), length);
    entry->name[length] = L'\0';
    entry->attributes = AttributesOf(item, name);
    entry->modificationTime = FileTimeOf(item.dosDate, item.dosTime);
    entry->accessTime = entry->creationTime = entry->modificationTime;
    entry->compressedSize = item.compressedSize;
    entry->uncompressedSize = item.uncompressedSize;
}

bool ZipArchive::NameMatches(const ZipItemRecord& record, const std::string& ansi, const std::string& utf8,
                             bool ignoreCase) const {
    // Names flagged as UTF-8 are stored so; the others in the ANSI code page.
    const std::string& wanted = (record.flags & kZipFlagUtf8Name) ? utf8 : ansi;
    if (wanted.size() != record.nameLength) return false;
    const unsigned char* stored = directory_.get() + record.nameOffset;
    for (size_t i = 0; i < wanted.size(); ++i) {
        unsigned char a = static_cast<unsigned char>(wanted[i]), b = stored[i];
        if (a != b && !(ignoreCase && FoldAscii(a) == FoldAscii(b))) return false;
    }
    return true;
}

ZipResult ZipArchive::Find(const wchar_t* name, bool ignoreCase, int* index, ZipEntryUI* entry) {
    if (index != nullptr) *index = -1;
    if (entry != nullptr) {
        memset(entry, 0, sizeof(*entry));
        entry->index = -1;
    }
    if (name == nullptr) return kZipBadArguments;
    const std::wstring wide(name);
    const std::string ansi = WideToMulti(wide, CP_ACP), utf8 = WideToMulti(wide, CP_UTF8);
    if (ansi.empty() && utf8.empty()) return kZipNotFound;
    for (int i = 0; i < itemCount_; ++i) {
        if (!NameMatches(items_[i], ansi, utf8, ignoreCase)) continue;
        if (index != nullptr) *index = i;
        if (entry != nullptr) FillEntry(i, entry);
        return kZipOk;
    }
    return kZipNotFound;
}

void ZipArchive::CloseItem() {
    stream_.reset();
    openIndex_ = -1;
}

ZipResult ZipArchive::OpenItem(int index) {
    CloseItem();
    std::unique_ptr<ZipItemStream> stream(new (std::nothrow) ZipItemStream());
    if (!stream) return kZipReadFailed;
    ZipResult result = stream->Open(&source_, items_[index]);
    if (result != kZipOk) return result;
    stream_ = std::move(stream);
    openIndex_ = index;
    return kZipOk;
}

ZipResult ZipArchive::UnzipToMemory(int index, void* destination, unsigned int length) {
    if (index < 0 || index >= itemCount_ || (destination == nullptr && length > 0)) return kZipBadArguments;
    if (openIndex_ != index) {
        ZipResult result = OpenItem(index);
        if (result != kZipOk) return result;
    }
    size_t produced = 0;
    ZipResult result = stream_->Read(destination, length, &produced);
    if (result != kZipMoreData) CloseItem();
    return result;
}

ZipResult ZipArchive::OpenForOutput(int index, ZipEntryUI* entry, bool* directory) {
    ZipResult result = OpenItem(index);
    if (result != kZipOk) return result;
    FillEntry(index, entry);
    *directory = (entry->attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (*directory) CloseItem();
    return kZipOk;
}

template <typename Write>
ZipResult ZipArchive::Pump(Write write) {
    std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[ZipItemStream::kInputSize]);
    if (!buffer) return kZipReadFailed;
    for (;;) {
        size_t produced = 0;
        ZipResult result = stream_->Read(buffer.get(), ZipItemStream::kInputSize, &produced);
        if (result != kZipOk && result != kZipMoreData) return result;
        if (produced > 0 && !write(buffer.get(), produced)) return kZipWriteFailed;
        if (result == kZipOk) return kZipOk;
    }
}

namespace {

bool WriteAll(HANDLE file, const unsigned char* data, size_t count) {
    DWORD written = 0;
    return WriteFile(file, data, static_cast<DWORD>(count), &written, nullptr) && written == count;
}

}  // namespace

ZipResult ZipArchive::UnzipToFileName(int index, const wchar_t* name) {
    if (index < 0 || index >= itemCount_ || name == nullptr || name[0] == L'\0') return kZipBadArguments;
    // A relative target stays below the base folder; an item's own name may
    // come from a hostile archive.
    const bool absolute = IsAbsoluteName(name);
    if (!absolute && !IsSafeRelativePath(std::wstring(name))) return kZipCannotOpenFile;
    const std::wstring target = absolute ? std::wstring(name) : baseFolder_ + name;
    ZipEntryUI entry;
    bool directory = false;
    ZipResult result = OpenForOutput(index, &entry, &directory);
    if (result != kZipOk) return result;
    if (directory) return MakeDirectoryChain(target + L"\\") ? kZipOk : kZipCannotOpenFile;
    if (!absolute && HasFolderPart(name) && !MakeDirectoryChain(target)) {
        CloseItem();
        return kZipCannotOpenFile;
    }
    // Written beside the target and renamed over it once complete and
    // checked, so a failure leaves the old file as it was.
    const std::wstring temporary = target + L".tmp~";
    ScopedFileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        CloseItem();
        return kZipCannotOpenFile;
    }
    result = Pump([&file](const unsigned char* data, size_t count) { return WriteAll(file.Get(), data, count); });
    CloseItem();
    if (result == kZipOk) {
        SetFileTime(file.Get(), &entry.creationTime, &entry.accessTime, &entry.modificationTime);
        if (!FlushFileBuffers(file.Get())) result = kZipWriteFailed;
    }
    file.Reset();
    if (result == kZipOk && !ReplaceFileAtomically(temporary, target)) result = kZipCannotOpenFile;
    if (result != kZipOk) {
        DeleteFileW(temporary.c_str());
        return result;
    }
    const DWORD settable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                           FILE_ATTRIBUTE_ARCHIVE;
    if (entry.attributes & settable) SetFileAttributesW(target.c_str(), entry.attributes & settable);
    return kZipOk;
}

ZipResult ZipArchive::UnzipToHandle(int index, HANDLE handle) {
    if (index < 0 || index >= itemCount_ || handle == nullptr || handle == INVALID_HANDLE_VALUE)
        return kZipBadArguments;
    ZipEntryUI entry;
    bool directory = false;
    ZipResult result = OpenForOutput(index, &entry, &directory);
    if (result != kZipOk || directory) return result;
    result = Pump([handle](const unsigned char* data, size_t count) { return WriteAll(handle, data, count); });
    CloseItem();
    if (result == kZipOk && GetFileType(handle) == FILE_TYPE_DISK)
        SetFileTime(handle, &entry.creationTime, &entry.accessTime, &entry.modificationTime);
    return result;
}

}  // namespace QuillUI
