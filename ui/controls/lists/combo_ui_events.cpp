// The combo's input, opening, measuring, painting and attributes.
#include "ui/controls/lists/combo_ui.h"

#include "ui/controls/buttons/control_state_ui.h"
#include "ui/controls/lists/combo_wnd.h"
#include "ui/controls/lists/list_info_attributes_ui.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/markup/attribute_value_ui.h"
#include "ui/core/values/number_list_ui.h"

#include <cwchar>
#include <new>

namespace QuillUI {

bool CComboUI::Activate() {
    if (!CControlUI::Activate()) return false;
    if (window_ != nullptr) return true;
    // The popup is placed by, and owned by, the combo's window.
    if (manager_ == nullptr || manager_->GetPaintWindow() == nullptr) return false;
    window_ = new (std::nothrow) CComboWnd();
    if (window_ == nullptr) return false;
    if (!window_->OpenFor(this)) return false;
    Invalidate();
    manager_->SendNotify(this, L"dropdown");
    return true;
}

void CComboUI::SetPos(RECT rect, bool needInvalidate) {
    // The items are laid out by the popup while it holds them.
    if (window_ == nullptr || !window_->HoldsItems()) {
        for (int i = 0; i < items_.GetSize(); ++i) static_cast<CControlUI*>(items_[i])->SetPos(CRectUI(), false);
    }
    CControlUI::SetPos(rect, needInvalidate);
}

void CComboUI::Move(int dx, int dy, bool needInvalidate) { CControlUI::Move(dx, dy, needInvalidate); }

void CComboUI::SetEnabled(bool enabled) {
    CContainerUI::SetEnabled(enabled);
    if (!IsEnabled()) state_ = 0;
}

void CComboUI::DoEvent(ControlEventUI& event) {
    const int kind = event.kind;
    if (!IsMouseEnabled() && IsMouseEventKind(kind)) {
        if (parent_ != nullptr)
            parent_->DoEvent(event);
        else
            CContainerUI::DoEvent(event);
        return;
    }
    if (kind == EventSetFocus || kind == EventKillFocus) Invalidate();
    switch (kind) {
    case EventButtonDown:
        if (!IsEnabled()) break;
        if (manager_ != nullptr) {
            // "dropdown" may end the window.
            CWindowManagerUI::LifeWatch watch(*manager_);
            Activate();
            if (watch.IsGone()) return;
        } else {
            Activate();
        }
        state_ |= StatePushed | StateCaptured;
        return;
    case EventButtonUp:
        if ((state_ & StateCaptured) == 0) break;
        state_ &= ~static_cast<UINT>(StateCaptured);
        Invalidate();
        return;
    case EventMouseMove:
    case EventContextMenu:
        return;
    case EventKeyDown:
        if (!IsKeyboardEnabled() || !IsEnabled()) break;
        switch (event.key) {
        case VK_F4: Activate(); break;
        case VK_UP:
        case VK_PRIOR: SelectFromKeys(curSel_ - 1, false); break;
        case VK_DOWN:
        case VK_NEXT: SelectFromKeys(curSel_ + 1, true); break;
        case VK_HOME: SelectFromKeys(0, false); break;
        case VK_END: SelectFromKeys(GetCount() - 1, true); break;
        default: break;
        }
        return;
    case EventScrollWheel:
        if (!IsEnabled()) break;
        if (LOWORD(event.wParam) == SB_LINEDOWN)
            SelectFromKeys(curSel_ + 1, true);
        else
            SelectFromKeys(curSel_ - 1, false);
        return;
    default:
        break;
    }
    if (TrackHotState(*this, state_, event)) return;
    CControlUI::DoEvent(event);
}

SIZE CComboUI::EstimateSize(SIZE available) {
    if (fixedSize_.cy != 0 || manager_ == nullptr || manager_->GetPaintDC() == nullptr)
        return CControlUI::EstimateSize(available);
    return CSizeUI(fixedSize_.cx, manager_->GetDefaultFontInfo()->metrics.tmHeight + 8);
}

bool CComboUI::DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) {
    return CControlUI::DoPaint(dc, paint, stopControl);
}

void CComboUI::PaintStatusImage(HDC dc) {
    UpdateFocusAndDisabledBits(state_, *this);
    bool drawn = false;
    if ((state_ & StateDisabled) != 0)
        drawn = DrawImage(dc, disabledImage_);
    else if ((state_ & StatePushed) != 0)
        drawn = DrawImage(dc, pushedImage_);
    else if ((state_ & StateHot) != 0)
        drawn = DrawImage(dc, hotImage_);
    else if ((state_ & StateFocused) != 0)
        drawn = DrawImage(dc, focusedImage_);
    if (!drawn) DrawImage(dc, normalImage_);
}

void CComboUI::PaintText(HDC dc) {
    if (!showText_) return;
    CControlUI* selected = GetItemAt(curSel_);
    if (selected == nullptr) return;
    CRectUI rect = itemRect_;
    rect.left += textPadding_.left;
    rect.top += textPadding_.top;
    rect.right -= textPadding_.right;
    rect.bottom -= textPadding_.bottom;
    if (IListItemUI* item = static_cast<IListItemUI*>(selected->GetInterface(L"IListItem"))) {
        item->DrawItemText(dc, rect);
        return;
    }
    // Any other control is painted into the text area for a moment.
    const RECT old = selected->GetPos();
    selected->SetPos(rect, false);
    selected->Paint(dc, rect, nullptr);
    selected->SetPos(old, false);
}

CImageSlotUI* CComboUI::FindStateImage(const wchar_t* name) {
    struct Row {
        const wchar_t* name;
        CImageSlotUI CComboUI::*image;
    };
    static const Row rows[] = {
        {L"normalimage", &CComboUI::normalImage_},   {L"hotimage", &CComboUI::hotImage_},
        {L"pushedimage", &CComboUI::pushedImage_},   {L"focusedimage", &CComboUI::focusedImage_},
        {L"disabledimage", &CComboUI::disabledImage_},
    };
    for (const Row& row : rows) {
        if (wcscmp(name, row.name) == 0) return &(this->*row.image);
    }
    return nullptr;
}

void CComboUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr) return;
    if (value == nullptr) value = L"";
    ListInfoChangeUI change = ListInfoChangeUI::None;
    if (wcscmp(name, L"textpadding") == 0) {
        SetTextPadding(ParseRectList(value));
    } else if (wcscmp(name, L"showtext") == 0) {
        SetShowText(IsTrueValue(value));
    } else if (CImageSlotUI* state = FindStateImage(name)) {
        ChangeImage(*state, value);
    } else if (wcscmp(name, L"dropbox") == 0) {
        SetDropBox(value);
    } else if (wcscmp(name, L"dropboxsize") == 0) {
        long n[2] = {0, 0};
        ParseNumberList(value, n, 2);
        SetDropBoxSize(CSizeUI(n[0], n[1]));
    } else if (CImageSlotUI* image = FindListInfoImage(listInfo_, name)) {
        ChangeImage(*image, value);
    } else if (ReadListInfoAttribute(listInfo_, name, value, change)) {
        // Only what the closed combo shows of its item is repainted.
        const bool shown = wcscmp(name, L"itemtextpadding") == 0 || wcscmp(name, L"itemtextcolor") == 0 ||
                           (wcscmp(name, L"itemshowhtml") == 0 && change != ListInfoChangeUI::None);
        if (shown) Invalidate();
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

}  // namespace QuillUI
