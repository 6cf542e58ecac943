#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

// The version folder of each client file ("HashVersion.xmp"): no header,
// 16-byte records, each an 8-byte little-endian path hash and an 8-byte
// little-endian packed version (major * 10,000,000 + minor * 100,000 + build).
class VersionList {
public:
    static constexpr size_t kRecordSize = 16;
    using Entries = std::map<uint64_t, uint64_t>;

    // Replaces the entries with the file's. False when it cannot be opened.
    // A tail shorter than a record is ignored.
    bool Load(const std::wstring& file);
    // Writes the records in key order, atomically (beside, then renamed).
    bool Save(const std::wstring& file) const;

    // "%d.%d.%d" of the path's version (the path goes to the ANSI code page
    // for its hash); the empty text when the list has none.
    std::wstring VersionText(const std::wstring& path) const;

    void Set(uint64_t key, uint64_t packedVersion) { entries_[key] = packedVersion; }
    bool Find(uint64_t key, uint64_t& packedVersion) const;
    void Clear() { entries_.clear(); }
    size_t Size() const { return entries_.size(); }
    const Entries& GetEntries() const { return entries_; }

private:
    Entries entries_;
};
