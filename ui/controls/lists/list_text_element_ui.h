// The list item of the markup tag "ListTextElement": one text per column of
// its list, from the list's text provider when it has one, else from the
// element's own column texts, with vertical grid lines between the columns
// and up to 8 clickable links in tagged text. In an owner that is no list
// (a combo box) it has no columns and no provider, and shows its own text.
#pragma once
#include "ui/controls/lists/list_label_element_ui.h"
#include "ui/core/values/pointer_array.h"
#include "ui/core/values/wide_string.h"

#include <memory>

namespace QuillUI {

class CListTextElementUI : public CListLabelElementUI {
public:
    static constexpr int kMaxLinks = 8;

    CListTextElementUI();
    ~CListTextElementUI() override;

    const wchar_t* GetClass() const override;
    // "ListTextElement" answers the element.
    void* GetInterface(const wchar_t* name) override;
    // The set-cursor flag as well while enabled and holding a link.
    UINT GetControlFlags() const override;
    // Also keeps the owner's "IList" part (columns and provider), which a
    // combo box does not have. A null owner leaves it with neither.
    void SetOwner(CControlUI* owner) override;

    // The column's own text, or null when it has none.
    const wchar_t* GetText(int column) const;
    using CListLabelElementUI::GetText;
    // Keeps a copy; false for a column outside the table.
    bool SetText(int column, const wchar_t* text);
    using CListLabelElementUI::SetText;

    // Links first (hand cursor, "link" on release), then the label's rules.
    void DoEvent(ControlEventUI& event) override;
    // As the label, measuring the first column's text, as wide as the
    // columns when the list has some.
    SIZE EstimateSize(SIZE available) override;
    void DrawItemText(HDC dc, const RECT& rect) override;

    int GetLinkCount() const { return linkCount_; }
    // The rectangle of a link of the last paint (empty past the count).
    RECT GetLinkRect(int index) const;

private:
    struct Links {
        RECT rects[kMaxLinks] = {};
        CWideString texts[kMaxLinks];
    };

    IListTextCallbackUI* Provider() const;
    // The text of a cell: the provider's, else the column's own (empty
    // when it has none). Never null.
    const wchar_t* CellText(int column);
    // The text of a row without columns, and the one measured: the first
    // cell's when the provider or the first column gives one, else the
    // element's own.
    const wchar_t* FirstText();
    // The link under the point, or -1.
    int LinkAt(POINT point) const;

    // What every layout reads comes first, near the label's cache.
    IListUI* list_ = nullptr;
    int lastWidth_ = 0;
    int linkCount_ = 0;
    int hoverLink_ = -1;
    // Made at the first tagged paint: most rows never hold a link.
    std::unique_ptr<Links> links_;
    CPointerArray columnTexts_;  // owned CWideString pointers, null for none
    CWideString lastText_;
};

}  // namespace QuillUI
