// The text host of a rich edit: the platform's windowless text services
// keep and draw the text, and every request they make of their host (device
// context, caret, timers, capture, scroll bars, invalidation) is mapped onto
// the owning control and its skinned window. One host belongs to one rich
// edit and lives as long as it.
//
// The ITextHost and ITextServices methods are not COM stdcall: the platform
// calls them with the compiler's default member convention (thiscall on
// i686), which the platform header declares, so the overrides below must
// carry no calling-convention macro. Only the IUnknown methods are stdcall.
#pragma once
#include "common/win.h"

#include <ole2.h>
#include <richedit.h>
#include <textserv.h>

namespace QuillUI {

class CRichEditUI;

// Fills a character format from a font, or from the owner's font when
// font is null; false without a font to read.
bool InitCharFormatFromFont(CRichEditUI* owner, CHARFORMAT2W* format, HFONT font);
void InitDefaultParaFormat(CRichEditUI* owner, PARAFORMAT2* format);

class CTxtWinHost final : public ITextHost {
public:
    // Allocates and initialises a host; *host is set only on success. Always
    // true: the caller tests *host.
    static bool CreateHost(CRichEditUI* owner, const CREATESTRUCTW* create, CTxtWinHost** host);

    CTxtWinHost(const CTxtWinHost&) = delete;
    CTxtWinHost& operator=(const CTxtWinHost&) = delete;

    bool Init(CRichEditUI* owner, const CREATESTRUCTW* create);
    ITextServices* GetTextServices() const { return textServices_; }

    // ---- For the owner ----------------------------------------------------
    // In the skinned window's client coordinates.
    void SetClientRect(const RECT& rect);
    void GetControlRect(RECT* rect) const;
    // Nothing for a null font.
    void SetFont(HFONT font);
    // 0xAARRGGBB.
    void SetColor(DWORD argb);
    void SetRichTextFlag(bool rich);
    void SetTransparent(bool transparent);
    HRESULT OnTxInPlaceActivate(const RECT* client);
    // False when the point lies outside the rectangle (the client rectangle
    // when rect is null).
    bool DoSetCursor(const RECT* rect, const POINT* point);
    bool IsCaptured() const { return captured_; }
    bool IsShowCaret() const { return caretShown_; }
    void NeedFreshCaret() { caretNeedsRefresh_ = true; }
    INT GetCaretWidth() const { return caretWidth_; }
    INT GetCaretHeight() const { return caretHeight_; }

    // ---- IUnknown ---------------------------------------------------------
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // ---- ITextHost --------------------------------------------------------
    HDC TxGetDC() override;
    INT TxReleaseDC(HDC dc) override;
    BOOL TxShowScrollBar(INT bar, BOOL show) override;
    BOOL TxEnableScrollBar(INT bars, INT arrows) override;
    BOOL TxSetScrollRange(INT bar, LONG minPos, INT maxPos, BOOL redraw) override;
    BOOL TxSetScrollPos(INT bar, INT pos, BOOL redraw) override;
    void TxInvalidateRect(LPCRECT rect, BOOL mode) override;
    void TxViewChange(BOOL update) override;
    BOOL TxCreateCaret(HBITMAP bitmap, INT width, INT height) override;
    BOOL TxShowCaret(BOOL show) override;
    BOOL TxSetCaretPos(INT x, INT y) override;
    BOOL TxSetTimer(UINT id, UINT timeout) override;
    void TxKillTimer(UINT id) override;
    void TxScrollWindowEx(INT dx, INT dy, LPCRECT scroll, LPCRECT clip, HRGN updateRegion, LPRECT update,
                          UINT flags) override;
    void TxSetCapture(BOOL capture) override;
    void TxSetFocus() override;
    void TxSetCursor(HCURSOR cursor, BOOL text) override;
    BOOL TxScreenToClient(LPPOINT point) override;
    BOOL TxClientToScreen(LPPOINT point) override;
    HRESULT TxActivate(LONG* oldState) override;
    HRESULT TxDeactivate(LONG newState) override;
    HRESULT TxGetClientRect(LPRECT rect) override;
    HRESULT TxGetViewInset(LPRECT rect) override;
    HRESULT TxGetCharFormat(const CHARFORMATW** format) override;
    HRESULT TxGetParaFormat(const PARAFORMAT** format) override;
    COLORREF TxGetSysColor(int index) override;
    HRESULT TxGetBackStyle(TXTBACKSTYLE* style) override;
    HRESULT TxGetMaxLength(DWORD* length) override;
    HRESULT TxGetScrollBars(DWORD* scrollBars) override;
    HRESULT TxGetPasswordChar(TCHAR* ch) override;
    HRESULT TxGetAcceleratorPos(LONG* cp) override;
    HRESULT TxGetExtent(LPSIZEL extent) override;
    HRESULT OnTxCharFormatChange(const CHARFORMATW* format) override;
    HRESULT OnTxParaFormatChange(const PARAFORMAT* format) override;
    HRESULT TxGetPropertyBits(DWORD mask, DWORD* bits) override;
    HRESULT TxNotify(DWORD code, void* data) override;
    HIMC TxImmGetContext() override;
    void TxImmReleaseContext(HIMC context) override;
    HRESULT TxGetSelectionBarWidth(LONG* width) override;

private:
    CTxtWinHost();
    // Deactivates and releases the services; only Release deletes.
    ~CTxtWinHost();

    HWND Window() const;
    HDC PaintDC() const;
    void PropertyBitsChange(DWORD mask, DWORD bits);

    CRichEditUI* owner_ = nullptr;
    ULONG references_ = 0;
    ITextServices* textServices_ = nullptr;
    DWORD style_ = 0;
    unsigned autoWordSelect_ : 1;
    unsigned wordWrap_ : 1;
    unsigned allowBeep_ : 1;
    unsigned richText_ : 1;
    unsigned saveSelection_ : 1;
    unsigned inPlaceActive_ : 1;
    unsigned transparent_ : 1;
    unsigned captured_ : 1;
    unsigned caretShown_ : 1;
    unsigned caretNeedsRefresh_ : 1;
    INT caretWidth_ = 0;
    INT caretHeight_ = 0;
    INT drawnCaretWidth_ = 0;
    INT drawnCaretHeight_ = 0;
    LONG selectionBarWidth_ = 0;
    LONG maxLength_ = 32767;
    RECT client_ = {0, 0, 0, 0};
    SIZEL extent_ = {0, 0};
    CHARFORMAT2W charFormat_ = {};
    PARAFORMAT2 paraFormat_ = {};
    LONG acceleratorPos_ = -1;
    // Shown in place of each character of a password; 0 would show the text.
    WCHAR passwordChar_ = L'*';
};

}  // namespace QuillUI
