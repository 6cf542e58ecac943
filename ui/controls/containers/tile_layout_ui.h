// The layout of the markup tag "TileLayout": its children in a grid of equal
// cells, row by row, as many columns as fit unless "columns" fixes them. The
// container's child padding is the gap between columns, "childvpadding" the
// gap between rows; a hidden child leaves its cell empty.
#pragma once
#include "common/win.h"
#include "ui/controls/containers/container_ui.h"
#include "ui/core/values/size_ui.h"

namespace QuillUI {

class CTileLayoutUI : public CContainerUI {
public:
    CTileLayoutUI();
    ~CTileLayoutUI() override;

    const wchar_t* GetClass() const override;
    // "TileLayout" answers the layout; other names go to the container.
    void* GetInterface(const wchar_t* name) override;
    void SetPos(RECT rect, bool needInvalidate = true) override;
    // "itemsize", "columns" and "childvpadding".
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    SIZE GetItemSize() const { return itemSize_; }
    // A cell is at least 1 by 1: smaller sizes are refused.
    void SetItemSize(SIZE size);
    int GetColumns() const { return columns_; }
    // 0 fits as many as the width takes; negative counts are ignored.
    void SetColumns(int columns);
    int GetChildVPadding() const { return childVPadding_; }
    // Negative becomes 0.
    void SetChildVPadding(int padding);

private:
    CSizeUI itemSize_{80, 80};
    int columns_ = 0;
    int childVPadding_ = 0;
};

}  // namespace QuillUI
