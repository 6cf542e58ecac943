#include "ui/controls/lists/combo_wnd.h"

#include "ui/controls/buttons/control_state_ui.h"
#include "ui/controls/containers/scroll_bar_ui.h"
#include "ui/controls/lists/combo_body_ui.h"
#include "ui/controls/lists/combo_ui.h"

#include <algorithm>
#include <cwchar>
#include <new>

namespace QuillUI {

namespace {

const DWORD kBodyBkColor = 0xFFFFFFFF;
const DWORD kBodyBorderColor = 0xFFC6C7D2;
// The body's border and inset, above and below the items.
const int kBodyFrame = 4;

RECT ToScreen(HWND window, RECT rect) {
    ::MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace

CComboWnd::~CComboWnd() = default;

bool CComboWnd::OpenFor(CComboUI* owner) {
    owner_ = owner;
    body_ = nullptr;
    openedWith_ = owner->GetCurSel();
    scrollBarPressed_ = false;
    HWND ownerWindow = owner->GetManager()->GetPaintWindow();

    const RECT combo = owner->GetPos();
    const SIZE box = owner->GetDropBoxSize();
    RECT rect = {combo.left, combo.bottom, box.cx > 0 ? combo.left + box.cx : combo.right, combo.bottom + box.cy};
    const SIZE available = {rect.right - rect.left, box.cy};
    int64_t needed = kBodyFrame;
    for (int i = 0; i < owner->GetCount(); ++i) {
        CControlUI* item = owner->GetItemAt(i);
        if (item->IsVisible()) needed += item->EstimateSize(available).cy;
    }
    const int height = static_cast<int>(std::min<int64_t>(needed, box.cy));
    rect.bottom = rect.top + height;
    RECT screen = ToScreen(ownerWindow, rect);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(ownerWindow, MONITOR_DEFAULTTOPRIMARY), &monitor);
    if (screen.bottom > monitor.rcWork.bottom) {
        // Too low: above the combo instead.
        rect.top = combo.top - height;
        rect.bottom = combo.top;
        screen = ToScreen(ownerWindow, rect);
    }
    if (Create(ownerWindow, nullptr, WS_POPUP, WS_EX_TOOLWINDOW, screen) == nullptr) {
        // Refused after creation began, the window had its final message,
        // which deleted this object and cleared the combo's pointer.
        if (owner->window_ == this) {
            owner->window_ = nullptr;
            delete this;
        }
        return false;
    }
    ::ShowWindow(window_, SW_SHOW);
    return true;
}

LRESULT CComboWnd::OnCreate() {
    manager_.SetForceUseSharedResources(true);
    manager_.Init(window_);
    body_ = new (std::nothrow) CComboBodyUI(owner_);
    if (body_ == nullptr) return -1;
    body_->SetManager(&manager_, nullptr, true);
    CWindowManagerUI* ownerManager = owner_->GetManager();
    if (const wchar_t* defaults = ownerManager->GetDefaultAttributeList(L"VerticalLayout"))
        body_->ApplyAttributeList(defaults);
    body_->SetInset(CRectUI(1, 1, 1, 1));
    body_->SetBkColor(kBodyBkColor);
    body_->SetBorderColor(kBodyBorderColor);
    body_->SetBorderSize(1);
    // The items stay the combo's to delete.
    body_->SetAutoDestroy(false);
    body_->EnableScrollBar(true, false);
    body_->ApplyAttributeList(owner_->GetDropBox().GetData());
    holdsItems_ = true;
    for (int i = 0; i < owner_->GetCount(); ++i) body_->Add(owner_->GetItemAt(i));
    manager_.AttachDialog(body_);
    return 0;
}

void CComboWnd::ReturnItems() {
    if (!holdsItems_ || owner_ == nullptr) return;
    holdsItems_ = false;
    if (body_ != nullptr) body_->RemoveAll();
    CWindowManagerUI* ownerManager = owner_->GetManager();
    owner_->SetManager(ownerManager, owner_->GetParent(), false);
    if (ownerManager == nullptr) return;
    // The names the popup's manager held are the window's again.
    for (int i = 0; i < owner_->GetCount(); ++i) ownerManager->RegisterControlNames(owner_->GetItemAt(i));
}

void CComboWnd::ForgetItem(CControlUI* item) {
    if (holdsItems_ && body_ != nullptr) body_->Remove(item, true);
}

void CComboWnd::OnClose() {
    ReturnItems();
    if (owner_ == nullptr) return;
    owner_->SetPos(owner_->IsFloat() ? owner_->GetRelativePos() : owner_->GetPos(), true);
    owner_->SetFocus();
}

CControlUI* CComboWnd::ControlUnderCursor() const {
    POINT point = {};
    ::GetCursorPos(&point);
    ::ScreenToClient(window_, &point);
    return manager_.FindControlAt(point);
}

bool CComboWnd::IsScrollBar(const CControlUI* control) {
    return control != nullptr && wcscmp(control->GetClass(), L"ScrollBar") == 0;
}

void CComboWnd::ScrollSelectionIntoView(int index) {
    if (owner_ == nullptr || body_ == nullptr || owner_->GetCurSel() < 0) return;
    CControlUI* item = owner_->GetItemAt(index);
    if (item == nullptr) return;
    const RECT& itemRect = item->GetPos();
    RECT bodyRect = body_->GetPos();
    if (CScrollBarUI* bar = body_->GetHorizontalScrollBar()) {
        if (bar->IsVisible()) bodyRect.bottom -= bar->GetFixedHeight();
    }
    if (itemRect.top >= bodyRect.top && itemRect.bottom < bodyRect.bottom) return;
    int dy = 0;
    if (itemRect.top < bodyRect.top) dy = itemRect.top - bodyRect.top;
    if (itemRect.bottom > bodyRect.bottom) dy = itemRect.bottom - bodyRect.bottom;
    const SIZE pos = body_->GetScrollPos();
    body_->SetScrollPos(SIZE{pos.cx, pos.cy + dy});
}

void CComboWnd::ForwardToOwner(int kind, WPARAM wParam, LPARAM lParam, wchar_t key) {
    ControlEventUI event;
    event.kind = kind;
    event.sender = owner_;
    event.timestamp = ::GetTickCount();
    event.key = key;
    event.wParam = wParam;
    event.lParam = lParam;
    // A selection's notification may end the window, and this object.
    CWindowManagerUI::LifeWatch watch(manager_);
    owner_->DoEvent(event);
    if (!watch.IsGone()) ScrollSelectionIntoView(owner_ != nullptr ? owner_->GetCurSel() : -1);
}

LRESULT CComboWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (owner_ == nullptr) {
        // The combo is gone; the window is only waiting for its end.
        if (message == WM_CLOSE || message == WM_KILLFOCUS) return CWindowWnd::HandleMessage(message, wParam, lParam);
    }
    switch (message) {
    case WM_CREATE:
        return OnCreate();
    case WM_CLOSE: {
        CWindowManagerUI::LifeWatch watch(manager_);
        OnClose();
        if (watch.IsGone()) return 0;
        // Destroys the window, and this object with it.
        return CWindowWnd::HandleMessage(message, wParam, lParam);
    }
    case WM_DESTROY:
        // The owner window's end destroys the popup without WM_CLOSE.
        ReturnItems();
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (IsScrollBar(ControlUnderCursor())) scrollBarPressed_ = true;
        break;
    case WM_LBUTTONUP:
        if (scrollBarPressed_) {
            scrollBarPressed_ = false;
        } else {
            CControlUI* under = ControlUnderCursor();
            if (under != nullptr && !IsScrollBar(under)) PostMessage(WM_KILLFOCUS);
        }
        break;
    case WM_KEYDOWN:
        if (owner_ == nullptr) break;
        if (wParam == VK_RETURN) {
            PostMessage(WM_KILLFOCUS);
            break;
        }
        if (wParam == VK_ESCAPE) {
            CWindowManagerUI::LifeWatch watch(manager_);
            owner_->SelectItem(openedWith_, true, true);
            if (watch.IsGone()) return 0;
            ScrollSelectionIntoView(openedWith_);
            PostMessage(WM_KILLFOCUS);
            return 0;
        }
        ForwardToOwner(EventKeyDown, wParam, lParam, static_cast<wchar_t>(wParam));
        return 0;
    case WM_MOUSEWHEEL:
        if (owner_ == nullptr) break;
        ForwardToOwner(EventScrollWheel, static_cast<short>(HIWORD(wParam)) < 0 ? SB_LINEDOWN : SB_LINEUP, lParam,
                       0);
        return 0;
    case WM_KILLFOCUS: {
        // A close posted by Enter or a click comes with no new window while
        // the popup still has the keyboard; the popup is no ancestor of its
        // own, so the walk starts at the focused window's parent.
        HWND focus = ::GetFocus();
        for (HWND up = focus != nullptr ? ::GetParent(focus) : nullptr; up != nullptr; up = ::GetParent(up)) {
            if (up == window_) return 0;
        }
        PostMessage(WM_CLOSE);
        return 0;
    }
    default:
        break;
    }
    LRESULT result = 0;
    if (manager_.MessageHandler(message, wParam, lParam, result)) return result;
    return CWindowWnd::HandleMessage(message, wParam, lParam);
}

void CComboWnd::OnFinalMessage(HWND) {
    ReturnItems();
    if (owner_ != nullptr) {
        owner_->window_ = nullptr;
        owner_->state_ &= ~static_cast<UINT>(StatePushed);
        owner_->Invalidate();
    }
    delete this;
}

}  // namespace QuillUI
