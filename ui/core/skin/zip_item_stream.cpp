#include "ui/core/skin/zip_item_stream.h"

#include <cstring>

namespace QuillUI {

namespace {

const uint32_t kLocalHeaderSignature = 0x04034B50;
const size_t kLocalHeaderSize = 30;
const size_t kLargestStep = 1u << 30;  // keeps zlib's 32-bit counters in range


}  // namespace

ZipItemStream::~ZipItemStream() {
    if (inflating_) inflateEnd(&stream_);
}

ZipResult ZipItemStream::Open(ZipSource* source, const ZipItemRecord& record) {
    source_ = source;
    record_ = record;
    crc_ = crc32(0L, Z_NULL, 0);
    const uint64_t size = source->GetSize();
    if (record.localHeaderOffset > size || kLocalHeaderSize > size - record.localHeaderOffset)
        return kZipCorrupt;
    unsigned char header[kLocalHeaderSize];
    if (!source->ReadAt(record.localHeaderOffset, header, sizeof(header))) return kZipReadFailed;
    if (Read32(header) != kLocalHeaderSignature) return kZipCorrupt;
    const uint16_t flags = Read16(header + 6), method = Read16(header + 8);
    const uint16_t nameLength = Read16(header + 26), extraLength = Read16(header + 28);
    if (method != record.method || (method != kZipMethodStored && method != kZipMethodDeflated))
        return kZipCorrupt;
    if ((flags & kZipFlagEncrypted) || (record.flags & kZipFlagEncrypted)) return kZipCorrupt;
    if (!(flags & kZipFlagDataDescriptor) &&
        (Read32(header + 14) != record.crc || Read32(header + 18) != record.compressedSize ||
         Read32(header + 22) != record.uncompressedSize))
        return kZipCorrupt;
    if (nameLength != record.nameLength) return kZipCorrupt;
    dataStart_ = record.localHeaderOffset + kLocalHeaderSize + nameLength + extraLength;
    if (dataStart_ > size || record.compressedSize > size - dataStart_) return kZipCorrupt;
    if (method == kZipMethodStored) {
        if (record.compressedSize != record.uncompressedSize) return kZipCorrupt;
        return kZipOk;
    }
    stream_ = z_stream();
    if (inflateInit2(&stream_, -MAX_WBITS) != Z_OK) return kZipInflateFailed;
    inflating_ = true;
    return kZipOk;
}

ZipResult ZipItemStream::Read(void* destination, size_t capacity, size_t* produced) {
    *produced = 0;
    if (destination == nullptr) capacity = 0;
    unsigned char* out = static_cast<unsigned char*>(destination);
    ZipResult result = record_.method == kZipMethodStored ? ReadStored(out, capacity, produced)
                                                          : ReadDeflated(out, capacity, produced);
    if (result != kZipOk) return result;
    if (produced_ < record_.uncompressedSize) return kZipMoreData;
    return crc_ == record_.crc ? kZipOk : kZipInflateFailed;
}

ZipResult ZipItemStream::ReadStored(unsigned char* out, size_t capacity, size_t* produced) {
    while (*produced < capacity && produced_ < record_.uncompressedSize) {
        size_t step = capacity - *produced;
        if (step > kLargestStep) step = kLargestStep;
        if (step > record_.uncompressedSize - produced_) step = static_cast<size_t>(record_.uncompressedSize - produced_);
        if (!source_->ReadAt(dataStart_ + produced_, out + *produced, step)) return kZipInflateFailed;
        crc_ = crc32(crc_, out + *produced, static_cast<uInt>(step));
        *produced += step;
        produced_ += step;
    }
    return kZipOk;
}

ZipResult ZipItemStream::ReadDeflated(unsigned char* out, size_t capacity, size_t* produced) {
    while (*produced < capacity && produced_ < record_.uncompressedSize) {
        if (stream_.avail_in == 0 && consumed_ < record_.compressedSize) {
            uint64_t left = record_.compressedSize - consumed_;
            uInt step = left < kInputSize ? static_cast<uInt>(left) : kInputSize;
            if (!source_->ReadAt(dataStart_ + consumed_, input_, step)) return kZipInflateFailed;
            consumed_ += step;
            stream_.next_in = input_;
            stream_.avail_in = step;
        }
        size_t room = capacity - *produced;
        if (room > kLargestStep) room = kLargestStep;
        if (room > record_.uncompressedSize - produced_) room = static_cast<size_t>(record_.uncompressedSize - produced_);
        const uInt inputBefore = stream_.avail_in;
        stream_.next_out = out + *produced;
        stream_.avail_out = static_cast<uInt>(room);
        int rc = inflate(&stream_, Z_NO_FLUSH);
        size_t made = room - stream_.avail_out;
        crc_ = crc32(crc_, out + *produced, static_cast<uInt>(made));
        *produced += made;
        produced_ += made;
        if (rc == Z_STREAM_END) {
            // A stream that ends before the recorded size is short.
            return produced_ == record_.uncompressedSize ? kZipOk : kZipInflateFailed;
        }
        if (rc != Z_OK && rc != Z_BUF_ERROR) return kZipInflateFailed;
        // Every pass must use input or make output, or the data is cut.
        if (made == 0 && stream_.avail_in == inputBefore) return kZipInflateFailed;
    }
    return kZipOk;
}

}  // namespace QuillUI
