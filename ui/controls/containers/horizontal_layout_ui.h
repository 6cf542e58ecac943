// The layout of the markup tags "HorizontalLayout" and "HBox": its visible
// children one after the other from left to right, with a separator strip
// at its right (negative: left) edge when "sepwidth" is set.
#pragma once
#include "ui/controls/containers/stack_layout_ui.h"

namespace QuillUI {

class CHorizontalLayoutUI : public CStackLayoutUI {
public:
    CHorizontalLayoutUI();
    ~CHorizontalLayoutUI() override;

    const wchar_t* GetClass() const override;

    // The separator's thickness; no re-layout.
    void SetSepWidth(int size) { SetSeparatorSize(size); }
    int GetSepWidth() const { return GetSeparatorSize(); }
};

}  // namespace QuillUI
