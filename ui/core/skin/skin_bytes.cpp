#include "ui/core/skin/skin_bytes.h"

#include "common/unique_handle.h"
#include "common/win.h"
#include "ui/core/skin/skin_location.h"
#include "ui/core/skin/zip_reader.h"

#include <cstdlib>

namespace QuillUI {

namespace {

bool ReadExactly(HANDLE file, unsigned char* buffer, size_t size) {
    while (size > 0) {
        const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD got = 0;
        if (!ReadFile(file, buffer, chunk, &got, nullptr) || got == 0) return false;
        buffer += got;
        size -= got;
    }
    return true;
}

class ScopedZip {
public:
    explicit ScopedZip(ZipHandleUI* zip) : zip_(zip) {}
    ScopedZip(const ScopedZip&) = delete;
    ScopedZip& operator=(const ScopedZip&) = delete;
    ~ScopedZip() {
        if (zip_ != nullptr) CloseZipArchive(zip_);
    }

private:
    ZipHandleUI* zip_;
};

SkinReadResult ReadZipItem(const wchar_t* name, size_t maxSize, SkinBytesUI& out) {
    ZipHandleUI* zip = nullptr;
    ZipHandleUI* ownZip = nullptr;
    if (CSkinLocationUI::IsCachedResourceZip()) {
        zip = CSkinLocationUI::GetResourceZipHandle();
    } else {
        CWideString path = CSkinLocationUI::GetResourcePath() + CSkinLocationUI::GetResourceZip();
        zip = ownZip = OpenZipArchive(path.GetData(), 0, kZipFileName);
    }
    ScopedZip closer(ownZip);
    if (zip == nullptr) return SkinReadResult::kZipCannotOpen;
    int index = -1;
    ZipEntryUI entry;
    if (FindZipItem(zip, name, true, &index, &entry) != kZipOk) return SkinReadResult::kZipNotFound;
    // The size comes from the archive's directory and is only a claim.
    const size_t length = entry.uncompressedSize;
    if (length == 0) return SkinReadResult::kEmpty;
    if (length > maxSize) return SkinReadResult::kTooLarge;
    if (!out.Allocate(length)) return SkinReadResult::kTooLarge;
    const ZipResult result = UnzipZipItem(zip, index, out.GetBuffer(), static_cast<unsigned int>(length), kZipMemory);
    if (result != kZipOk && result != kZipMoreData) {
        out.Reset();
        return SkinReadResult::kZipCannotUnzip;
    }
    return SkinReadResult::kOk;
}

}  // namespace

void SkinBytesUI::Reset() {
    free(data_);
    data_ = nullptr;
    size_ = 0;
}

bool SkinBytesUI::Allocate(size_t size) {
    Reset();
    data_ = static_cast<unsigned char*>(malloc(size > 0 ? size : 1));
    if (data_ == nullptr) return false;
    size_ = size;
    return true;
}

SkinReadResult ReadFileBytes(const wchar_t* path, size_t maxSize, SkinBytesUI& out) {
    out.Reset();
    if (path == nullptr || *path == 0) return SkinReadResult::kCannotOpen;
    ScopedFileHandle file(
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return SkinReadResult::kCannotOpen;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0) return SkinReadResult::kCannotRead;
    if (size.QuadPart == 0) return SkinReadResult::kEmpty;
    if (static_cast<unsigned long long>(size.QuadPart) > maxSize) return SkinReadResult::kTooLarge;
    if (!out.Allocate(static_cast<size_t>(size.QuadPart))) return SkinReadResult::kTooLarge;
    if (!ReadExactly(file.Get(), out.GetBuffer(), out.GetSize())) {
        out.Reset();
        return SkinReadResult::kCannotRead;
    }
    return SkinReadResult::kOk;
}

SkinReadResult ReadSkinFile(const wchar_t* name, size_t maxSize, SkinBytesUI& out) {
    out.Reset();
    if (name == nullptr) return SkinReadResult::kCannotOpen;
    if (!CSkinLocationUI::GetResourceZip().IsEmpty()) return ReadZipItem(name, maxSize, out);
    CWideString path = CSkinLocationUI::GetResourcePath() + name;
    return ReadFileBytes(path.GetData(), maxSize, out);
}

}  // namespace QuillUI
