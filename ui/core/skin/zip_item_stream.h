// The unpacked bytes of one archive item, produced piece by piece: stored
// items are copied, deflated ones inflated raw; the CRC-32 is checked once
// the item's last byte has come out.
#pragma once
#include "ui/core/skin/zip_item_record.h"
#include "ui/core/skin/zip_reader.h"
#include "ui/core/skin/zip_source.h"

#include <zlib.h>

namespace QuillUI {

class ZipItemStream {
public:
    static const unsigned int kInputSize = 16384;

    ZipItemStream() = default;
    ZipItemStream(const ZipItemStream&) = delete;
    ZipItemStream& operator=(const ZipItemStream&) = delete;
    ~ZipItemStream();

    // Checks the item's local header against its directory record.
    ZipResult Open(ZipSource* source, const ZipItemRecord& record);
    // Fills up to capacity bytes. kZipOk: the item is complete and its CRC
    // matched; kZipMoreData: the buffer is full and the item goes on;
    // kZipInflateFailed: damaged, short or unreadable data.
    ZipResult Read(void* destination, size_t capacity, size_t* produced);

private:
    ZipResult ReadStored(unsigned char* out, size_t capacity, size_t* produced);
    ZipResult ReadDeflated(unsigned char* out, size_t capacity, size_t* produced);

    ZipSource* source_ = nullptr;
    ZipItemRecord record_ = {};
    uint64_t dataStart_ = 0;
    uint64_t consumed_ = 0;  // compressed bytes taken from the source
    uint64_t produced_ = 0;  // unpacked bytes handed out
    uLong crc_ = 0;
    bool inflating_ = false;
    z_stream stream_ = {};
    unsigned char input_[kInputSize];
};

}  // namespace QuillUI
