#include "ui/core/hosts/active_x_ctrl.h"

#include "ui/core/hosts/active_x_enum.h"
#include "ui/core/hosts/active_x_frame_wnd.h"
#include "ui/core/hosts/active_x_ui.h"
#include "ui/core/hosts/active_x_wnd.h"
#include "ui/core/manager/window_manager_ui.h"

#include <new>

namespace QuillUI {

namespace {

// A rectangle moved to 0,0.
RECT AtOrigin(RECT rect) {
    OffsetRect(&rect, -rect.left, -rect.top);
    return rect;
}

}  // namespace

CActiveXCtrl::CActiveXCtrl(CActiveXUI* owner) : owner_(owner) {}

CActiveXCtrl::~CActiveXCtrl() {
    DestroyChildWindow();
    if (outerSite_ != nullptr) outerSite_->Release();
    if (viewObject_ != nullptr) viewObject_->Release();
    if (inPlaceObject_ != nullptr) inPlaceObject_->Release();
    if (accelerators_ != nullptr) DestroyAcceleratorTable(accelerators_);
}

void CActiveXCtrl::Detach() {
    UnlockRunning();
    owner_ = nullptr;
}

void CActiveXCtrl::SetViewObject(IViewObject* view) {
    if (viewObject_ != nullptr) viewObject_->Release();
    viewObject_ = view;
}

void CActiveXCtrl::UnlockRunning() {
    if (runningLock_ == nullptr) return;
    IUnknown* object = runningLock_;
    runningLock_ = nullptr;
    OleLockRunning(object, FALSE, FALSE);
}

void CActiveXCtrl::DestroyChildWindow() {
    if (window_ == nullptr) return;
    CActiveXWnd* window = window_;
    window_ = nullptr;
    if (window->GetHWND() != nullptr && IsWindow(window->GetHWND())) DestroyWindow(window->GetHWND());
    delete window;
}

HRESULT CActiveXCtrl::CreateActiveXWnd() {
    if (window_ != nullptr) return S_OK;
    if (owner_ == nullptr || owner_->GetManager() == nullptr) return E_UNEXPECTED;
    window_ = new (std::nothrow) CActiveXWnd(this);
    if (window_ == nullptr) return E_OUTOFMEMORY;
    HWND child = window_->Init(owner_->GetManager()->GetPaintWindow());
    if (child == nullptr) {
        delete window_;
        window_ = nullptr;
        return E_FAIL;
    }
    owner_->hostWindow_ = child;
    return S_OK;
}

// ---- IUnknown ----------------------------------------------------------

STDMETHODIMP CActiveXCtrl::QueryInterface(REFIID iid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleInPlaceSiteWindowless || iid == IID_IOleInPlaceSiteEx ||
        iid == IID_IOleInPlaceSite || iid == IID_IOleWindow)
        *out = static_cast<IOleInPlaceSiteWindowless*>(this);
    else if (iid == IID_IOleClientSite)
        *out = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleControlSite)
        *out = static_cast<IOleControlSite*>(this);
    else if (iid == IID_IObjectWithSite)
        *out = static_cast<IObjectWithSite*>(this);
    else if (iid == IID_IOleContainer || iid == IID_IParseDisplayName)
        *out = static_cast<IOleContainer*>(this);
    if (*out == nullptr) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CActiveXCtrl::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

STDMETHODIMP_(ULONG) CActiveXCtrl::Release() {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

// ---- IObjectWithSite ---------------------------------------------------

STDMETHODIMP CActiveXCtrl::SetSite(IUnknown* site) {
    if (site != nullptr) site->AddRef();
    if (outerSite_ != nullptr) outerSite_->Release();
    outerSite_ = site;
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetSite(REFIID iid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (outerSite_ == nullptr) return E_FAIL;
    return outerSite_->QueryInterface(iid, out);
}

// ---- IOleClientSite ----------------------------------------------------

STDMETHODIMP CActiveXCtrl::SaveObject() { return E_NOTIMPL; }

STDMETHODIMP CActiveXCtrl::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker == nullptr) return E_POINTER;
    *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CActiveXCtrl::GetContainer(IOleContainer** container) {
    if (container == nullptr) return E_POINTER;
    *container = nullptr;
    HRESULT hr = E_NOTIMPL;
    if (outerSite_ != nullptr) hr = outerSite_->QueryInterface(IID_IOleContainer, reinterpret_cast<void**>(container));
    if (FAILED(hr)) hr = QueryInterface(IID_IOleContainer, reinterpret_cast<void**>(container));
    return hr;
}

STDMETHODIMP CActiveXCtrl::ShowObject() {
    if (owner_ == nullptr) return E_UNEXPECTED;
    // Without a host window GetDC would hand out the screen's.
    HDC dc = owner_->hostWindow_ != nullptr ? ::GetDC(owner_->hostWindow_) : nullptr;
    if (dc == nullptr) return E_FAIL;
    if (viewObject_ != nullptr) {
        const RECT& pos = owner_->GetPos();
        RECTL bounds = {pos.left, pos.top, pos.right, pos.bottom};
        viewObject_->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, &bounds, nullptr, 0);
    }
    ::ReleaseDC(owner_->hostWindow_, dc);
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::OnShowWindow(BOOL) { return E_NOTIMPL; }
STDMETHODIMP CActiveXCtrl::RequestNewObjectLayout() { return E_NOTIMPL; }

// ---- IOleInPlaceSiteWindowless -----------------------------------------

STDMETHODIMP CActiveXCtrl::CanWindowlessActivate() { return S_OK; }

STDMETHODIMP CActiveXCtrl::GetCapture() {
    if (owner_ == nullptr) return E_UNEXPECTED;
    return captured_ ? S_OK : S_FALSE;
}

STDMETHODIMP CActiveXCtrl::SetCapture(BOOL capture) {
    if (owner_ == nullptr) return E_UNEXPECTED;
    captured_ = capture == TRUE;
    if (capture)
        ::SetCapture(owner_->hostWindow_);
    else
        ::ReleaseCapture();
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetFocus() {
    if (owner_ == nullptr) return E_UNEXPECTED;
    return focused_ ? S_OK : S_FALSE;
}

STDMETHODIMP CActiveXCtrl::SetFocus(BOOL focus) {
    if (owner_ == nullptr) return E_UNEXPECTED;
    if (focus) owner_->SetFocus();
    focused_ = focus == TRUE;
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetDC(LPCRECT, DWORD flags, HDC* dc) {
    if (dc == nullptr) return E_POINTER;
    *dc = nullptr;
    if (owner_ == nullptr) return E_UNEXPECTED;
    // A windowless object draws when the skinned window paints it.
    if (windowless_) return S_FALSE;
    *dc = ::GetDC(owner_->hostWindow_);
    if ((flags & OLEDC_PAINTBKGND) != 0 && *dc != nullptr) {
        RECT area = owner_->GetPos();
        if (!windowless_) area = AtOrigin(area);
        ::FillRect(*dc, &area, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)));
    }
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::ReleaseDC(HDC dc) {
    if (owner_ == nullptr) return E_UNEXPECTED;
    ::ReleaseDC(owner_->hostWindow_, dc);
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::InvalidateRect(LPCRECT rect, BOOL erase) {
    if (owner_ == nullptr) return E_UNEXPECTED;
    if (owner_->hostWindow_ == nullptr) return E_FAIL;
    return ::InvalidateRect(owner_->hostWindow_, rect, erase) ? S_OK : E_FAIL;
}

STDMETHODIMP CActiveXCtrl::InvalidateRgn(HRGN region, BOOL erase) {
    if (owner_ == nullptr) return E_UNEXPECTED;
    if (owner_->hostWindow_ == nullptr) return E_FAIL;
    return ::InvalidateRgn(owner_->hostWindow_, region, erase) ? S_OK : E_FAIL;
}

STDMETHODIMP CActiveXCtrl::ScrollRect(INT, INT, LPCRECT, LPCRECT) { return S_OK; }
STDMETHODIMP CActiveXCtrl::AdjustRect(LPRECT) { return S_OK; }

STDMETHODIMP CActiveXCtrl::OnDefWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (result == nullptr) return E_POINTER;
    if (owner_ == nullptr) return E_UNEXPECTED;
    *result = ::DefWindowProcW(owner_->hostWindow_, message, wParam, lParam);
    return S_OK;
}

// ---- IOleInPlaceSiteEx -------------------------------------------------

STDMETHODIMP CActiveXCtrl::OnInPlaceActivateEx(BOOL*, DWORD flags) {
    if (owner_ == nullptr || owner_->object_ == nullptr) return E_UNEXPECTED;
    CWindowManagerUI* manager = owner_->GetManager();
    if (manager == nullptr) return E_UNEXPECTED;
    if (runningLock_ == nullptr && SUCCEEDED(OleLockRunning(owner_->object_, TRUE, FALSE)))
        runningLock_ = owner_->object_;
    if (inPlaceObject_ != nullptr) {
        inPlaceObject_->Release();
        inPlaceObject_ = nullptr;
    }
    HRESULT hr = E_FAIL;
    if ((flags & ACTIVATE_WINDOWLESS) != 0) {
        windowless_ = true;
        hr = owner_->object_->QueryInterface(IID_IOleInPlaceObjectWindowless, reinterpret_cast<void**>(&inPlaceObject_));
        owner_->hostWindow_ = manager->GetPaintWindow();
        if (SUCCEEDED(hr)) manager->AddMessageFilter(owner_);
    }
    if (FAILED(hr)) {
        windowless_ = false;
        hr = CreateActiveXWnd();
        if (FAILED(hr)) return hr;
        hr = owner_->object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlaceObject_));
    }
    if (inPlaceObject_ != nullptr) {
        RECT rect = owner_->GetPos();
        if (!windowless_) rect = AtOrigin(rect);
        inPlaceObject_->SetObjectRects(&rect, &rect);
    }
    inPlaceActive_ = SUCCEEDED(hr);
    return hr;
}

STDMETHODIMP CActiveXCtrl::OnInPlaceDeactivateEx(BOOL) {
    inPlaceActive_ = false;
    UnlockRunning();
    if (inPlaceObject_ != nullptr) {
        inPlaceObject_->Release();
        inPlaceObject_ = nullptr;
    }
    DestroyChildWindow();
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::RequestUIActivate() { return S_OK; }

// ---- IOleInPlaceSite ---------------------------------------------------

STDMETHODIMP CActiveXCtrl::CanInPlaceActivate() { return S_OK; }
STDMETHODIMP CActiveXCtrl::OnInPlaceActivate() { return OnInPlaceActivateEx(nullptr, 0); }

STDMETHODIMP CActiveXCtrl::OnUIActivate() {
    uiActivated_ = true;
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                            LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo) {
    if (frame == nullptr || document == nullptr || position == nullptr || clip == nullptr) return E_POINTER;
    *frame = nullptr;
    *document = nullptr;
    if (owner_ == nullptr || owner_->GetManager() == nullptr) return E_UNEXPECTED;
    if (window_ != nullptr && window_->GetHWND() != nullptr) {
        ::GetClientRect(window_->GetHWND(), position);
        ::GetClientRect(window_->GetHWND(), clip);
    } else {
        *position = owner_->GetPos();
        *clip = owner_->GetPos();
    }
    *frame = new (std::nothrow) CActiveXFrameWnd(owner_->GetManager()->GetPaintWindow());
    if (*frame == nullptr) return E_OUTOFMEMORY;
    if (frameInfo != nullptr) {
        if (accelerators_ == nullptr) {
            ACCEL none = {};
            accelerators_ = ::CreateAcceleratorTableW(&none, 1);
        }
        frameInfo->cb = sizeof(OLEINPLACEFRAMEINFO);
        frameInfo->fMDIApp = FALSE;
        frameInfo->hwndFrame = owner_->GetManager()->GetPaintWindow();
        frameInfo->haccel = accelerators_;
        frameInfo->cAccelEntries = accelerators_ != nullptr ? 1 : 0;
    }
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::Scroll(SIZE) { return E_NOTIMPL; }

STDMETHODIMP CActiveXCtrl::OnUIDeactivate(BOOL) {
    uiActivated_ = false;
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::OnInPlaceDeactivate() { return OnInPlaceDeactivateEx(TRUE); }
STDMETHODIMP CActiveXCtrl::DiscardUndoState() { return E_NOTIMPL; }
STDMETHODIMP CActiveXCtrl::DeactivateAndUndo() { return E_NOTIMPL; }
STDMETHODIMP CActiveXCtrl::OnPosRectChange(LPCRECT) { return E_NOTIMPL; }

// ---- IOleWindow --------------------------------------------------------

STDMETHODIMP CActiveXCtrl::GetWindow(HWND* window) {
    if (window == nullptr) return E_POINTER;
    *window = nullptr;
    if (owner_ == nullptr) return E_UNEXPECTED;
    if (owner_->hostWindow_ == nullptr) CreateActiveXWnd();
    if (owner_->hostWindow_ == nullptr) return E_FAIL;
    *window = owner_->hostWindow_;
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::ContextSensitiveHelp(BOOL) { return S_OK; }

// ---- IOleControlSite ---------------------------------------------------

STDMETHODIMP CActiveXCtrl::OnControlInfoChanged() { return S_OK; }
STDMETHODIMP CActiveXCtrl::LockInPlaceActive(BOOL) { return S_OK; }

STDMETHODIMP CActiveXCtrl::GetExtendedControl(IDispatch** dispatch) {
    if (dispatch == nullptr) return E_POINTER;
    *dispatch = nullptr;
    if (owner_ == nullptr || owner_->object_ == nullptr) return E_UNEXPECTED;
    return owner_->object_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch));
}

STDMETHODIMP CActiveXCtrl::TransformCoords(POINTL*, POINTF*, DWORD) { return S_OK; }
STDMETHODIMP CActiveXCtrl::TranslateAccelerator(MSG*, DWORD) { return S_FALSE; }

STDMETHODIMP CActiveXCtrl::OnFocus(BOOL focus) {
    focused_ = focus == TRUE;
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::ShowPropertyFrame() { return E_NOTIMPL; }

// ---- IOleContainer -----------------------------------------------------

STDMETHODIMP CActiveXCtrl::EnumObjects(DWORD, IEnumUnknown** objects) {
    if (objects == nullptr) return E_POINTER;
    *objects = nullptr;
    if (owner_ == nullptr) return E_UNEXPECTED;
    *objects = new (std::nothrow) CActiveXEnum(owner_->object_);
    return *objects != nullptr ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CActiveXCtrl::LockContainer(BOOL lock) {
    locked_ = lock != FALSE;
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::ParseDisplayName(IBindCtx*, LPOLESTR, ULONG*, IMoniker** moniker) {
    if (moniker != nullptr) *moniker = nullptr;
    return E_NOTIMPL;
}

}  // namespace QuillUI
