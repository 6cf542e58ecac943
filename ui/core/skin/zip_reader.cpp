#include "ui/core/skin/zip_reader.h"

#include "ui/core/skin/zip_archive.h"

#include <atomic>
#include <new>

namespace QuillUI {

// What the API hands out: a marker that says it is an unzip handle, and the
// archive behind it.
struct ZipHandleUI {
    unsigned int marker;
    ZipArchive* archive;
};

namespace {

const unsigned int kUnzipMarker = 1;

std::atomic<ZipResult> g_lastResult(kZipOk);

ZipResult Record(ZipResult result) {
    g_lastResult = result;
    return result;
}

ZipResult CheckHandle(const ZipHandleUI* zip) {
    if (zip == nullptr) return kZipBadArguments;
    if (zip->marker != kUnzipMarker || zip->archive == nullptr) return kZipNotUnzipHandle;
    return kZipOk;
}

}  // namespace

ZipHandleUI* OpenZipArchive(const void* source, unsigned int length, unsigned int kind) {
    ZipArchive* archive = new (std::nothrow) ZipArchive();
    ZipHandleUI* zip = new (std::nothrow) ZipHandleUI{kUnzipMarker, archive};
    if (archive == nullptr || zip == nullptr) {
        delete archive;
        delete zip;
        Record(kZipReadFailed);
        return nullptr;
    }
    ZipResult result = archive->Open(source, length, kind);
    Record(result);
    if (result != kZipOk) {
        delete archive;
        delete zip;
        return nullptr;
    }
    return zip;
}

ZipResult FindZipItem(ZipHandleUI* zip, const wchar_t* name, bool ignoreCase, int* index, ZipEntryUI* entry) {
    ZipResult result = CheckHandle(zip);
    if (result != kZipOk) return Record(result);
    return Record(zip->archive->Find(name, ignoreCase, index, entry));
}

ZipResult UnzipZipItem(ZipHandleUI* zip, int index, void* destination, unsigned int length, unsigned int kind) {
    ZipResult result = CheckHandle(zip);
    if (result != kZipOk) return Record(result);
    switch (kind) {
    case kZipMemory: return Record(zip->archive->UnzipToMemory(index, destination, length));
    case kZipFileName: return Record(zip->archive->UnzipToFileName(index, static_cast<const wchar_t*>(destination)));
    case kZipHandle: return Record(zip->archive->UnzipToHandle(index, static_cast<HANDLE>(destination)));
    default: return Record(kZipBadArguments);
    }
}

ZipResult CloseZipArchive(ZipHandleUI* zip) {
    ZipResult result = CheckHandle(zip);
    if (result != kZipOk) return Record(result);
    zip->archive->CloseItem();
    delete zip->archive;
    delete zip;
    return Record(kZipOk);
}

ZipResult GetLastZipResult() { return g_lastResult; }

}  // namespace QuillUI
