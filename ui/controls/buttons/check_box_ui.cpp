#include "ui/controls/buttons/check_box_ui.h"

#include <cwchar>

namespace QuillUI {

CCheckBoxUI::CCheckBoxUI() = default;

CCheckBoxUI::~CCheckBoxUI() = default;

const wchar_t* CCheckBoxUI::GetClass() const { return L"CheckBox"; }

void* CCheckBoxUI::GetInterface(const wchar_t* name) {
    if (name != nullptr && wcscmp(name, L"CheckBox") == 0) return this;
    return COptionUI::GetInterface(name);
}

}  // namespace QuillUI
