// The document a navigation loads: a dispatch object whose ICustomDoc takes
// the host's UI handler, and the frames' own dispatch objects.
#pragma once
#include "double_log.h"

#include <mshtmhst.h>

#include <string>

namespace browser {

// A dispatch object with no members, counted as a live object of the double.
class PlainDispatch : public IDispatch {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID dispid, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argError) override;

protected:
    virtual ~PlainDispatch() = default;

private:
    comdouble::LiveObject live_;
    LONG refs_ = 1;
};

// A frame inside the page: only its own dispatch identity.
using FrameDispatch = PlainDispatch;

class Document final : public PlainDispatch, public ICustomDoc {
public:
    explicit Document(const std::wstring& url);

    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return PlainDispatch::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return PlainDispatch::Release(); }

    STDMETHODIMP SetUIHandler(IDocHostUIHandler* handler) override;

    IDocHostUIHandler* Handler() const { return handler_.Get(); }
    const std::wstring& Url() const { return url_; }
    // The browser let go of the document: its UI handler goes too.
    void Unload(const char* why);

private:
    ~Document() override = default;

    std::wstring url_;
    comdouble::HostRef<IDocHostUIHandler> handler_;
};

}  // namespace browser
