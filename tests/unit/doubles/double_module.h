// Loads a COM double the way the ActiveX host's module route does, from a
// folder of the test's own that holds a copy of the DLL and its scenario, and
// plays the host's side of creation and release.
#pragma once
#include "test_host.h"
#include "tests/unit/common/log_search.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace doubles_test {

class DoubleModule {
public:
    // DLL lies beside the test program; SCENARIO is written as SCENARIO_NAME.
    DoubleModule(const wchar_t* dll, const wchar_t* scenarioName, const std::string& scenario);
    ~DoubleModule();
    DoubleModule(const DoubleModule&) = delete;
    DoubleModule& operator=(const DoubleModule&) = delete;

    bool Loaded() const { return module_ != nullptr; }
    // DllGetClassObject, IClassFactory::CreateInstance for IOleObject.
    HRESULT Create(REFCLSID clsid, IOleObject** object);
    long Count(const char* name) const;
    HRESULT Play(const char* line) const;
    // The double's call log.
    std::string Log() const;
    bool Unload();
    const std::wstring& Folder() const { return folder_; }

private:
    std::wstring folder_;
    std::wstring logName_;
    HMODULE module_ = nullptr;
};

// The host's creation order: misc status, client site before or after
// InitNew as the status asks, SetHostNames, DoVerb(-5), SetSite.
HRESULT Embed(IOleObject* object, TestSite& site, HWND parent, const RECT& rect);
// The host's release order: SetSite(NULL), Close, SetClientSite(NULL), Release.
void Unembed(IOleObject* object);

// Pumps the thread's messages until DONE holds or about thirty seconds pass.
bool PumpUntil(const std::function<bool()>& done);

// OLE started on the test's thread and a plain window to host objects in.
class HostWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HWND window_ = nullptr;
};

}  // namespace doubles_test
