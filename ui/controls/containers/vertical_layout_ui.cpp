#include "ui/controls/containers/vertical_layout_ui.h"

namespace QuillUI {

CVerticalLayoutUI::CVerticalLayoutUI() : CStackLayoutUI(false) {}

CVerticalLayoutUI::~CVerticalLayoutUI() = default;

const wchar_t* CVerticalLayoutUI::GetClass() const { return L"VerticalLayout"; }

}  // namespace QuillUI
