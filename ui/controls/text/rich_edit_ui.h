// The control of the markup tag "RichEdit": a multi-line (or single-line)
// editor whose text the platform's windowless text services keep and draw,
// hosted by the control itself. It feeds the services the skinned window's
// input through the manager's message filters, drives the container's
// scroll bars from the services' requests, draws the caret itself on
// layered windows, and turns the services' notifications into "textchanged"
// and "return".
#pragma once
#include "common/win.h"
#include "ui/controls/containers/container_ui.h"
#include "ui/core/manager/window_listeners_ui.h"
#include "ui/core/values/rect_ui.h"
#include "ui/core/values/wide_string.h"

namespace QuillUI {

class CTxtWinHost;

class CRichEditUI : public CContainerUI, public IMessageFilterUI, public IWantTabUI {
public:
    // The caret blink on layered windows, where the control draws the caret.
    static const UINT kCaretTimerId = 20;
    // Its text services hold as much as some twenty ordinary controls.
    static const long kBuildWeight = 16;

    CRichEditUI();
    // Releases the host and leaves the manager's message filters.
    ~CRichEditUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    // Tab stop and own cursor while enabled.
    UINT GetControlFlags() const override;

    bool IsWantTab() const override { return wantTab_; }
    void SetWantTab(bool want = true) { wantTab_ = want; }
    bool IsWantReturn() const { return wantReturn_; }
    void SetWantReturn(bool want = true) { wantReturn_ = want; }
    bool IsWantCtrlReturn() const { return wantCtrlReturn_; }
    void SetWantCtrlReturn(bool want = true) { wantCtrlReturn_ = want; }
    bool IsTransparent() const { return transparent_; }
    void SetTransparent(bool transparent = true);
    bool IsRich() const { return rich_; }
    void SetRich(bool rich = true);
    // An index of the window's font table; -1 is the default font.
    int GetFont() const { return font_; }
    void SetFont(int index);
    // 0xAARRGGBB.
    DWORD GetTextColor() const { return textColor_; }
    void SetTextColor(DWORD color);
    // The text limit the host gives the services.
    LONG GetLimitText() const { return limitText_; }
    RECT GetTextPadding() const { return textPadding_; }
    void SetTextPadding(RECT padding);
    // The ES_* and WS_* bits the services are created with.
    DWORD GetTextServicesStyle() const { return textServicesStyle_; }
    // Null while the control has no text services.
    CTxtWinHost* GetTextHost() const { return host_; }

    LRESULT SetSel(long start, long end);
    void ReplaceSel(const wchar_t* text, bool canUndo);

    // ---- CControlUI -------------------------------------------------------
    // The message filter moves with the control to its new manager.
    void SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init = true) override;
    // The services' text; the stored text while there are none.
    CWideString GetText() const override;
    void SetText(const wchar_t* text) override;
    void SetPos(RECT rect, bool needInvalidate = true) override;
    void Move(int dx, int dy, bool needInvalidate = true) override;
    void DoInit() override;
    void DoEvent(ControlEventUI& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    SIZE EstimateSize(SIZE available) override;
    bool DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) override;

    // ---- CContainerUI: the services scroll, the bars follow them ------------
    void SetScrollPos(SIZE pos) override;
    void LineUp() override;
    void LineDown() override;
    void PageUp() override;
    void PageDown() override;
    void HomeUp() override;
    void EndDown() override;
    void LineLeft() override;
    void LineRight() override;
    void PageLeft() override;
    void PageRight() override;
    void HomeLeft() override;
    void EndRight() override;

    // A message for the services; Enter stays out of them where the control
    // does not want it and becomes "return". S_FALSE without services.
    virtual HRESULT TxSendMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Whether a change of the services' view repaints the control.
    virtual bool OnTxViewChanged();
    virtual void OnTxNotify(DWORD code, void* data);

    // ---- IMessageFilterUI -------------------------------------------------
    LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    // Input through the manager's filters, and the caret's blink where the
    // control draws the caret.
    void JoinManager();
    // The services' height for the given width, or -1.
    LONG NaturalHeight(LONG width) const;
    // Straight to the services; S_FALSE without them.
    HRESULT SendToServices(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr) const;
    void SendScroll(UINT message, WPARAM code);
    // Sets the IME's composition window at the caret, in the control's font.
    void PlaceComposition() const;
    void DrawLayeredCaret(HDC dc) const;
    void OnCaretTimer();

    CTxtWinHost* host_ = nullptr;
    bool vscrollBarFixing_ = false;
    bool wantTab_ = true;
    bool wantReturn_ = true;
    bool wantCtrlReturn_ = true;
    bool transparent_ = true;
    bool rich_ = true;
    DWORD textColor_ = 0;
    int font_ = -1;
    LONG limitText_ = 32767;
    DWORD textServicesStyle_ = ES_MULTILINE;
    bool drawCaret_ = true;
    bool initialised_ = false;
    CRectUI textPadding_;
};

}  // namespace QuillUI
