#include "ui/controls/text/text_ui.h"

#include "ui/core/render/renderer_ui.h"
#include "ui/core/manager/window_manager_ui.h"

#include <cwchar>

namespace QuillUI {

CTextUI::CTextUI() {
    textStyle_ = DT_WORDBREAK;
    textPadding_ = CRectUI(2, 0, 2, 0);
}

CTextUI::~CTextUI() = default;

const wchar_t* CTextUI::GetClass() const { return L"Text"; }

void* CTextUI::GetInterface(const wchar_t* name) {
    if (name != nullptr && wcscmp(name, L"Text") == 0) return this;
    return CLabelUI::GetInterface(name);
}

UINT CTextUI::GetControlFlags() const {
    return IsEnabled() && linkCount_ > 0 ? ControlFlagSetCursor : 0;
}

RECT CTextUI::GetLinkRect(int index) const {
    if (index < 0 || index >= linkCount_) return CRectUI();
    return links_[index];
}

CWideString CTextUI::GetLinkText(int index) const {
    if (index < 0 || index >= linkCount_) return CWideString();
    return linkTexts_[index];
}

int CTextUI::LinkAt(POINT point) const {
    for (int i = 0; i < linkCount_; ++i) {
        if (::PtInRect(&links_[i], point)) return i;
    }
    return -1;
}

void CTextUI::DoEvent(ControlEventUI& event) {
    if (PassMouseEventOn(event)) return;
    switch (event.kind) {
        case EventSetCursor:
            if (LinkAt(event.mousePoint) >= 0) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
                return;
            }
            break;
        case EventButtonDown:
        case EventDblClick:
            if (IsEnabled() && LinkAt(event.mousePoint) >= 0) {
                Invalidate();
                return;
            }
            break;
        case EventButtonUp:
            if (IsEnabled()) {
                const int link = LinkAt(event.mousePoint);
                if (link >= 0) {
                    if (manager_ != nullptr) manager_->SendNotify(this, L"link", static_cast<WPARAM>(link), 0);
                    return;
                }
            }
            break;
        case EventContextMenu:
            return;
        case EventMouseMove:
            if (linkCount_ > 0 && IsEnabled()) {
                const int hovered = LinkAt(event.mousePoint);
                if (hovered != hoveredLink_) {
                    hoveredLink_ = hovered;
                    Invalidate();
                    return;
                }
            }
            break;
        case EventMouseLeave:
            if (linkCount_ > 0 && IsEnabled() && hoveredLink_ >= 0) {
                if (::PtInRect(&links_[hoveredLink_], event.mousePoint)) {
                    if (manager_ != nullptr) manager_->AddMouseLeaveNeeded(this);
                    return;
                }
                hoveredLink_ = -1;
                Invalidate();
                if (manager_ != nullptr) manager_->RemoveMouseLeaveNeeded(this);
            }
            break;
        default:
            break;
    }
    CLabelUI::DoEvent(event);
}

void CTextUI::PaintText(HDC dc) {
    if (text_.IsEmpty()) {
        linkCount_ = 0;
        hoveredLink_ = -1;
        return;
    }
    FillDefaultColors();
    linkCount_ = kMaxLinks;
    RECT rc = GetTextRect();
    const DWORD color = IsEnabled() ? textColor_ : disabledTextColor_;
    if (showHtml_) {
        CRendererUI::DrawHtmlText(dc, manager_, rc, text_.GetData(), color, links_, linkTexts_, linkCount_, font_,
                                  textStyle_);
    } else {
        linkCount_ = 0;
        CRendererUI::DrawText(dc, manager_, rc, text_.GetData(), color, font_, textStyle_);
    }
    if (hoveredLink_ >= linkCount_) hoveredLink_ = -1;
}

}  // namespace QuillUI
