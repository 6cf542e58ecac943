#include "ui/controls/lists/list_header_item_ui.h"

#include "ui/controls/buttons/control_state_ui.h"
#include "ui/controls/lists/list_info_attributes_ui.h"
#include "ui/core/markup/attribute_value_ui.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/render/renderer_ui.h"
#include "ui/core/values/number_list_ui.h"

#include <cstdlib>
#include <cwchar>

namespace QuillUI {

CListHeaderItemUI::CListHeaderItemUI() { minSize_.cx = 16; }

CListHeaderItemUI::~CListHeaderItemUI() = default;

const wchar_t* CListHeaderItemUI::GetClass() const { return L"ListHeaderItem"; }

void* CListHeaderItemUI::GetInterface(const wchar_t* name) {
    if (name != nullptr && wcscmp(name, L"ListHeaderItem") == 0) return this;
    return CControlUI::GetInterface(name);
}

UINT CListHeaderItemUI::GetControlFlags() const {
    return IsEnabled() && sepWidth_ != 0 ? ControlFlagSetCursor : 0;
}

void CListHeaderItemUI::SetEnabled(bool enabled) {
    CControlUI::SetEnabled(enabled);
    if (!IsEnabled()) state_ = 0;
}

void CListHeaderItemUI::SetDragable(bool dragable) {
    dragable_ = dragable;
    if (!dragable_) state_ &= ~static_cast<UINT>(StateCaptured);
}

void CListHeaderItemUI::SetTextColor(DWORD color) {
    textColor_ = color;
    Invalidate();
}

void CListHeaderItemUI::SetSepColor(DWORD color) {
    sepColor_ = color;
    Invalidate();
}

void CListHeaderItemUI::SetTextPadding(RECT padding) {
    textPadding_ = padding;
    Invalidate();
}

void CListHeaderItemUI::SetShowHtml(bool showHtml) {
    if (showHtml_ == showHtml) return;
    showHtml_ = showHtml;
    Invalidate();
}

void CListHeaderItemUI::SetNormalImage(const wchar_t* description) { ChangeImage(normalImage_, description); }
void CListHeaderItemUI::SetHotImage(const wchar_t* description) { ChangeImage(hotImage_, description); }
void CListHeaderItemUI::SetPushedImage(const wchar_t* description) { ChangeImage(pushedImage_, description); }
void CListHeaderItemUI::SetFocusedImage(const wchar_t* description) { ChangeImage(focusedImage_, description); }
void CListHeaderItemUI::SetSepImage(const wchar_t* description) { ChangeImage(sepImage_, description); }

RECT CListHeaderItemUI::GetThumbRect() const {
    if (sepWidth_ >= 0) return RECT{itemRect_.right - sepWidth_, itemRect_.top, itemRect_.right, itemRect_.bottom};
    return RECT{itemRect_.left, itemRect_.top, itemRect_.left - sepWidth_, itemRect_.bottom};
}

SIZE CListHeaderItemUI::EstimateSize(SIZE available) {
    // Nothing to measure with before the item belongs to a window.
    if (fixedSize_.cy != 0 || manager_ == nullptr) return CControlUI::EstimateSize(available);
    const FontInfoUI* font = manager_->GetDefaultFontInfo();
    return SIZE{fixedSize_.cx, (font != nullptr ? font->metrics.tmHeight : 0) + 8};
}

void CListHeaderItemUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr) return;
    if (value == nullptr) value = L"";
    if (wcscmp(name, L"dragable") == 0) {
        SetDragable(IsTrueValue(value));
    } else if (wcscmp(name, L"align") == 0) {
        textStyle_ = ApplyAlignValue(textStyle_, value);
    } else if (wcscmp(name, L"valign") == 0) {
        textStyle_ = ApplyVAlignValue(textStyle_, value);
    } else if (wcscmp(name, L"endellipsis") == 0) {
        textStyle_ = ApplyEndEllipsisValue(textStyle_, value);
    } else if (wcscmp(name, L"multiline") == 0) {
        textStyle_ = ApplyMultiLineValue(textStyle_, value);
    } else if (wcscmp(name, L"font") == 0) {
        SetFont(_wtoi(value));
    } else if (wcscmp(name, L"textcolor") == 0) {
        SetTextColor(ReadColorValue(value));
    } else if (wcscmp(name, L"textpadding") == 0) {
        SetTextPadding(ParseRectList(value));
    } else if (wcscmp(name, L"showhtml") == 0) {
        SetShowHtml(IsTrueValue(value));
    } else if (wcscmp(name, L"normalimage") == 0) {
        SetNormalImage(value);
    } else if (wcscmp(name, L"hotimage") == 0) {
        SetHotImage(value);
    } else if (wcscmp(name, L"pushedimage") == 0) {
        SetPushedImage(value);
    } else if (wcscmp(name, L"focusedimage") == 0) {
        SetFocusedImage(value);
    } else if (wcscmp(name, L"sepwidth") == 0) {
        SetSepWidth(_wtoi(value));
    } else if (wcscmp(name, L"sepcolor") == 0) {
        SetSepColor(ReadColorValue(value));
    } else if (wcscmp(name, L"sepimage") == 0) {
        SetSepImage(value);
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

void CListHeaderItemUI::DoEvent(ControlEventUI& event) {
    const int kind = event.kind;
    if (!IsMouseEnabled() && IsMouseEventKind(kind)) {
        if (parent_ != nullptr)
            parent_->DoEvent(event);
        else
            CControlUI::DoEvent(event);
        return;
    }
    const POINT point = event.mousePoint;
    const RECT thumb = GetThumbRect();
    const bool onSeparator = ::PtInRect(&thumb, point) != FALSE;
    switch (kind) {
    case EventSetFocus:
    case EventKillFocus:
        Invalidate();
        break;
    case EventButtonDown:
    case EventDblClick:
        if (!IsEnabled()) return;
        if (!onSeparator) {
            state_ |= StatePushed;
            // Drawn before the notification: its handler may change the tree.
            Invalidate();
            if (manager_ != nullptr) manager_->SendNotify(this, L"headerclick");
        } else if (dragable_) {
            state_ |= StateCaptured;
            lastMouse_ = point;
        }
        return;
    case EventButtonUp:
        if ((state_ & StateCaptured) != 0) {
            state_ &= ~static_cast<UINT>(StateCaptured);
            if (parent_ != nullptr) parent_->NeedParentUpdate();
        } else if ((state_ & StatePushed) != 0) {
            state_ &= ~static_cast<UINT>(StatePushed);
            Invalidate();
        }
        return;
    case EventMouseMove: {
        if ((state_ & StateCaptured) == 0) return;
        const int d = lastMouse_.x - point.x;
        RECT candidate = itemRect_;
        if (sepWidth_ >= 0)
            candidate.right -= d;
        else
            candidate.left -= d;
        const int width = candidate.right - candidate.left;
        // The point is kept: the drag resumes from the last width it took.
        if (width <= GetMinWidth()) return;
        lastMouse_ = point;
        SetFixedWidth(width);
        if (parent_ != nullptr) parent_->NeedParentUpdate();
        return;
    }
    case EventSetCursor:
        if (IsEnabled() && dragable_ && onSeparator) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEWE));
            return;
        }
        break;
    case EventMouseEnter:
        if (::PtInRect(&itemRect_, point) && IsEnabled() && (state_ & StateHot) == 0) {
            state_ |= StateHot;
            Invalidate();
        }
        break;
    case EventMouseLeave:
        if (::PtInRect(&itemRect_, point)) {
            if (manager_ != nullptr) manager_->AddMouseLeaveNeeded(this);
            return;
        }
        if (IsEnabled() && (state_ & StateHot) != 0) {
            state_ &= ~static_cast<UINT>(StateHot);
            Invalidate();
        }
        if (manager_ != nullptr) manager_->RemoveMouseLeaveNeeded(this);
        break;
    default:
        break;
    }
    CControlUI::DoEvent(event);
}

bool CListHeaderItemUI::DrawIfAny(HDC dc, CImageSlotUI& info) {
    return !info.IsEmpty() && DrawImage(dc, info);
}

void CListHeaderItemUI::PaintStatusImage(HDC dc) {
    if (IsFocused())
        state_ |= StateFocused;
    else
        state_ &= ~static_cast<UINT>(StateFocused);
    CImageSlotUI* chosen = nullptr;
    if ((state_ & StatePushed) != 0)
        chosen = &pushedImage_;
    else if ((state_ & StateHot) != 0)
        chosen = &hotImage_;
    else if ((state_ & StateFocused) != 0)
        chosen = &focusedImage_;
    if (chosen == nullptr || !DrawIfAny(dc, *chosen)) DrawIfAny(dc, normalImage_);
    if (sepWidth_ > 0) PaintSeparator(dc);
}

void CListHeaderItemUI::PaintSeparator(HDC dc) {
    const RECT thumb = GetThumbRect();
    // Loaded first: loading parses the description, which sets the destination.
    if (!sepImage_.IsEmpty() && DrawImage(nullptr, sepImage_)) {
        sepImage_.SetDest(CRectUI(thumb.left - itemRect_.left, thumb.top - itemRect_.top,
                                  thumb.right - itemRect_.left, thumb.bottom - itemRect_.top));
        if (DrawImage(dc, sepImage_)) return;
    }
    if (sepColor_ == 0) return;
    const int x = thumb.left + sepWidth_ / 2;
    CRendererUI::DrawLine(dc, CRectUI(x, thumb.top, x, thumb.bottom), sepWidth_, GetAdjustColor(sepColor_));
}

void CListHeaderItemUI::PaintText(HDC dc) {
    if (textColor_ == 0 && manager_ != nullptr) textColor_ = manager_->GetDefaultFontColor();
    if (text_.IsEmpty()) return;
    RECT rc = itemRect_;
    rc.left += textPadding_.left;
    rc.top += textPadding_.top;
    rc.right -= textPadding_.right;
    rc.bottom -= textPadding_.bottom;
    if (showHtml_) {
        int links = 0;
        CRendererUI::DrawHtmlText(dc, manager_, rc, text_.GetData(), textColor_, nullptr, nullptr, links, font_,
                                  textStyle_);
    } else {
        CRendererUI::DrawText(dc, manager_, rc, text_.GetData(), textColor_, font_, textStyle_);
    }
}

}  // namespace QuillUI
