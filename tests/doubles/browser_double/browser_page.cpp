// What the loaded page does to its host, as a script engine would do it.
#include "browser_events.h"
#include "browser_ids.h"
#include "browser_object.h"

#include <dispex.h>

#include <cstdint>

namespace browser {

using comdouble::DescribeVariant;
using comdouble::HexResult;
using comdouble::Log;
using comdouble::Narrow;
using comdouble::ParseInteger;
using comdouble::Violation;
using comdouble::Widen;
using comdouble::Word;

namespace {

// A script's value: a quoted word is a string, an integer a number.
void ScriptValue(const Word& word, VARIANT& value) {
    long long number = 0;
    VariantInit(&value);
    if (!word.quoted && ParseInteger(word.text, number)) {
        value.vt = VT_I4;
        value.lVal = static_cast<LONG>(number);
    } else {
        std::wstring text = Widen(word.text);
        value.vt = VT_BSTR;
        value.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    }
}

std::string ScriptText(const std::vector<Word>& args) {
    std::string text = "(";
    for (size_t i = 0; i < args.size(); ++i) {
        long long number = 0;
        bool isNumber = !args[i].quoted && ParseInteger(args[i].text, number);
        text += (i > 0 ? "," : "") + (isNumber ? args[i].text : "\"" + args[i].text + "\"");
    }
    return text + ")";
}

OLECHAR* const kUnwritten = reinterpret_cast<OLECHAR*>(static_cast<uintptr_t>(0x5EB7));

}  // namespace

HRESULT BrowserDouble::RunAction(const std::vector<Word>& action) {
    std::string error;
    if (!CheckPageAction(action, error)) {
        Log("page action refused: " + error);
        return E_INVALIDARG;
    }
    if (Closed()) {
        Log("page action after Close dropped");
        return E_UNEXPECTED;
    }
    const std::string& name = action[0].text;
    if (name == "navigate") {
        Log("page navigates to \"" + action[1].text + "\"");
        StartNavigation(Widen(action[1].text));
        return S_OK;
    }
    if (name == "newwindow") return FireNewWindow(action[1].text);
    if (name == "malformed") {
        if (action.size() == 2) return FireMalformed(Events(), action[1].text, Self()) ? S_OK : E_INVALIDARG;
        for (const char* const* kind = kMalformedKinds; *kind != nullptr; ++kind) FireMalformed(Events(), *kind, Self());
        return S_OK;
    }
    IDocHostUIHandler* handler = document_ != nullptr ? document_->Handler() : nullptr;
    if (handler == nullptr) {
        Log("page " + name + ": the document has no UI handler");
        return S_FALSE;
    }
    handler->AddRef();
    HRESULT hr = S_OK;
    if (name == "hostinfo") {
        DOCHOSTUIINFO info = {};
        info.cbSize = sizeof(info);
        hr = handler->GetHostInfo(&info);
        Log("GetHostInfo -> " + HexResult(hr) + " flags=" + comdouble::HexValue(info.dwFlags));
        CoTaskMemFree(info.pchHostCss);
        CoTaskMemFree(info.pchHostNS);
    } else if (name == "external" || name == "external+get") {
        hr = CallExternal(action);
    } else if (name == "scripterror") {
        hr = ScriptError();
    } else if (name == "translateurl") {
        hr = TranslateUrl(action[1].text);
    } else if (name == "contextmenu") {
        POINT at = {10, 10};
        hr = handler->ShowContextMenu(0, &at, nullptr, nullptr);
        Log("ShowContextMenu -> " + HexResult(hr));
    }
    handler->Release();
    return hr;
}

HRESULT BrowserDouble::CallExternal(const std::vector<Word>& action) {
    IDocHostUIHandler* handler = document_->Handler();
    const std::string& name = action[1].text;
    std::vector<Word> args(action.begin() + 2, action.end());
    std::string tag = "external " + name + ScriptText(args);
    IDispatch* external = reinterpret_cast<IDispatch*>(static_cast<uintptr_t>(0x5EB7));
    HRESULT hr = handler->GetExternal(&external);
    bool unwritten = external == reinterpret_cast<IDispatch*>(static_cast<uintptr_t>(0x5EB7));
    Log(tag + ": GetExternal -> " + HexResult(hr) + " " +
        (unwritten ? "unwritten" : external != nullptr ? "object" : "null"));
    if (unwritten) {
        if (SUCCEEDED(hr)) Violation("GetExternal succeeded without writing its out pointer");
        return hr;
    }
    if (FAILED(hr) || external == nullptr) return FAILED(hr) ? hr : S_FALSE;

    IUnknown* ex = nullptr;
    HRESULT exHr = external->QueryInterface(__uuidof(IDispatchEx), reinterpret_cast<void**>(&ex));
    Log(tag + ": QueryInterface IDispatchEx -> " + HexResult(exHr));
    if (ex != nullptr) ex->Release();

    std::wstring wide = Widen(name);
    LPOLESTR names[1] = {&wide[0]};
    DISPID dispid = DISPID_UNKNOWN;
    hr = external->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid);
    Log(tag + ": GetIDsOfNames -> " + HexResult(hr) + " dispid=" + std::to_string(dispid));
    if (SUCCEEDED(hr)) {
        // A script engine passes the arguments last first.
        std::vector<VARIANT> values(args.size());
        for (size_t i = 0; i < args.size(); ++i) ScriptValue(args[i], values[args.size() - 1 - i]);
        DISPPARAMS params = {values.empty() ? nullptr : values.data(), nullptr, static_cast<UINT>(values.size()), 0};
        VARIANT result;
        VariantInit(&result);
        EXCEPINFO exception = {};
        UINT argError = 0;
        WORD flags = DISPATCH_METHOD | (action[0].text == "external+get" ? DISPATCH_PROPERTYGET : 0);
        hr = external->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &result, &exception, &argError);
        Log(tag + ": Invoke " + std::to_string(dispid) + " -> " + HexResult(hr) + " result=" + DescribeVariant(result));
        VariantClear(&result);
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        for (VARIANT& v : values) VariantClear(&v);
    }
    ULONG left = external->Release();
    Log(tag + ": Release -> " + std::to_string(left));
    return hr;
}

HRESULT BrowserDouble::ScriptError() {
    IOleCommandTarget* target = nullptr;
    HRESULT hr = document_->Handler()->QueryInterface(IID_IOleCommandTarget, reinterpret_cast<void**>(&target));
    if (FAILED(hr) || target == nullptr) {
        Log("scripterror: the handler has no IOleCommandTarget -> " + HexResult(hr));
        return hr;
    }
    VARIANT in, out;
    VariantInit(&in);
    VariantInit(&out);
    hr = target->Exec(&kCgidDocHostCommandHandler, kShowScriptError, 0, &in, &out);
    Log("Exec script error -> " + HexResult(hr) + " out=" + DescribeVariant(out));
    VariantClear(&out);
    HRESULT hr2 = target->Exec(&kCgidDocHostCommandHandler, kShowScriptError, 0, &in, nullptr);
    Log("Exec script error without out -> " + HexResult(hr2));
    target->Release();
    return hr;
}

HRESULT BrowserDouble::TranslateUrl(const std::string& url) {
    std::wstring wide = Widen(url);
    OLECHAR* out = kUnwritten;
    HRESULT hr = document_->Handler()->TranslateUrl(0, &wide[0], &out);
    std::string what = out == kUnwritten ? "unwritten" : out == nullptr ? "null" : "\"" + Narrow(out) + "\"";
    Log("TranslateUrl \"" + url + "\" -> " + HexResult(hr) + " out=" + what);
    if (hr == S_OK && out == kUnwritten) Violation("TranslateUrl returned S_OK without writing its out URL");
    if (out != kUnwritten) CoTaskMemFree(out);
    return hr;
}

HRESULT BrowserDouble::FireNewWindow(const std::string& url) {
    EventArgs args;
    args.RefDispatchOut();
    args.RefCancel();
    args.Unsigned(0);  // flags
    args.Text(location_);
    args.Text(Widen(url));
    HRESULT hr = FireLogged(Events(), Events().Cookies(), kNewWindow3, args, "NewWindow3 \"" + url + "\"");
    Log(std::string("NewWindow3 cancel=") + (args.Cancelled() ? "-1" : "0") +
        " window=" + (args.OutDispatch() != nullptr ? "object" : "null"));
    return hr;
}

}  // namespace browser
