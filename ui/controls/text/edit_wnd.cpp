#include "ui/controls/text/edit_wnd.h"

#include "ui/controls/text/edit_ui.h"
#include "ui/core/manager/notify_message_ui.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/render/font_info_ui.h"
#include "ui/core/render/renderer_ui.h"
#include "ui/core/values/color_ui.h"

#include <string>

namespace QuillUI {

namespace {

// The manager reflects its child windows' messages to them at this offset.
const UINT kReflectedCommand = WM_COMMAND + 0x2000;
const UINT kReflectedCtlColorEdit = WM_CTLCOLOREDIT + 0x2000;
const UINT kReflectedCtlColorStatic = WM_CTLCOLORSTATIC + 0x2000;

// ARGB below this is translucent: the skin shows through the window.
const DWORD kOpaque = 0xFF000000;
const DWORD kNoNativeBkColor = 0xFFFFFFFF;

}  // namespace

CEditWnd::~CEditWnd() = default;

CWindowManagerUI* CEditWnd::Manager() const { return owner_ != nullptr ? owner_->GetManager() : nullptr; }

bool CEditWnd::IsLayered() const {
    CWindowManagerUI* manager = Manager();
    return manager != nullptr && manager->IsLayered();
}

bool CEditWnd::CreateForOwner(CEditUI* owner) {
    owner_ = owner;
    CWindowManagerUI* manager = owner->GetManager();
    const RECT rect = owner->ComputeWindowRect();
    DWORD style = owner->GetExtraWindowStyle() | WS_CHILD | ES_AUTOHSCROLL;
    if ((owner->GetTextStyle() & DT_CENTER) != 0) {
        style |= ES_CENTER;
    } else if ((owner->GetTextStyle() & DT_RIGHT) != 0) {
        style |= ES_RIGHT;
    }
    if (owner->IsPassword()) style |= ES_PASSWORD;
    if (Create(manager->GetPaintWindow(), nullptr, style, 0, rect) == nullptr) {
        // Refused after creation began, the window had its final message,
        // which deleted this object and cleared the owner's pointer.
        if (owner->window_ == this) {
            owner->window_ = nullptr;
            delete this;
        }
        return false;
    }
    HFONT font = owner->GetFont() != -1 ? manager->GetFont(owner->GetFont()) : nullptr;
    if (font == nullptr) font = manager->GetDefaultFontInfo()->GetHandle();
    HWND hwnd = window_;
    ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    ::SendMessageW(hwnd, EM_LIMITTEXT, owner->GetMaxChar(), 0);
    if (owner->IsPassword()) ::SendMessageW(hwnd, EM_SETPASSWORDCHAR, owner->GetPasswordChar(), 0);
    ::SetWindowTextW(hwnd, owner->GetText().GetData());
    ::SendMessageW(hwnd, EM_SETMODIFY, FALSE, 0);
    ::SendMessageW(hwnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(0, 0));
    ::EnableWindow(hwnd, owner->IsEnabled() ? TRUE : FALSE);
    ::SendMessageW(hwnd, EM_SETREADONLY, owner->IsReadOnly() ? TRUE : FALSE, 0);
    ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    ::SetFocus(hwnd);
    const int length = ::GetWindowTextLengthW(hwnd);
    if (owner->IsAutoSelAll()) {
        ::SendMessageW(hwnd, EM_SETSEL, 0, length > 1 ? length : 1);
    } else {
        ::SendMessageW(hwnd, EM_SETSEL, length, length);
    }
    initialised_ = true;
    return true;
}

LRESULT CEditWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        if (CWindowManagerUI* manager = Manager()) {
            manager->AddNativeWindow(owner_, window_);
            if (manager->IsLayered()) ::SetTimer(window_, kCaretTimerId, ::GetCaretBlinkTime(), nullptr);
        }
        break;
    case WM_KILLFOCUS:
        return HandleKillFocus(wParam, lParam);
    case kReflectedCommand:
        if (HIWORD(wParam) == EN_CHANGE) return HandleEditChanged();
        if (HIWORD(wParam) == EN_UPDATE) {
            ::InvalidateRect(window_, nullptr, FALSE);
            return 0;
        }
        break;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            // The handler may end the control and this window with it:
            // nothing of this object is touched afterwards.
            CWindowManagerUI* manager = Manager();
            if (manager != nullptr) manager->SendNotify(owner_, L"return");
            return 0;
        }
        break;
    case kReflectedCtlColorEdit:
    case kReflectedCtlColorStatic:
        return HandleCtlColor(reinterpret_cast<HDC>(wParam));
    case WM_PAINT:
        if (IsLayered()) Manager()->AddNativeWindow(owner_, window_);
        break;
    case WM_PRINT:
        if (IsLayered()) return HandlePrint(wParam, lParam);
        break;
    case WM_TIMER:
        if (wParam == kCaretTimerId) {
            caretShown_ = !caretShown_;
            ::InvalidateRect(window_, nullptr, FALSE);
            return 0;
        }
        break;
    default:
        break;
    }
    return CWindowWnd::HandleMessage(message, wParam, lParam);
}

LRESULT CEditWnd::HandleKillFocus(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = ::DefWindowProcW(window_, WM_KILLFOCUS, wParam, lParam);
    // An owner that lets go destroys the window itself.
    CWindowManagerUI* manager = Manager();
    if (manager == nullptr) return result;
    HWND self = window_;
    HWND paintWindow = manager->GetPaintWindow();
    // The skinned window learns where the keyboard went (another of its
    // native windows, say, whose control then takes the focus).
    if (reinterpret_cast<HWND>(wParam) != paintWindow) ::SendMessageW(paintWindow, WM_KILLFOCUS, wParam, lParam);
    // The close deletes this object: only locals from here on.
    ::SendMessageW(self, WM_CLOSE, 0, 0);
    return result;
}

LRESULT CEditWnd::HandleEditChanged() {
    CWindowManagerUI* manager = Manager();
    if (!initialised_ || manager == nullptr) return 0;
    const int length = ::GetWindowTextLengthW(window_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window_, &text[0], length + 1)));
    owner_->text_ = text.c_str();
    if (manager->IsLayered()) owner_->Invalidate();
    // Last: the handler may end the control and this window with it.
    manager->SendNotify(owner_, L"textchanged");
    return 0;
}

LRESULT CEditWnd::HandleCtlColor(HDC dc) {
    CWindowManagerUI* manager = Manager();
    if (manager == nullptr) return 0;
    // Outside the paint pass a change of the native window must reach the
    // layered bitmap: registering again invalidates its area.
    if (manager->IsLayered() && !manager->IsPainting()) manager->AddNativeWindow(owner_, window_);
    const DWORD back = owner_->GetNativeBkColor();
    if (back == kNoNativeBkColor) return 0;
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ToColorRef(owner_->GetTextColor()));
    if (back < kOpaque) {
        if (brush_ != nullptr) ::DeleteObject(brush_);
        brush_ = nullptr;
        HBITMAP bitmap = CRendererUI::GenerateBitmap(manager, manager->GetChildWindowRect(window_), owner_, back);
        if (bitmap != nullptr) {
            brush_ = ::CreatePatternBrush(bitmap);
            ::DeleteObject(bitmap);
        }
    } else if (brush_ == nullptr) {
        brush_ = ::CreateSolidBrush(ToColorRef(back));
    }
    return reinterpret_cast<LRESULT>(brush_);
}

LRESULT CEditWnd::HandlePrint(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CWindowWnd::HandleMessage(WM_PRINT, wParam, lParam);
    if (owner_ != nullptr && owner_->IsEnabled() && caretShown_) {
        POINT caret = {};
        ::GetCaretPos(&caret);
        RECT client = {};
        ::GetClientRect(window_, &client);
        CRendererUI::DrawLine(reinterpret_cast<HDC>(wParam), RECT{caret.x, caret.y, caret.x, caret.y + client.bottom},
                              1, 0xFF000000);
    }
    return result;
}

void CEditWnd::OnFinalMessage(HWND window) {
    if (owner_ != nullptr) {
        owner_->Invalidate();
        if (CWindowManagerUI* manager = owner_->GetManager()) manager->RemoveNativeWindow(window);
        owner_->window_ = nullptr;
    }
    if (brush_ != nullptr) ::DeleteObject(brush_);
    delete this;
}

}  // namespace QuillUI
