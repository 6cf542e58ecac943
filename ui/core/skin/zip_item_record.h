// One item of an archive's central directory, checked to lie inside it.
#pragma once
#include <cstdint>

namespace QuillUI {

struct ZipItemRecord {
    uint16_t versionMadeBy;
    uint16_t flags;
    uint16_t method;
    uint16_t dosTime;
    uint16_t dosDate;
    uint32_t crc;
    uint32_t compressedSize;
    uint32_t uncompressedSize;
    uint32_t externalAttributes;
    uint64_t localHeaderOffset;  // from the archive's start, any prefix included
    uint32_t nameOffset;         // within the directory block
    uint16_t nameLength;
};

// Archive fields are little-endian.
inline uint16_t Read16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t Read32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

const uint16_t kZipFlagEncrypted = 0x0001;
const uint16_t kZipFlagDataDescriptor = 0x0008;
const uint16_t kZipFlagUtf8Name = 0x0800;
const uint16_t kZipMethodStored = 0;
const uint16_t kZipMethodDeflated = 8;

}  // namespace QuillUI
