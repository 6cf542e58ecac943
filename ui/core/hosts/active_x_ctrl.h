// The client site of a hosted object: one object answering the client site,
// the windowless in-place site, the control site, the object-with-site and
// the container interfaces, all sharing one reference count.
#pragma once
#include "ui/core/hosts/com_declarations_ui.h"

namespace QuillUI {

class CActiveXUI;
class CActiveXWnd;

class CActiveXCtrl : public IOleClientSite,
                     public IOleInPlaceSiteWindowless,
                     public IOleControlSite,
                     public IObjectWithSite,
                     public IOleContainer {
public:
    explicit CActiveXCtrl(CActiveXUI* owner);
    CActiveXCtrl(const CActiveXCtrl&) = delete;
    CActiveXCtrl& operator=(const CActiveXCtrl&) = delete;

    // The owner calls this before its last Release: from then on every
    // method that needs the owner answers E_UNEXPECTED.
    void Detach();
    CActiveXUI* GetOwner() const { return owner_; }
    CActiveXWnd* GetChildWindow() const { return window_; }
    IViewObject* GetViewObject() const { return viewObject_; }
    // Takes over a reference the caller holds.
    void SetViewObject(IViewObject* view);
    IOleInPlaceObject* GetInPlaceObject() const { return inPlaceObject_; }
    bool IsWindowless() const { return windowless_; }
    bool IsInPlaceActive() const { return inPlaceActive_; }
    bool IsCaptured() const { return captured_; }
    bool IsUIActivated() const { return uiActivated_; }
    bool IsLocked() const { return locked_; }
    void SetFocused(bool focused) { focused_ = focused; }
    // Balances the running lock taken at activation, if it is still held.
    void UnlockRunning();
    // Creates the child window under the skinned window when there is none.
    HRESULT CreateActiveXWnd();

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IObjectWithSite
    STDMETHODIMP SetSite(IUnknown* site) override;
    STDMETHODIMP GetSite(REFIID iid, void** out) override;

    // IOleClientSite
    STDMETHODIMP SaveObject() override;
    STDMETHODIMP GetMoniker(DWORD assign, DWORD whichMoniker, IMoniker** moniker) override;
    STDMETHODIMP GetContainer(IOleContainer** container) override;
    STDMETHODIMP ShowObject() override;
    STDMETHODIMP OnShowWindow(BOOL show) override;
    STDMETHODIMP RequestNewObjectLayout() override;

    // IOleInPlaceSiteWindowless
    STDMETHODIMP CanWindowlessActivate() override;
    STDMETHODIMP GetCapture() override;
    STDMETHODIMP SetCapture(BOOL capture) override;
    STDMETHODIMP GetFocus() override;
    STDMETHODIMP SetFocus(BOOL focus) override;
    STDMETHODIMP GetDC(LPCRECT rect, DWORD flags, HDC* dc) override;
    STDMETHODIMP ReleaseDC(HDC dc) override;
    STDMETHODIMP InvalidateRect(LPCRECT rect, BOOL erase) override;
    STDMETHODIMP InvalidateRgn(HRGN region, BOOL erase) override;
    STDMETHODIMP ScrollRect(INT dx, INT dy, LPCRECT scroll, LPCRECT clip) override;
    STDMETHODIMP AdjustRect(LPRECT rect) override;
    STDMETHODIMP OnDefWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    // IOleInPlaceSiteEx
    STDMETHODIMP OnInPlaceActivateEx(BOOL* noRedraw, DWORD flags) override;
    STDMETHODIMP OnInPlaceDeactivateEx(BOOL noRedraw) override;
    STDMETHODIMP RequestUIActivate() override;

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override;
    STDMETHODIMP OnInPlaceActivate() override;
    STDMETHODIMP OnUIActivate() override;
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                  LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo) override;
    STDMETHODIMP Scroll(SIZE extent) override;
    STDMETHODIMP OnUIDeactivate(BOOL undoable) override;
    STDMETHODIMP OnInPlaceDeactivate() override;
    STDMETHODIMP DiscardUndoState() override;
    STDMETHODIMP DeactivateAndUndo() override;
    STDMETHODIMP OnPosRectChange(LPCRECT position) override;

    // IOleWindow
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) override;

    // IOleControlSite
    STDMETHODIMP OnControlInfoChanged() override;
    STDMETHODIMP LockInPlaceActive(BOOL lock) override;
    STDMETHODIMP GetExtendedControl(IDispatch** dispatch) override;
    STDMETHODIMP TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) override;
    STDMETHODIMP TranslateAccelerator(MSG* message, DWORD modifiers) override;
    STDMETHODIMP OnFocus(BOOL focus) override;
    STDMETHODIMP ShowPropertyFrame() override;

    // IOleContainer
    STDMETHODIMP EnumObjects(DWORD flags, IEnumUnknown** objects) override;
    STDMETHODIMP LockContainer(BOOL lock) override;

    // IParseDisplayName
    STDMETHODIMP ParseDisplayName(IBindCtx* context, LPOLESTR name, ULONG* eaten, IMoniker** moniker) override;

private:
    virtual ~CActiveXCtrl();
    void DestroyChildWindow();

    LONG refs_ = 1;
    CActiveXUI* owner_;
    CActiveXWnd* window_ = nullptr;
    IUnknown* outerSite_ = nullptr;
    IViewObject* viewObject_ = nullptr;
    IOleInPlaceObject* inPlaceObject_ = nullptr;
    bool locked_ = false;
    bool focused_ = false;
    bool captured_ = false;
    bool uiActivated_ = false;
    bool inPlaceActive_ = false;
    bool windowless_ = true;
    // The object whose running lock this site holds, not counted: the lock
    // is given back before the owner releases the object.
    IUnknown* runningLock_ = nullptr;
    // One table for every GetWindowContext, destroyed with the site.
    HACCEL accelerators_ = nullptr;
};

}  // namespace QuillUI
