#include "ui/controls/text/rich_edit_ui.h"

#include "ui/controls/text/txt_win_host.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/markup/attribute_value_ui.h"
#include "ui/core/values/number_list_ui.h"

#include <cwchar>
#include <memory>
#include <new>

namespace QuillUI {

namespace {

// The services' codes that reach the skinned window as WM_NOTIFY.
bool IsForwardedNotification(DWORD code) {
    switch (code) {
        case EN_MSGFILTER:
        case EN_SELCHANGE:
        case EN_DROPFILES:
        case EN_PROTECTED:
        case EN_STOPNOUNDO:
        case EN_SAVECLIPBOARD:
        case EN_OLEOPFAILED:
        case EN_OBJECTPOSITIONS:
        case EN_LINK:
        case EN_DRAGDROPDONE:
            return true;
        default:
            return false;
    }
}

}  // namespace

CRichEditUI::CRichEditUI() { SetBuildWeight(kBuildWeight); }

CRichEditUI::~CRichEditUI() {
    if (host_ != nullptr) {
        host_->Release();
        host_ = nullptr;
    }
    if (manager_ != nullptr) manager_->RemoveMessageFilter(this);
}

const wchar_t* CRichEditUI::GetClass() const { return L"RichEdit"; }

void* CRichEditUI::GetInterface(const wchar_t* name) {
    if (name != nullptr && wcscmp(name, L"RichEdit") == 0) return this;
    if (name != nullptr && wcscmp(name, kWantTabInterface) == 0) return static_cast<IWantTabUI*>(this);
    return CContainerUI::GetInterface(name);
}

UINT CRichEditUI::GetControlFlags() const {
    if (!IsEnabled()) return CContainerUI::GetControlFlags();
    return ControlFlagTabStop | ControlFlagSetCursor;
}

void CRichEditUI::SetTransparent(bool transparent) {
    transparent_ = transparent;
    if (host_ != nullptr) host_->SetTransparent(transparent);
}

void CRichEditUI::SetRich(bool rich) {
    rich_ = rich;
    if (host_ != nullptr) host_->SetRichTextFlag(rich);
}

void CRichEditUI::SetFont(int index) {
    font_ = index;
    if (host_ != nullptr && manager_ != nullptr) host_->SetFont(manager_->GetFont(font_));
}

void CRichEditUI::SetTextColor(DWORD color) {
    textColor_ = color;
    if (host_ != nullptr) host_->SetColor(color);
}

void CRichEditUI::SetTextPadding(RECT padding) {
    textPadding_ = padding;
    Invalidate();
}

LRESULT CRichEditUI::SetSel(long start, long end) {
    CHARRANGE range = {start, end};
    LRESULT result = 0;
    TxSendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range), &result);
    return result;
}

void CRichEditUI::ReplaceSel(const wchar_t* text, bool canUndo) {
    LRESULT result = 0;
    TxSendMessage(EM_REPLACESEL, canUndo ? TRUE : FALSE, reinterpret_cast<LPARAM>(text != nullptr ? text : L""),
                  &result);
}

CWideString CRichEditUI::GetText() const {
    if (host_ == nullptr) return text_;
    GETTEXTLENGTHEX lengthQuery = {GTL_DEFAULT, 1200};
    LRESULT length = 0;
    if (SendToServices(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthQuery), 0, &length) != S_OK || length <= 0)
        return CWideString();
    std::unique_ptr<wchar_t[]> buffer(new (std::nothrow) wchar_t[length + 1]());
    if (!buffer) return CWideString();
    GETTEXTEX textQuery = {};
    textQuery.cb = static_cast<DWORD>((length + 1) * sizeof(wchar_t));
    textQuery.flags = GT_DEFAULT;
    textQuery.codepage = 1200;
    LRESULT copied = 0;
    SendToServices(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&textQuery), reinterpret_cast<LPARAM>(buffer.get()), &copied);
    return CWideString(buffer.get());
}

void CRichEditUI::SetText(const wchar_t* text) {
    CContainerUI::SetText(text);
    if (host_ == nullptr) return;
    SetSel(0, -1);
    ReplaceSel(text, false);
}

void CRichEditUI::DoInit() {
    if (initialised_) return;
    CREATESTRUCTW create = {};
    create.style = static_cast<LONG>(textServicesStyle_);
    create.lpszName = text_.GetData();
    CTxtWinHost::CreateHost(this, &create, &host_);
    if (host_ != nullptr) {
        SendToServices(EM_SETLANGOPTIONS, 0, 0);
        // The services tell a change of the text only when asked to.
        SendToServices(EM_SETEVENTMASK, 0, ENM_CHANGE);
        host_->OnTxInPlaceActivate(nullptr);
        JoinManager();
    }
    initialised_ = true;
}

void CRichEditUI::JoinManager() {
    if (manager_ == nullptr) return;
    manager_->AddMessageFilter(this);
    if (manager_->IsLayered()) manager_->SetTimer(this, kCaretTimerId, GetCaretBlinkTime());
}

// The manager the control leaves must not hand it that window's input.
void CRichEditUI::SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init) {
    const bool leaving = host_ != nullptr && manager_ != nullptr && manager_ != manager;
    if (leaving) manager_->RemoveMessageFilter(this);
    CContainerUI::SetManager(manager, parent, init);
    if (leaving) JoinManager();
}

void CRichEditUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr) return;
    if (value == nullptr) value = L"";
    const bool isTrue = IsTrueValue(value);
    if (wcscmp(name, L"vscrollbar") == 0) {
        if (isTrue) textServicesStyle_ |= WS_VSCROLL | ES_DISABLENOSCROLL;
        CContainerUI::SetAttribute(name, value);
    } else if (wcscmp(name, L"autovscroll") == 0) {
        if (isTrue) textServicesStyle_ |= ES_AUTOVSCROLL;
        CContainerUI::SetAttribute(name, value);
    } else if (wcscmp(name, L"hscrollbar") == 0) {
        if (isTrue) textServicesStyle_ |= WS_HSCROLL | ES_DISABLENOSCROLL;
        CContainerUI::SetAttribute(name, value);
    } else if (wcscmp(name, L"autohscroll") == 0) {
        if (isTrue) textServicesStyle_ |= ES_AUTOHSCROLL;
    } else if (wcscmp(name, L"wanttab") == 0) {
        SetWantTab(isTrue);
    } else if (wcscmp(name, L"wantreturn") == 0) {
        SetWantReturn(isTrue);
    } else if (wcscmp(name, L"wantctrlreturn") == 0) {
        SetWantCtrlReturn(isTrue);
    } else if (wcscmp(name, L"transparent") == 0) {
        SetTransparent(isTrue);
    } else if (wcscmp(name, L"rich") == 0) {
        SetRich(isTrue);
    } else if (wcscmp(name, L"multiline") == 0) {
        if (wcscmp(value, L"false") == 0) textServicesStyle_ &= ~static_cast<DWORD>(ES_MULTILINE);
    } else if (wcscmp(name, L"readonly") == 0) {
        if (isTrue) textServicesStyle_ |= ES_READONLY;
    } else if (wcscmp(name, L"password") == 0) {
        if (isTrue) textServicesStyle_ |= ES_PASSWORD;
    } else if (wcscmp(name, L"align") == 0) {
        textServicesStyle_ =
            ReadAlignValue(value, textServicesStyle_, L"left", L"center", ES_CENTER, L"right", ES_RIGHT);
    } else if (wcscmp(name, L"font") == 0) {
        SetFont(_wtoi(value));
    } else if (wcscmp(name, L"textcolor") == 0) {
        SetTextColor(ReadColorValue(value));
    } else if (wcscmp(name, L"textpadding") == 0) {
        SetTextPadding(ParseRectList(value));
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

HRESULT CRichEditUI::SendToServices(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) const {
    if (host_ == nullptr) return S_FALSE;
    LRESULT ignored = 0;
    return host_->GetTextServices()->TxSendMessage(message, wParam, lParam, result != nullptr ? result : &ignored);
}

HRESULT CRichEditUI::TxSendMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (host_ == nullptr) return S_FALSE;
    if (message == WM_KEYDOWN && wParam == VK_RETURN) {
        const bool control = GetKeyState(VK_CONTROL) < 0;
        if (!wantReturn_ || (control && !wantCtrlReturn_)) {
            if (manager_ != nullptr) manager_->SendNotify(this, L"return");
            return S_OK;
        }
    }
    return SendToServices(message, wParam, lParam, result);
}

bool CRichEditUI::OnTxViewChanged() { return true; }

void CRichEditUI::OnTxNotify(DWORD code, void* data) {
    if (code == EN_CHANGE) {
        if (manager_ != nullptr) manager_->SendNotify(this, L"textchanged");
        return;
    }
    if (!IsForwardedNotification(code) || data == nullptr || manager_ == nullptr) return;
    HWND window = manager_->GetPaintWindow();
    NMHDR* header = static_cast<NMHDR*>(data);
    header->hwndFrom = window;
    header->idFrom = static_cast<UINT_PTR>(GetWindowLongPtrW(window, GWLP_ID));
    header->code = code;
    SendMessageW(window, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
}

}  // namespace QuillUI
