// A map from case-sensitive string keys to untyped pointers. The map owns its
// entries, never the data they point to.
#pragma once
#include "ui/core/values/wide_string.h"

namespace QuillUI {

class CStringHashMap {
public:
    static const int kMinimumBuckets = 16;

    explicit CStringHashMap(int buckets = 83);
    CStringHashMap(const CStringHashMap&) = delete;
    CStringHashMap& operator=(const CStringHashMap&) = delete;
    ~CStringHashMap();

    // Deletes every entry and sets the bucket count to max(buckets, 0). A
    // map without buckets holds nothing and refuses insertions. The bucket
    // array itself is made by the first insertion: most maps stay empty.
    void Resize(int buckets);
    void RemoveAll();
    // With moveToFront a found entry becomes the head of its chain, so names
    // looked up again and again stay cheap.
    void* Find(const wchar_t* key, bool moveToFront = true);
    // False when the key exists (its data is kept) or the map has no buckets.
    bool Insert(const wchar_t* key, void* data);
    // Replaces the data of an existing key and returns the old data; else
    // inserts and returns null.
    void* Set(const wchar_t* key, void* data);
    bool Remove(const wchar_t* key);
    int GetSize() const { return count_; }
    // Key of the index-th entry: buckets from the last to the first, each
    // chain from its head; null out of range.
    const wchar_t* GetAt(int index) const;
    // Calls visit(key, data) for every entry in GetAt order without moving
    // any, until it answers false. The visitor must not change the map.
    template <class Visitor>
    void ForEach(Visitor visit) const {
        if (buckets_ == nullptr) return;
        for (int b = bucketCount_ - 1; b >= 0; --b) {
            for (const Entry* entry = buckets_[b]; entry != nullptr; entry = entry->next) {
                if (!visit(entry->key.GetData(), entry->data)) return;
            }
        }
    }

private:
    struct Entry {
        CWideString key;
        void* data;
        Entry* previous;
        Entry* next;
    };

    unsigned int BucketOf(const wchar_t* key) const;
    Entry* FindEntry(const wchar_t* key, bool moveToFront);
    void Unlink(Entry* entry, unsigned int bucket);
    void DeleteAll();
    bool MakeBuckets();

    Entry** buckets_ = nullptr;
    int bucketCount_ = 0;
    int count_ = 0;
};

}  // namespace QuillUI
