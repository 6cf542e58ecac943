#include "ui/controls/vertical_layout_ui.h"

#include "ui/controls/attribute_value_ui.h"

#include <cwchar>

namespace QuillUI {

CVerticalLayoutUI::CVerticalLayoutUI() : CStackLayoutUI(false) {}

CVerticalLayoutUI::~CVerticalLayoutUI() = default;

const wchar_t* CVerticalLayoutUI::GetClass() const { return L"VerticalLayout"; }

void* CVerticalLayoutUI::GetInterface(const wchar_t* name) {
    if (name != nullptr && wcscmp(name, L"VerticalLayout") == 0) return this;
    return CContainerUI::GetInterface(name);
}

void CVerticalLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr) return;
    if (value == nullptr) value = L"";
    if (wcscmp(name, L"sepheight") == 0) {
        SetSepHeight(_wtoi(value));
    } else if (wcscmp(name, L"sepimm") == 0) {
        SetSepImmMode(IsTrueValue(value));
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

}  // namespace QuillUI
