#pragma once
// The web page's external object: the page calls "startGame" with the chosen
// server and the player's token; the other methods exist because the page
// calls them, and do nothing.
#include "common/win.h"

#include <oaidl.h>

#include <string>

// Where the page's server choice goes; the main window implements it.
class ServerChoiceSink {
public:
    virtual void OnServerChosen(const std::wstring& serverId, const std::wstring& token) = 0;

protected:
    ~ServerChoiceSink() = default;
};

class External final : public IDispatch {
public:
    static constexpr DISPID kRechargeResult = 100;
    static constexpr DISPID kClose = 101;
    static constexpr DISPID kCallClient = 102;
    static constexpr DISPID kIsMc = 103;
    static constexpr DISPID kStartGame = 104;

    // Starts with one reference, which the creator hands on. SINK may be
    // null: a choice then goes nowhere.
    explicit External(ServerChoiceSink* sink) : sink_(sink) {}
    External(const External&) = delete;
    External& operator=(const External&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    // Names compare exactly, and only the first one is looked at: further
    // names (argument names) get DISPID_UNKNOWN and do not change the result.
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    // S_OK for every id; "startGame" acts only on exactly two strings.
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argumentError) override;

private:
    ~External() = default;
    void StartGame(const DISPPARAMS* params);

    LONG refs_ = 1;
    ServerChoiceSink* sink_;
};
