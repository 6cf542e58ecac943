#include "ui/core/markup/xml_node_ui.h"

#include "ui/core/markup/xml_document_ui.h"

#include <cwchar>

namespace QuillUI {

namespace {

bool IsBlank(wchar_t c) { return c > 0 && c <= 32; }

}  // namespace

CXmlNodeUI CXmlNodeUI::GetChild() const {
    if (document_ == nullptr || index_ >= document_->elementCount_) return CXmlNodeUI();
    uint32_t child = document_->elements_[index_].firstChild;
    return child != 0 ? CXmlNodeUI(document_, child) : CXmlNodeUI();
}

CXmlNodeUI CXmlNodeUI::GetSibling() const {
    if (document_ == nullptr || index_ >= document_->elementCount_) return CXmlNodeUI();
    uint32_t next = document_->elements_[index_].nextSibling;
    return next != 0 ? CXmlNodeUI(document_, next) : CXmlNodeUI();
}

bool CXmlNodeUI::HasChildren() const {
    return document_ != nullptr && index_ < document_->elementCount_ &&
           document_->elements_[index_].firstChild != 0;
}

const wchar_t* CXmlNodeUI::GetName() const {
    if (document_ == nullptr || index_ >= document_->elementCount_) return nullptr;
    return document_->text_ + document_->elements_[index_].name;
}

// The parser left each attribute as name, terminator, blanks, quote, value,
// terminator between the end of the element name and the element's data.
void CXmlNodeUI::MapAttributes() const {
    attributeCount_ = 0;
    if (document_ == nullptr || index_ >= document_->elementCount_) return;
    const wchar_t* text = document_->text_;
    const wchar_t* end = text + document_->elements_[index_].data;
    const wchar_t* p = text + document_->elements_[index_].name;
    p += wcsnlen(p, static_cast<size_t>(end - p)) + 1;
    while (p < end && attributeCount_ < kMaxAttributes) {
        while (p < end && IsBlank(*p)) ++p;
        if (p >= end || *p == 0) return;
        const wchar_t* name = p;
        p += wcsnlen(p, static_cast<size_t>(end - p)) + 1;
        while (p < end && IsBlank(*p)) ++p;
        if (p >= end || *p != L'"') return;
        ++p;
        attributes_[attributeCount_].name = static_cast<uint32_t>(name - text);
        attributes_[attributeCount_].value = static_cast<uint32_t>(p - text);
        ++attributeCount_;
        p += wcsnlen(p, static_cast<size_t>(end - p)) + 1;
    }
}

int CXmlNodeUI::GetAttributeCount() const {
    if (attributeCount_ == 0) MapAttributes();
    return attributeCount_;
}

const wchar_t* CXmlNodeUI::GetAttributeName(int index) const {
    if (document_ == nullptr) return nullptr;
    if (index < 0 || index >= GetAttributeCount()) return L"";
    return document_->text_ + attributes_[index].name;
}

const wchar_t* CXmlNodeUI::GetAttributeValue(int index) const {
    if (document_ == nullptr) return nullptr;
    if (index < 0 || index >= GetAttributeCount()) return L"";
    return document_->text_ + attributes_[index].value;
}

bool CXmlNodeUI::GetAttributeValue(const wchar_t* name, wchar_t* destination, int capacity) const {
    if (document_ == nullptr || name == nullptr || destination == nullptr || capacity <= 0) return false;
    const int count = GetAttributeCount();
    for (int i = 0; i < count; ++i) {
        if (wcscmp(document_->text_ + attributes_[i].name, name) != 0) continue;
        const wchar_t* value = document_->text_ + attributes_[i].value;
        size_t length = wcsnlen(value, static_cast<size_t>(capacity) - 1);
        wmemcpy(destination, value, length);
        destination[length] = L'\0';
        return true;
    }
    return false;
}

}  // namespace QuillUI
