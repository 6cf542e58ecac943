// The layout of the markup tags "VerticalLayout" and "VBox": its visible
// children one after the other from top to bottom, with a separator strip
// at its bottom (negative: top) edge when "sepheight" is set.
#pragma once
#include "ui/controls/containers/stack_layout_ui.h"

namespace QuillUI {

class CVerticalLayoutUI : public CStackLayoutUI {
public:
    CVerticalLayoutUI();
    ~CVerticalLayoutUI() override;

    const wchar_t* GetClass() const override;

    // The separator's thickness; no re-layout.
    void SetSepHeight(int size) { SetSeparatorSize(size); }
    int GetSepHeight() const { return GetSeparatorSize(); }
};

}  // namespace QuillUI
