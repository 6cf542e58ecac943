// A minimal host for the COM doubles, written from what a host of the real
// controls does: a client site that activates windowed or windowless, a
// document host UI handler with an external object, and an event sink. Each
// records what reached it.
#pragma once
#include "common/win.h"

#include <exdisp.h>
#include <mshtmhst.h>
#include <ocidl.h>
#include <ole2.h>

#include <functional>
#include <string>
#include <vector>

namespace doubles_test {

// One event as it reached a sink: its dispid and its arguments as passed.
struct SeenEvent {
    DISPID dispid = 0;
    std::vector<VARTYPE> types;       // rgvarg order
    std::vector<std::wstring> texts;  // rgvarg order: BSTR, or the BSTR a by-reference VARIANT holds
    std::vector<long> numbers;        // rgvarg order: I4, UI4, BOOL or the I4 a reference holds
    bool riidNull = true;
    IUnknown* identity = nullptr;  // of the first argument's dispatch object, compared only
};

// A dispatch object counting its own references.
class CountedDispatch : public IDispatch {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    LONG Refs() const { return refs_; }

protected:
    virtual ~CountedDispatch() = default;

private:
    LONG refs_ = 1;
};

// The page's external object: "startGame" 104 and "ismc" 103.
class TestExternal final : public CountedDispatch {
public:
    explicit TestExternal(std::vector<std::string>* calls) : calls_(calls) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                        UINT*) override;

private:
    std::vector<std::string>* calls_;
};

// An event sink recording every event; BEFORE runs for each, e.g. to cancel.
class TestSink final : public CountedDispatch {
public:
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID dispid, REFIID riid, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                        UINT*) override;

    std::vector<SeenEvent> events;
    std::function<HRESULT(DISPID, DISPPARAMS*)> onEvent;
};

class TestSite final : public IOleClientSite,
                       public IOleInPlaceSiteWindowless,
                       public IDocHostUIHandler,
                       public IOleCommandTarget {
public:
    TestSite(HWND window, const RECT& rect, bool windowless) : window_(window), rect_(rect), windowless_(windowless) {}

    // A faulty host's GetWindowContext: succeeds without writing the rectangles.
    bool leaveRectsUnwritten = false;

    LONG Refs() const { return refs_; }
    std::vector<std::string> calls;          // the site's methods, in order
    std::vector<std::string> externalCalls;  // what reached the external object

    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(InterlockedDecrement(&refs_)); }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override;
    STDMETHODIMP GetContainer(IOleContainer** container) override;
    STDMETHODIMP ShowObject() override { return Note("ShowObject", S_OK); }
    STDMETHODIMP OnShowWindow(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceSite, IOleInPlaceSiteEx, IOleInPlaceSiteWindowless
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return S_OK; }
    STDMETHODIMP CanInPlaceActivate() override { return Note("CanInPlaceActivate", S_OK); }
    STDMETHODIMP OnInPlaceActivate() override { return Note("OnInPlaceActivate", S_OK); }
    STDMETHODIMP OnUIActivate() override { return Note("OnUIActivate", S_OK); }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                  LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return Note("OnUIDeactivate", S_OK); }
    STDMETHODIMP OnInPlaceDeactivate() override { return Note("OnInPlaceDeactivate", S_OK); }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return E_NOTIMPL; }
    STDMETHODIMP OnInPlaceActivateEx(BOOL* noRedraw, DWORD flags) override;
    STDMETHODIMP OnInPlaceDeactivateEx(BOOL) override { return Note("OnInPlaceDeactivateEx", S_OK); }
    STDMETHODIMP RequestUIActivate() override { return S_OK; }
    STDMETHODIMP CanWindowlessActivate() override;
    STDMETHODIMP GetCapture() override { return S_FALSE; }
    STDMETHODIMP SetCapture(BOOL) override { return S_OK; }
    STDMETHODIMP GetFocus() override { return S_FALSE; }
    STDMETHODIMP SetFocus(BOOL) override { return S_OK; }
    STDMETHODIMP GetDC(LPCRECT, DWORD, HDC* dc) override;
    STDMETHODIMP ReleaseDC(HDC) override { return S_OK; }
    STDMETHODIMP InvalidateRect(LPCRECT, BOOL) override { return Note("InvalidateRect", S_OK); }
    STDMETHODIMP InvalidateRgn(HRGN, BOOL) override { return S_OK; }
    STDMETHODIMP ScrollRect(INT, INT, LPCRECT, LPCRECT) override { return S_OK; }
    STDMETHODIMP AdjustRect(LPRECT) override { return S_OK; }
    STDMETHODIMP OnDefWindowMessage(UINT, WPARAM, LPARAM, LRESULT* result) override;

    // IDocHostUIHandler
    STDMETHODIMP ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override { return S_OK; }
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override;
    STDMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                        IOleInPlaceUIWindow*) override {
        return S_FALSE;
    }
    STDMETHODIMP HideUI() override { return S_OK; }
    STDMETHODIMP UpdateUI() override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
    STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD) override;
    STDMETHODIMP GetDropTarget(IDropTarget*, IDropTarget** target) override;
    STDMETHODIMP GetExternal(IDispatch** external) override;
    STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR* out) override;
    STDMETHODIMP FilterDataObject(IDataObject*, IDataObject** out) override;

    // IOleCommandTarget
    STDMETHODIMP QueryStatus(const GUID*, ULONG, OLECMD*, OLECMDTEXT*) override { return OLECMDERR_E_NOTSUPPORTED; }
    STDMETHODIMP Exec(const GUID* group, DWORD id, DWORD, VARIANT*, VARIANT* out) override;

private:
    HRESULT Note(const char* call, HRESULT hr) {
        calls.push_back(call);
        return hr;
    }

    LONG refs_ = 1;
    HWND window_;
    RECT rect_;
    bool windowless_;
};

// The text of a BSTR argument, checked to be a real BSTR by the caller.
std::wstring BstrString(BSTR text);

// A 32-bit top-down DIB in a memory DC, white at first, for a control or a
// double to draw into.
class DrawSurface {
public:
    DrawSurface(int width, int height);
    ~DrawSurface();
    DrawSurface(const DrawSurface&) = delete;
    DrawSurface& operator=(const DrawSurface&) = delete;
    HDC Dc() const { return dc_; }
    RECTL Bounds() const { return RECTL{0, 0, width_, height_}; }
    void Clear();
    // 0xRRGGBB.
    DWORD Pixel(int x, int y) const;

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

}  // namespace doubles_test
