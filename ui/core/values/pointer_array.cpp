#include "ui/core/values/pointer_array.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace QuillUI {

namespace {

const int kFirstCapacity = 11;

void** AllocateSlots(void** block, int capacity) {
    if (capacity <= 0 || static_cast<size_t>(capacity) > SIZE_MAX / sizeof(void*)) return nullptr;
    return static_cast<void**>(realloc(block, static_cast<size_t>(capacity) * sizeof(void*)));
}

}  // namespace

CPointerArray::CPointerArray(int capacity) {
    if (capacity >= 1) {
        items_ = AllocateSlots(nullptr, capacity);
        if (items_ != nullptr) capacity_ = capacity;
    }
}

CPointerArray::CPointerArray(const CPointerArray& other) {
    for (int i = 0; i < other.count_; ++i) Add(other.items_[i]);
}

CPointerArray::~CPointerArray() { free(items_); }

void CPointerArray::Empty() {
    free(items_);
    items_ = nullptr;
    count_ = capacity_ = 0;
}

void CPointerArray::Resize(int count) {
    Empty();
    if (count <= 0) return;
    items_ = AllocateSlots(nullptr, count);
    if (items_ == nullptr) return;
    memset(items_, 0, static_cast<size_t>(count) * sizeof(void*));
    count_ = capacity_ = count;
}

bool CPointerArray::Grow() {
    if (count_ + 1 < capacity_) return true;
    if (capacity_ > INT32_MAX / 2) return false;
    int capacity = capacity_ == 0 ? kFirstCapacity : capacity_ * 2;
    void** block = AllocateSlots(items_, capacity);
    if (block == nullptr) return false;
    items_ = block;
    capacity_ = capacity;
    return true;
}

bool CPointerArray::Add(void* item) {
    if (!Grow()) return false;
    items_[count_++] = item;
    return true;
}

bool CPointerArray::InsertAt(int index, void* item) {
    if (index == count_) return Add(item);
    if (index < 0 || index > count_) return false;
    if (!Grow()) return false;
    memmove(items_ + index + 1, items_ + index, static_cast<size_t>(count_ - index) * sizeof(void*));
    items_[index] = item;
    ++count_;
    return true;
}

bool CPointerArray::Remove(int index, int count) {
    if (count < 1 || index < 0 || index >= count_ || count > count_ - index) return false;
    int tail = count_ - index - count;
    if (tail > 0) memmove(items_ + index, items_ + index + count, static_cast<size_t>(tail) * sizeof(void*));
    count_ -= count;
    return true;
}

bool CPointerArray::SetAt(int index, void* item) {
    if (index < 0 || index >= count_) return false;
    items_[index] = item;
    return true;
}

int CPointerArray::Find(void* item) const {
    for (int i = 0; i < count_; ++i) {
        if (items_[i] == item) return i;
    }
    return -1;
}

void* CPointerArray::GetAt(int index) const {
    if (index < 0 || index >= count_) return nullptr;
    return items_[index];
}

}  // namespace QuillUI
