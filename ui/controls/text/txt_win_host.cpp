// Creation of the text host, its default formats, its reference count and
// what the owning rich edit changes in it.
#include "ui/controls/text/txt_win_host.h"

#include "ui/controls/text/rich_edit_ui.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/values/color_ui.h"

#include <cstdlib>
#include <new>

namespace QuillUI {

namespace {

// {8D33F740-CF58-11CE-A89D-00AA006CADC5}
constexpr IID kIidTextServices = {0x8D33F740, 0xCF58, 0x11CE, {0xA8, 0x9D, 0x00, 0xAA, 0x00, 0x6C, 0xAD, 0xC5}};
// {C5BDD8D0-D26E-11CE-A89E-00AA006CADC5}
constexpr IID kIidTextHost = {0xC5BDD8D0, 0xD26E, 0x11CE, {0xA8, 0x9E, 0x00, 0xAA, 0x00, 0x6C, 0xAD, 0xC5}};

static_assert(sizeof(CHARFORMAT2W) == 116, "the services read the whole character format");
static_assert(sizeof(PARAFORMAT2) == 188, "the services read the whole paragraph format");

LONG PixelsToHimetric(LONG length, int pixelsPerInch) { return MulDiv(length, 2540, pixelsPerInch); }

// A font made with a positive (cell) height is as tall as its negative
// (character) twin for the services, never negative.
LONG HeightInTwips(LONG logicalHeight, int pixelsPerInchY) {
    return labs(logicalHeight) * 1440 / pixelsPerInchY;
}

int PixelsPerInch(HDC dc, int axis) {
    const int value = dc != nullptr ? GetDeviceCaps(dc, axis) : 0;
    return value > 0 ? value : 96;
}

HDC PaintDCOf(const CRichEditUI* owner) {
    CWindowManagerUI* manager = owner != nullptr ? owner->GetManager() : nullptr;
    return manager != nullptr ? manager->GetPaintDC() : nullptr;
}

// Height, effects, character set, pitch and face of the font.
void ApplyFont(const LOGFONTW& font, int pixelsPerInchY, CHARFORMAT2W& format) {
    format.yHeight = HeightInTwips(font.lfHeight, pixelsPerInchY);
    const DWORD effects = (font.lfWeight >= FW_BOLD ? CFE_BOLD : 0) | (font.lfItalic ? CFE_ITALIC : 0) |
                          (font.lfUnderline ? CFE_UNDERLINE : 0);
    format.dwEffects = (format.dwEffects & ~static_cast<DWORD>(CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE)) | effects;
    format.bCharSet = font.lfCharSet;
    format.bPitchAndFamily = font.lfPitchAndFamily;
    lstrcpynW(format.szFaceName, font.lfFaceName, LF_FACESIZE);
}

}  // namespace

bool InitCharFormatFromFont(CRichEditUI* owner, CHARFORMAT2W* format, HFONT font) {
    if (owner == nullptr || format == nullptr) return false;
    *format = CHARFORMAT2W{};
    CWindowManagerUI* manager = owner->GetManager();
    if (font == nullptr && manager != nullptr) font = manager->GetFont(owner->GetFont());
    LOGFONTW logical = {};
    if (font == nullptr || GetObjectW(font, sizeof(logical), &logical) == 0) return false;
    format->cbSize = sizeof(*format);
    format->dwMask = CFM_SIZE | CFM_OFFSET | CFM_FACE | CFM_CHARSET | CFM_COLOR | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE;
    format->crTextColor = ToColorRef(owner->GetTextColor());
    format->yOffset = 0;
    ApplyFont(logical, PixelsPerInch(PaintDCOf(owner), LOGPIXELSY), *format);
    return true;
}

void InitDefaultParaFormat(CRichEditUI*, PARAFORMAT2* format) {
    if (format == nullptr) return;
    *format = PARAFORMAT2{};
    format->cbSize = sizeof(*format);
    format->dwMask = PFM_ALL;
    format->wAlignment = PFA_LEFT;
    format->cTabCount = 1;
    format->rgxTabs[0] = 720;
}

CTxtWinHost::CTxtWinHost()
    : autoWordSelect_(0),
      wordWrap_(0),
      allowBeep_(0),
      richText_(0),
      saveSelection_(0),
      inPlaceActive_(0),
      transparent_(0),
      captured_(0),
      caretShown_(0),
      caretNeedsRefresh_(0) {}

CTxtWinHost::~CTxtWinHost() {
    if (textServices_ == nullptr) return;
    textServices_->OnTxInPlaceDeactivate();
    textServices_->Release();
}

bool CTxtWinHost::CreateHost(CRichEditUI* owner, const CREATESTRUCTW* create, CTxtWinHost** host) {
    CTxtWinHost* made = new (std::nothrow) CTxtWinHost();
    if (made == nullptr) return true;
    if (made->Init(owner, create)) {
        if (host != nullptr) *host = made;
        return true;
    }
    made->Release();
    return true;
}

bool CTxtWinHost::Init(CRichEditUI* owner, const CREATESTRUCTW* create) {
    owner_ = owner;
    references_ = 1;
    if (!InitCharFormatFromFont(owner, &charFormat_, nullptr)) return false;
    InitDefaultParaFormat(owner, &paraFormat_);
    style_ = ES_MULTILINE;
    richText_ = owner->IsRich() ? 1 : 0;
    // Some services read the back style only when they are made.
    transparent_ = owner->IsTransparent() ? 1 : 0;
    maxLength_ = owner->GetLimitText();
    if (create != nullptr) {
        style_ = create->style;
        if ((style_ & (ES_AUTOHSCROLL | WS_HSCROLL)) == 0) wordWrap_ = 1;
    }
    if ((style_ & ES_CENTER) != 0) {
        paraFormat_.wAlignment = PFA_CENTER;
    } else if ((style_ & ES_RIGHT) != 0) {
        paraFormat_.wAlignment = PFA_RIGHT;
    }
    inPlaceActive_ = 1;

    // The library stays loaded: the services' code lives there.
    HMODULE library = LoadLibraryW(L"msftedit.dll");
    if (library == nullptr) return false;
    auto createServices = reinterpret_cast<PCreateTextServices>(
        reinterpret_cast<void*>(GetProcAddress(library, "CreateTextServices")));
    if (createServices == nullptr) return false;
    IUnknown* unknown = nullptr;
    if (FAILED(createServices(nullptr, this, &unknown)) || unknown == nullptr) return false;
    ITextServices* services = nullptr;
    const HRESULT asked = unknown->QueryInterface(kIidTextServices, reinterpret_cast<void**>(&services));
    unknown->Release();
    if (FAILED(asked) || services == nullptr) return false;
    textServices_ = services;
    if (create != nullptr && create->lpszName != nullptr) return SUCCEEDED(textServices_->TxSetText(create->lpszName));
    return true;
}

STDMETHODIMP CTxtWinHost::QueryInterface(REFIID iid, void** out) {
    if (out == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == kIidTextHost) {
        *out = static_cast<ITextHost*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CTxtWinHost::AddRef() { return ++references_; }

STDMETHODIMP_(ULONG) CTxtWinHost::Release() {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

HWND CTxtWinHost::Window() const {
    CWindowManagerUI* manager = owner_ != nullptr ? owner_->GetManager() : nullptr;
    return manager != nullptr ? manager->GetPaintWindow() : nullptr;
}

HDC CTxtWinHost::PaintDC() const { return PaintDCOf(owner_); }

// The services are missing while they are being created.
void CTxtWinHost::PropertyBitsChange(DWORD mask, DWORD bits) {
    if (textServices_ != nullptr) textServices_->OnTxPropertyBitsChange(mask, bits);
}

void CTxtWinHost::SetClientRect(const RECT& rect) {
    client_ = rect;
    HDC dc = PaintDC();
    extent_.cx = PixelsToHimetric(rect.right - rect.left, PixelsPerInch(dc, LOGPIXELSX));
    extent_.cy = PixelsToHimetric(rect.bottom - rect.top, PixelsPerInch(dc, LOGPIXELSY));
    // Some services lay the text out again for the client change alone.
    const DWORD changed = TXTBIT_VIEWINSETCHANGE | TXTBIT_CLIENTRECTCHANGE;
    PropertyBitsChange(changed, changed);
}

void CTxtWinHost::GetControlRect(RECT* rect) const {
    if (rect != nullptr) *rect = client_;
}

void CTxtWinHost::SetFont(HFONT font) {
    LOGFONTW logical = {};
    if (font == nullptr || GetObjectW(font, sizeof(logical), &logical) == 0) return;
    ApplyFont(logical, PixelsPerInch(PaintDC(), LOGPIXELSY), charFormat_);
    PropertyBitsChange(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
}

void CTxtWinHost::SetColor(DWORD argb) {
    charFormat_.crTextColor = ToColorRef(argb);
    PropertyBitsChange(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
}

void CTxtWinHost::SetRichTextFlag(bool rich) {
    richText_ = rich ? 1 : 0;
    PropertyBitsChange(TXTBIT_RICHTEXT, rich ? TXTBIT_RICHTEXT : 0);
}

void CTxtWinHost::SetTransparent(bool transparent) {
    transparent_ = transparent ? 1 : 0;
    PropertyBitsChange(TXTBIT_BACKSTYLECHANGE, 0);
}

HRESULT CTxtWinHost::OnTxInPlaceActivate(const RECT* client) {
    inPlaceActive_ = 1;
    const HRESULT result = textServices_ != nullptr ? textServices_->OnTxInPlaceActivate(client) : E_UNEXPECTED;
    if (FAILED(result)) inPlaceActive_ = 0;
    return result;
}

bool CTxtWinHost::DoSetCursor(const RECT* rect, const POINT* point) {
    const RECT area = rect != nullptr ? *rect : client_;
    if (point == nullptr || !PtInRect(&area, *point)) return false;
    if (textServices_ == nullptr) return true;
    const RECT* given = !inPlaceActive_ || rect != nullptr ? &area : nullptr;
    textServices_->OnTxSetCursor(DVASPECT_CONTENT, -1, nullptr, nullptr, PaintDC(), nullptr, given, point->x,
                                 point->y);
    return true;
}

}  // namespace QuillUI
