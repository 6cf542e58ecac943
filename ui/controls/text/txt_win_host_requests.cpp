// What the text services ask of their host, answered from the owning rich
// edit, its scroll bars and its skinned window.
#include "ui/controls/text/txt_win_host.h"

#include "ui/controls/containers/scroll_bar_ui.h"
#include "ui/controls/text/rich_edit_ui.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/values/clamp_ui.h"

#include <cstdint>

namespace QuillUI {

namespace {

// The bits of the style that the services read as scroll-bar settings.
const DWORD kScrollBarStyles = WS_VSCROLL | WS_HSCROLL | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_DISABLENOSCROLL;

void ShowBar(CScrollBarUI* bar, bool show) {
    if (bar != nullptr) bar->SetVisible(show);
}

// Shows the bar with the part of the range that does not fit the client
// length, or hides it when everything fits.
void SetBarRange(CScrollBarUI* bar, LONG minPos, INT maxPos, LONG clientLength) {
    if (bar == nullptr) return;
    const int64_t range = int64_t(maxPos) - minPos - clientLength;
    bar->SetVisible(range > 0);
    if (range > 0) bar->SetScrollRange(ClampToInt(range));
}

}  // namespace

HDC CTxtWinHost::TxGetDC() { return PaintDC(); }

// The device context belongs to the manager.
INT CTxtWinHost::TxReleaseDC(HDC) { return 1; }

BOOL CTxtWinHost::TxShowScrollBar(INT bar, BOOL show) {
    const bool shown = show == TRUE;
    if (bar == SB_VERT || bar == SB_BOTH) ShowBar(owner_->GetVerticalScrollBar(), shown);
    if (bar == SB_HORZ || bar == SB_BOTH) ShowBar(owner_->GetHorizontalScrollBar(), shown);
    return TRUE;
}

BOOL CTxtWinHost::TxEnableScrollBar(INT bars, INT arrows) {
    const bool shown = arrows != ESB_DISABLE_BOTH;
    const bool vertical = bars == SB_VERT || bars == SB_BOTH;
    const bool horizontal = bars == SB_HORZ || bars == SB_BOTH;
    if (bars == SB_BOTH) {
        owner_->EnableScrollBar(true, true);
    } else if (vertical) {
        owner_->EnableScrollBar(true, owner_->GetHorizontalScrollBar() != nullptr);
    } else if (horizontal) {
        owner_->EnableScrollBar(owner_->GetVerticalScrollBar() != nullptr, true);
    }
    if (vertical) ShowBar(owner_->GetVerticalScrollBar(), shown);
    if (horizontal) ShowBar(owner_->GetHorizontalScrollBar(), shown);
    return TRUE;
}

BOOL CTxtWinHost::TxSetScrollRange(INT bar, LONG minPos, INT maxPos, BOOL) {
    if (bar == SB_VERT) SetBarRange(owner_->GetVerticalScrollBar(), minPos, maxPos, client_.bottom - client_.top);
    if (bar == SB_HORZ) SetBarRange(owner_->GetHorizontalScrollBar(), minPos, maxPos, client_.right - client_.left);
    return TRUE;
}

BOOL CTxtWinHost::TxSetScrollPos(INT bar, INT pos, BOOL) {
    CScrollBarUI* target = bar == SB_VERT   ? owner_->GetVerticalScrollBar()
                           : bar == SB_HORZ ? owner_->GetHorizontalScrollBar()
                                            : nullptr;
    if (target != nullptr) target->SetScrollPos(pos, true);
    return TRUE;
}

void CTxtWinHost::TxInvalidateRect(LPCRECT rect, BOOL) {
    CWindowManagerUI* manager = owner_->GetManager();
    if (manager != nullptr) manager->Invalidate(rect != nullptr ? *rect : client_);
}

void CTxtWinHost::TxViewChange(BOOL) {
    if (owner_->OnTxViewChanged()) owner_->Invalidate();
}

BOOL CTxtWinHost::TxCreateCaret(HBITMAP bitmap, INT width, INT height) {
    // A caret asked for with width 0 is the system's border width wide, as
    // CreateCaret makes it; the layered caret and the composition window go
    // by the width actually shown.
    caretWidth_ = width > 0 ? width : GetSystemMetrics(SM_CXBORDER);
    caretHeight_ = height;
    return CreateCaret(Window(), bitmap, width, height);
}

BOOL CTxtWinHost::TxShowCaret(BOOL show) {
    caretShown_ = show ? 1 : 0;
    return show ? ShowCaret(Window()) : HideCaret(Window());
}

BOOL CTxtWinHost::TxSetCaretPos(INT x, INT y) {
    CWindowManagerUI* manager = owner_->GetManager();
    POINT old = {0, 0};
    GetCaretPos(&old);
    const RECT oldCaret = {old.x, old.y, old.x + drawnCaretWidth_, old.y + drawnCaretHeight_};
    const bool layered = manager != nullptr && manager->IsLayered();
    // A layered window shows no system caret: the control draws it, and
    // both where it was and where it goes must repaint.
    if (layered) {
        manager->Invalidate(oldCaret);
    } else if (caretNeedsRefresh_) {
        if (manager != nullptr) manager->Invalidate(oldCaret);
        caretNeedsRefresh_ = 0;
    }
    if (layered) manager->Invalidate(RECT{x, y, x + caretWidth_, y + caretHeight_});
    drawnCaretWidth_ = caretWidth_;
    drawnCaretHeight_ = caretHeight_;
    return SetCaretPos(x, y);
}

BOOL CTxtWinHost::TxSetTimer(UINT id, UINT timeout) {
    CWindowManagerUI* manager = owner_->GetManager();
    return manager != nullptr && manager->SetTimer(owner_, id, timeout) ? TRUE : FALSE;
}

void CTxtWinHost::TxKillTimer(UINT id) {
    CWindowManagerUI* manager = owner_->GetManager();
    if (manager != nullptr) manager->KillTimer(owner_, id);
}

void CTxtWinHost::TxScrollWindowEx(INT, INT, LPCRECT, LPCRECT, HRGN, LPRECT, UINT) {}

void CTxtWinHost::TxSetCapture(BOOL capture) {
    CWindowManagerUI* manager = owner_->GetManager();
    if (manager != nullptr) {
        if (capture)
            manager->SetCapture();
        else
            manager->ReleaseCapture();
    }
    captured_ = capture ? 1 : 0;
}

void CTxtWinHost::TxSetFocus() { owner_->SetFocus(); }

void CTxtWinHost::TxSetCursor(HCURSOR cursor, BOOL) { SetCursor(cursor); }

BOOL CTxtWinHost::TxScreenToClient(LPPOINT point) { return point != nullptr && ScreenToClient(Window(), point); }

BOOL CTxtWinHost::TxClientToScreen(LPPOINT point) { return point != nullptr && ClientToScreen(Window(), point); }

HRESULT CTxtWinHost::TxActivate(LONG*) { return S_OK; }

HRESULT CTxtWinHost::TxDeactivate(LONG) { return S_OK; }

HRESULT CTxtWinHost::TxGetClientRect(LPRECT rect) {
    if (rect == nullptr) return E_INVALIDARG;
    *rect = client_;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetViewInset(LPRECT rect) {
    if (rect == nullptr) return E_INVALIDARG;
    *rect = RECT{0, 0, 0, 0};
    return S_OK;
}

HRESULT CTxtWinHost::TxGetCharFormat(const CHARFORMATW** format) {
    if (format == nullptr) return E_INVALIDARG;
    *format = reinterpret_cast<const CHARFORMATW*>(&charFormat_);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetParaFormat(const PARAFORMAT** format) {
    if (format == nullptr) return E_INVALIDARG;
    *format = &paraFormat_;
    return S_OK;
}

COLORREF CTxtWinHost::TxGetSysColor(int index) { return GetSysColor(index); }

HRESULT CTxtWinHost::TxGetBackStyle(TXTBACKSTYLE* style) {
    if (style == nullptr) return E_INVALIDARG;
    *style = transparent_ ? TXTBACK_TRANSPARENT : TXTBACK_OPAQUE;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetMaxLength(DWORD* length) {
    if (length == nullptr) return E_INVALIDARG;
    *length = static_cast<DWORD>(maxLength_);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetScrollBars(DWORD* scrollBars) {
    if (scrollBars == nullptr) return E_INVALIDARG;
    *scrollBars = style_ & kScrollBarStyles;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetPasswordChar(TCHAR* ch) {
    if (ch == nullptr) return E_INVALIDARG;
    *ch = passwordChar_;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetAcceleratorPos(LONG* cp) {
    if (cp == nullptr) return E_INVALIDARG;
    *cp = acceleratorPos_;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetExtent(LPSIZEL extent) {
    if (extent == nullptr) return E_INVALIDARG;
    *extent = extent_;
    return S_OK;
}

HRESULT CTxtWinHost::OnTxCharFormatChange(const CHARFORMATW*) { return S_OK; }

HRESULT CTxtWinHost::OnTxParaFormatChange(const PARAFORMAT*) { return S_OK; }

HRESULT CTxtWinHost::TxGetPropertyBits(DWORD mask, DWORD* bits) {
    if (bits == nullptr) return E_INVALIDARG;
    DWORD result = richText_ ? TXTBIT_RICHTEXT : 0;
    if ((style_ & ES_MULTILINE) != 0) result |= TXTBIT_MULTILINE;
    if ((style_ & ES_READONLY) != 0) result |= TXTBIT_READONLY;
    if ((style_ & ES_PASSWORD) != 0) result |= TXTBIT_USEPASSWORD;
    if ((style_ & ES_NOHIDESEL) == 0) result |= TXTBIT_HIDESELECTION;
    if (autoWordSelect_) result |= TXTBIT_AUTOWORDSEL;
    if (wordWrap_) result |= TXTBIT_WORDWRAP;
    if (allowBeep_) result |= TXTBIT_ALLOWBEEP;
    if (saveSelection_) result |= TXTBIT_SAVESELECTION;
    *bits = result & mask;
    return S_OK;
}

HRESULT CTxtWinHost::TxNotify(DWORD code, void* data) {
    if (code == EN_REQUESTRESIZE) {
        const REQRESIZE* request = static_cast<const REQRESIZE*>(data);
        if (request == nullptr) return S_OK;
        RECT rect = client_;
        rect.right = rect.left + request->rc.right;
        rect.bottom = rect.top + request->rc.bottom;
        SetClientRect(rect);
        return S_OK;
    }
    owner_->OnTxNotify(code, data);
    return S_OK;
}

HIMC CTxtWinHost::TxImmGetContext() { return nullptr; }

void CTxtWinHost::TxImmReleaseContext(HIMC) {}

HRESULT CTxtWinHost::TxGetSelectionBarWidth(LONG* width) {
    if (width == nullptr) return E_INVALIDARG;
    *width = selectionBarWidth_;
    return S_OK;
}

}  // namespace QuillUI
