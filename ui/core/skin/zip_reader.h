// Reads skin archives in the ZIP format: from a file name, a file handle or a
// memory block; finds items by name and unpacks stored and deflated items to
// a buffer, a file or a handle. Every call records its result as the last
// result of the process.
#pragma once
#include "common/win.h"

namespace QuillUI {

typedef unsigned int ZipResult;

// Results; the groups of bits tell the kind of failure.
const ZipResult kZipOk = 0;
const ZipResult kZipCannotDuplicate = 0x100;  // the given handle could not be duplicated
const ZipResult kZipCannotOpenFile = 0x200;   // a file could not be opened or created
const ZipResult kZipWriteFailed = 0x400;      // writing an unpacked file failed
const ZipResult kZipNotFound = 0x500;         // no item of that name
const ZipResult kZipMoreData = 0x600;         // buffer full, the item goes on
const ZipResult kZipCorrupt = 0x700;          // corrupt or not a zip
const ZipResult kZipReadFailed = 0x800;
const ZipResult kZipBadArguments = 0x10000;
const ZipResult kZipNotUnzipHandle = 0x80000;
const ZipResult kZipAlreadyOpen = 0x1000000;
const ZipResult kZipCannotSeek = 0x2000000;   // the handle is not a disk file
const ZipResult kZipInflateFailed = 0x5000000;  // the item's data is damaged

// Where an archive comes from and where an item goes to.
enum ZipLocation : unsigned int {
    kZipHandle = 1,    // a file handle (duplicated when opening an archive)
    kZipFileName = 2,  // a wide file name
    kZipMemory = 3,    // a memory block of the given length
};

struct ZipEntryUI {
    int index;
    wchar_t name[260];  // at most 259 characters
    DWORD attributes;   // FILE_ATTRIBUTE_* bits
    FILETIME accessTime, creationTime, modificationTime;
    unsigned int compressedSize;
    unsigned int uncompressedSize;
};

struct ZipHandleUI;

// source is a HANDLE, a const wchar_t* file name or the block's address, as
// kind says; a memory block is not copied and must outlive the handle. Null
// on failure (see GetLastZipResult).
ZipHandleUI* OpenZipArchive(const void* source, unsigned int length, unsigned int kind);

// Looks an item up in directory order. With ignoreCase ASCII letters match
// either case. Not found: kZipNotFound, index -1 and a zeroed entry with
// index -1. index and entry may be null.
ZipResult FindZipItem(ZipHandleUI* zip, const wchar_t* name, bool ignoreCase, int* index, ZipEntryUI* entry);

// kind kZipMemory: fills up to length bytes; kZipMoreData leaves the item
// open, and the next call with the same index goes on where this one
// stopped. kZipFileName: a relative name is placed below the current folder
// at open time (its folders are created) and must stay below it; the file is
// written beside its target and renamed over it once complete. kZipHandle:
// written at the handle's position; the handle stays open.
ZipResult UnzipZipItem(ZipHandleUI* zip, int index, void* destination, unsigned int length, unsigned int kind);

ZipResult CloseZipArchive(ZipHandleUI* zip);

ZipResult GetLastZipResult();

}  // namespace QuillUI
