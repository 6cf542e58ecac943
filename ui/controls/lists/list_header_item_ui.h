// One column title of a list header (markup tag "ListHeaderItem"): a
// clickable text that sends "headerclick", with a separator strip at one
// edge that the user drags to change the column's width.
#pragma once
#include "common/win.h"
#include "ui/core/control/control_ui.h"
#include "ui/core/render/image_draw_info_ui.h"
#include "ui/core/values/rect_ui.h"

namespace QuillUI {

class CListHeaderItemUI : public CControlUI {
public:
    CListHeaderItemUI();
    ~CListHeaderItemUI() override;

    const wchar_t* GetClass() const override;
    // "ListHeaderItem" answers the item.
    void* GetInterface(const wchar_t* name) override;
    // The set-cursor flag while enabled with a separator.
    UINT GetControlFlags() const override;
    // Disabling clears the state word.
    void SetEnabled(bool enabled = true) override;
    void DoEvent(ControlEventUI& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    // The fixed width and the default font's height + 8, unless a height is
    // fixed; without a window the fixed size.
    SIZE EstimateSize(SIZE available) override;
    void PaintStatusImage(HDC dc) override;
    void PaintText(HDC dc) override;

    bool IsDragable() const { return dragable_; }
    // Clearing it ends a drag that is going on.
    void SetDragable(bool dragable);
    // 0 or more: the strip at the right edge; negative: at the left edge.
    // The width is the absolute value.
    int GetSepWidth() const { return sepWidth_; }
    void SetSepWidth(int width) { sepWidth_ = width; }
    int GetFont() const { return font_; }
    void SetFont(int index) { font_ = index; }
    // ARGB; text colour 0 takes the window's default at the first paint,
    // separator colour 0 draws no line.
    DWORD GetTextColor() const { return textColor_; }
    void SetTextColor(DWORD color);
    DWORD GetSepColor() const { return sepColor_; }
    void SetSepColor(DWORD color);
    RECT GetTextPadding() const { return textPadding_; }
    void SetTextPadding(RECT padding);
    UINT GetTextStyle() const { return textStyle_; }
    bool IsShowHtml() const { return showHtml_; }
    void SetShowHtml(bool showHtml = true);
    void SetNormalImage(const wchar_t* description);
    void SetHotImage(const wchar_t* description);
    void SetPushedImage(const wchar_t* description);
    void SetFocusedImage(const wchar_t* description);
    void SetSepImage(const wchar_t* description);
    // The separator strip.
    RECT GetThumbRect() const;

private:
    // Draws the image when it has a description; false when nothing drew.
    bool DrawIfAny(HDC dc, CImageSlotUI& info);
    void PaintSeparator(HDC dc);

    POINT lastMouse_ = {0, 0};
    bool dragable_ = true;
    UINT state_ = 0;
    int sepWidth_ = 4;
    DWORD textColor_ = 0;
    DWORD sepColor_ = 0;
    int font_ = -1;
    UINT textStyle_ = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    bool showHtml_ = false;
    CRectUI textPadding_{2, 0, 2, 0};
    CImageSlotUI normalImage_;
    CImageSlotUI hotImage_;
    CImageSlotUI pushedImage_;
    CImageSlotUI focusedImage_;
    CImageSlotUI sepImage_;
};

}  // namespace QuillUI
