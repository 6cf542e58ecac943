#include "common/hash_list.h"

#include "common/file_util.h"
#include "common/path_hash.h"
#include "common/record_file.h"

#include <cstring>

void HashListFile::Decode(const std::string& records, Entries& entries) {
    for (size_t at = 0; at + kRecordSize <= records.size(); at += kRecordSize) {
        Md5Digest digest;
        std::memcpy(digest.bytes, records.data() + at + 8, sizeof(digest.bytes));
        entries[ReadLe64(records.data() + at)] = digest;
    }
}

std::string HashListFile::Encode(const Entries& entries) {
    std::string out;
    out.reserve(entries.size() * kRecordSize);
    for (const auto& entry : entries) {
        AppendLe64(out, entry.first);
        out.append(reinterpret_cast<const char*>(entry.second.bytes), sizeof(entry.second.bytes));
    }
    return out;
}

bool HashList::Load(const std::wstring& file) {
    entries_.clear();
    std::string records;
    if (!ReadRecordFile(file, HashListFile::kRecordSize, records)) return false;
    HashListFile::Decode(records, entries_);
    return true;
}

bool HashList::Save(const std::wstring& file) const {
    std::string records = HashListFile::Encode(entries_);
    if (!WriteFileAtomically(file, records.data(), records.size())) return false;
    return !entries_.empty();
}

void HashList::Set(const std::string& ansiPath, const Md5Digest& digest) {
    entries_[PathHash(ansiPath)] = digest;
}

bool HashList::Differs(const std::string& ansiPath, const Md5Digest& digest) const {
    return Differs(PathHash(ansiPath), digest);
}

bool HashList::Differs(uint64_t key, const Md5Digest& digest) const {
    const Md5Digest* known = Find(key);
    return known == nullptr || *known != digest;
}

const Md5Digest* HashList::Find(uint64_t key) const {
    auto it = entries_.find(key);
    return it == entries_.end() ? nullptr : &it->second;
}
