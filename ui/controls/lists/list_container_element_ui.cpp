#include "ui/controls/lists/list_container_element_ui.h"

#include "ui/core/markup/attribute_value_ui.h"
#include "ui/core/manager/window_manager_ui.h"

#include <cwchar>

namespace QuillUI {

CListContainerElementUI::CListContainerElementUI() = default;

CListContainerElementUI::~CListContainerElementUI() = default;

const wchar_t* CListContainerElementUI::GetClass() const { return L"ListContainerElement"; }

void* CListContainerElementUI::GetInterface(const wchar_t* name) {
    if (name != nullptr) {
        if (wcscmp(name, L"IListItem") == 0) return static_cast<IListItemUI*>(this);
        if (wcscmp(name, L"ListContainerElement") == 0) return static_cast<CListContainerElementUI*>(this);
    }
    return CContainerUI::GetInterface(name);
}

UINT CListContainerElementUI::GetControlFlags() const { return kControlFlags; }

bool CListContainerElementUI::Select(bool select, bool sendNotify) { return SelectAs(*this, select, sendNotify); }

bool CListContainerElementUI::IsExpanded() const { return expanded_; }

bool CListContainerElementUI::Expand(bool expand) {
    if (owner_ == nullptr) return false;
    if (expanded_ == expand) return true;
    expanded_ = expand;
    if (!expandable_) return true;
    if (!owner_->ExpandItem(index_, expand)) return false;
    if (manager_ != nullptr) manager_->SendNotify(this, expand ? L"itemexpand" : L"itemcollapse");
    return true;
}

void CListContainerElementUI::DrawItemText(HDC, const RECT&) {}

void CListContainerElementUI::SetExpandable(bool expandable) { expandable_ = expandable; }

bool CListContainerElementUI::Activate() {
    if (!CContainerUI::Activate()) return false;
    NotifyActivated(*this);
    return true;
}

void CListContainerElementUI::SetVisible(bool visible) {
    CContainerUI::SetVisible(visible);
    DropSelectionIfHidden(*this);
}

void CListContainerElementUI::SetEnabled(bool enabled) {
    CContainerUI::SetEnabled(enabled);
    if (!IsEnabled()) state_ = 0;
}

void CListContainerElementUI::DoEvent(ControlEventUI& event) {
    const int kind = event.kind;
    if (!IsMouseEnabled() && IsMouseEventKind(kind)) {
        if (owner_ != nullptr)
            owner_->DoEvent(event);
        else
            CContainerUI::DoEvent(event);
        return;
    }
    switch (kind) {
    case EventDblClick:
        if (IsEnabled()) {
            ActivateRow(*this);
        }
        return;
    case EventKeyDown:
        if (event.key == VK_RETURN && IsKeyboardEnabled() && IsEnabled()) {
            ActivateRow(*this);
            return;
        }
        break;
    case EventButtonDown:
    case EventRButtonDown:
        Click(*this);
        return;
    case EventMouseMove:
    case EventButtonUp:
        return;
    case EventMouseEnter:
    case EventMouseLeave:
        if (TrackHot(*this, event)) return;
        break;
    default:
        break;
    }
    if (owner_ != nullptr)
        owner_->DoEvent(event);
    else
        CControlUI::DoEvent(event);
}

void CListContainerElementUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr) return;
    if (wcscmp(name, L"selected") == 0) {
        Select(true, true);
    } else if (wcscmp(name, L"expandable") == 0) {
        SetExpandable(IsTrueValue(value));
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

SIZE CListContainerElementUI::EstimateSize(SIZE) {
    SIZE size = fixedSize_;
    if (size.cy == 0) {
        if (const ListInfoUI* info = GetOwnerListInfo()) size.cy = info->itemHeight;
    }
    return size;
}

bool CListContainerElementUI::DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) {
    DrawItemBk(dc, itemRect_);
    return CContainerUI::DoPaint(dc, paint, stopControl);
}

void CListContainerElementUI::DrawItemBk(HDC dc, const RECT& rect) {
    if (ListInfoUI* info = GetOwnerListInfo()) DrawListItemBk(dc, *this, *info, GetLookState(*this), bkImage_, rect);
}

void CListContainerElementUI::Invalidate() { InvalidateListItem(*this); }

}  // namespace QuillUI
