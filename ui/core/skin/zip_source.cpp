#include "ui/core/skin/zip_source.h"

#include <cstring>

namespace QuillUI {

ZipResult ZipSource::OpenHandle(HANDLE handle) {
    HANDLE duplicate = nullptr;
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE ||
        !DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &duplicate, 0, FALSE,
                         DUPLICATE_SAME_ACCESS))
        return kZipCannotDuplicate;
    return AdoptHandle(duplicate);
}

ZipResult ZipSource::OpenFileName(const wchar_t* name) {
    if (name == nullptr) return kZipBadArguments;
    HANDLE file = CreateFileW(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return kZipCannotOpenFile;
    return AdoptHandle(file);
}

ZipResult ZipSource::AdoptHandle(HANDLE handle) {
    file_.Reset(handle);
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        file_.Reset();
        return kZipCannotSeek;
    }
    // An archive appended to another file starts where the handle stands.
    LARGE_INTEGER zero = {}, position = {}, size = {};
    if (!SetFilePointerEx(handle, zero, &position, FILE_CURRENT) || !GetFileSizeEx(handle, &size) ||
        size.QuadPart < position.QuadPart) {
        file_.Reset();
        return kZipCannotSeek;
    }
    start_ = static_cast<uint64_t>(position.QuadPart);
    size_ = static_cast<uint64_t>(size.QuadPart - position.QuadPart);
    return kZipOk;
}

ZipResult ZipSource::OpenMemory(const void* block, unsigned int length) {
    if (block == nullptr) return kZipBadArguments;
    memory_ = static_cast<const unsigned char*>(block);
    start_ = 0;
    size_ = length;
    return kZipOk;
}

bool ZipSource::ReadAt(uint64_t offset, void* destination, size_t count) {
    if (offset > size_ || count > size_ - offset) return false;
    if (count == 0) return true;
    if (memory_ != nullptr) {
        memcpy(destination, memory_ + offset, count);
        return true;
    }
    if (!file_) return false;
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(start_ + offset);
    if (!SetFilePointerEx(file_.Get(), position, nullptr, FILE_BEGIN)) return false;
    unsigned char* out = static_cast<unsigned char*>(destination);
    while (count > 0) {
        DWORD piece = count > (1u << 30) ? (1u << 30) : static_cast<DWORD>(count);
        DWORD got = 0;
        if (!ReadFile(file_.Get(), out, piece, &got, nullptr) || got == 0) return false;
        out += got;
        count -= got;
    }
    return true;
}

}  // namespace QuillUI
