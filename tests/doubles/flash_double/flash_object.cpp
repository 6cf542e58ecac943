#include "flash_object.h"

#include "common/file_util.h"
#include "event_args.h"
#include "flash_request.h"

#include <cwchar>

namespace flash {

using comdouble::BstrText;
using comdouble::CheckBstr;
using comdouble::EventArgs;
using comdouble::HexResult;
using comdouble::Log;
using comdouble::Narrow;
using comdouble::Violation;
using comdouble::Widen;
using comdouble::Word;

namespace {

FlashDouble* g_current = nullptr;

comdouble::ControlOptions FlashOptions(const FlashScenario& scenario) {
    comdouble::ControlOptions options;
    options.clsid = kClsidFlash;
    options.events = kDiidEvents;
    options.miscStatus = scenario.miscStatus;
    options.windowless = scenario.windowless;
    options.windowlessCapable = true;
    options.objectWithSite = true;
    options.hitArea = scenario.hitArea;
    options.acceleratorKey = scenario.acceleratorKey;
    return options;
}

std::wstring Text(BSTR text) { return text != nullptr ? std::wstring(text, wcslen(text)) : std::wstring(); }

void DrawBar(HDC dc, const RECT& area, long percent, const std::wstring& text) {
    if (percent < 0) percent = 0;
    if (percent > 100) percent = 100;
    HBRUSH track = CreateSolidBrush(RGB(0x30, 0x30, 0x30));
    HBRUSH done = CreateSolidBrush(RGB(0x30, 0xC0, 0x50));
    FillRect(dc, &area, track);
    RECT filled = area;
    filled.right = area.left + (area.right - area.left) * percent / 100;
    FillRect(dc, &filled, done);
    DeleteObject(track);
    DeleteObject(done);
    RECT label = {area.left, area.top - 18, area.right, area.top - 2};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &label,
              DT_LEFT | DT_SINGLELINE | DT_BOTTOM | DT_NOPREFIX);
}

}  // namespace

FlashDouble::FlashDouble() : FlashDouble(LoadFlashScenario()) {}

FlashDouble::FlashDouble(FlashScenario scenario)
    : OleControlDouble(FlashOptions(scenario)), scenario_(std::move(scenario)), face_{MovieTable(), this} {
    g_current = this;
    Log("flash created");
    Events().OnAdvise([this]() { Trigger("advise"); });
    SetSteps(scenario_.steps);
}

FlashDouble::~FlashDouble() {
    if (g_current == this) g_current = nullptr;
}

FlashDouble* FlashDouble::Current() { return g_current; }

HRESULT FlashDouble::QueryExtra(REFIID riid, void** out) {
    if (riid != kIidMovie && riid != IID_IDispatch) return E_NOINTERFACE;
    *out = &face_;
    AddRef();
    return S_OK;
}

void FlashDouble::PaintContent(HDC dc, const RECT& bounds) {
    HBRUSH back = CreateSolidBrush(RGB(0x10, 0x18, 0x28));
    FillRect(dc, &bounds, back);
    DeleteObject(back);
    LONG width = bounds.right - bounds.left;
    LONG height = bounds.bottom - bounds.top;
    LONG barHeight = height / 10 > 8 ? height / 10 : 8;
    RECT one = {bounds.left + width / 10, bounds.top + height / 3, bounds.right - width / 10, 0};
    one.bottom = one.top + barHeight;
    RECT two = one;
    OffsetRect(&two, 0, height / 3);
    DrawBar(dc, one, barOne_, textOne_);
    DrawBar(dc, two, barTwo_, textTwo_);
}

// The movie interface

HRESULT FlashDouble::PutPlaying(VARIANT_BOOL playing) {
    if (!Enter("put_Playing " + std::to_string(playing), "put_Playing")) return E_UNEXPECTED;
    playing_ = playing != VARIANT_FALSE;
    return S_OK;
}

HRESULT FlashDouble::PutMovie(BSTR path) {
    CheckBstr(path, "put_Movie");
    std::wstring file = Text(path);
    bool exists = !file.empty() && FileExists(file);
    if (!Enter("put_Movie " + BstrText(path) + " exists=" + (exists ? "yes" : "no"), "put_Movie"))
        return E_UNEXPECTED;
    movie_ = file;
    Trigger("movie");
    return S_OK;
}

HRESULT FlashDouble::PutWMode(BSTR mode) {
    CheckBstr(mode, "put_WMode");
    if (!Enter("put_WMode " + BstrText(mode), "put_WMode")) return E_UNEXPECTED;
    wmode_ = Text(mode);
    return S_OK;
}

HRESULT FlashDouble::PutAllowScriptAccess(BSTR access) {
    CheckBstr(access, "put_AllowScriptAccess");
    if (!Enter("put_AllowScriptAccess " + BstrText(access), "put_AllowScriptAccess")) return E_UNEXPECTED;
    scriptAccess_ = Text(access);
    return S_OK;
}

HRESULT FlashDouble::CallFunction(BSTR request, BSTR* response) {
    CheckBstr(request, "CallFunction");
    std::string text = Narrow(Text(request).c_str());
    if (!Enter("CallFunction " + text, "CallFunction")) return E_UNEXPECTED;
    if (response == nullptr) {
        Violation("CallFunction without a response pointer");
        return E_POINTER;
    }
    *response = nullptr;
    InvokeRequest invoke;
    if (!ParseInvokeRequest(text, invoke)) {
        Log("CallFunction: not an invoke request");
        return E_FAIL;
    }
    if (invoke.name == "setProValOne" && invoke.hasNumber) barOne_ = invoke.number;
    if (invoke.name == "setProValTwo" && invoke.hasNumber) barTwo_ = invoke.number;
    if (invoke.name == "setTextOne" && invoke.hasText) textOne_ = Widen(invoke.text);
    if (invoke.name == "setTextTwo" && invoke.hasText) textTwo_ = Widen(invoke.text);
    Invalidate();
    *response = SysAllocString(L"<string></string>");
    Trigger("call:" + invoke.name);
    return S_OK;
}

HRESULT FlashDouble::DisableLocalSecurity() {
    if (!Enter("DisableLocalSecurity")) return E_UNEXPECTED;
    localSecurityOff_ = true;
    return S_OK;
}

HRESULT FlashDouble::OtherSlot(int slot) { return Enter("slot " + std::to_string(slot), "slot") ? E_NOTIMPL : E_UNEXPECTED; }

HRESULT FlashDouble::MovieIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids) {
    static const struct {
        const wchar_t* name;
        DISPID id;
    } known[] = {{L"Playing", kDispidPlaying},
                 {L"Movie", kDispidMovie},
                 {L"WMode", kDispidWMode},
                 {L"AllowScriptAccess", kDispidAllowScriptAccess},
                 {L"CallFunction", kDispidCallFunction},
                 {L"DisableLocalSecurity", kDispidDisableLocalSecurity}};
    if (names == nullptr || ids == nullptr || count == 0) return E_POINTER;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    for (const auto& k : known)
        if (names[0] != nullptr && _wcsicmp(names[0], k.name) == 0) ids[0] = k.id;
    HRESULT hr = ids[0] != DISPID_UNKNOWN && count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    Log("GetIDsOfNames \"" + Narrow(names[0]) + "\" -> " + HexResult(hr) + " dispid=" + std::to_string(ids[0]));
    return hr;
}

HRESULT FlashDouble::MovieInvoke(DISPID dispid, WORD flags, DISPPARAMS* params, VARIANT* result) {
    if (!Enter("Invoke " + std::to_string(dispid) + " flags=" + std::to_string(flags), "Invoke")) return E_UNEXPECTED;
    if (params == nullptr) return E_POINTER;
    bool put = (flags & DISPATCH_PROPERTYPUT) != 0;
    VARIANT* arg = params->cArgs == 1 ? &params->rgvarg[0] : nullptr;
    switch (dispid) {
    case kDispidPlaying:
        if (!put || arg == nullptr) return DISP_E_BADPARAMCOUNT;
        if (arg->vt != VT_BOOL) return DISP_E_TYPEMISMATCH;
        return PutPlaying(arg->boolVal);
    case kDispidMovie:
    case kDispidWMode:
    case kDispidAllowScriptAccess:
        if (!put || arg == nullptr) return DISP_E_BADPARAMCOUNT;
        if (arg->vt != VT_BSTR) return DISP_E_TYPEMISMATCH;
        return dispid == kDispidMovie ? PutMovie(arg->bstrVal)
               : dispid == kDispidWMode ? PutWMode(arg->bstrVal)
                                        : PutAllowScriptAccess(arg->bstrVal);
    case kDispidCallFunction: {
        if (arg == nullptr) return DISP_E_BADPARAMCOUNT;
        if (arg->vt != VT_BSTR) return DISP_E_TYPEMISMATCH;
        BSTR response = nullptr;
        HRESULT hr = CallFunction(arg->bstrVal, &response);
        if (result != nullptr && SUCCEEDED(hr)) {
            VariantInit(result);
            result->vt = VT_BSTR;
            result->bstrVal = response;
        } else {
            SysFreeString(response);
        }
        return hr;
    }
    case kDispidDisableLocalSecurity:
        return DisableLocalSecurity();
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

// Events

HRESULT FlashDouble::Fire(DISPID dispid, EventArgs& args, const std::string& what) {
    HRESULT hr = Events().Fire(dispid, args.Params());
    Log("event " + what + " -> " + HexResult(hr));
    return hr;
}

HRESULT FlashDouble::RunEvent(const std::vector<Word>& action) {
    std::string error;
    if (!CheckEventAction(action, error)) {
        Log("event refused: " + error);
        return E_INVALIDARG;
    }
    if (Closed()) {
        Log("event after Close dropped");
        return E_UNEXPECTED;
    }
    const std::string& name = action[0].text;
    EventArgs args;
    long long value = 0;
    if (name == "malformed") return FireMalformed(action[1].text);
    if (name == "fscommand") {
        args.Text(Widen(action[1].text));
        args.Text(Widen(action[2].text));
        return Fire(kFSCommand, args, "FSCommand \"" + action[1].text + "\" \"" + action[2].text + "\"");
    }
    if (name == "flashcall") {
        args.Text(Widen(action[1].text));
        return Fire(kFlashCall, args, "FlashCall \"" + action[1].text + "\"");
    }
    comdouble::ParseInteger(action[1].text, value);
    if (name == "readystate") {
        args.Number(static_cast<long>(value));
        return Fire(kReadyStateChange, args, "ReadyStateChange " + action[1].text);
    }
    if (name == "progress") {
        args.Number(static_cast<long>(value));
        return Fire(kOnProgress, args, "OnProgress " + action[1].text);
    }
    args.RefNumber(static_cast<long>(value));
    return Fire(kOnProgress, args, "OnProgress by reference " + action[1].text);
}

HRESULT FlashDouble::FireMalformed(const std::string& kind) {
    EventArgs args;
    if (kind == "readystate-noargs") return Fire(kReadyStateChange, args, "malformed ReadyStateChange with no arguments");
    if (kind == "progress-noargs") return Fire(kOnProgress, args, "malformed OnProgress with no arguments");
    if (kind == "progress-bstr") {
        args.Text(L"42");
        return Fire(kOnProgress, args, "malformed OnProgress with a VT_BSTR");
    }
    if (kind == "fscommand-1arg") {
        args.Text(L"cmd");
        return Fire(kFSCommand, args, "malformed FSCommand with 1 argument");
    }
    if (kind == "fscommand-i4") {
        args.Text(L"cmd");
        args.Number(5);
        return Fire(kFSCommand, args, "malformed FSCommand with a VT_I4 argument");
    }
    if (kind == "flashcall-i4") {
        args.Number(5);
        return Fire(kFlashCall, args, "malformed FlashCall with a VT_I4");
    }
    return Fire(9999, args, "malformed unknown dispid 9999");
}

}  // namespace flash
