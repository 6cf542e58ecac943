// The OLE control part the browser and Flash doubles share: creation and
// in-place activation as the real controls do them, windowed (a child
// window of its own) or windowless (drawn and fed by the host), one event
// connection point, running locks, and the host-side checks: every call is
// logged, calls after Close are violations, and what the host still holds or
// left with the object at its end is reported.
#pragma once
#include "connection_point.h"
#include "double_log.h"
#include "scenario_file.h"
#include "scheduler.h"

#include <ocidl.h>
#include <oleidl.h>

#include <string>
#include <vector>

namespace comdouble {

struct ControlOptions {
    CLSID clsid = {};
    IID events = {};
    DWORD miscStatus = 0;
    bool windowless = false;  // asks the site for windowless activation
    bool objectWithSite = false;
    // Answers IViewObjectEx and IOleInPlaceObjectWindowless.
    bool windowlessCapable = false;
    // The part of the object's rectangle that QueryHitPoint answers as hit,
    // relative to its top-left; empty: the upper half.
    RECT hitArea = {};
    // WM_KEYDOWN of this key is taken by TranslateAccelerator (0: none).
    WPARAM acceleratorKey = 0;
};

class OleControlDouble : public IOleObject,
                         public IOleControl,
                         public IPersistStreamInit,
                         public IViewObjectEx,
                         public IOleInPlaceObjectWindowless,
                         public IOleInPlaceActiveObject,
                         public IRunnableObject,
                         public IObjectWithSite,
                         public IConnectionPointContainer,
                         protected ChildPainter {
public:
    explicit OleControlDouble(const ControlOptions& options);

    IUnknown* Identity() { return static_cast<IOleObject*>(this); }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override;
    STDMETHODIMP GetClientSite(IOleClientSite** site) override;
    STDMETHODIMP SetHostNames(LPCOLESTR app, LPCOLESTR object) override;
    STDMETHODIMP Close(DWORD saveOption) override;
    STDMETHODIMP SetMoniker(DWORD which, IMoniker* moniker) override;
    STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    STDMETHODIMP InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
    STDMETHODIMP GetClipboardData(DWORD reserved, IDataObject** data) override;
    STDMETHODIMP DoVerb(LONG verb, LPMSG message, IOleClientSite* site, LONG index, HWND parent,
                        LPCRECT rect) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override;
    STDMETHODIMP Update() override;
    STDMETHODIMP IsUpToDate() override;
    STDMETHODIMP GetUserClassID(CLSID* clsid) override;
    STDMETHODIMP GetUserType(DWORD form, LPOLESTR* type) override;
    STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP Advise(IAdviseSink* sink, DWORD* connection) override;
    STDMETHODIMP Unadvise(DWORD connection) override;
    STDMETHODIMP EnumAdvise(IEnumSTATDATA** advise) override;
    STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE* palette) override;

    // IOleControl
    STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
    STDMETHODIMP OnMnemonic(MSG* message) override;
    STDMETHODIMP OnAmbientPropertyChange(DISPID dispid) override;
    STDMETHODIMP FreezeEvents(BOOL freeze) override;

    // IPersistStreamInit
    STDMETHODIMP GetClassID(CLSID* clsid) override;
    STDMETHODIMP IsDirty() override;
    STDMETHODIMP Load(LPSTREAM stream) override;
    STDMETHODIMP Save(LPSTREAM stream, BOOL clearDirty) override;
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
    STDMETHODIMP InitNew() override;

    // IViewObject, IViewObject2, IViewObjectEx
    STDMETHODIMP Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device, HDC targetDevice,
                      HDC dc, LPCRECTL bounds, LPCRECTL windowBounds, BOOL(STDMETHODCALLTYPE* cont)(ULONG_PTR),
                      ULONG_PTR continueArgument) override;
    STDMETHODIMP GetColorSet(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device, HDC targetDevice,
                             LOGPALETTE** colors) override;
    STDMETHODIMP Freeze(DWORD aspect, LONG index, void* aspectInfo, DWORD* freeze) override;
    STDMETHODIMP Unfreeze(DWORD freeze) override;
    STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
    STDMETHODIMP GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, LPSIZEL size) override;
    STDMETHODIMP GetRect(DWORD aspect, LPRECTL rect) override;
    STDMETHODIMP GetViewStatus(DWORD* status) override;
    STDMETHODIMP QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT point, LONG closeHint, DWORD* hit) override;
    STDMETHODIMP QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT rect, LONG closeHint, DWORD* hit) override;
    STDMETHODIMP GetNaturalExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, HDC targetDevice,
                                  DVEXTENTINFO* info, LPSIZEL size) override;

    // IOleWindow, IOleInPlaceObject, IOleInPlaceObjectWindowless
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enter) override;
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override;
    STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override;
    STDMETHODIMP ReactivateAndUndo() override;
    STDMETHODIMP OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    STDMETHODIMP GetDropTarget(IDropTarget** target) override;

    // IOleInPlaceActiveObject
    STDMETHODIMP TranslateAccelerator(LPMSG message) override;
    STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
    STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
    STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frame) override;
    STDMETHODIMP EnableModeless(BOOL enable) override;

    // IRunnableObject
    STDMETHODIMP GetRunningClass(LPCLSID clsid) override;
    STDMETHODIMP Run(LPBINDCTX context) override;
    STDMETHODIMP_(BOOL) IsRunning() override;
    STDMETHODIMP LockRunning(BOOL lock, BOOL lastUnlockCloses) override;
    STDMETHODIMP SetContainedObject(BOOL contained) override;

    // IObjectWithSite
    STDMETHODIMP SetSite(IUnknown* site) override;
    STDMETHODIMP GetSite(REFIID riid, void** site) override;

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
    STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;

protected:
    virtual ~OleControlDouble();

    // The double's own interfaces beyond the shared ones.
    virtual HRESULT QueryExtra(REFIID riid, void** out);
    virtual void PaintContent(HDC dc, const RECT& bounds) = 0;
    virtual void OnClientSiteSet(IOleClientSite* site);
    virtual void OnClosing();

    // Logs METHOD; false, logging a violation, once Close has run.
    bool Enter(const char* method);
    bool Enter(const std::string& line, const char* method);
    void Invalidate();
    // The scenario's steps. Trigger(NAME) schedules each step whose trigger
    // is NAME, after its delay; a "file:NAME" step runs once NAME appears
    // beside the DLL. RunStep plays a step's action.
    void SetSteps(std::vector<ScenarioStep> steps);
    void Trigger(const std::string& name);
    virtual HRESULT RunStep(const std::vector<Word>& action) = 0;

    // Runs STEP later from the message loop, the object kept alive while it
    // runs; the object's end drops what is still pending.
    template <class F>
    void Later(DWORD delayMs, F step) {
        Schedule(this, delayMs, [this, step]() {
            AddRef();
            step();
            Release();
        });
    }

    bool Closed() const { return closed_; }
    HWND Window() const { return window_; }
    const RECT& Position() const { return position_; }
    IOleClientSite* ClientSite() const { return clientSite_.Get(); }
    ConnectionPoint& Events() { return events_; }
    const ControlOptions& Options() const { return options_; }

private:
    void PaintChild(HDC dc, const RECT& client) override;
    HRESULT ActivateInPlace(IOleClientSite* site, HWND parent, LPCRECT rect);
    void Deactivate();
    void PollFiles();

    LiveObject live_;
    LONG refs_ = 1;
    ControlOptions options_;
    HostRef<IOleClientSite> clientSite_;
    HostRef<IOleInPlaceSite> inPlaceSite_;
    HostRef<IOleInPlaceSiteWindowless> windowlessSite_;
    HostRef<IUnknown> outerSite_;
    ConnectionPoint events_;
    HWND window_ = nullptr;
    RECT position_ = {};
    SIZEL extent_ = {};
    bool active_ = false;
    bool uiActive_ = false;
    bool closed_ = false;
    long runningLocks_ = 0;
    std::vector<ScenarioStep> steps_;
    std::vector<bool> fileSeen_;
};

}  // namespace comdouble
