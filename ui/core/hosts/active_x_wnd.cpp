#include "ui/core/hosts/active_x_wnd.h"

#include "ui/core/hosts/active_x_ctrl.h"
#include "ui/core/hosts/active_x_ui.h"
#include "ui/core/render/renderer_ui.h"
#include "ui/core/manager/window_manager_ui.h"

namespace QuillUI {

namespace {

CWindowManagerUI* ManagerOf(CActiveXCtrl* site) {
    return site != nullptr && site->GetOwner() != nullptr ? site->GetOwner()->GetManager() : nullptr;
}

}  // namespace

HWND CActiveXWnd::Init(HWND parent) {
    return Create(parent, L"UIActiveX", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, RECT{0, 0, 0, 0});
}

const wchar_t* CActiveXWnd::GetWindowClassName() const { return L"ActiveXWnd"; }

void CActiveXWnd::OnFinalMessage(HWND window) {
    CWindowManagerUI* manager = ManagerOf(owner_);
    if (manager != nullptr) manager->RemoveNativeWindow(window);
    // The site deletes this object.
}

void CActiveXWnd::DoVerb(LONG verb) {
    if (owner_ == nullptr || owner_->GetOwner() == nullptr) return;
    CActiveXUI* control = owner_->GetOwner();
    IOleObject* object = nullptr;
    if (FAILED(control->GetControl(IID_IOleObject, reinterpret_cast<void**>(&object)))) return;
    IOleClientSite* site = nullptr;
    owner_->QueryInterface(IID_IOleClientSite, reinterpret_cast<void**>(&site));
    const RECT& pos = control->GetPos();
    object->DoVerb(verb, nullptr, site, 0, GetHWND(), &pos);
    if (site != nullptr) site->Release();
    object->Release();
}

LRESULT CActiveXWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    bool handled = true;
    LRESULT result = 0;
    switch (message) {
    case WM_CREATE:
        result = OnCreate(handled);
        break;
    case WM_TIMER:
        result = OnTimer(wParam, handled);
        break;
    case WM_PRINT:
        result = OnPrint(reinterpret_cast<HDC>(wParam), handled);
        break;
    case WM_SETFOCUS:
        handled = false;
        if (owner_ != nullptr) {
            owner_->SetFocused(true);
            if (!owner_->IsUIActivated()) DoVerb(OLEIVERB_UIACTIVATE);
        }
        break;
    case WM_KILLFOCUS:
        handled = false;
        if (owner_ != nullptr) owner_->SetFocused(false);
        break;
    case WM_ERASEBKGND:
        handled = owner_ != nullptr && owner_->GetViewObject() != nullptr;
        result = 1;
        break;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(GetHWND(), &ps);
        EndPaint(GetHWND(), &ps);
        result = 1;
        break;
    }
    case WM_MOUSEACTIVATE:
        result = OnMouseActivate(handled);
        break;
    case WM_MOUSEWHEEL:
        break;
    default:
        handled = false;
        break;
    }
    if (handled) return result;
    return CWindowWnd::HandleMessage(message, wParam, lParam);
}

LRESULT CActiveXWnd::OnCreate(bool& handled) {
    handled = true;
    CWindowManagerUI* manager = ManagerOf(owner_);
    if (manager == nullptr) return 0;
    manager->AddNativeWindow(owner_->GetOwner(), GetHWND());
    if (manager->IsLayered()) ::SetTimer(GetHWND(), kCaretTimer, 50, nullptr);
    return 0;
}

LRESULT CActiveXWnd::OnTimer(WPARAM id, bool& handled) {
    if (id != kCaretTimer) {
        handled = false;
        return 0;
    }
    handled = true;
    CWindowManagerUI* manager = ManagerOf(owner_);
    if (manager != nullptr && manager->IsLayered()) {
        // A layered window shows the child only through its own painting:
        // mark the child's area for the next paint.
        if (!manager->AddNativeWindow(owner_->GetOwner(), GetHWND()))
            manager->Invalidate(manager->GetChildWindowRect(GetHWND()));
        if (++ticks_ >= 10) {
            ticks_ = 0;
            drawCaret_ = !drawCaret_;
        }
    }
    return 0;
}

LRESULT CActiveXWnd::OnPrint(HDC dc, bool& handled) {
    handled = true;
    if (owner_ != nullptr && owner_->GetViewObject() != nullptr) {
        RECT client;
        ::GetClientRect(GetHWND(), &client);
        RECTL bounds = {client.left, client.top, client.right, client.bottom};
        owner_->GetViewObject()->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr,
                                      0);
    }
    if (drawCaret_) DrawCaret(dc);
    return 1;
}

void CActiveXWnd::DrawCaret(HDC dc) {
    CWindowManagerUI* manager = ManagerOf(owner_);
    if (manager == nullptr) return;
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!::GetGUIThreadInfo(0, &info) || info.hwndCaret == nullptr) return;
    POINT topLeft = {info.rcCaret.left, info.rcCaret.top};
    ::ClientToScreen(info.hwndCaret, &topLeft);
    ::ScreenToClient(manager->GetPaintWindow(), &topLeft);
    const RECT& pos = owner_->GetOwner()->GetPos();
    if (!::PtInRect(&pos, topLeft)) return;
    RECT line = {info.rcCaret.left, info.rcCaret.top, info.rcCaret.left, info.rcCaret.bottom};
    CRendererUI::DrawLine(dc, line, 1, 0xFF000000);
}

LRESULT CActiveXWnd::OnMouseActivate(bool& handled) {
    handled = true;
    if (owner_ == nullptr || owner_->GetOwner() == nullptr) return 0;
    IOleObject* object = nullptr;
    if (FAILED(owner_->GetOwner()->GetControl(IID_IOleObject, reinterpret_cast<void**>(&object)))) return 0;
    DWORD misc = 0;
    object->GetMiscStatus(DVASPECT_CONTENT, &misc);
    object->Release();
    if ((misc & OLEMISC_NOUIACTIVATE) != 0) return 0;
    if (!owner_->IsInPlaceActive()) DoVerb(OLEIVERB_INPLACEACTIVATE);
    handled = false;
    return 0;
}

}  // namespace QuillUI
