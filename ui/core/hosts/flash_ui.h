// A control that hosts the Flash player: it loads the movie named by "swf"
// from the resource folder, plays it with a transparent background and
// script access, and passes the movie's events to a CFlashEventHandler.
#pragma once
#include "ui/core/hosts/active_x_ui.h"
#include "ui/core/hosts/flash_event_handler.h"

namespace QuillUI {

class CFlashUI : public CActiveXUI, public _IShockwaveFlashEvents, public ITranslateAccelerator {
public:
    CFlashUI();
    ~CFlashUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void ReleaseControl() override;
    bool DoCreateControl() override;

    // Null detaches the current handler.
    void SetFlashEventHandler(CFlashEventHandler* handler);
    CFlashEventHandler* GetFlashEventHandler() const { return handler_; }
    const CWideString& GetMovieFile() const { return movieFile_; }
    void SetMovieFile(const wchar_t* file) { movieFile_ = file != nullptr ? file : L""; }
    // S_FALSE without a movie.
    HRESULT RegisterEventHandler(bool advise);

    // The event sink: its count lives with the control, which it never deletes.
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argumentError) override;

    LRESULT TranslateAccelerator(MSG* message) override;

    // The movie, for the program to call; null until created.
    IShockwaveFlash* movie = nullptr;

private:
    // The resource folder and the movie file, joined by one separator.
    CWideString MoviePath() const;

    LONG refs_ = 0;
    DWORD cookie_ = 0;
    CFlashEventHandler* handler_ = nullptr;
    CWideString movieFile_;
};

}  // namespace QuillUI
