#include "ui/core/hosts/active_x_ui.h"

#include "ui/core/markup/attribute_value_ui.h"
#include "ui/core/hosts/active_x_ctrl.h"
#include "ui/core/hosts/active_x_wnd.h"
#include "ui/core/manager/window_manager_ui.h"

#include <windowsx.h>

#include <cwchar>
#include <new>

namespace QuillUI {

namespace {

bool IsNullClsid(const CLSID& clsid) { return clsid == GUID_NULL; }

// A size in pixels as HIMETRIC on the screen.
SIZEL ToHimetric(int width, int height) {
    SIZEL extent = {width, height};
    HDC screen = ::GetDC(nullptr);
    if (screen == nullptr) return extent;
    extent.cx = MulDiv(width, 2540, GetDeviceCaps(screen, LOGPIXELSX));
    extent.cy = MulDiv(height, 2540, GetDeviceCaps(screen, LOGPIXELSY));
    ::ReleaseDC(nullptr, screen);
    return extent;
}

// The object from the module's own class factory, or null.
IUnknown* CreateFromModule(const wchar_t* module, const CLSID& clsid) {
    HMODULE library = LoadLibraryW(module);
    if (library == nullptr) return nullptr;
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto get = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(library, "DllGetClassObject")));
    if (get == nullptr) return nullptr;
    IClassFactory* factory = nullptr;
    IUnknown* object = nullptr;
    if (SUCCEEDED(get(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory))) && factory != nullptr) {
        if (FAILED(factory->CreateInstance(nullptr, IID_IOleObject, reinterpret_cast<void**>(&object))))
            object = nullptr;
    }
    if (factory != nullptr) factory->Release();
    // The module stays loaded: the object's code lives there.
    return object;
}

bool IsMouseMessage(UINT message) { return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST; }
bool IsKeyMessage(UINT message) { return message >= WM_KEYFIRST && message <= WM_KEYLAST; }

}  // namespace

CActiveXUI::CActiveXUI() {
    SetBuildWeight(kBuildWeight);
    const HRESULT hr = CoInitialize(nullptr);
    comInitialised_ = hr == S_OK || hr == S_FALSE;
}

CActiveXUI::~CActiveXUI() {
    ReleaseObject();
    if (comInitialised_) CoUninitialize();
}

const wchar_t* CActiveXUI::GetClass() const { return L"ActiveX"; }

void* CActiveXUI::GetInterface(const wchar_t* name) {
    if (name != nullptr && wcscmp(name, L"ActiveX") == 0) return this;
    return CControlUI::GetInterface(name);
}

UINT CActiveXUI::GetControlFlags() const { return 1; }

HWND CActiveXUI::GetNativeWindow() const { return hostWindow_; }

void CActiveXUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr || value == nullptr) return;
    if (wcscmp(name, L"clsid") == 0)
        CreateControl(value);
    else if (wcscmp(name, L"modulename") == 0)
        SetModuleName(value);
    else if (wcscmp(name, L"delaycreate") == 0)
        SetDelayCreate(IsTrueValue(value));
    else
        CControlUI::SetAttribute(name, value);
}

bool CActiveXUI::CreateControl(const wchar_t* text) {
    if (text == nullptr) return false;
    wchar_t buffer[100] = {};
    wcsncpy(buffer, text, 99);
    CLSID clsid = {};
    HRESULT hr = buffer[0] == L'{' ? CLSIDFromString(buffer, &clsid) : CLSIDFromProgID(buffer, &clsid);
    if (FAILED(hr)) clsid = GUID_NULL;
    return CreateControl(clsid);
}

bool CActiveXUI::CreateControl(const CLSID& clsid) {
    if (IsNullClsid(clsid)) return false;
    created_ = false;
    clsid_ = clsid;
    if (!delayCreate_) DoCreateControl();
    return true;
}

void CActiveXUI::SetDelayCreate(bool delay) {
    if (delayCreate_ != delay && !delay && !created_ && !IsNullClsid(clsid_)) DoCreateControl();
    delayCreate_ = delay;
}

void CActiveXUI::SetModuleName(const wchar_t* name) { moduleName_ = name != nullptr ? name : L""; }

HRESULT CActiveXUI::GetControl(REFIID iid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (object_ == nullptr) return E_PENDING;
    return object_->QueryInterface(iid, out);
}

void CActiveXUI::SetPos(RECT rect, bool needInvalidate) {
    CControlUI::SetPos(rect, needInvalidate);
    if (!created_) DoCreateControl();
    if (object_ == nullptr || site_ == nullptr) return;
    const RECT& pos = GetPos();
    SIZEL extent = ToHimetric(pos.right - pos.left, pos.bottom - pos.top);
    object_->SetExtent(DVASPECT_CONTENT, &extent);
    RECT objectRect = pos;
    if (!site_->IsWindowless()) OffsetRect(&objectRect, -objectRect.left, -objectRect.top);
    if (site_->GetInPlaceObject() != nullptr) site_->GetInPlaceObject()->SetObjectRects(&objectRect, &objectRect);
    if (!site_->IsWindowless() && site_->GetChildWindow() != nullptr)
        ::MoveWindow(site_->GetChildWindow()->GetHWND(), pos.left, pos.top, pos.right - pos.left,
                     pos.bottom - pos.top, TRUE);
}

void CActiveXUI::Move(int dx, int dy, bool needInvalidate) {
    CControlUI::Move(dx, dy, needInvalidate);
    if (site_ == nullptr || site_->IsWindowless() || site_->GetChildWindow() == nullptr) return;
    const RECT& pos = GetPos();
    ::MoveWindow(site_->GetChildWindow()->GetHWND(), pos.left, pos.top, pos.right - pos.left, pos.bottom - pos.top,
                 TRUE);
}

void CActiveXUI::SetVisible(bool visible) {
    CControlUI::SetVisible(visible);
    if (hostWindow_ != nullptr && site_ != nullptr && !site_->IsWindowless())
        ::ShowWindow(hostWindow_, IsVisible() ? SW_SHOW : SW_HIDE);
}

void CActiveXUI::SetInternVisible(bool visible) {
    CControlUI::SetInternVisible(visible);
    if (hostWindow_ != nullptr && site_ != nullptr && !site_->IsWindowless())
        ::ShowWindow(hostWindow_, IsVisible() ? SW_SHOW : SW_HIDE);
}

bool CActiveXUI::DoPaint(HDC dc, const RECT&, CControlUI*) {
    if (site_ != nullptr && site_->IsWindowless() && site_->GetViewObject() != nullptr) {
        const RECT& pos = GetPos();
        RECTL bounds = {pos.left, pos.top, pos.right, pos.bottom};
        site_->GetViewObject()->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, &bounds, nullptr,
                                     0);
    }
    return true;
}

void CActiveXUI::ReleaseControl() { ReleaseObject(); }

void CActiveXUI::ReleaseObject() {
    hostWindow_ = nullptr;
    if (object_ != nullptr) {
        IObjectWithSite* withSite = nullptr;
        if (SUCCEEDED(object_->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(&withSite)))) {
            withSite->SetSite(nullptr);
            withSite->Release();
        }
        object_->Close(OLECLOSE_NOSAVE);
        // An object that did not deactivate on Close still holds its lock.
        if (site_ != nullptr) site_->UnlockRunning();
        object_->SetClientSite(nullptr);
        object_->Release();
        object_ = nullptr;
    }
    if (site_ != nullptr) {
        if (manager_ != nullptr && site_->GetChildWindow() != nullptr)
            manager_->RemoveNativeWindow(site_->GetChildWindow()->GetHWND());
        site_->Detach();
        site_->Release();
        site_ = nullptr;
    }
    if (manager_ != nullptr) manager_->RemoveMessageFilter(this);
}

bool CActiveXUI::DoCreateControl() {
    ReleaseControl();
    // A derived release may leave the object for its destructor; a new
    // object must not be stored over it.
    ReleaseObject();
    // Activation needs the skinned window: without it the attempt waits
    // for the first layout under a manager.
    if (manager_ == nullptr || manager_->GetPaintWindow() == nullptr) return false;
    created_ = true;

    IUnknown* created = nullptr;
    if (!moduleName_.IsEmpty()) created = CreateFromModule(moduleName_.GetData(), clsid_);
    if (created == nullptr) {
        const DWORD context = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
        if (FAILED(CoCreateInstance(clsid_, nullptr, context, IID_IOleControl, reinterpret_cast<void**>(&created))))
            return false;
    }
    HRESULT hr = created->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object_));
    created->Release();
    if (FAILED(hr) || object_ == nullptr) {
        object_ = nullptr;
        return false;
    }

    site_ = new (std::nothrow) CActiveXCtrl(this);
    if (site_ == nullptr) return false;
    DWORD misc = 0;
    object_->GetMiscStatus(DVASPECT_CONTENT, &misc);
    IOleClientSite* clientSite = nullptr;
    site_->QueryInterface(IID_IOleClientSite, reinterpret_cast<void**>(&clientSite));

    if ((misc & OLEMISC_SETCLIENTSITEFIRST) != 0) object_->SetClientSite(clientSite);
    IPersistStreamInit* persist = nullptr;
    hr = S_OK;
    if (SUCCEEDED(object_->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)))) {
        hr = persist->InitNew();
        persist->Release();
    }
    if (FAILED(hr)) {
        clientSite->Release();
        return false;
    }
    if ((misc & OLEMISC_SETCLIENTSITEFIRST) == 0) object_->SetClientSite(clientSite);

    IViewObject* view = nullptr;
    if (FAILED(object_->QueryInterface(IID_IViewObjectEx, reinterpret_cast<void**>(&view))) &&
        FAILED(object_->QueryInterface(IID_IViewObject2, reinterpret_cast<void**>(&view))) &&
        FAILED(object_->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(&view))))
        view = nullptr;
    site_->SetViewObject(view);

    object_->SetHostNames(L"UIActiveX", nullptr);
    if (manager_ != nullptr) manager_->SendNotify(this, L"showactivex", 0, 0);

    if ((misc & OLEMISC_INVISIBLEATRUNTIME) == 0 && object_ != nullptr && manager_ != nullptr) {
        const RECT& pos = GetPos();
        hr = object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, clientSite, 0, manager_->GetPaintWindow(), &pos);
    }
    if (object_ != nullptr) {
        IObjectWithSite* withSite = nullptr;
        if (SUCCEEDED(object_->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(&withSite)))) {
            withSite->SetSite(clientSite);
            withSite->Release();
        }
    }
    clientSite->Release();
    return SUCCEEDED(hr);
}

HRESULT CActiveXUI::ConnectEvents(IUnknown* source, REFIID events, IUnknown* sink, bool advise, DWORD& cookie) {
    IConnectionPointContainer* container = nullptr;
    HRESULT hr = source->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
    if (FAILED(hr)) return hr;
    IConnectionPoint* point = nullptr;
    hr = container->FindConnectionPoint(events, &point);
    container->Release();
    if (FAILED(hr)) return hr;
    if (advise) {
        hr = point->Advise(sink, &cookie);
    } else if (cookie != 0) {
        hr = point->Unadvise(cookie);
        cookie = 0;
    }
    point->Release();
    return hr;
}

LRESULT CActiveXUI::TranslateForObject(IUnknown* object, MSG* message) const {
    if (message == nullptr || message->message < WM_KEYFIRST || message->message > WM_KEYLAST) return S_FALSE;
    if (object == nullptr) return E_NOTIMPL;
    HWND focus = ::GetFocus();
    HWND host = GetNativeWindow();
    while (focus != nullptr && focus != host) focus = ::GetParent(focus);
    if (focus == nullptr || host == nullptr) return S_FALSE;
    IOleInPlaceActiveObject* active = nullptr;
    if (FAILED(object->QueryInterface(IID_IOleInPlaceActiveObject, reinterpret_cast<void**>(&active)))) return S_FALSE;
    const HRESULT hr = active->TranslateAccelerator(message);
    active->Release();
    return hr;
}

POINT CActiveXUI::MessagePoint(UINT message, LPARAM lParam) const {
    POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    HWND window = manager_ != nullptr ? manager_->GetPaintWindow() : nullptr;
    if (message == WM_SETCURSOR) {
        ::GetCursorPos(&point);
        ::ScreenToClient(window, &point);
    } else if (message == WM_MOUSEWHEEL) {
        ::ScreenToClient(window, &point);
    }
    return point;
}

LRESULT CActiveXUI::MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (site_ == nullptr || !site_->IsInPlaceActive() || site_->GetInPlaceObject() == nullptr) return 0;
    // A hidden or disabled object leaves its area to the controls below.
    if (!IsVisible() || !IsEnabled()) return 0;
    const bool mouse = IsMouseMessage(message);
    if (mouse && !IsMouseEnabled()) return 0;
    bool passOnly = false;
    if (mouse || message == WM_SETCURSOR) {
        DWORD hit = HITRESULT_OUTSIDE;
        if (site_->IsCaptured()) {
            hit = HITRESULT_HIT;
        } else if (site_->GetViewObject() != nullptr) {
            IViewObjectEx* viewEx = nullptr;
            if (SUCCEEDED(site_->GetViewObject()->QueryInterface(IID_IViewObjectEx, reinterpret_cast<void**>(&viewEx)))) {
                const RECT& pos = GetPos();
                viewEx->QueryHitPoint(DVASPECT_CONTENT, &pos, MessagePoint(message, lParam), 0, &hit);
                viewEx->Release();
            }
        }
        if (hit != HITRESULT_HIT) return 0;
        if (message == WM_SETCURSOR) passOnly = true;
        if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDOWN) {
            if (manager_ != nullptr && !manager_->IsNoActivate()) ::SetFocus(manager_->GetPaintWindow());
            SetFocus();
        }
    } else if (IsKeyMessage(message)) {
        if (!IsFocused()) return 0;
    } else if (message == WM_HELP || message == WM_CONTEXTMENU) {
        passOnly = true;
    } else {
        return 0;
    }
    IOleInPlaceObjectWindowless* windowless = nullptr;
    if (FAILED(site_->GetInPlaceObject()->QueryInterface(IID_IOleInPlaceObjectWindowless,
                                                          reinterpret_cast<void**>(&windowless))))
        return 0;
    LRESULT result = 0;
    const HRESULT hr = windowless->OnWindowMessage(message, wParam, lParam, &result);
    windowless->Release();
    if (hr == S_OK && !passOnly) handled = true;
    return result;
}

}  // namespace QuillUI
