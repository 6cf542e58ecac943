// A growable array of untyped pointers that it does not own.
#pragma once

namespace QuillUI {

class CPointerArray {
public:
    explicit CPointerArray(int capacity = 0);
    CPointerArray(const CPointerArray& other);
    CPointerArray& operator=(const CPointerArray&) = delete;
    ~CPointerArray();

    void Empty();
    // Drops the contents and holds count null pointers.
    void Resize(int count);
    bool IsEmpty() const { return count_ == 0; }
    // False when the block cannot grow; the array is then unchanged.
    bool Add(void* item);
    bool InsertAt(int index, void* item);
    bool Remove(int index, int count = 1);
    // Replaces the entry at index; false when index is out of range.
    bool SetAt(int index, void* item);
    int Find(void* item) const;
    void* GetAt(int index) const;
    void* operator[](int index) const { return items_[index]; }
    int GetSize() const { return count_; }

private:
    // Makes room for one more element (count + 1), doubling the capacity
    // when the new count reaches it.
    bool Grow();

    void** items_ = nullptr;
    int count_ = 0;
    int capacity_ = 0;
};

}  // namespace QuillUI
