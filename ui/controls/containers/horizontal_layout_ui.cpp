#include "ui/controls/containers/horizontal_layout_ui.h"

namespace QuillUI {

CHorizontalLayoutUI::CHorizontalLayoutUI() : CStackLayoutUI(true) {}

CHorizontalLayoutUI::~CHorizontalLayoutUI() = default;

const wchar_t* CHorizontalLayoutUI::GetClass() const { return L"HorizontalLayout"; }

}  // namespace QuillUI
