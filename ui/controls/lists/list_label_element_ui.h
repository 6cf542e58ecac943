// The list item of the markup tag "ListLabelElement": one line or block of
// text in the owner's item look; a click selects it. Its size is measured
// once and kept until the text, its fixed size or the list-info values it
// was measured with change (a multi-line item also when the space does):
// item height, font, text style, padding, and whether the text is tagged.
#pragma once
#include "ui/controls/lists/list_element_ui.h"
#include "ui/core/values/rect_ui.h"
#include "ui/core/values/size_ui.h"
#include "ui/core/values/wide_string.h"

namespace QuillUI {

class CListLabelElementUI : public CListElementUI {
public:
    CListLabelElementUI();
    ~CListLabelElementUI() override;

    const wchar_t* GetClass() const override;
    // "ListLabelElement" answers the element.
    void* GetInterface(const wchar_t* name) override;
    // Marks the size for measuring again, also for a null owner.
    void SetOwner(CControlUI* owner) override;
    void SetText(const wchar_t* text) override;
    void SetFixedWidth(int width) override;
    void SetFixedHeight(int height) override;
    // Press: "itemclick", then selection through the owner; hot tracking.
    void DoEvent(ControlEventUI& event) override;
    // (0, 0) without an owner; without a window only fixed sizes and the
    // item height, measured once there is one.
    SIZE EstimateSize(SIZE available) override;
    // The row background and the text; no border or status image.
    bool DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) override;
    void DrawItemText(HDC dc, const RECT& rect) override;

protected:
    // The size that needs no measuring: a fixed size, or a fixed width with
    // the list's item height; false when the text must be measured.
    bool KnownSize(const ListInfoUI& info, SIZE& size) const;
    // The estimate of text from a starting size (width 0: measured; height
    // 0: the item height, else measured), cached until stale.
    SIZE EstimateText(SIZE available, const ListInfoUI& info, int width, const wchar_t* text, bool stale);
    // The rules of a press and of hot tracking; false when the event goes
    // on to the element's own handling.
    bool HandleLabelEvent(ControlEventUI& event);
    // One text in rc with the item font and style, plain or tagged; tagged
    // text records up to linkCount links (linkCount returns those found).
    void DrawCellText(HDC dc, RECT rc, const wchar_t* text, DWORD color, const ListInfoUI& info, RECT* links,
                      CWideString* linkTexts, int& linkCount);

    CSizeUI estimated_;
    bool needEstimate_ = true;
    CSizeUI lastAvailable_;
    int lastItemHeight_ = 0;
    int lastFont_ = -1;
    UINT lastTextStyle_ = 0;
    CRectUI lastTextPadding_;
    bool lastShowHtml_ = false;
};

}  // namespace QuillUI
