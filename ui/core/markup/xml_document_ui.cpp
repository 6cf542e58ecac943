#include "ui/core/markup/xml_document_ui.h"

#include "common/win.h"
#include "ui/core/skin/skin_bytes.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>

namespace QuillUI {

namespace {

const uint32_t kNoElement = 0xFFFFFFFFu;

bool IsBlank(wchar_t c) { return c > 0 && c <= 32; }

void SkipWhitespace(wchar_t*& p) {
    while (IsBlank(*p)) ++p;
}

bool IsNameCharacter(wchar_t c) { return c == L'_' || c == L':' || iswalnum(c); }

void SkipName(wchar_t*& p) {
    while (*p != 0 && IsNameCharacter(*p)) ++p;
}

// A surrogate pair is one character and is never split.
size_t CharacterLength(const wchar_t* p) {
    return (p[0] >= 0xD800 && p[0] <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) ? 2 : 1;
}

struct Entity {
    const wchar_t* name;
    size_t length;
    wchar_t character;
};

const Entity kEntities[] = {
    {L"amp;", 4, L'&'}, {L"lt;", 3, L'<'}, {L"gt;", 3, L'>'}, {L"quot;", 5, L'"'}, {L"apos;", 5, L'\''},
};

// p stands after an "&": one entity is decoded, or the "&" stays as it is.
void DecodeEntity(wchar_t*& p, wchar_t*& destination) {
    for (const Entity& entity : kEntities) {
        if (wcsncmp(p, entity.name, entity.length) == 0) {
            *destination++ = entity.character;
            p += entity.length;
            return;
        }
    }
    *destination++ = L'&';
}

}  // namespace

CXmlDocumentUI::CXmlDocumentUI(const wchar_t* text) {
    errorMessage_[0] = errorLocation_[0] = L'\0';
    if (text != nullptr) Load(text);
}

CXmlDocumentUI::~CXmlDocumentUI() { Release(); }

void CXmlDocumentUI::Release() {
    free(text_);
    free(elements_);
    text_ = nullptr;
    textLength_ = 0;
    elements_ = nullptr;
    elementCount_ = elementCapacity_ = 0;
}

bool CXmlDocumentUI::Fail(const wchar_t* message, const wchar_t* location) {
    wcsncpy(errorMessage_, message, 99);
    errorMessage_[99] = L'\0';
    errorLocation_[0] = L'\0';
    if (location != nullptr) {
        wcsncpy(errorLocation_, location, 49);
        errorLocation_[49] = L'\0';
    }
    return false;
}

CXmlNodeUI CXmlDocumentUI::GetRoot() {
    return elementCount_ > 1 ? CXmlNodeUI(this, 1) : CXmlNodeUI();
}

bool CXmlDocumentUI::Load(const wchar_t* text) {
    Release();
    if (text == nullptr) text = L"";
    size_t length = wcslen(text);
    wchar_t* copy = static_cast<wchar_t*>(malloc((length + 1) * sizeof(wchar_t)));
    if (copy == nullptr) return Fail(L"File too large", nullptr);
    memcpy(copy, text, (length + 1) * sizeof(wchar_t));
    return Adopt(copy, length);
}

bool CXmlDocumentUI::LoadFromMem(const void* bytes, unsigned int size, int encoding) {
    Release();
    const unsigned char* data = static_cast<const unsigned char*>(bytes);
    if (data == nullptr) size = 0;
    if (encoding == kEncodingUtf16) {
        if (size < 2 || !((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF)))
            return Fail(L"Missing byte-order mark", nullptr);
        const bool bigEndian = data[0] == 0xFE;
        const size_t count = size / 2 - 1;
        wchar_t* text = static_cast<wchar_t*>(malloc((count + 1) * sizeof(wchar_t)));
        if (text == nullptr) return Fail(L"File too large", nullptr);
        // Byte pairs are swapped on the way into our own buffer: the caller's
        // bytes may be read-only resource memory.
        const unsigned char* in = data + 2;
        for (size_t i = 0; i < count; ++i, in += 2)
            text[i] = static_cast<wchar_t>(bigEndian ? (in[0] << 8) | in[1] : in[0] | (in[1] << 8));
        text[count] = L'\0';
        return Adopt(text, count);
    }
    if (encoding != kEncodingUtf8 && encoding != kEncodingAnsi) return Fail(L"Unknown text encoding", nullptr);
    UINT codePage = CP_UTF8;
    if (encoding == kEncodingUtf8) {
        if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
            data += 3;
            size -= 3;
        }
    } else {
        codePage = CP_ACP;
    }
    if (size > 0x7FFFFFFFu) return Fail(L"File too large", nullptr);
    int count = 0;
    if (size > 0) {
        count = MultiByteToWideChar(codePage, 0, reinterpret_cast<const char*>(data), static_cast<int>(size), nullptr, 0);
        if (count <= 0) return Fail(L"Invalid text encoding", nullptr);
    }
    wchar_t* text = static_cast<wchar_t*>(malloc((static_cast<size_t>(count) + 1) * sizeof(wchar_t)));
    if (text == nullptr) return Fail(L"File too large", nullptr);
    if (count > 0 &&
        MultiByteToWideChar(codePage, 0, reinterpret_cast<const char*>(data), static_cast<int>(size), text, count) != count) {
        free(text);
        return Fail(L"Invalid text encoding", nullptr);
    }
    text[count] = L'\0';
    return Adopt(text, static_cast<size_t>(count));
}

bool CXmlDocumentUI::LoadFromFile(const wchar_t* fileName, int encoding) {
    Release();
    if (fileName == nullptr) return Fail(L"Error opening file", nullptr);
    SkinBytesUI bytes;
    switch (ReadSkinFile(fileName, kMaxFileSize, bytes)) {
    case SkinReadResult::kOk:
        break;
    case SkinReadResult::kCannotOpen:
        return Fail(L"Error opening file", nullptr);
    case SkinReadResult::kCannotRead:
        return Fail(L"Could not read file", nullptr);
    case SkinReadResult::kEmpty:
        return Fail(L"File is empty", nullptr);
    case SkinReadResult::kTooLarge:
        return Fail(L"File too large", nullptr);
    case SkinReadResult::kZipCannotOpen:
        return Fail(L"Error opening zip file", nullptr);
    case SkinReadResult::kZipNotFound:
        return Fail(L"Could not find ziped file", nullptr);
    case SkinReadResult::kZipCannotUnzip:
        return Fail(L"Could not unzip file", nullptr);
    }
    return LoadFromMem(bytes.GetData(), static_cast<unsigned int>(bytes.GetSize()), encoding);
}

bool CXmlDocumentUI::Adopt(wchar_t* text, size_t length) {
    text_ = text;
    textLength_ = length;
    // Offsets into the text are 32-bit.
    if (length >= kNoElement) {
        Release();
        return Fail(L"File too large", nullptr);
    }
    if (!Parse()) {
        Release();
        return false;
    }
    return true;
}

size_t CXmlDocumentUI::GetMemorySize() const {
    if (text_ == nullptr) return 0;
    return (textLength_ + 1) * sizeof(wchar_t) + size_t(elementCapacity_) * sizeof(Element);
}

uint32_t CXmlDocumentUI::AddElement() {
    if (elementCount_ == elementCapacity_) {
        uint64_t capacity = uint64_t(elementCapacity_) + elementCapacity_ / 2 + 500;
        if (capacity >= kNoElement || capacity > SIZE_MAX / sizeof(Element)) return kNoElement;
        Element* grown = static_cast<Element*>(realloc(elements_, static_cast<size_t>(capacity) * sizeof(Element)));
        if (grown == nullptr) return kNoElement;
        elements_ = grown;
        elementCapacity_ = static_cast<uint32_t>(capacity);
    }
    elements_[elementCount_] = Element();
    return elementCount_++;
}

bool CXmlDocumentUI::Parse() {
    memset(errorMessage_, 0, sizeof(errorMessage_));
    memset(errorLocation_, 0, sizeof(errorLocation_));
    elementCount_ = 0;
    if (AddElement() == kNoElement) return Fail(L"Out of memory", nullptr);  // the placeholder record 0
    wchar_t* p = text_;
    return ParseLevel(p, 0, 0);
}

// One level of elements under parent; returns at the end tag of the parent
// ("</" left in place for the caller) or at the end of the text.
bool CXmlDocumentUI::ParseLevel(wchar_t*& p, uint32_t parent, int depth) {
    uint32_t previous = 0;
    for (;;) {
        SkipWhitespace(p);
        // A missing end tag of the root element is accepted.
        if (*p == 0 && parent <= 1) return true;
        if (*p != L'<') return Fail(L"Expected start tag", p);
        if (p[1] == L'/') return true;
        *p++ = 0;
        SkipWhitespace(p);
        if (*p == L'!' || *p == L'?') {
            // Comments and declarations end at the first "->", processing
            // instructions at the first "?>"; nothing is recorded.
            const wchar_t close = *p == L'!' ? L'-' : L'?';
            ++p;
            while (*p != 0 && !(p[0] == close && p[1] == L'>')) ++p;
            if (*p != 0) p += 2;
            continue;
        }
        if (depth >= kMaxDepth) return Fail(L"Elements nested too deeply", p);
        const uint32_t index = AddElement();
        if (index == kNoElement) return Fail(L"Out of memory", p);
        elements_[index].name = static_cast<uint32_t>(p - text_);
        elements_[index].parent = parent;
        if (previous != 0) elements_[previous].nextSibling = index;
        else if (parent != 0) elements_[parent].firstChild = index;
        previous = index;

        wchar_t* name = p;
        SkipName(p);
        const size_t nameLength = static_cast<size_t>(p - name);
        if (*p == 0) return Fail(L"Error parsing element name", p);
        if (!ParseAttributes(p)) return false;
        SkipWhitespace(p);
        if (p[0] == L'/' && p[1] == L'>') {
            // An empty element; its "/" also ends a name written right before it.
            elements_[index].data = static_cast<uint32_t>(p - text_);
            *p = 0;
            p += 2;
            continue;
        }
        if (*p != L'>') return Fail(L"Expected start-tag closing", p);
        *p++ = 0;  // ends a name written right before the ">"
        elements_[index].data = static_cast<uint32_t>(p - text_);
        wchar_t* destination = p;
        ParseData(p, destination, L'<');
        if (destination < p) *destination = 0;
        if (*p == 0 && parent <= 1) return true;
        if (*p != L'<') return Fail(L"Expected end-tag start", p);
        if (p[1] != L'/' && !ParseLevel(p, index, depth + 1)) return false;
        if (p[0] == L'<' && p[1] == L'/') {
            *p = 0;
            p += 2;
            SkipWhitespace(p);
            if (wcsncmp(p, name, nameLength) != 0) return Fail(L"Unmatched closing tag", p);
            p += nameLength;
            SkipWhitespace(p);
            if (*p != L'>') return Fail(L"Unmatched closing tag", p);
            ++p;
        }
    }
}

bool CXmlDocumentUI::ParseAttributes(wchar_t*& p) {
    // Only white space ends the element name here; "/" and ">" are dealt
    // with by the caller, which needs to see them.
    if (IsBlank(*p)) *p++ = 0;
    SkipWhitespace(p);
    while (*p != 0 && *p != L'>' && *p != L'/') {
        wchar_t* name = p;
        SkipName(p);
        wchar_t* nameEnd = p;
        SkipWhitespace(p);
        if (name == nameEnd || *p != L'=') return Fail(L"Error while parsing attributes", p);
        *p++ = L' ';
        *nameEnd = 0;
        SkipWhitespace(p);
        if (*p != L'"') return Fail(L"Expected attribute value", p);
        ++p;
        wchar_t* destination = p;
        ParseData(p, destination, L'"');
        if (*p == 0) return Fail(L"Error while parsing attribute string", p);
        *destination = 0;
        if (p != destination) *p = L' ';
        ++p;
        SkipWhitespace(p);
    }
    return true;
}

// Moves the text up to the end character toward destination, decoding
// entities, and blanks what is left between the two.
void CXmlDocumentUI::ParseData(wchar_t*& p, wchar_t*& destination, wchar_t end) {
    while (*p != 0 && *p != end) {
        if (*p == L'&') {
            while (*p == L'&') DecodeEntity(++p, destination);
            continue;
        }
        if (*p == L' ') {
            *destination++ = *p++;
            if (!preserveWhitespace_) SkipWhitespace(p);
            continue;
        }
        for (size_t n = CharacterLength(p); n > 0; --n) *destination++ = *p++;
    }
    for (wchar_t* fill = destination; fill < p; ++fill) *fill = L' ';
}

}  // namespace QuillUI
