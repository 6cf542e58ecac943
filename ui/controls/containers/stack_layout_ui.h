// What the vertical and the horizontal layout share: stacking the visible,
// non-float children along one axis, sharing the space that fixed children
// leave among the others, aligning them across the axis, and the separator
// strip at one edge that lets the user resize the layout by dragging it.
#pragma once
#include "common/win.h"
#include "ui/controls/containers/container_ui.h"
#include "ui/core/values/rect_ui.h"

namespace QuillUI {

class CStackLayoutUI : public CContainerUI {
public:
    ~CStackLayoutUI() override;

    // "HorizontalLayout" or "VerticalLayout" answers the layout; other
    // names go to the container.
    void* GetInterface(const wchar_t* name) override;
    // "sepwidth" (horizontal) or "sepheight" (vertical), and "sepimm".
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    // The set-cursor flag while enabled with a separator.
    UINT GetControlFlags() const override;
    void SetPos(RECT rect, bool needInvalidate = true) override;
    void DoEvent(ControlEventUI& event) override;
    // Draws the preview strip while a drag in preview mode goes on.
    bool DoPostPaint(HDC dc, const RECT& paint) override;

    // Resize live while dragging instead of showing a translucent strip.
    void SetSepImmMode(bool immediate);
    bool IsSepImmMode() const { return immediate_; }
    // The separator strip: of the item rectangle, or of the rectangle the
    // drag would leave when useNew is set and a drag goes on.
    RECT GetThumbRect(bool useNew = false) const;

    // The preview strip's colour.
    static const DWORD kPreviewColor = 0xAA000000;

protected:
    explicit CStackLayoutUI(bool horizontal);

    // Negative puts the strip at the top (left) edge, positive at the bottom
    // (right) edge; 0 means none. No re-layout.
    void SetSeparatorSize(int size) { separator_ = size; }
    int GetSeparatorSize() const { return separator_; }
    bool IsDragging() const { return (separatorState_ & kCaptured) != 0; }

private:
    static const UINT kCaptured = 0x40;

    // One step of a drag; false when the step is ignored.
    bool DragTo(POINT point);
    // The layout's fixed size along the axis.
    void SetFixedMain(int size);

    const bool horizontal_;
    int separator_ = 0;
    UINT separatorState_ = 0;
    POINT lastMouse_ = {0, 0};
    CRectUI newPos_;
    bool immediate_ = false;
};

}  // namespace QuillUI
