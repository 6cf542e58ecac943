// One outgoing event interface of a double: the sinks the host advised, with
// the cookies handed out, and firing through IDispatch::Invoke.
#pragma once
#include "double_log.h"

#include <ocidl.h>

#include <functional>
#include <memory>
#include <vector>

namespace comdouble {

class ConnectionPoint final : public IConnectionPoint {
public:
    // OWNER is the container's controlling IUnknown; NAME tags the log lines.
    ConnectionPoint(IUnknown* owner, IConnectionPointContainer* container, REFIID events, const char* name);
    ~ConnectionPoint();

    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** out) override;

    // Invokes DISPID on every sink with PARAMS (the caller's array); the
    // result is the last sink's, S_FALSE without sinks.
    HRESULT Fire(DISPID dispid, DISPPARAMS* params, REFIID riid = IID_NULL);
    size_t SinkCount() const { return sinks_.size(); }
    // Cookies of the sinks advised now, to address a navigation's events.
    std::vector<DWORD> Cookies() const;
    HRESULT FireTo(const std::vector<DWORD>& cookies, DISPID dispid, DISPPARAMS* params, REFIID riid = IID_NULL);
    // Called after each successful Advise.
    void OnAdvise(std::function<void()> hook) { onAdvise_ = std::move(hook); }
    // Releases what the host did not unadvise, as a violation each.
    void DropAll(const char* why);

private:
    struct Sink {
        DWORD cookie;
        std::unique_ptr<HostRef<IDispatch>> dispatch;
    };

    IUnknown* owner_;
    IConnectionPointContainer* container_;
    IID events_;
    const char* name_;
    std::vector<Sink> sinks_;
    DWORD nextCookie_;
    std::function<void()> onAdvise_;
};

}  // namespace comdouble
