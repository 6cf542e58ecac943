#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

// A 16-byte MD5 digest in the standard byte order.
struct Md5Digest {
    uint8_t bytes[16] = {};

    // "%llu%llu": the first and the last eight bytes, each read as an
    // unsigned 64-bit little-endian number, with no separator.
    std::string ToText() const;

    bool operator==(const Md5Digest& other) const;
    bool operator!=(const Md5Digest& other) const { return !(*this == other); }
};

// The MD5 message digest of RFC 1321, fed in pieces.
class Md5 {
public:
    Md5() { Init(); }
    void Init();
    void Update(const void* data, size_t length);
    // Writes the digest and starts the context afresh.
    void Final(Md5Digest& digest);

private:
    void Transform(const uint8_t* block);

    uint32_t state_[4];
    uint64_t bitCount_;
    uint8_t block_[64];
};

Md5Digest BufferMd5(const void* data, size_t length);

// The digest of a whole file, read in blocks (a file of any size, in a
// 32-bit process too). False when the file cannot be opened or read; the
// digest is then all zero, which no list entry of a real file has, so the
// callers fetch the file again. A stop flag, when given, is watched between
// blocks; once raised the result is false as for a read error.
bool FileMd5(const std::wstring& path, Md5Digest& digest, const std::atomic<bool>* stop = nullptr);
Md5Digest FileMd5(const std::wstring& path);
