// What a program supplies to a Flash control: the movie's events. The
// control holds the handler through the handler's own AddRef and Release.
#pragma once
#include "ui/core/hosts/com_declarations_ui.h"

namespace QuillUI {

class CFlashEventHandler {
public:
    CFlashEventHandler() = default;
    virtual ~CFlashEventHandler() = default;

    virtual ULONG STDMETHODCALLTYPE Release() { return 0; }
    virtual ULONG STDMETHODCALLTYPE AddRef() { return 0; }
    virtual HRESULT STDMETHODCALLTYPE OnReadyStateChange(long newState) {
        (void)newState;
        return S_OK;
    }
    virtual HRESULT STDMETHODCALLTYPE OnProgress(long percentDone) {
        (void)percentDone;
        return S_OK;
    }
    virtual HRESULT STDMETHODCALLTYPE FSCommand(BSTR command, BSTR args) {
        (void)command, (void)args;
        return S_OK;
    }
    virtual HRESULT STDMETHODCALLTYPE FlashCall(BSTR request) {
        (void)request;
        return S_OK;
    }
};

}  // namespace QuillUI
