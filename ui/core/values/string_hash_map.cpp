#include "ui/core/values/string_hash_map.h"

#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <new>

namespace QuillUI {

CStringHashMap::CStringHashMap(int buckets) {
    Resize(buckets < kMinimumBuckets ? kMinimumBuckets : buckets);
}

CStringHashMap::~CStringHashMap() { DeleteAll(); }

void CStringHashMap::DeleteAll() {
    for (int b = 0; buckets_ != nullptr && b < bucketCount_; ++b) {
        Entry* entry = buckets_[b];
        while (entry != nullptr) {
            Entry* next = entry->next;
            delete entry;
            entry = next;
        }
    }
    free(buckets_);
    buckets_ = nullptr;
    bucketCount_ = 0;
    count_ = 0;
}

void CStringHashMap::Resize(int buckets) {
    DeleteAll();
    if (buckets <= 0 || static_cast<size_t>(buckets) > SIZE_MAX / sizeof(Entry*)) return;
    bucketCount_ = buckets;
}

bool CStringHashMap::MakeBuckets() {
    if (buckets_ != nullptr) return true;
    buckets_ = static_cast<Entry**>(calloc(static_cast<size_t>(bucketCount_), sizeof(Entry*)));
    return buckets_ != nullptr;
}

void CStringHashMap::RemoveAll() { Resize(bucketCount_); }

unsigned int CStringHashMap::BucketOf(const wchar_t* key) const {
    uint32_t hash = 0;
    for (size_t i = wcslen(key); i > 0; --i) hash = hash * 33u + static_cast<uint16_t>(key[i - 1]);
    return hash % static_cast<uint32_t>(bucketCount_);
}

void CStringHashMap::Unlink(Entry* entry, unsigned int bucket) {
    if (entry->previous != nullptr) entry->previous->next = entry->next;
    else buckets_[bucket] = entry->next;
    if (entry->next != nullptr) entry->next->previous = entry->previous;
    entry->previous = entry->next = nullptr;
}

CStringHashMap::Entry* CStringHashMap::FindEntry(const wchar_t* key, bool moveToFront) {
    if (key == nullptr || bucketCount_ == 0 || count_ == 0) return nullptr;
    unsigned int bucket = BucketOf(key);
    for (Entry* entry = buckets_[bucket]; entry != nullptr; entry = entry->next) {
        if (entry->key != key) continue;
        if (moveToFront && entry->previous != nullptr) {
            Unlink(entry, bucket);
            entry->next = buckets_[bucket];
            buckets_[bucket]->previous = entry;
            buckets_[bucket] = entry;
        }
        return entry;
    }
    return nullptr;
}

void* CStringHashMap::Find(const wchar_t* key, bool moveToFront) {
    Entry* entry = FindEntry(key, moveToFront);
    return entry != nullptr ? entry->data : nullptr;
}

bool CStringHashMap::Insert(const wchar_t* key, void* data) {
    if (key == nullptr || bucketCount_ == 0) return false;
    if (FindEntry(key, true) != nullptr) return false;
    if (!MakeBuckets()) return false;
    Entry* entry = new (std::nothrow) Entry{CWideString(key), data, nullptr, nullptr};
    if (entry == nullptr) return false;
    unsigned int bucket = BucketOf(key);
    entry->next = buckets_[bucket];
    if (entry->next != nullptr) entry->next->previous = entry;
    buckets_[bucket] = entry;
    ++count_;
    return true;
}

void* CStringHashMap::Set(const wchar_t* key, void* data) {
    Entry* entry = FindEntry(key, true);
    if (entry == nullptr) {
        Insert(key, data);
        return nullptr;
    }
    void* old = entry->data;
    entry->data = data;
    return old;
}

bool CStringHashMap::Remove(const wchar_t* key) {
    Entry* entry = FindEntry(key, false);
    if (entry == nullptr) return false;
    Unlink(entry, BucketOf(key));
    delete entry;
    --count_;
    return true;
}

const wchar_t* CStringHashMap::GetAt(int index) const {
    if (index < 0 || index >= count_ || buckets_ == nullptr) return nullptr;
    int seen = 0;
    for (int b = bucketCount_ - 1; b >= 0; --b) {
        for (Entry* entry = buckets_[b]; entry != nullptr; entry = entry->next) {
            if (seen++ == index) return entry->key.GetData();
        }
    }
    return nullptr;
}

}  // namespace QuillUI
