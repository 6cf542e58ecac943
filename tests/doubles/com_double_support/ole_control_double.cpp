#include "ole_control_double.h"

#include "common/file_util.h"

#include <olectl.h>

namespace comdouble {

namespace {

// What GetWindowContext's rectangles hold until the site writes them.
const LONG kUnwritten = -12345;

bool Unwritten(const RECT& r) { return r.left == kUnwritten && r.top == kUnwritten; }

std::string Yes(const void* p) { return p != nullptr ? "yes" : "no"; }

}  // namespace

OleControlDouble::OleControlDouble(const ControlOptions& options)
    : options_(options), events_(static_cast<IOleObject*>(this), this, options.events, "events") {}

OleControlDouble::~OleControlDouble() {
    CancelSteps(this);
    Log("last Release");
    if (!closed_) Violation("released without Close");
    if (active_) Deactivate();
    if (clientSite_) Violation("released holding the client site: no SetClientSite(NULL)");
    if (outerSite_) Violation("released holding the IObjectWithSite site: no SetSite(NULL)");
    events_.DropAll("released");
    clientSite_.Reset();
    outerSite_.Reset();
}

bool OleControlDouble::Enter(const char* method) { return Enter(std::string(method), method); }

bool OleControlDouble::Enter(const std::string& line, const char* method) {
    Log(line);
    if (!closed_) return true;
    Violation(std::string(method) + " after Close");
    return false;
}

void OleControlDouble::Invalidate() {
    if (window_ != nullptr)
        InvalidateRect(window_, nullptr, TRUE);
    else if (windowlessSite_)
        windowlessSite_.Get()->InvalidateRect(nullptr, FALSE);
}

void OleControlDouble::PaintChild(HDC dc, const RECT& client) { PaintContent(dc, client); }

void OleControlDouble::SetSteps(std::vector<ScenarioStep> steps) {
    steps_ = std::move(steps);
    fileSeen_.assign(steps_.size(), false);
    for (const ScenarioStep& step : steps_) {
        if (step.trigger.compare(0, 5, "file:") != 0) continue;
        Later(50, [this]() { PollFiles(); });
        break;
    }
}

void OleControlDouble::Trigger(const std::string& name) {
    for (const ScenarioStep& step : steps_) {
        if (step.trigger != name) continue;
        std::vector<Word> action = step.action;
        Later(step.delayMs, [this, action]() { RunStep(action); });
    }
}

void OleControlDouble::PollFiles() {
    if (closed_) return;
    for (size_t i = 0; i < steps_.size(); ++i) {
        const ScenarioStep& step = steps_[i];
        if (fileSeen_[i] || step.trigger.compare(0, 5, "file:") != 0) continue;
        if (!FileExists(ModuleFolder() + Widen(step.trigger.substr(5)))) continue;
        fileSeen_[i] = true;
        std::vector<Word> action = step.action;
        Later(step.delayMs, [this, action]() { RunStep(action); });
    }
    Later(50, [this]() { PollFiles(); });
}

HRESULT OleControlDouble::QueryExtra(REFIID, void**) { return E_NOINTERFACE; }
void OleControlDouble::OnClientSiteSet(IOleClientSite*) {}
void OleControlDouble::OnClosing() {}

// IUnknown

STDMETHODIMP OleControlDouble::QueryInterface(REFIID riid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (riid == IID_IUnknown || riid == IID_IOleObject)
        *out = static_cast<IOleObject*>(this);
    else if (riid == IID_IOleControl)
        *out = static_cast<IOleControl*>(this);
    else if (riid == IID_IPersistStreamInit || riid == IID_IPersist)
        *out = static_cast<IPersistStreamInit*>(this);
    else if (riid == IID_IViewObject || riid == IID_IViewObject2 ||
             (riid == IID_IViewObjectEx && options_.windowlessCapable))
        *out = static_cast<IViewObjectEx*>(this);
    else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceObject ||
             (riid == IID_IOleInPlaceObjectWindowless && options_.windowlessCapable))
        *out = static_cast<IOleInPlaceObjectWindowless*>(this);
    else if (riid == IID_IOleInPlaceActiveObject)
        *out = static_cast<IOleInPlaceActiveObject*>(this);
    else if (riid == IID_IRunnableObject)
        *out = static_cast<IRunnableObject*>(this);
    else if (riid == IID_IObjectWithSite && options_.objectWithSite)
        *out = static_cast<IObjectWithSite*>(this);
    else if (riid == IID_IConnectionPointContainer)
        *out = static_cast<IConnectionPointContainer*>(this);
    else {
        HRESULT hr = QueryExtra(riid, out);
        if (FAILED(hr)) Log("QueryInterface " + GuidText(riid) + " -> E_NOINTERFACE");
        return hr;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) OleControlDouble::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

STDMETHODIMP_(ULONG) OleControlDouble::Release() {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

// IOleObject

STDMETHODIMP OleControlDouble::SetClientSite(IOleClientSite* site) {
    Log(std::string("SetClientSite ") + (site != nullptr ? "site" : "null"));
    if (site != nullptr && closed_) Violation("SetClientSite after Close");
    clientSite_.Set(site);
    if (site != nullptr) OnClientSiteSet(site);
    return S_OK;
}

STDMETHODIMP OleControlDouble::GetClientSite(IOleClientSite** site) {
    if (!Enter("GetClientSite")) return E_UNEXPECTED;
    if (site == nullptr) return E_POINTER;
    *site = clientSite_.Get();
    if (*site != nullptr) (*site)->AddRef();
    return S_OK;
}

STDMETHODIMP OleControlDouble::SetHostNames(LPCOLESTR app, LPCOLESTR object) {
    std::string line = "SetHostNames " + (app != nullptr ? "\"" + Narrow(app) + "\"" : std::string("(null)")) +
                       " " + (object != nullptr ? "\"" + Narrow(object) + "\"" : std::string("(null)"));
    return Enter(line, "SetHostNames") ? S_OK : E_UNEXPECTED;
}

STDMETHODIMP OleControlDouble::Close(DWORD saveOption) {
    if (!Enter("Close " + std::to_string(saveOption), "Close")) return E_UNEXPECTED;
    Deactivate();
    OnClosing();
    CancelSteps(this);
    closed_ = true;
    return S_OK;
}

STDMETHODIMP OleControlDouble::SetMoniker(DWORD, IMoniker*) { return Enter("SetMoniker") ? E_NOTIMPL : E_UNEXPECTED; }

STDMETHODIMP OleControlDouble::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker != nullptr) *moniker = nullptr;
    return Enter("GetMoniker") ? E_NOTIMPL : E_UNEXPECTED;
}

STDMETHODIMP OleControlDouble::InitFromData(IDataObject*, BOOL, DWORD) {
    return Enter("InitFromData") ? E_NOTIMPL : E_UNEXPECTED;
}

STDMETHODIMP OleControlDouble::GetClipboardData(DWORD, IDataObject** data) {
    if (data != nullptr) *data = nullptr;
    return Enter("GetClipboardData") ? E_NOTIMPL : E_UNEXPECTED;
}

STDMETHODIMP OleControlDouble::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT rect) {
    std::string line = "DoVerb " + std::to_string(verb) + " site=" + Yes(site) + " parent=" + Yes(parent) +
                       " rect=" + (rect != nullptr ? RectText(*rect) : std::string("(null)"));
    if (!Enter(line, "DoVerb")) return E_UNEXPECTED;
    HRESULT hr = E_NOTIMPL;
    switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:
        hr = ActivateInPlace(site != nullptr ? site : clientSite_.Get(), parent, rect);
        if (SUCCEEDED(hr) && verb == OLEIVERB_UIACTIVATE && !uiActive_) {
            uiActive_ = true;
            Log("site OnUIActivate -> " + HexResult(inPlaceSite_.Get()->OnUIActivate()));
        }
        break;
    case OLEIVERB_HIDE:
        if (window_ != nullptr) ShowWindow(window_, SW_HIDE);
        hr = S_OK;
        break;
    default:
        break;
    }
    Log("DoVerb -> " + HexResult(hr));
    return hr;
}

HRESULT OleControlDouble::ActivateInPlace(IOleClientSite* site, HWND parent, LPCRECT rect) {
    if (active_) return S_OK;
    if (site == nullptr) return E_UNEXPECTED;
    IOleInPlaceSite* inPlace = nullptr;
    if (FAILED(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace))) || inPlace == nullptr) {
        Log("site has no IOleInPlaceSite");
        return E_NOINTERFACE;
    }
    inPlaceSite_.Adopt(inPlace);
    HRESULT hr = inPlace->CanInPlaceActivate();
    Log("site CanInPlaceActivate -> " + HexResult(hr));
    if (hr != S_OK) {
        inPlaceSite_.Reset();
        return E_FAIL;
    }
    bool windowless = false;
    if (options_.windowless) {
        IOleInPlaceSiteWindowless* w = nullptr;
        if (SUCCEEDED(site->QueryInterface(IID_IOleInPlaceSiteWindowless, reinterpret_cast<void**>(&w))) &&
            w != nullptr) {
            windowlessSite_.Adopt(w);
            hr = w->CanWindowlessActivate();
            Log("site CanWindowlessActivate -> " + HexResult(hr));
            windowless = hr == S_OK;
            if (!windowless) windowlessSite_.Reset();
        } else {
            Log("site has no IOleInPlaceSiteWindowless");
        }
    }
    // The platform's browser asks for the site's window before it activates;
    // a windowless object asks once it is active, when the host has decided
    // which window it draws into.
    HWND siteWindow = nullptr;
    auto askWindow = [&]() {
        HRESULT got = inPlace->GetWindow(&siteWindow);
        Log("site GetWindow -> " + HexResult(got) + " window=" + Yes(siteWindow));
    };
    if (windowless) {
        BOOL noRedraw = FALSE;
        hr = windowlessSite_.Get()->OnInPlaceActivateEx(&noRedraw, ACTIVATE_WINDOWLESS);
        Log("site OnInPlaceActivateEx windowless -> " + HexResult(hr));
        if (SUCCEEDED(hr)) askWindow();
    } else {
        askWindow();
        hr = inPlace->OnInPlaceActivate();
        Log("site OnInPlaceActivate -> " + HexResult(hr));
    }
    if (FAILED(hr)) {
        windowlessSite_.Reset();
        inPlaceSite_.Reset();
        return hr;
    }
    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* document = nullptr;
    RECT position = {kUnwritten, kUnwritten, kUnwritten, kUnwritten};
    RECT clip = position;
    OLEINPLACEFRAMEINFO info = {};
    info.cb = sizeof(info);
    hr = inPlace->GetWindowContext(&frame, &document, &position, &clip, &info);
    Log("site GetWindowContext -> " + HexResult(hr) + " position=" + RectText(position) + " clip=" +
        RectText(clip) + " frame=" + Yes(frame) + " document=" + Yes(document));
    if (SUCCEEDED(hr) && (Unwritten(position) || Unwritten(clip)))
        Violation("GetWindowContext succeeded but left a rectangle unwritten");
    if (frame != nullptr) frame->Release();
    if (document != nullptr) document->Release();
    if (SUCCEEDED(hr) && !Unwritten(position))
        position_ = position;
    else if (rect != nullptr)
        position_ = *rect;
    if (!windowless) {
        window_ = CreateChildWindow(siteWindow != nullptr ? siteWindow : parent, position_, this);
        Log(std::string("window ") + (window_ != nullptr ? "created " + RectText(position_) : "not created"));
        if (window_ == nullptr) {
            inPlace->OnInPlaceDeactivate();
            inPlaceSite_.Reset();
            return E_FAIL;
        }
    }
    active_ = true;
    if (!windowless && clientSite_) Log("site ShowObject -> " + HexResult(clientSite_.Get()->ShowObject()));
    return S_OK;
}

void OleControlDouble::Deactivate() {
    if (!active_) return;
    active_ = false;
    if (uiActive_ && inPlaceSite_) {
        uiActive_ = false;
        Log("site OnUIDeactivate -> " + HexResult(inPlaceSite_.Get()->OnUIDeactivate(FALSE)));
    }
    if (window_ != nullptr) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
        window_ = nullptr;
    }
    if (windowlessSite_)
        Log("site OnInPlaceDeactivateEx -> " + HexResult(windowlessSite_.Get()->OnInPlaceDeactivateEx(TRUE)));
    else if (inPlaceSite_)
        Log("site OnInPlaceDeactivate -> " + HexResult(inPlaceSite_.Get()->OnInPlaceDeactivate()));
    windowlessSite_.Reset();
    inPlaceSite_.Reset();
}

STDMETHODIMP OleControlDouble::EnumVerbs(IEnumOLEVERB** verbs) {
    if (verbs != nullptr) *verbs = nullptr;
    return Enter("EnumVerbs") ? E_NOTIMPL : E_UNEXPECTED;
}

STDMETHODIMP OleControlDouble::Update() { return Enter("Update") ? S_OK : E_UNEXPECTED; }
STDMETHODIMP OleControlDouble::IsUpToDate() { return Enter("IsUpToDate") ? S_OK : E_UNEXPECTED; }

STDMETHODIMP OleControlDouble::GetUserClassID(CLSID* clsid) {
    if (!Enter("GetUserClassID")) return E_UNEXPECTED;
    if (clsid == nullptr) return E_POINTER;
    *clsid = options_.clsid;
    return S_OK;
}

STDMETHODIMP OleControlDouble::GetUserType(DWORD, LPOLESTR* type) {
    if (type != nullptr) *type = nullptr;
    return Enter("GetUserType") ? E_NOTIMPL : E_UNEXPECTED;
}

STDMETHODIMP OleControlDouble::SetExtent(DWORD aspect, SIZEL* size) {
    std::string line = "SetExtent " + std::to_string(aspect) + " " +
                       (size != nullptr ? std::to_string(size->cx) + "x" + std::to_string(size->cy) : "(null)");
    if (!Enter(line, "SetExtent")) return E_UNEXPECTED;
    if (size == nullptr) return E_POINTER;
    extent_ = *size;
    return S_OK;
}

STDMETHODIMP OleControlDouble::GetExtent(DWORD, SIZEL* size) {
    if (!Enter("GetExtent")) return E_UNEXPECTED;
    if (size == nullptr) return E_POINTER;
    *size = extent_;
    return S_OK;
}

STDMETHODIMP OleControlDouble::Advise(IAdviseSink*, DWORD* connection) {
    if (connection != nullptr) *connection = 0;
    return Enter("Advise (IAdviseSink)", "Advise") ? E_NOTIMPL : E_UNEXPECTED;
}

STDMETHODIMP OleControlDouble::Unadvise(DWORD) {
    return Enter("Unadvise (IAdviseSink)", "Unadvise") ? E_NOTIMPL : E_UNEXPECTED;
}

STDMETHODIMP OleControlDouble::EnumAdvise(IEnumSTATDATA** advise) {
    if (advise != nullptr) *advise = nullptr;
    return Enter("EnumAdvise") ? E_NOTIMPL : E_UNEXPECTED;
}

STDMETHODIMP OleControlDouble::GetMiscStatus(DWORD aspect, DWORD* status) {
    if (!Enter("GetMiscStatus " + std::to_string(aspect) + " -> " + HexValue(options_.miscStatus), "GetMiscStatus"))
        return E_UNEXPECTED;
    if (status == nullptr) return E_POINTER;
    *status = options_.miscStatus;
    return S_OK;
}

STDMETHODIMP OleControlDouble::SetColorScheme(LOGPALETTE*) {
    return Enter("SetColorScheme") ? E_NOTIMPL : E_UNEXPECTED;
}

// IOleControl

STDMETHODIMP OleControlDouble::GetControlInfo(CONTROLINFO*) {
    return Enter("GetControlInfo") ? E_NOTIMPL : E_UNEXPECTED;
}
STDMETHODIMP OleControlDouble::OnMnemonic(MSG*) { return Enter("OnMnemonic") ? E_NOTIMPL : E_UNEXPECTED; }
STDMETHODIMP OleControlDouble::OnAmbientPropertyChange(DISPID dispid) {
    return Enter("OnAmbientPropertyChange " + std::to_string(dispid), "OnAmbientPropertyChange") ? S_OK
                                                                                               : E_UNEXPECTED;
}
STDMETHODIMP OleControlDouble::FreezeEvents(BOOL freeze) {
    return Enter("FreezeEvents " + std::to_string(freeze), "FreezeEvents") ? S_OK : E_UNEXPECTED;
}

// IPersistStreamInit

STDMETHODIMP OleControlDouble::GetClassID(CLSID* clsid) {
    if (!Enter("GetClassID")) return E_UNEXPECTED;
    if (clsid == nullptr) return E_POINTER;
    *clsid = options_.clsid;
    return S_OK;
}
STDMETHODIMP OleControlDouble::IsDirty() { return Enter("IsDirty") ? S_FALSE : E_UNEXPECTED; }
STDMETHODIMP OleControlDouble::Load(LPSTREAM) { return Enter("Load") ? E_NOTIMPL : E_UNEXPECTED; }
STDMETHODIMP OleControlDouble::Save(LPSTREAM, BOOL) { return Enter("Save") ? E_NOTIMPL : E_UNEXPECTED; }
STDMETHODIMP OleControlDouble::GetSizeMax(ULARGE_INTEGER*) { return Enter("GetSizeMax") ? E_NOTIMPL : E_UNEXPECTED; }
STDMETHODIMP OleControlDouble::InitNew() { return Enter("InitNew") ? S_OK : E_UNEXPECTED; }

// IViewObject, IViewObject2, IViewObjectEx

STDMETHODIMP OleControlDouble::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds,
                                    LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
    RECT r = {};
    if (bounds != nullptr) r = {bounds->left, bounds->top, bounds->right, bounds->bottom};
    if (!Enter("Draw " + std::to_string(aspect) + " bounds=" + (bounds != nullptr ? RectText(r) : "(null)"), "Draw"))
        return E_UNEXPECTED;
    if (dc == nullptr || bounds == nullptr) return E_INVALIDARG;
    PaintContent(dc, r);
    return S_OK;
}

STDMETHODIMP OleControlDouble::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors) {
    if (colors != nullptr) *colors = nullptr;
    return Enter("GetColorSet") ? E_NOTIMPL : E_UNEXPECTED;
}
STDMETHODIMP OleControlDouble::Freeze(DWORD, LONG, void*, DWORD*) { return Enter("Freeze") ? E_NOTIMPL : E_UNEXPECTED; }
STDMETHODIMP OleControlDouble::Unfreeze(DWORD) { return Enter("Unfreeze") ? E_NOTIMPL : E_UNEXPECTED; }
STDMETHODIMP OleControlDouble::SetAdvise(DWORD, DWORD, IAdviseSink*) {
    return Enter("SetAdvise") ? E_NOTIMPL : E_UNEXPECTED;
}
STDMETHODIMP OleControlDouble::GetAdvise(DWORD*, DWORD*, IAdviseSink** sink) {
    if (sink != nullptr) *sink = nullptr;
    return Enter("GetAdvise") ? E_NOTIMPL : E_UNEXPECTED;
}
STDMETHODIMP OleControlDouble::GetExtent(DWORD, LONG, DVTARGETDEVICE*, LPSIZEL) {
    return Enter("GetExtent (view)", "GetExtent") ? E_NOTIMPL : E_UNEXPECTED;
}
STDMETHODIMP OleControlDouble::GetRect(DWORD, LPRECTL) { return Enter("GetRect") ? E_NOTIMPL : E_UNEXPECTED; }

STDMETHODIMP OleControlDouble::GetViewStatus(DWORD* status) {
    if (!Enter("GetViewStatus")) return E_UNEXPECTED;
    if (status == nullptr) return E_POINTER;
    *status = 0;  // transparent: the host paints what lies below
    return S_OK;
}

STDMETHODIMP OleControlDouble::QueryHitPoint(DWORD, LPCRECT bounds, POINT point, LONG, DWORD* hit) {
    if (closed_) {
        Enter("QueryHitPoint");
        return E_UNEXPECTED;
    }
    if (hit == nullptr || bounds == nullptr) return E_POINTER;
    RECT area = options_.hitArea;
    if (IsRectEmpty(&area))
        area = {bounds->left, bounds->top, bounds->right, bounds->top + (bounds->bottom - bounds->top) / 2};
    else
        OffsetRect(&area, bounds->left, bounds->top);
    *hit = PtInRect(&area, point) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
    Log("QueryHitPoint (" + std::to_string(point.x) + "," + std::to_string(point.y) + ") bounds=" +
        RectText(*bounds) + " -> " + (*hit == HITRESULT_HIT ? "hit" : "outside"));
    return S_OK;
}

STDMETHODIMP OleControlDouble::QueryHitRect(DWORD, LPCRECT, LPCRECT, LONG, DWORD*) {
    return Enter("QueryHitRect") ? E_NOTIMPL : E_UNEXPECTED;
}
STDMETHODIMP OleControlDouble::GetNaturalExtent(DWORD, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO*, LPSIZEL) {
    return Enter("GetNaturalExtent") ? E_NOTIMPL : E_UNEXPECTED;
}

// IOleWindow, IOleInPlaceObject, IOleInPlaceObjectWindowless

STDMETHODIMP OleControlDouble::GetWindow(HWND* window) {
    if (!Enter("GetWindow")) return E_UNEXPECTED;
    if (window == nullptr) return E_POINTER;
    *window = window_;
    return window_ != nullptr ? S_OK : E_FAIL;
}
STDMETHODIMP OleControlDouble::ContextSensitiveHelp(BOOL) {
    return Enter("ContextSensitiveHelp") ? E_NOTIMPL : E_UNEXPECTED;
}
STDMETHODIMP OleControlDouble::InPlaceDeactivate() {
    if (!Enter("InPlaceDeactivate")) return E_UNEXPECTED;
    Deactivate();
    return S_OK;
}
STDMETHODIMP OleControlDouble::UIDeactivate() {
    if (!Enter("UIDeactivate")) return E_UNEXPECTED;
    if (uiActive_ && inPlaceSite_) {
        uiActive_ = false;
        Log("site OnUIDeactivate -> " + HexResult(inPlaceSite_.Get()->OnUIDeactivate(FALSE)));
    }
    return S_OK;
}

STDMETHODIMP OleControlDouble::SetObjectRects(LPCRECT position, LPCRECT clip) {
    std::string line = "SetObjectRects " + (position != nullptr ? RectText(*position) : std::string("(null)")) +
                       " clip=" + (clip != nullptr ? RectText(*clip) : std::string("(null)"));
    if (!Enter(line, "SetObjectRects")) return E_UNEXPECTED;
    if (position == nullptr) return E_INVALIDARG;
    position_ = *position;
    if (window_ != nullptr)
        MoveWindow(window_, position->left, position->top, position->right - position->left,
                   position->bottom - position->top, TRUE);
    return S_OK;
}

STDMETHODIMP OleControlDouble::ReactivateAndUndo() { return Enter("ReactivateAndUndo") ? E_NOTIMPL : E_UNEXPECTED; }

STDMETHODIMP OleControlDouble::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    std::string line = "OnWindowMessage " + HexValue(message);
    if ((message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_SETCURSOR)
        line += " point=(" + std::to_string(static_cast<short>(LOWORD(lParam))) + "," +
                std::to_string(static_cast<short>(HIWORD(lParam))) + ")";
    else
        line += " wparam=" + HexValue(static_cast<unsigned long>(wParam));
    if (!Enter(line, "OnWindowMessage")) return E_UNEXPECTED;
    if (result != nullptr) *result = 0;
    return S_OK;
}

STDMETHODIMP OleControlDouble::GetDropTarget(IDropTarget** target) {
    if (target != nullptr) *target = nullptr;
    return Enter("GetDropTarget") ? E_NOTIMPL : E_UNEXPECTED;
}

// IOleInPlaceActiveObject

STDMETHODIMP OleControlDouble::TranslateAccelerator(LPMSG message) {
    if (message == nullptr) return Enter("TranslateAccelerator (null)", "TranslateAccelerator") ? E_POINTER
                                                                                               : E_UNEXPECTED;
    bool taken = options_.acceleratorKey != 0 && message->message == WM_KEYDOWN &&
                 message->wParam == options_.acceleratorKey;
    if (!Enter("TranslateAccelerator message=" + HexValue(message->message) +
                   " key=" + HexValue(static_cast<unsigned long>(message->wParam)) + " -> " + (taken ? "S_OK" : "S_FALSE"),
               "TranslateAccelerator"))
        return E_UNEXPECTED;
    return taken ? S_OK : S_FALSE;
}

STDMETHODIMP OleControlDouble::OnFrameWindowActivate(BOOL) {
    return Enter("OnFrameWindowActivate") ? S_OK : E_UNEXPECTED;
}
STDMETHODIMP OleControlDouble::OnDocWindowActivate(BOOL) { return Enter("OnDocWindowActivate") ? S_OK : E_UNEXPECTED; }
STDMETHODIMP OleControlDouble::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) {
    return Enter("ResizeBorder") ? S_OK : E_UNEXPECTED;
}
STDMETHODIMP OleControlDouble::EnableModeless(BOOL) { return Enter("EnableModeless") ? S_OK : E_UNEXPECTED; }

// IRunnableObject

STDMETHODIMP OleControlDouble::GetRunningClass(LPCLSID clsid) {
    if (!Enter("GetRunningClass")) return E_UNEXPECTED;
    if (clsid == nullptr) return E_POINTER;
    *clsid = options_.clsid;
    return S_OK;
}
STDMETHODIMP OleControlDouble::Run(LPBINDCTX) { return Enter("Run") ? S_OK : E_UNEXPECTED; }
STDMETHODIMP_(BOOL) OleControlDouble::IsRunning() { return Enter("IsRunning") ? TRUE : FALSE; }

// A running lock keeps the object alive, as the system's external lock does:
// a lock never released shows as a live object and a lock at teardown. The
// lock may be released after Close.
STDMETHODIMP OleControlDouble::LockRunning(BOOL lock, BOOL lastUnlockCloses) {
    Log("LockRunning " + std::to_string(lock) + " " + std::to_string(lastUnlockCloses));
    if (lock && closed_) {
        Violation("LockRunning after Close");
        return E_UNEXPECTED;
    }
    if (lock) {
        ++runningLocks_;
        AddCount(kLocks, 1);
        AddRef();
    } else if (runningLocks_ > 0) {
        --runningLocks_;
        AddCount(kLocks, -1);
        Release();
    } else {
        Violation("LockRunning(FALSE) without a lock");
    }
    return S_OK;
}

STDMETHODIMP OleControlDouble::SetContainedObject(BOOL) { return Enter("SetContainedObject") ? S_OK : E_UNEXPECTED; }

// IObjectWithSite

STDMETHODIMP OleControlDouble::SetSite(IUnknown* site) {
    Log(std::string("SetSite ") + (site != nullptr ? "site" : "null"));
    if (site != nullptr && closed_) Violation("SetSite after Close");
    outerSite_.Set(site);
    return S_OK;
}

STDMETHODIMP OleControlDouble::GetSite(REFIID riid, void** site) {
    if (!Enter("GetSite")) return E_UNEXPECTED;
    if (site == nullptr) return E_POINTER;
    *site = nullptr;
    return outerSite_ ? outerSite_.Get()->QueryInterface(riid, site) : E_FAIL;
}

// IConnectionPointContainer

STDMETHODIMP OleControlDouble::EnumConnectionPoints(IEnumConnectionPoints** points) {
    if (points != nullptr) *points = nullptr;
    return Enter("EnumConnectionPoints") ? E_NOTIMPL : E_UNEXPECTED;
}

STDMETHODIMP OleControlDouble::FindConnectionPoint(REFIID riid, IConnectionPoint** point) {
    if (!Enter("FindConnectionPoint " + GuidText(riid), "FindConnectionPoint")) return E_UNEXPECTED;
    if (point == nullptr) return E_POINTER;
    *point = nullptr;
    if (riid != options_.events) return CONNECT_E_NOCONNECTION;
    *point = &events_;
    events_.AddRef();
    return S_OK;
}

}  // namespace comdouble
