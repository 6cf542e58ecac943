// The row of column titles at the top of a list (markup tag "ListHeader"):
// a horizontal layout of header items whose rectangles are the list's
// columns.
#pragma once
#include "ui/controls/containers/horizontal_layout_ui.h"

namespace QuillUI {

class CListHeaderUI : public CHorizontalLayoutUI {
public:
    CListHeaderUI();
    ~CListHeaderUI() override;

    const wchar_t* GetClass() const override;
    // "ListHeader" answers the header.
    void* GetInterface(const wchar_t* name) override;
    // Width: every item's, hidden ones too (the list scrolls sideways by
    // it). Height: the fixed one, else the tallest item and at least the
    // default font's height + 8; without a window only the fixed one.
    SIZE EstimateSize(SIZE available) override;
};

}  // namespace QuillUI
