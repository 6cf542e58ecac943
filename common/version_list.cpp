#include "common/version_list.h"

#include "common/code_page.h"
#include "common/file_util.h"
#include "common/path_hash.h"
#include "common/record_file.h"
#include "common/version_triple.h"

bool VersionList::Load(const std::wstring& file) {
    entries_.clear();
    std::string records;
    if (!ReadRecordFile(file, kRecordSize, records)) return false;
    for (size_t at = 0; at + kRecordSize <= records.size(); at += kRecordSize)
        entries_[ReadLe64(records.data() + at)] = ReadLe64(records.data() + at + 8);
    return true;
}

bool VersionList::Save(const std::wstring& file) const {
    std::string records;
    records.reserve(entries_.size() * kRecordSize);
    for (const auto& entry : entries_) {
        AppendLe64(records, entry.first);
        AppendLe64(records, entry.second);
    }
    return WriteFileAtomically(file, records.data(), records.size());
}

std::wstring VersionList::VersionText(const std::wstring& path) const {
    uint64_t packed = 0;
    if (!Find(PathHash(path), packed)) return std::wstring();
    return MultiToWide(PackedVersionText(packed), 0);
}

bool VersionList::Find(uint64_t key, uint64_t& packedVersion) const {
    auto it = entries_.find(key);
    if (it == entries_.end()) return false;
    packedVersion = it->second;
    return true;
}
