#pragma once
#include "common/md5.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

// The stored form of a hash list ("HashMD5.xmp", "LancherHashMD5.xmp",
// "PatchHashMD5.xmp"): no header, 24-byte records ascending by key, each an
// 8-byte little-endian path hash and the 16 digest bytes.
struct HashListFile {
    static constexpr size_t kRecordSize = 24;
    using Entries = std::map<uint64_t, Md5Digest>;

    // Whole records only; a key that repeats keeps the later digest.
    static void Decode(const std::string& records, Entries& entries);
    static std::string Encode(const Entries& entries);
};

// Digests of files keyed by the path hash of their relative path, ascending
// by the key as an unsigned number.
class HashList {
public:
    using Entries = HashListFile::Entries;

    // Replaces the entries with the file's. False when it cannot be opened
    // (the list is then empty). A tail shorter than a record is ignored.
    bool Load(const std::wstring& file);
    // Writes every record in key order beside the file and renames it over
    // the file, so a crash leaves the old list or the new one. An empty list
    // leaves an empty file and gives false.
    bool Save(const std::wstring& file) const;

    void Set(const std::string& ansiPath, const Md5Digest& digest);
    void Set(uint64_t key, const Md5Digest& digest) { entries_[key] = digest; }
    // True when the list has no entry for the path or another digest.
    bool Differs(const std::string& ansiPath, const Md5Digest& digest) const;
    bool Differs(uint64_t key, const Md5Digest& digest) const;
    const Md5Digest* Find(uint64_t key) const;

    void Clear() { entries_.clear(); }
    size_t Size() const { return entries_.size(); }
    bool Empty() const { return entries_.empty(); }
    const Entries& GetEntries() const { return entries_; }

private:
    Entries entries_;
};
