#include "ui/controls/lists/list_element_ui.h"

#include <cwchar>

namespace QuillUI {

CListElementUI::CListElementUI() = default;

CListElementUI::~CListElementUI() = default;

const wchar_t* CListElementUI::GetClass() const { return L"ListElement"; }

void* CListElementUI::GetInterface(const wchar_t* name) {
    if (name != nullptr) {
        if (wcscmp(name, L"IListItem") == 0) return static_cast<IListItemUI*>(this);
        if (wcscmp(name, L"ListElement") == 0) return static_cast<CListElementUI*>(this);
    }
    return CControlUI::GetInterface(name);
}

UINT CListElementUI::GetControlFlags() const { return kControlFlags; }

bool CListElementUI::Select(bool select, bool sendNotify) { return SelectAs(*this, select, sendNotify); }

bool CListElementUI::IsExpanded() const { return false; }

bool CListElementUI::Expand(bool) { return false; }

void CListElementUI::DrawItemText(HDC, const RECT&) {}

bool CListElementUI::Activate() {
    if (!CControlUI::Activate()) return false;
    NotifyActivated(*this);
    return true;
}

void CListElementUI::SetVisible(bool visible) {
    CControlUI::SetVisible(visible);
    DropSelectionIfHidden(*this);
}

void CListElementUI::SetEnabled(bool enabled) {
    CControlUI::SetEnabled(enabled);
    if (!IsEnabled()) state_ = 0;
}

void CListElementUI::DoEvent(ControlEventUI& event) {
    const int kind = event.kind;
    const bool mouseOff = !IsMouseEnabled() && IsMouseEventKind(kind);
    if (!mouseOff && kind == EventDblClick) {
        if (IsEnabled()) {
            ActivateRow(*this);
        }
        return;
    }
    if (kind == EventKeyDown && event.key == VK_RETURN && IsKeyboardEnabled() && IsEnabled()) {
        ActivateRow(*this);
        return;
    }
    // The owner's keyboard navigation applies to its items.
    if (owner_ != nullptr)
        owner_->DoEvent(event);
    else
        CControlUI::DoEvent(event);
}

void CListElementUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (name != nullptr && wcscmp(name, L"selected") == 0) {
        Select(true, true);
        return;
    }
    CControlUI::SetAttribute(name, value);
}

void CListElementUI::DrawItemBk(HDC dc, const RECT& rect) {
    if (ListInfoUI* info = GetOwnerListInfo()) DrawListItemBk(dc, *this, *info, GetLookState(*this), bkImage_, rect);
}

void CListElementUI::Invalidate() { InvalidateListItem(*this); }

}  // namespace QuillUI
