// The Flash double's exports: the class object for the control's class id,
// and two for in-process tests: the teardown counts, and an event fired at
// once from the control created last.
#include "class_factory.h"
#include "flash_ids.h"
#include "flash_object.h"
#include "scenario_file.h"

namespace {

IUnknown* CreateFlash() { return static_cast<IOleObject*>(new flash::FlashDouble()); }

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) comdouble::SetLogName(L"flash_calls.log");
    if (reason == DLL_PROCESS_DETACH) comdouble::ShutdownWindows();
    return TRUE;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
    return comdouble::GetClassObject(clsid, riid, out, flash::kClsidFlash, &CreateFlash);
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() { return comdouble::CanUnloadNow(); }

// "objects", "locks", "sinks", "host-refs" or "violations"; -1 for others.
__declspec(dllexport) LONG STDAPICALLTYPE ComDoubleCount(const char* name) { return comdouble::CountByName(name); }

__declspec(dllexport) HRESULT STDAPICALLTYPE ComDoublePlay(const char* line) {
    std::vector<comdouble::Word> words;
    std::string error;
    flash::FlashDouble* current = flash::FlashDouble::Current();
    if (line == nullptr || !comdouble::SplitWords(line, words, error)) return E_INVALIDARG;
    if (current == nullptr) return E_UNEXPECTED;
    return current->RunEvent(words);
}

}  // extern "C"
