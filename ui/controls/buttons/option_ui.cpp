#include "ui/controls/buttons/option_ui.h"

#include "ui/core/markup/attribute_value_ui.h"
#include "ui/controls/buttons/control_state_ui.h"
#include "ui/core/values/pointer_array.h"
#include "ui/core/render/renderer_ui.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/values/listed_walk.h"

#include <cwchar>

namespace QuillUI {

COptionUI::COptionUI() = default;

COptionUI::~COptionUI() {
    if (!group_.IsEmpty() && manager_ != nullptr) manager_->RemoveOptionGroup(group_.GetData(), this);
}

const wchar_t* COptionUI::GetClass() const { return L"Option"; }

void* COptionUI::GetInterface(const wchar_t* name) {
    if (name != nullptr && wcscmp(name, L"Option") == 0) return this;
    return CButtonUI::GetInterface(name);
}

void COptionUI::SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init) {
    // A group lives in one manager: moving to another leaves the old one's,
    // which would otherwise keep a pointer to this option, and joins the
    // new one's, also without init (a combo box's items come back from its
    // popup so).
    const bool moved = manager_ != manager;
    if (manager_ != nullptr && moved && !group_.IsEmpty()) {
        manager_->RemoveOptionGroup(group_.GetData(), this);
    }
    CButtonUI::SetManager(manager, parent, init);
    if ((init || moved) && !group_.IsEmpty() && manager_ != nullptr) manager_->AddOptionGroup(group_.GetData(), this);
}

void COptionUI::SetGroup(const wchar_t* name) {
    if (name == nullptr) {
        if (group_.IsEmpty()) return;
    } else if (group_ == name) {
        return;
    }
    if (!group_.IsEmpty() && manager_ != nullptr) manager_->RemoveOptionGroup(group_.GetData(), this);
    group_ = name;
    if (!group_.IsEmpty() && manager_ != nullptr) manager_->AddOptionGroup(group_.GetData(), this);
}

void COptionUI::Selected(bool select, bool sendNotify) {
    if (selected_ == select) return;
    selected_ = select;
    if (selected_) {
        state_ |= StateSelected;
    } else {
        state_ &= ~static_cast<UINT>(StateSelected);
    }
    // Repainted before the notification, which may end the window.
    Invalidate();
    if (manager_ == nullptr) return;
    if (group_.IsEmpty()) {
        if (sendNotify) manager_->SendNotify(this, L"selectchanged", 0, 0);
        return;
    }
    if (!selected_) return;
    CPointerArray* members = manager_->GetOptionGroup(group_.GetData());
    if (members != nullptr) {
        // The others are deselected silently: being in a group and now
        // deselected, they send nothing.
        ForEachStillListed(*members, [&](void* member) {
            COptionUI* other = static_cast<COptionUI*>(static_cast<CControlUI*>(member));
            if (other != this) other->Selected(false, sendNotify);
            return true;
        });
    }
    if (sendNotify) manager_->SendNotify(this, L"selectchanged", 0, 0);
}

bool COptionUI::Activate() {
    if (manager_ != nullptr) {
        // The "click" handler may end the window, and this option with it.
        CWindowManagerUI::LifeWatch watch(*manager_);
        if (!CButtonUI::Activate()) return false;
        if (watch.IsGone()) return true;
    } else if (!CButtonUI::Activate()) {
        return false;
    }
    if (group_.IsEmpty()) {
        Selected(!selected_, true);
    } else {
        Selected(true, true);
    }
    return true;
}

void COptionUI::SetEnabled(bool enabled) {
    CControlUI::SetEnabled(enabled);
    if (!IsEnabled()) state_ = selected_ ? StateSelected : 0;
}

void COptionUI::SetSelectedImage(const wchar_t* description) { ChangeImage(selectedImage_, description); }
void COptionUI::SetSelectedHotImage(const wchar_t* description) { ChangeImage(selectedHotImage_, description); }
void COptionUI::SetForeImage(const wchar_t* description) { ChangeImage(optionForeImage_, description); }

void COptionUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr) return;
    if (value == nullptr) value = L"";
    if (wcscmp(name, L"group") == 0) {
        SetGroup(value);
    } else if (wcscmp(name, L"selected") == 0) {
        Selected(IsTrueValue(value), true);
    } else if (wcscmp(name, L"selectedimage") == 0) {
        SetSelectedImage(value);
    } else if (wcscmp(name, L"selectedhotimage") == 0) {
        SetSelectedHotImage(value);
    } else if (wcscmp(name, L"foreimage") == 0) {
        SetForeImage(value);
    } else if (wcscmp(name, L"selectedbkcolor") == 0) {
        SetSelectedBkColor(ReadColorValue(value));
    } else if (wcscmp(name, L"selectedtextcolor") == 0) {
        SetSelectedTextColor(ReadColorValue(value));
    } else {
        CButtonUI::SetAttribute(name, value);
    }
}

void COptionUI::PaintStatusImage(HDC dc) {
    if (selected_) {
        bool drawn = (state_ & StateHot) != 0 && DrawImage(dc, selectedHotImage_);
        if (!drawn) drawn = DrawImage(dc, selectedImage_);
        if (!drawn && selectedBkColor_ != 0) {
            CRendererUI::DrawColor(dc, paintRect_, GetAdjustColor(selectedBkColor_));
            drawn = true;
        }
        if (drawn) {
            DrawImage(dc, optionForeImage_);
            return;
        }
    }
    // An option shows no pushed image: the press is its selection.
    const UINT pushed = state_ & StatePushed;
    state_ &= ~static_cast<UINT>(StatePushed);
    CButtonUI::PaintStatusImage(dc);
    state_ |= pushed;
    DrawImage(dc, optionForeImage_);
}

void COptionUI::PaintText(HDC dc) {
    if (!selected_) {
        const UINT pushed = state_ & StatePushed;
        state_ &= ~static_cast<UINT>(StatePushed);
        CButtonUI::PaintText(dc);
        state_ |= pushed;
        return;
    }
    const DWORD savedColor = textColor_;
    if (selectedTextColor_ != 0) textColor_ = selectedTextColor_;
    FillDefaultColors();
    if (!text_.IsEmpty()) DrawPlainText(dc, IsEnabled() ? textColor_ : disabledTextColor_);
    textColor_ = savedColor;
}

}  // namespace QuillUI
