#include "ui/controls/text/edit_ui.h"

#include "ui/controls/buttons/control_state_ui.h"
#include "ui/controls/text/edit_wnd.h"
#include "ui/controls/text/native_child_window.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/markup/attribute_value_ui.h"
#include "ui/core/render/font_info_ui.h"

#include <cwchar>
#include <new>
#include <string>

namespace QuillUI {

CEditUI::CEditUI() {
    SetTextPadding(CRectUI(4, 3, 4, 3));
    SetBkColor(0xFFFFFFFF);
}

CEditUI::~CEditUI() {
    if (window_ == nullptr) return;
    HWND hwnd = window_->GetHWND();
    window_->ReleaseOwner();
    window_ = nullptr;
    DestroyNativeChild(manager_, hwnd);
}

const wchar_t* CEditUI::GetClass() const { return L"Edit"; }

void* CEditUI::GetInterface(const wchar_t* name) {
    if (name != nullptr && wcscmp(name, L"Edit") == 0) return this;
    return CLabelUI::GetInterface(name);
}

UINT CEditUI::GetControlFlags() const { return IsEnabled() ? ControlFlagTabStop | ControlFlagSetCursor : 0; }

HWND CEditUI::GetNativeWindow() const { return window_ != nullptr ? window_->GetHWND() : nullptr; }

void CEditUI::SetText(const wchar_t* text) {
    text_ = text;
    needEstimate_ = true;
    if (window_ != nullptr) {
        HWND hwnd = window_->GetHWND();
        const int length = ::GetWindowTextLengthW(hwnd);
        std::wstring shown(static_cast<size_t>(length) + 1, L'\0');
        shown.resize(static_cast<size_t>(::GetWindowTextW(hwnd, &shown[0], length + 1)));
        // The window reports even an unchanged text as changed, and a
        // "textchanged" handler that sets the text would never end.
        if (text_ != shown.c_str()) ::SetWindowTextW(hwnd, text_.GetData());
    }
    Invalidate();
}

void CEditUI::SetMaxChar(UINT maxChar) {
    maxChar_ = maxChar;
    if (window_ != nullptr) ::SendMessageW(window_->GetHWND(), EM_LIMITTEXT, maxChar_, 0);
}

void CEditUI::SetReadOnly(bool readOnly) {
    if (readOnly_ == readOnly) return;
    readOnly_ = readOnly;
    if (window_ != nullptr) ::SendMessageW(window_->GetHWND(), EM_SETREADONLY, readOnly_, 0);
    Invalidate();
}

void CEditUI::SetNumberOnly(bool numberOnly) {
    if (numberOnly) {
        extraStyle_ |= ES_NUMBER;
    } else {
        extraStyle_ &= ~static_cast<DWORD>(ES_NUMBER);
    }
}

void CEditUI::SetPassword(bool password) {
    if (password_ == password) return;
    password_ = password;
    Invalidate();
}

void CEditUI::SetNormalImage(const wchar_t* description) { ChangeImage(normalImage_, description); }
void CEditUI::SetHotImage(const wchar_t* description) { ChangeImage(hotImage_, description); }
void CEditUI::SetFocusedImage(const wchar_t* description) { ChangeImage(focusedImage_, description); }
void CEditUI::SetDisabledImage(const wchar_t* description) { ChangeImage(disabledImage_, description); }

RECT CEditUI::ComputeWindowRect() const {
    RECT rect = GetTextRect();
    if (manager_ != nullptr) {
        const FontInfoUI* font = manager_->GetFontInfo(font_);
        const int fontHeight = font != nullptr ? font->metrics.tmHeight : 0;
        const int height = rect.bottom - rect.top;
        if (fontHeight < height) {
            rect.top += (height - fontHeight) / 2;
            rect.bottom = rect.top + fontHeight;
        }
    }
    return ClipToAncestorClients(*this, rect);
}

void CEditUI::FollowWithNativeWindow() {
    if (window_ != nullptr) PlaceNativeChild(window_->GetHWND(), ComputeWindowRect());
}

void CEditUI::SetPos(RECT rect, bool needInvalidate) {
    CLabelUI::SetPos(rect, needInvalidate);
    FollowWithNativeWindow();
}

void CEditUI::Move(int dx, int dy, bool needInvalidate) {
    CLabelUI::Move(dx, dy, needInvalidate);
    FollowWithNativeWindow();
}

void CEditUI::SetVisible(bool visible) {
    CLabelUI::SetVisible(visible);
    if (!IsVisible()) GiveUpNativeWindow(*this);
}

void CEditUI::SetInternVisible(bool visible) {
    CLabelUI::SetInternVisible(visible);
    if (!IsVisible()) GiveUpNativeWindow(*this);
}

void CEditUI::SetEnabled(bool enabled) {
    CLabelUI::SetEnabled(enabled);
    if (IsEnabled()) return;
    state_ = 0;
    // A disabled edit must not go on taking keys.
    GiveUpNativeWindow(*this);
}

SIZE CEditUI::EstimateSize(SIZE available) { return EstimateOneLineSize(available); }

bool CEditUI::OpenNativeWindow() {
    if (manager_ == nullptr) return false;
    CEditWnd* window = new (std::nothrow) CEditWnd();
    if (window == nullptr) return false;
    window_ = window;
    // A window that cannot be made has deleted itself in its final message,
    // and the owner's pointer was cleared there.
    return window->CreateForOwner(this);
}

void CEditUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr) return;
    if (value == nullptr) value = L"";
    if (wcscmp(name, L"readonly") == 0) {
        SetReadOnly(IsTrueValue(value));
    } else if (wcscmp(name, L"numberonly") == 0) {
        SetNumberOnly(IsTrueValue(value));
    } else if (wcscmp(name, L"password") == 0) {
        SetPassword(IsTrueValue(value));
    } else if (wcscmp(name, L"autoselall") == 0) {
        SetAutoSelAll(IsTrueValue(value));
    } else if (wcscmp(name, L"maxchar") == 0) {
        SetMaxChar(static_cast<UINT>(_wtoi(value)));
    } else if (wcscmp(name, L"normalimage") == 0) {
        SetNormalImage(value);
    } else if (wcscmp(name, L"hotimage") == 0) {
        SetHotImage(value);
    } else if (wcscmp(name, L"focusedimage") == 0) {
        SetFocusedImage(value);
    } else if (wcscmp(name, L"disabledimage") == 0) {
        SetDisabledImage(value);
    } else if (wcscmp(name, L"nativebkcolor") == 0) {
        SetNativeBkColor(ReadColorValue(value));
    } else {
        CLabelUI::SetAttribute(name, value);
    }
}

}  // namespace QuillUI
