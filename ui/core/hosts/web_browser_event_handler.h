// What a program supplies to a web browser control: the page's events and
// the document host's questions. Every operation has a default; the
// defaults that have an out pointer write null into it before answering.
#pragma once
#include "ui/core/hosts/com_declarations_ui.h"

namespace QuillUI {

class CWebBrowserEventHandler {
public:
    CWebBrowserEventHandler() = default;
    virtual ~CWebBrowserEventHandler() = default;

    // The VARIANTs are the event's own: the URL holds a BSTR, and writing
    // VARIANT_TRUE through CANCEL stops the navigation.
    virtual void BeforeNavigate2(IDispatch* browser, VARIANT* url, VARIANT* flags, VARIANT* targetFrame,
                                 VARIANT* postData, VARIANT* headers, VARIANT_BOOL* cancel) {
        (void)browser, (void)url, (void)flags, (void)targetFrame, (void)postData, (void)headers, (void)cancel;
    }
    virtual void NavigateError(IDispatch* browser, VARIANT* url, VARIANT* frame, VARIANT* statusCode,
                               VARIANT_BOOL* cancel) {
        (void)browser, (void)url, (void)frame, (void)statusCode, (void)cancel;
    }
    virtual void NavigateComplete2(IDispatch* browser, VARIANT* url) { (void)browser, (void)url; }
    virtual void DocumentComplete(IDispatch* browser, VARIANT* url) { (void)browser, (void)url; }
    // Never called.
    virtual void SpareEvent4(WPARAM first, LPARAM second) { (void)first, (void)second; }
    virtual void NewWindow3(IDispatch** window, VARIANT_BOOL* cancel, DWORD flags, BSTR urlContext, BSTR url) {
        (void)window, (void)cancel, (void)flags, (void)urlContext, (void)url;
    }
    virtual void CommandStateChange(long command, VARIANT_BOOL enable) { (void)command, (void)enable; }
    virtual void OnBrowserCreated() {}

    virtual HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD id, POINT* point, IUnknown* commandTarget,
                                                      IDispatch* object) {
        (void)id, (void)point, (void)commandTarget, (void)object;
        return S_OK;
    }
    virtual HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* info) {
        (void)info;
        return S_OK;
    }
    virtual HRESULT STDMETHODCALLTYPE ShowUI(DWORD id, IOleInPlaceActiveObject* activeObject,
                                             IOleCommandTarget* commandTarget, IOleInPlaceFrame* frame,
                                             IOleInPlaceUIWindow* document) {
        (void)id, (void)activeObject, (void)commandTarget, (void)frame, (void)document;
        return S_FALSE;
    }
    virtual HRESULT STDMETHODCALLTYPE HideUI() { return S_OK; }
    virtual HRESULT STDMETHODCALLTYPE UpdateUI() { return S_OK; }
    virtual HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) {
        (void)enable;
        return S_OK;
    }
    virtual HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL activate) {
        (void)activate;
        return S_OK;
    }
    virtual HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL activate) {
        (void)activate;
        return S_OK;
    }
    virtual HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow) {
        (void)border, (void)window, (void)frameWindow;
        return S_OK;
    }
    virtual HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message, const GUID* commandGroup, DWORD commandId) {
        (void)message, (void)commandGroup, (void)commandId;
        return S_FALSE;
    }
    virtual HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR* key, DWORD reserved) {
        (void)reserved;
        if (key != nullptr) *key = nullptr;
        return E_NOTIMPL;
    }
    virtual HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget* dropTarget, IDropTarget** replacement) {
        (void)dropTarget;
        if (replacement != nullptr) *replacement = nullptr;
        return E_NOTIMPL;
    }
    virtual HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** external) {
        if (external != nullptr) *external = nullptr;
        return E_NOTIMPL;
    }
    // "Not translated": the browser keeps the URL.
    virtual HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD flags, LPWSTR url, LPWSTR* translated) {
        (void)flags, (void)url;
        if (translated != nullptr) *translated = nullptr;
        return E_NOTIMPL;
    }
    // "Not replaced": the browser keeps the data object.
    virtual HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject* object, IDataObject** replacement) {
        (void)object;
        if (replacement != nullptr) *replacement = nullptr;
        return E_NOTIMPL;
    }
    virtual HRESULT STDMETHODCALLTYPE ForwardedCall8(LPARAM a, LPARAM b, LPARAM c, LPARAM d, LPARAM e, LPARAM f,
                                                     LPARAM g, LPARAM h) {
        (void)a, (void)b, (void)c, (void)d, (void)e, (void)f, (void)g, (void)h;
        return S_OK;
    }
};

}  // namespace QuillUI
