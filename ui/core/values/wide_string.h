// A UTF-16 string of one pointer. Most of the framework's strings stay empty
// (names, tooltips, image descriptions never given), so an empty string
// points at one shared text that nobody writes and owns nothing; any other
// text lives in a heap block of the string's own that also keeps its length.
#pragma once
#include <cstdarg>

namespace QuillUI {

class CWideString {
public:
    CWideString();
    explicit CWideString(wchar_t ch);
    // length -1 (any negative) takes the text up to its terminator; a longer
    // length stops at the terminator as well.
    CWideString(const wchar_t* text, int length = -1);
    CWideString(const CWideString& other);
    // The other string is left empty.
    CWideString(CWideString&& other) noexcept;
    ~CWideString();

    int GetLength() const;
    bool IsEmpty() const { return data_[0] == L'\0'; }
    void Empty();
    const wchar_t* GetData() const { return data_; }
    wchar_t GetAt(int index) const { return data_[index]; }

    // A null text counts as an empty one.
    void Assign(const wchar_t* text, int length = -1);
    void Append(const wchar_t* text);

    CWideString& operator=(const CWideString& other);
    CWideString& operator=(CWideString&& other) noexcept;
    CWideString& operator=(const wchar_t* text);
    CWideString& operator+=(const CWideString& other);
    CWideString& operator+=(const wchar_t* text);
    CWideString& operator+=(wchar_t ch);
    CWideString operator+(const CWideString& other) const;
    CWideString operator+(const wchar_t* text) const;

    bool operator==(const wchar_t* text) const { return Compare(text) == 0; }
    bool operator!=(const wchar_t* text) const { return Compare(text) != 0; }
    // -1, 0 or 1; a null text compares as an empty one.
    int Compare(const wchar_t* text) const;
    int CompareNoCase(const wchar_t* text) const;

    void MakeLower();
    CWideString Left(int count) const;
    CWideString Mid(int position, int count = -1) const;
    int Find(wchar_t ch, int start = 0) const;
    int Find(const wchar_t* text, int start = 0) const;
    int ReverseFind(wchar_t ch) const;
    // Replaces every occurrence left to right; inserted text is not searched
    // again. An empty pattern replaces nothing.
    int Replace(const wchar_t* from, const wchar_t* to);
    // wvsprintfW rules; the result is cut to 63 characters.
    int Format(const wchar_t* format, ...);
    int FormatV(const wchar_t* format, va_list args);

    // Frees a string that was itself allocated with new.
    void Delete();

private:
    struct Block;

    bool HasBlock() const;
    Block* GetBlock() const;
    // Whether text lies in this string's own block.
    bool Owns(const wchar_t* text) const;
    // Gives the string a fresh block of capacity characters holding the
    // first keep characters of text (which may be its own); false, with the
    // string as it was, when there is no memory.
    bool Rebuild(int capacity, const wchar_t* text, int keep);
    void SetLength(int length);

    // The shared empty text, or the characters of the own block.
    wchar_t* data_;
};

}  // namespace QuillUI
