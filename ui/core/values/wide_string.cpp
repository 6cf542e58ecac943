#include "ui/core/values/wide_string.h"

#include "common/win.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace QuillUI {

namespace {

const int kFormatLimit = 63;

int BoundedLength(const wchar_t* text, int length) {
    if (text == nullptr) return 0;
    if (length < 0) return static_cast<int>(wcslen(text));
    return static_cast<int>(wcsnlen(text, static_cast<size_t>(length)));
}

int Sign(int value) { return value < 0 ? -1 : (value > 0 ? 1 : 0); }

}  // namespace

CWideString::CWideString() : data_(inline_) { inline_[0] = L'\0'; }

CWideString::CWideString(wchar_t ch) : data_(inline_) {
    inline_[0] = ch;
    inline_[1] = L'\0';
}

CWideString::CWideString(const wchar_t* text, int length) : data_(inline_) {
    inline_[0] = L'\0';
    Assign(text, length);
}

CWideString::CWideString(const CWideString& other) : data_(inline_) {
    inline_[0] = L'\0';
    Assign(other.data_);
}

CWideString::~CWideString() {
    if (!IsInline()) free(data_);
}

int CWideString::GetLength() const { return static_cast<int>(wcslen(data_)); }

void CWideString::Empty() {
    if (!IsInline()) free(data_);
    data_ = inline_;
    inline_[0] = L'\0';
}

bool CWideString::Owns(const wchar_t* text) const {
    // Pointer comparison within one block only; any other text is not ours.
    const wchar_t* begin = data_;
    const wchar_t* end = IsInline() ? inline_ + kInlineCapacity : data_ + wcslen(data_) + 1;
    return text >= begin && text < end;
}

void CWideString::Assign(const wchar_t* text, int length) {
    length = BoundedLength(text, length);
    if (length > 0 && Owns(text)) {
        // The source may move or be overwritten: copy it first.
        CWideString copy(text, length);
        Assign(copy.data_, length);
        return;
    }
    if (length >= kHeapThreshold) {
        if (IsInline() || length > GetLength()) {
            size_t bytes = (static_cast<size_t>(length) + 1) * sizeof(wchar_t);
            wchar_t* block = static_cast<wchar_t*>(IsInline() ? malloc(bytes) : realloc(data_, bytes));
            if (block == nullptr) {
                Empty();
                return;
            }
            data_ = block;
        }
    } else if (!IsInline()) {
        free(data_);
        data_ = inline_;
    }
    if (length > 0) memcpy(data_, text, static_cast<size_t>(length) * sizeof(wchar_t));
    data_[length] = L'\0';
}

void CWideString::Append(const wchar_t* text) {
    if (text == nullptr || text[0] == L'\0') return;
    if (Owns(text)) {
        CWideString copy(text);
        Append(copy.data_);
        return;
    }
    int current = GetLength();
    size_t added = wcslen(text);
    if (added > static_cast<size_t>(0x7FFFFFFE - current)) return;
    int total = current + static_cast<int>(added);
    if (total >= kHeapThreshold) {
        size_t bytes = (static_cast<size_t>(total) + 1) * sizeof(wchar_t);
        if (IsInline()) {
            wchar_t* block = static_cast<wchar_t*>(malloc(bytes));
            if (block == nullptr) return;
            memcpy(block, inline_, (static_cast<size_t>(current) + 1) * sizeof(wchar_t));
            data_ = block;
        } else {
            wchar_t* block = static_cast<wchar_t*>(realloc(data_, bytes));
            if (block == nullptr) return;
            data_ = block;
        }
    }
    memcpy(data_ + current, text, (added + 1) * sizeof(wchar_t));
}

CWideString& CWideString::operator=(const CWideString& other) {
    if (this != &other) Assign(other.data_);
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

CWideString CWideString::operator+(const CWideString& other) const {
    CWideString result(*this);
    result.Append(other.data_);
    return result;
}

CWideString CWideString::operator+(const wchar_t* text) const {
    CWideString result(*this);
    result.Append(text);
    return result;
}

int CWideString::Compare(const wchar_t* text) const {
    return Sign(wcscmp(data_, text != nullptr ? text : L""));
}

int CWideString::CompareNoCase(const wchar_t* text) const {
    return Sign(_wcsicmp(data_, text != nullptr ? text : L""));
}

void CWideString::MakeLower() { _wcslwr(data_); }

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
