#include "ui/core/values/wide_string.h"

#include "common/win.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace QuillUI {

// The header of a string's heap block; the characters and their terminator
// follow it.
struct CWideString::Block {
    int length;
    int capacity;  // characters, the terminator not counted

    wchar_t* Chars() { return reinterpret_cast<wchar_t*>(this + 1); }
};

namespace {

const int kFormatLimit = 63;
// The most characters a block may hold: its size must fit a size_t and its
// lengths an int.
const size_t kMaxCapacity = (SIZE_MAX / 2 - 64) / sizeof(wchar_t) < 0x7FFFFFF0u
                                ? (SIZE_MAX / 2 - 64) / sizeof(wchar_t)
                                : 0x7FFFFFF0u;

// Every empty string points here; it is never written.
const wchar_t kEmptyText[1] = {L'\0'};

wchar_t* EmptyText() { return const_cast<wchar_t*>(kEmptyText); }

int BoundedLength(const wchar_t* text, int length) {
    if (text == nullptr) return 0;
    if (length < 0) return static_cast<int>(wcslen(text));
    return static_cast<int>(wcsnlen(text, static_cast<size_t>(length)));
}

int Sign(int value) { return value < 0 ? -1 : (value > 0 ? 1 : 0); }

// A block assigned a shorter text keeps serving it unless it would waste
// much of itself.
bool ReusableFor(int capacity, int length) { return length <= capacity && capacity - length <= length / 2 + 8; }

}  // namespace

CWideString::CWideString() : data_(EmptyText()) {}

CWideString::CWideString(wchar_t ch) : data_(EmptyText()) {
    const wchar_t text[2] = {ch, L'\0'};
    Assign(text, 1);
}

CWideString::CWideString(const wchar_t* text, int length) : data_(EmptyText()) { Assign(text, length); }

CWideString::CWideString(const CWideString& other) : data_(EmptyText()) { Assign(other.data_, other.GetLength()); }

CWideString::CWideString(CWideString&& other) noexcept : data_(other.data_) { other.data_ = EmptyText(); }

CWideString::~CWideString() { Empty(); }

bool CWideString::HasBlock() const { return data_ != kEmptyText; }

CWideString::Block* CWideString::GetBlock() const { return reinterpret_cast<Block*>(data_) - 1; }

int CWideString::GetLength() const { return HasBlock() ? GetBlock()->length : 0; }

void CWideString::Empty() {
    if (HasBlock()) free(GetBlock());
    data_ = EmptyText();
}

bool CWideString::Owns(const wchar_t* text) const {
    // Pointer comparison within one block only; any other text is not ours.
    return HasBlock() && text >= data_ && text <= data_ + GetBlock()->length;
}

void CWideString::SetLength(int length) {
    GetBlock()->length = length;
    data_[length] = L'\0';
}

bool CWideString::Rebuild(int capacity, const wchar_t* text, int keep) {
    if (capacity <= 0 || static_cast<size_t>(capacity) > kMaxCapacity) return false;
    Block* block =
        static_cast<Block*>(malloc(sizeof(Block) + (static_cast<size_t>(capacity) + 1) * sizeof(wchar_t)));
    if (block == nullptr) return false;
    block->capacity = capacity;
    block->length = keep;
    // The text may lie in the old block, which goes only now.
    if (keep > 0) memcpy(block->Chars(), text, static_cast<size_t>(keep) * sizeof(wchar_t));
    block->Chars()[keep] = L'\0';
    Empty();
    data_ = block->Chars();
    return true;
}

void CWideString::Assign(const wchar_t* text, int length) {
    length = BoundedLength(text, length);
    if (length == 0) {
        Empty();
        return;
    }
    if (HasBlock() && ReusableFor(GetBlock()->capacity, length)) {
        // The text may overlap the block (a part of this string).
        memmove(data_, text, static_cast<size_t>(length) * sizeof(wchar_t));
        SetLength(length);
        return;
    }
    if (!Rebuild(length, text, length)) Empty();
}

void CWideString::Append(const wchar_t* text) {
    if (text == nullptr || text[0] == L'\0') return;
    const int current = GetLength();
    const size_t added = wcslen(text);
    if (added > kMaxCapacity - static_cast<size_t>(current)) return;
    const int total = current + static_cast<int>(added);
    if (!HasBlock() || total > GetBlock()->capacity) {
        // Repeated appends grow the block by half, so that building a text
        // piece by piece stays linear; a first text is kept exactly.
        size_t capacity = static_cast<size_t>(total);
        const size_t grown = static_cast<size_t>(current) + static_cast<size_t>(current) / 2;
        if (HasBlock() && grown > capacity) capacity = grown;
        if (capacity > kMaxCapacity) capacity = static_cast<size_t>(total);
        // A text from this string's own block must survive the move.
        const wchar_t* own = Owns(text) ? text : nullptr;
        const ptrdiff_t offset = own != nullptr ? text - data_ : 0;
        Block* old = HasBlock() ? GetBlock() : nullptr;
        Block* block = static_cast<Block*>(malloc(sizeof(Block) + (capacity + 1) * sizeof(wchar_t)));
        if (block == nullptr) return;
        block->capacity = static_cast<int>(capacity);
        block->length = current;
        memcpy(block->Chars(), data_, static_cast<size_t>(current) * sizeof(wchar_t));
        memcpy(block->Chars() + current, own != nullptr ? block->Chars() + offset : text, added * sizeof(wchar_t));
        free(old);
        data_ = block->Chars();
    } else {
        // The source ends at the old terminator at the latest, where the
        // copy starts.
        memmove(data_ + current, text, added * sizeof(wchar_t));
    }
    SetLength(total);
}

CWideString& CWideString::operator=(const CWideString& other) {
    if (this != &other) Assign(other.data_, other.GetLength());
    return *this;
}

CWideString& CWideString::operator=(CWideString&& other) noexcept {
    if (this != &other) {
        Empty();
        data_ = other.data_;
        other.data_ = EmptyText();
    }
    return *this;
}

CWideString& CWideString::operator=(const wchar_t* text) {
    Assign(text);
    return *this;
}

CWideString& CWideString::operator+=(const CWideString& other) {
    Append(other.data_);
    return *this;
}

CWideString& CWideString::operator+=(const wchar_t* text) {
    Append(text);
    return *this;
}

CWideString& CWideString::operator+=(wchar_t ch) {
    wchar_t text[2] = {ch, L'\0'};
    Append(text);
    return *this;
}

CWideString CWideString::operator+(const CWideString& other) const { return *this + other.data_; }

CWideString CWideString::operator+(const wchar_t* text) const {
    const int length = GetLength();
    const size_t added = text != nullptr ? wcslen(text) : 0;
    CWideString result;
    // One block of the exact size for both parts.
    if (added == 0 || added > kMaxCapacity - static_cast<size_t>(length) ||
        !result.Rebuild(length + static_cast<int>(added), data_, length)) {
        result.Assign(data_, length);
        return result;
    }
    memcpy(result.data_ + length, text, added * sizeof(wchar_t));
    result.SetLength(length + static_cast<int>(added));
    return result;
}

int CWideString::Compare(const wchar_t* text) const {
    return Sign(wcscmp(data_, text != nullptr ? text : L""));
}

int CWideString::CompareNoCase(const wchar_t* text) const {
    return Sign(_wcsicmp(data_, text != nullptr ? text : L""));
}

void CWideString::MakeLower() {
    if (HasBlock()) _wcslwr(data_);
}

CWideString CWideString::Left(int count) const {
    int length = GetLength();
    if (count < 0) count = 0;
    if (count > length) count = length;
    return CWideString(data_, count);
}

CWideString CWideString::Mid(int position, int count) const {
    int length = GetLength();
    if (position < 0) position = 0;
    if (position >= length) return CWideString();
    if (count < 0 || count > length - position) count = length - position;
    if (count <= 0) return CWideString();
    return CWideString(data_ + position, count);
}

int CWideString::Find(wchar_t ch, int start) const {
    int length = GetLength();
    if (start != 0 && (start < 0 || start >= length)) return -1;
    for (int i = start; i < length; ++i) {
        if (data_[i] == ch) return i;
    }
    return -1;
}

int CWideString::Find(const wchar_t* text, int start) const {
    if (text == nullptr) return -1;
    int length = GetLength();
    if (start != 0 && (start < 0 || start > length)) return -1;
    if (text[0] == L'\0') return start;  // the C library differs on an empty text at the end
    const wchar_t* found = wcsstr(data_ + start, text);
    return found == nullptr ? -1 : static_cast<int>(found - data_);
}

int CWideString::ReverseFind(wchar_t ch) const {
    const wchar_t* found = wcsrchr(data_, ch);
    return found == nullptr ? -1 : static_cast<int>(found - data_);
}

int CWideString::Replace(const wchar_t* from, const wchar_t* to) {
    if (from == nullptr || from[0] == L'\0') return 0;
    // Either text may lie in this string's own buffer, which is rebuilt below.
    CWideString pattern(from);
    CWideString replacement(to);
    const int patternLength = pattern.GetLength();
    int count = 0;
    CWideString result;
    const wchar_t* rest = data_;
    for (const wchar_t* hit = wcsstr(rest, pattern.data_); hit != nullptr;
         hit = wcsstr(rest, pattern.data_)) {
        CWideString piece(rest, static_cast<int>(hit - rest));
        result.Append(piece.data_);
        result.Append(replacement.data_);
        rest = hit + patternLength;
        ++count;
    }
    if (count == 0) return 0;
    result.Append(rest);
    Assign(result.data_);
    return count;
}

int CWideString::Format(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    int length = FormatV(format, args);
    va_end(args);
    return length;
}

int CWideString::FormatV(const wchar_t* format, va_list args) {
    if (format == nullptr) {
        Empty();
        return 0;
    }
    // wvsprintfW writes at most 1,024 characters and a terminator.
    wchar_t work[1025];
    work[0] = L'\0';
    int length = wvsprintfW(work, format, args);
    if (length < 0) length = 0;
    if (length > kFormatLimit) length = kFormatLimit;
    // Never end on half a surrogate pair.
    if (length > 0 && work[length - 1] >= 0xD800 && work[length - 1] <= 0xDBFF) --length;
    Assign(work, length);
    return length;
}

void CWideString::Delete() { delete this; }

}  // namespace QuillUI
