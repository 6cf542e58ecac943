// The page's external object as a script engine calls it.
#include "launcher/external.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

struct RecordingSink : ServerChoiceSink {
    void OnServerChosen(const std::wstring& serverId, const std::wstring& token) override {
        choices.emplace_back(serverId, token);
    }
    std::vector<std::pair<std::wstring, std::wstring>> choices;
};

// A script argument: text, a null BSTR, or a number.
struct Arg {
    enum Kind { kText, kNullText, kNumber } kind;
    const wchar_t* text;
};

// Invokes DISPID with the script's ARGS, passed last first as a script
// engine does.
HRESULT Call(IDispatch* external, DISPID id, const std::vector<Arg>& args, VARIANT* result = nullptr) {
    std::vector<VARIANT> values(args.size());
    for (size_t i = 0; i < args.size(); ++i) {
        VARIANT& v = values[args.size() - 1 - i];
        VariantInit(&v);
        if (args[i].kind == Arg::kNumber) {
            v.vt = VT_I4;
            v.lVal = 7;
        } else {
            v.vt = VT_BSTR;
            v.bstrVal = args[i].kind == Arg::kText ? SysAllocString(args[i].text) : nullptr;
        }
    }
    DISPPARAMS params = {values.empty() ? nullptr : values.data(), nullptr, static_cast<UINT>(values.size()), 0};
    HRESULT hr = external->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result, nullptr,
                                  nullptr);
    for (VARIANT& v : values) VariantClear(&v);
    return hr;
}

class ExternalTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(external_->Release(), 0u); }

    RecordingSink sink_;
    External* external_ = new External(&sink_);
};

TEST_F(ExternalTest, NamesMapToTheirIdsExactly) {
    const struct {
        const wchar_t* name;
        DISPID id;
        HRESULT hr;
    } cases[] = {
        {L"RechargeResult", 100, S_OK},
        {L"Close", 101, S_OK},
        {L"CallClient", 102, S_OK},
        {L"ismc", 103, S_OK},
        {L"startGame", 104, S_OK},
        {L"StartGame", DISPID_UNKNOWN, DISP_E_UNKNOWNNAME},
        {L"ISMC", DISPID_UNKNOWN, DISP_E_UNKNOWNNAME},
        {L"", DISPID_UNKNOWN, DISP_E_UNKNOWNNAME},
    };
    for (const auto& c : cases) {
        std::wstring name = c.name;
        LPOLESTR names[1] = {&name[0]};
        DISPID id = 12345;
        EXPECT_EQ(external_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), c.hr) << name.c_str();
        EXPECT_EQ(id, c.id) << name.c_str();
    }
}

TEST_F(ExternalTest, OnlyTheFirstNameCountsAndNullPointersAreRefused) {
    std::wstring method = L"startGame", argument = L"serverId", unknown = L"StartGame";
    LPOLESTR names[2] = {&method[0], &argument[0]};
    DISPID ids[2] = {12345, 12345};
    EXPECT_EQ(external_->GetIDsOfNames(IID_NULL, names, 2, LOCALE_USER_DEFAULT, ids), S_OK);
    EXPECT_EQ(ids[0], 104);
    EXPECT_EQ(ids[1], DISPID_UNKNOWN);
    names[0] = &unknown[0];
    EXPECT_EQ(external_->GetIDsOfNames(IID_NULL, names, 2, LOCALE_USER_DEFAULT, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], DISPID_UNKNOWN);
    EXPECT_EQ(external_->GetIDsOfNames(IID_NULL, nullptr, 1, LOCALE_USER_DEFAULT, ids), E_POINTER);
    EXPECT_EQ(external_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, nullptr), E_POINTER);
}

TEST_F(ExternalTest, StartGameTakesTheScriptsFirstArgumentAsTheServer) {
    EXPECT_EQ(Call(external_, 104, {{Arg::kText, L"7"}, {Arg::kText, L"tok"}}), S_OK);
    ASSERT_EQ(sink_.choices.size(), 1u);
    EXPECT_EQ(sink_.choices[0].first, L"7");
    EXPECT_EQ(sink_.choices[0].second, L"tok");
}

TEST_F(ExternalTest, StartGameIgnoresOtherArgumentsAndStillSucceeds) {
    const std::vector<std::vector<Arg>> refused = {
        {},
        {{Arg::kText, L"7"}},
        {{Arg::kText, L"7"}, {Arg::kText, L"tok"}, {Arg::kText, L"x"}},
        {{Arg::kNumber, nullptr}, {Arg::kText, L"tok"}},
        {{Arg::kText, L"7"}, {Arg::kNumber, nullptr}},
    };
    for (const auto& args : refused) EXPECT_EQ(Call(external_, 104, args), S_OK);
    DISPPARAMS none = {nullptr, nullptr, 2, 0};  // a count without arguments
    EXPECT_EQ(external_->Invoke(104, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(external_->Invoke(104, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr), S_OK);
    EXPECT_TRUE(sink_.choices.empty());
}

TEST_F(ExternalTest, NullTextsArriveEmpty) {
    EXPECT_EQ(Call(external_, 104, {{Arg::kNullText, nullptr}, {Arg::kNullText, nullptr}}), S_OK);
    ASSERT_EQ(sink_.choices.size(), 1u);
    EXPECT_EQ(sink_.choices[0].first, L"");
    EXPECT_EQ(sink_.choices[0].second, L"");
}

TEST_F(ExternalTest, IsmcAnswersTrueAndTheOthersDoNothing) {
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(Call(external_, 103, {}, &result), S_OK);
    EXPECT_EQ(result.vt, VT_BOOL);
    EXPECT_EQ(result.boolVal, VARIANT_TRUE);
    EXPECT_EQ(Call(external_, 103, {}, nullptr), S_OK);
    for (DISPID id : {100, 101, 102, 999}) {
        VARIANT other;
        VariantInit(&other);
        EXPECT_EQ(Call(external_, id, {{Arg::kText, L"7"}, {Arg::kText, L"tok"}}, &other), S_OK);
        EXPECT_EQ(other.vt, VT_EMPTY);
    }
    EXPECT_TRUE(sink_.choices.empty());
}

// The result is an out parameter: whatever lies in it belongs to nobody,
// and must be overwritten, never freed. Here it looks like an object.
TEST_F(ExternalTest, IsmcOverwritesTheResultWithoutFreeingIt) {
    struct Counted : IUnknown {
        STDMETHODIMP QueryInterface(REFIID, void** out) override {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        STDMETHODIMP_(ULONG) AddRef() override { return 2; }
        STDMETHODIMP_(ULONG) Release() override {
            ++releases;
            return 1;
        }
        int releases = 0;
    } leftOver;
    VARIANT result;
    result.vt = VT_UNKNOWN;
    result.punkVal = &leftOver;
    EXPECT_EQ(Call(external_, 103, {}, &result), S_OK);
    EXPECT_EQ(result.vt, VT_BOOL);
    EXPECT_EQ(result.boolVal, VARIANT_TRUE);
    EXPECT_EQ(leftOver.releases, 0);
}

TEST_F(ExternalTest, InterfacesAndReferences) {
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(external_->QueryInterface(IID_IPersist, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(external_->QueryInterface(IID_IUnknown, &out), S_OK);
    EXPECT_EQ(out, static_cast<IDispatch*>(external_));
    EXPECT_EQ(external_->QueryInterface(IID_IDispatch, &out), S_OK);
    EXPECT_EQ(external_->AddRef(), 4u);
    EXPECT_EQ(external_->Release(), 3u);
    EXPECT_EQ(external_->Release(), 2u);
    EXPECT_EQ(external_->Release(), 1u);
    UINT count = 5;
    EXPECT_EQ(external_->GetTypeInfoCount(&count), E_NOTIMPL);
    ITypeInfo* info = reinterpret_cast<ITypeInfo*>(1);
    EXPECT_EQ(external_->GetTypeInfo(0, 0, &info), E_NOTIMPL);
}

}  // namespace
