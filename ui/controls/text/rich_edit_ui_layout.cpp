// Where the rich edit's text and bars lie, how it paints, and how it
// scrolls: the services scroll the text and set the bars through the host.
#include "ui/controls/text/rich_edit_ui.h"

#include "ui/controls/containers/scroll_bar_ui.h"
#include "ui/controls/text/txt_win_host.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/render/clip_region_guard.h"
#include "ui/core/render/renderer_ui.h"

namespace QuillUI {

namespace {

RECT Inside(RECT rect, const RECT& padding) {
    rect.left += padding.left;
    rect.top += padding.top;
    rect.right -= padding.right;
    rect.bottom -= padding.bottom;
    return rect;
}

}  // namespace

LONG CRichEditUI::NaturalHeight(LONG width) const {
    if (host_ == nullptr || manager_ == nullptr) return -1;
    const SIZEL extent = {-1, -1};
    LONG height = 0;
    if (FAILED(host_->GetTextServices()->TxGetNaturalSize(DVASPECT_CONTENT, manager_->GetPaintDC(), nullptr, nullptr,
                                                           TXTNS_FITTOCONTENT, &extent, &width, &height)))
        return -1;
    return height;
}

void CRichEditUI::SetPos(RECT rect, bool needInvalidate) {
    // The children lie over the scrolled extent, as in a plain container.
    CContainerUI::SetPos(rect, needInvalidate);
    const RECT visible = GetClientPos();
    CScrollBarUI* vertical = verticalScrollBar_;
    CScrollBarUI* horizontal = horizontalScrollBar_;
    const bool verticalWasShown = IsShown(vertical);
    if (host_ != nullptr) {
        const RECT text = Inside(GetLayoutArea(), textPadding_);
        host_->SetClientRect(Inside(visible, textPadding_));
        // Setting the client may make the services hide the bar; whether the
        // text still needs it is measured as wide as it is without the bar.
        if (verticalWasShown && (!vertical->IsVisible() || vscrollBarFixing_)) {
            const LONG height = NaturalHeight(text.right - text.left + vertical->GetFixedWidth());
            if (height > text.bottom - text.top) {
                vertical->SetVisible(true);
                vertical->SetScrollPos(0);
                vscrollBarFixing_ = true;
            } else if (vscrollBarFixing_) {
                vertical->SetVisible(false);
                vscrollBarFixing_ = false;
            }
        }
    }
    if (IsShown(vertical))
        vertical->SetPos(RECT{visible.right, visible.top, visible.right + vertical->GetFixedWidth(), visible.bottom},
                         false);
    if (IsShown(horizontal))
        horizontal->SetPos(
            RECT{visible.left, visible.bottom, visible.right, visible.bottom + horizontal->GetFixedHeight()}, false);
}

// A parent that scrolls moves its children: the text keeps its padding.
void CRichEditUI::Move(int dx, int dy, bool needInvalidate) {
    CContainerUI::Move(dx, dy, needInvalidate);
    if (host_ != nullptr) host_->SetClientRect(Inside(GetClientPos(), textPadding_));
}

SIZE CRichEditUI::EstimateSize(SIZE available) { return CControlUI::EstimateSize(available); }

bool CRichEditUI::DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) {
    RECT visible;
    if (!IntersectRect(&visible, &paint, &itemRect_)) return true;
    CClipRegionGuard clip;
    CClipRegionGuard::GenerateClip(dc, visible, clip);
    CControlUI::DoPaint(dc, paint, stopControl);
    if (host_ != nullptr) {
        RECT client = {};
        host_->GetControlRect(&client);
        {
            // Lines above and below the client rectangle stay out of the padding.
            CClipRegionGuard textClip;
            CClipRegionGuard::GenerateClip(dc, client, textClip);
            RECT update = paint;
            host_->GetTextServices()->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, dc, nullptr,
                                             reinterpret_cast<const RECTL*>(&client), nullptr, &update, nullptr, 0,
                                             TXTVIEW_ACTIVE);
        }
        if (vscrollBarFixing_) {
            const int barWidth = verticalScrollBar_ != nullptr ? verticalScrollBar_->GetFixedWidth() : 0;
            const LONG height = NaturalHeight(client.right - client.left + barWidth);
            if (height >= 0 && height <= client.bottom - client.top) NeedUpdate();
        }
    }
    if (!PaintChildren(dc, paint, stopControl)) return false;
    DrawLayeredCaret(dc);
    return PaintScrollBars(dc, paint, stopControl);
}

void CRichEditUI::DrawLayeredCaret(HDC dc) const {
    if (host_ == nullptr || manager_ == nullptr || !manager_->IsLayered()) return;
    if (!host_->IsShowCaret() || !IsFocused() || !drawCaret_) return;
    POINT caret = {0, 0};
    if (!GetCaretPos(&caret) || !PtInRect(&itemRect_, caret)) return;
    CRendererUI::DrawLine(dc, RECT{caret.x, caret.y, caret.x, caret.y + host_->GetCaretHeight()}, 1, 0xFF000000);
}

// ---- Scrolling ---------------------------------------------------------------

void CRichEditUI::SetScrollPos(SIZE pos) {
    CScrollBarUI* vertical = verticalScrollBar_;
    CScrollBarUI* horizontal = horizontalScrollBar_;
    int dx = 0;
    int dy = 0;
    if (IsShown(vertical)) {
        const int old = vertical->GetScrollPos();
        vertical->SetScrollPos(pos.cy);
        dy = vertical->GetScrollPos() - old;
    }
    if (IsShown(horizontal)) {
        const int old = horizontal->GetScrollPos();
        horizontal->SetScrollPos(pos.cx);
        dx = horizontal->GetScrollPos() - old;
    }
    if (host_ == nullptr) return;
    // The bars hold the services' scroll units, which never pass 16 bits:
    // the services scale them for text taller than that.
    if (dy != 0) {
        const int wanted = vertical->GetScrollPos();
        SendScroll(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, wanted));
        if (dy > 0 && !rich_ && IsShown(vertical) && vertical->GetScrollPos() <= wanted)
            vertical->SetScrollPos(wanted);
    }
    if (dx != 0) SendScroll(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, horizontal->GetScrollPos()));
}

void CRichEditUI::SendScroll(UINT message, WPARAM code) { TxSendMessage(message, code, 0, nullptr); }

void CRichEditUI::LineUp() { SendScroll(WM_VSCROLL, SB_LINEUP); }

void CRichEditUI::LineDown() {
    CScrollBarUI* vertical = verticalScrollBar_;
    const bool plain = !rich_ && IsShown(vertical);
    const int before = plain ? vertical->GetScrollPos() : 0;
    SendScroll(WM_VSCROLL, SB_LINEDOWN);
    // Plain text does not report the last line's step.
    if (plain && IsShown(vertical) && vertical->GetScrollPos() <= before)
        vertical->SetScrollPos(vertical->GetScrollRange());
}

void CRichEditUI::PageUp() { SendScroll(WM_VSCROLL, SB_PAGEUP); }
void CRichEditUI::PageDown() { SendScroll(WM_VSCROLL, SB_PAGEDOWN); }
void CRichEditUI::HomeUp() { SendScroll(WM_VSCROLL, SB_TOP); }
void CRichEditUI::EndDown() { SendScroll(WM_VSCROLL, SB_BOTTOM); }
void CRichEditUI::LineLeft() { SendScroll(WM_HSCROLL, SB_LINELEFT); }
void CRichEditUI::LineRight() { SendScroll(WM_HSCROLL, SB_LINERIGHT); }
void CRichEditUI::PageLeft() { SendScroll(WM_HSCROLL, SB_PAGELEFT); }
void CRichEditUI::PageRight() { SendScroll(WM_HSCROLL, SB_PAGERIGHT); }
void CRichEditUI::HomeLeft() { SendScroll(WM_HSCROLL, SB_LEFT); }
void CRichEditUI::EndRight() { SendScroll(WM_HSCROLL, SB_RIGHT); }

}  // namespace QuillUI
