// The control of the markup tag "Text": several lines of tagged text with
// up to eight clickable links. A click on a link sends "link" with the
// link's index; the link under the mouse is highlighted.
#pragma once
#include "ui/controls/text/label_ui.h"
#include "ui/core/values/wide_string.h"

namespace QuillUI {

class CTextUI : public CLabelUI {
public:
    static const int kMaxLinks = 8;

    CTextUI();
    ~CTextUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    // The set-cursor flag while enabled with at least one link.
    UINT GetControlFlags() const override;
    void DoEvent(ControlEventUI& event) override;
    void PaintText(HDC dc) override;

    // The links of the last paint.
    int GetLinkCount() const { return linkCount_; }
    RECT GetLinkRect(int index) const;
    CWideString GetLinkText(int index) const;
    // -1 when no link is under the mouse.
    int GetHoveredLink() const { return hoveredLink_; }

private:
    // The index of the link that holds the point, or -1.
    int LinkAt(POINT point) const;

    int linkCount_ = 0;
    RECT links_[kMaxLinks] = {};
    CWideString linkTexts_[kMaxLinks];
    int hoveredLink_ = -1;
};

}  // namespace QuillUI
