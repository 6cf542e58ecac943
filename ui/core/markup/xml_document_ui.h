// Layout markup read in place: the text is kept in one wide-character buffer
// into which terminators are written, so names, attribute values and element
// text are handed out as plain strings without copying. Elements, attributes
// in double quotes, five entities, comments and processing instructions;
// nothing else.
#pragma once
#include "ui/core/markup/xml_node_ui.h"

#include <cstddef>
#include <cstdint>

namespace QuillUI {

class CXmlDocumentUI {
public:
    enum Encoding { kEncodingUtf8 = 0, kEncodingUtf16 = 1, kEncodingAnsi = 2 };
    static const unsigned int kMaxFileSize = 4 * 1024 * 1024;
    // Deeper nesting is refused rather than exhausting the stack.
    static const int kMaxDepth = 256;

    explicit CXmlDocumentUI(const wchar_t* text = nullptr);
    CXmlDocumentUI(const CXmlDocumentUI&) = delete;
    CXmlDocumentUI& operator=(const CXmlDocumentUI&) = delete;
    ~CXmlDocumentUI();

    bool Load(const wchar_t* text);
    // UTF-8 (a leading byte-order mark is skipped), UTF-16 with a byte-order
    // mark (either byte order) or the ANSI code page. The bytes are not changed.
    bool LoadFromMem(const void* bytes, unsigned int size, int encoding = kEncodingUtf8);
    // From the skin folder, or from the skin zip when one is set.
    bool LoadFromFile(const wchar_t* fileName, int encoding = kEncodingUtf8);
    void Release();
    CXmlNodeUI GetRoot();
    // The bytes the parsed markup takes.
    size_t GetMemorySize() const;

    // Whether the blanks after a blank in text and values are kept.
    void SetPreserveWhitespace(bool preserve) { preserveWhitespace_ = preserve; }
    // The last failure's text, and the first characters of the markup where
    // it was found; kept after a failed load.
    const wchar_t* GetLastErrorMessage() const { return errorMessage_; }
    const wchar_t* GetLastErrorLocation() const { return errorLocation_; }

private:
    friend class CXmlNodeUI;

    struct Element {
        uint32_t name;         // offset of the name in the text
        uint32_t firstChild;   // element index, 0 = none
        uint32_t nextSibling;  // element index, 0 = none
        uint32_t parent;
        uint32_t data;         // offset of the text content, or of the "/" of an empty element
    };

    // Takes the buffer (text of length characters plus a terminator) and parses it.
    bool Adopt(wchar_t* text, size_t length);
    bool Parse();
    bool ParseLevel(wchar_t*& p, uint32_t parent, int depth);
    bool ParseAttributes(wchar_t*& p);
    void ParseData(wchar_t*& p, wchar_t*& destination, wchar_t end);
    uint32_t AddElement();
    bool Fail(const wchar_t* message, const wchar_t* location);

    wchar_t* text_ = nullptr;
    size_t textLength_ = 0;
    Element* elements_ = nullptr;
    uint32_t elementCount_ = 0;
    uint32_t elementCapacity_ = 0;
    wchar_t errorMessage_[100];
    wchar_t errorLocation_[50];
    bool preserveWhitespace_ = true;
};

}  // namespace QuillUI
