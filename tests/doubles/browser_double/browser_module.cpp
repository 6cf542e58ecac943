// The browser double's exports: the class object for the browser's class id,
// and two for in-process tests: the teardown counts, and a page action run
// at once on the browser created last.
#include "browser_ids.h"
#include "browser_object.h"
#include "dll_entry.h"

namespace {

IUnknown* CreateBrowser() { return static_cast<IOleObject*>(new browser::BrowserDouble()); }

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    comdouble::OnModuleEvent(reason, L"browser_calls.log");
    return TRUE;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
    return comdouble::GetClassObject(clsid, riid, out, browser::kClsidWebBrowser, &CreateBrowser);
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() { return comdouble::CanUnloadNow(); }

// "objects", "locks", "sinks", "host-refs" or "violations"; -1 for others.
__declspec(dllexport) LONG STDAPICALLTYPE ComDoubleCount(const char* name) { return comdouble::CountByName(name); }

__declspec(dllexport) HRESULT STDAPICALLTYPE ComDoublePlay(const char* line) {
    browser::BrowserDouble* current = browser::BrowserDouble::Current();
    if (current == nullptr) return comdouble::PlayLine(line, nullptr);
    return comdouble::PlayLine(line, [current](const std::vector<comdouble::Word>& words) { return current->RunAction(words); });
}

}  // extern "C"
