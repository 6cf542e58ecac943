// The list item of the markup tag "ListHBoxElement": a container item whose
// children are placed one per column of its list, with the list's vertical
// grid lines between them. Children past the last column keep their places.
#pragma once
#include "ui/controls/lists/list_container_element_ui.h"

namespace QuillUI {

class CListHBoxElementUI : public CListContainerElementUI {
public:
    CListHBoxElementUI();
    ~CListHBoxElementUI() override;

    const wchar_t* GetClass() const override;
    // "ListHBoxElement" answers the element.
    void* GetInterface(const wchar_t* name) override;
    // Without an owner, the container's placement.
    void SetPos(RECT rect, bool needInvalidate = true) override;
    // Nothing without an owner's record.
    bool DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) override;
};

}  // namespace QuillUI
