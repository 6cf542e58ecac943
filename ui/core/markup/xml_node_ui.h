// A handle to one element of a parsed markup document; a value that stays
// valid while the document keeps the content it came from. Attributes are
// mapped on first use.
#pragma once
#include <cstdint>

namespace QuillUI {

class CXmlDocumentUI;

class CXmlNodeUI {
public:
    static const int kMaxAttributes = 64;

    CXmlNodeUI() = default;
    CXmlNodeUI(CXmlDocumentUI* document, uint32_t index) : index_(index), document_(document) {}

    bool IsValid() const { return document_ != nullptr; }
    CXmlNodeUI GetChild() const;
    CXmlNodeUI GetSibling() const;
    bool HasChildren() const;
    // Null for an empty node.
    const wchar_t* GetName() const;

    int GetAttributeCount() const;
    bool HasAttributes() const { return GetAttributeCount() > 0; }
    // The empty string for an index out of range; null for an empty node.
    const wchar_t* GetAttributeName(int index) const;
    const wchar_t* GetAttributeValue(int index) const;
    // Copies the value of the attribute with exactly that name, cut to
    // capacity - 1 characters and always terminated.
    bool GetAttributeValue(const wchar_t* name, wchar_t* destination, int capacity) const;

private:
    struct Attribute {
        uint32_t name;   // offsets in the document's text
        uint32_t value;
    };

    void MapAttributes() const;

    uint32_t index_ = 0;
    mutable int attributeCount_ = 0;  // 0 = not mapped yet
    mutable Attribute attributes_[kMaxAttributes] = {};
    CXmlDocumentUI* document_ = nullptr;
};

}  // namespace QuillUI
