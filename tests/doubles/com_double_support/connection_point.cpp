#include "connection_point.h"

#include <olectl.h>

namespace comdouble {

ConnectionPoint::ConnectionPoint(IUnknown* owner, IConnectionPointContainer* container, REFIID events,
                                 const char* name)
    : owner_(owner), container_(container), events_(events), name_(name),
      // Cookies far from 0 and 1, so a host that passes a constant is seen.
      nextCookie_(0x3A51) {}

ConnectionPoint::~ConnectionPoint() { DropAll("destroyed"); }

STDMETHODIMP ConnectionPoint::QueryInterface(REFIID riid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (riid != IID_IUnknown && riid != IID_IConnectionPoint) return E_NOINTERFACE;
    *out = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) ConnectionPoint::AddRef() { return owner_->AddRef(); }
STDMETHODIMP_(ULONG) ConnectionPoint::Release() { return owner_->Release(); }

STDMETHODIMP ConnectionPoint::GetConnectionInterface(IID* iid) {
    if (iid == nullptr) return E_POINTER;
    *iid = events_;
    return S_OK;
}

STDMETHODIMP ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
    if (out == nullptr) return E_POINTER;
    *out = container_;
    container_->AddRef();
    return S_OK;
}

STDMETHODIMP ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (cookie == nullptr) {
        Log(std::string(name_) + " Advise -> E_POINTER");
        return E_POINTER;
    }
    *cookie = 0;
    IDispatch* dispatch = nullptr;
    if (sink == nullptr || FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))) ||
        dispatch == nullptr) {
        Log(std::string(name_) + " Advise: the sink is no IDispatch -> CONNECT_E_CANNOTCONNECT");
        return CONNECT_E_CANNOTCONNECT;
    }
    Sink entry{nextCookie_++, std::make_unique<HostRef<IDispatch>>(kSinks)};
    entry.dispatch->Adopt(dispatch);
    *cookie = entry.cookie;
    sinks_.push_back(std::move(entry));
    Log(std::string(name_) + " Advise -> cookie " + std::to_string(*cookie));
    if (onAdvise_) onAdvise_();
    return S_OK;
}

STDMETHODIMP ConnectionPoint::Unadvise(DWORD cookie) {
    for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
        if (it->cookie != cookie) continue;
        Log(std::string(name_) + " Unadvise cookie " + std::to_string(cookie));
        Sink gone = std::move(*it);
        sinks_.erase(it);
        gone.dispatch->Reset();
        return S_OK;
    }
    Violation(std::string(name_) + " Unadvise with cookie " + std::to_string(cookie) + ", which Advise never gave");
    return CONNECT_E_NOCONNECTION;
}

STDMETHODIMP ConnectionPoint::EnumConnections(IEnumConnections** out) {
    if (out != nullptr) *out = nullptr;
    return E_NOTIMPL;
}

std::vector<DWORD> ConnectionPoint::Cookies() const {
    std::vector<DWORD> cookies;
    for (const Sink& s : sinks_) cookies.push_back(s.cookie);
    return cookies;
}

HRESULT ConnectionPoint::Fire(DISPID dispid, DISPPARAMS* params, REFIID riid) {
    return FireTo(Cookies(), dispid, params, riid);
}

HRESULT ConnectionPoint::FireTo(const std::vector<DWORD>& cookies, DISPID dispid, DISPPARAMS* params, REFIID riid) {
    HRESULT result = S_FALSE;
    for (DWORD cookie : cookies) {
        IDispatch* target = nullptr;
        for (const Sink& s : sinks_)
            if (s.cookie == cookie) target = s.dispatch->Get();
        if (target == nullptr) continue;  // unadvised meanwhile
        target->AddRef();
        UINT argError = 0;
        result = target->Invoke(dispid, riid, LOCALE_USER_DEFAULT, DISPATCH_METHOD, params, nullptr, nullptr,
                                &argError);
        target->Release();
    }
    return result;
}

void ConnectionPoint::DropAll(const char* why) {
    while (!sinks_.empty()) {
        Sink gone = std::move(sinks_.back());
        sinks_.pop_back();
        Violation(std::string(name_) + " sink with cookie " + std::to_string(gone.cookie) + " still advised when " +
                  why);
        gone.dispatch->Reset();
    }
}

}  // namespace comdouble
