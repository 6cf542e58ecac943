#include "ui/controls/horizontal_layout_ui.h"

#include "ui/controls/attribute_value_ui.h"

#include <cwchar>

namespace QuillUI {

CHorizontalLayoutUI::CHorizontalLayoutUI() : CStackLayoutUI(true) {}

CHorizontalLayoutUI::~CHorizontalLayoutUI() = default;

const wchar_t* CHorizontalLayoutUI::GetClass() const { return L"HorizontalLayout"; }

void* CHorizontalLayoutUI::GetInterface(const wchar_t* name) {
    if (name != nullptr && wcscmp(name, L"HorizontalLayout") == 0) return this;
    return CContainerUI::GetInterface(name);
}

void CHorizontalLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr) return;
    if (value == nullptr) value = L"";
    if (wcscmp(name, L"sepwidth") == 0) {
        SetSepWidth(_wtoi(value));
    } else if (wcscmp(name, L"sepimm") == 0) {
        SetSepImmMode(IsTrueValue(value));
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

}  // namespace QuillUI
