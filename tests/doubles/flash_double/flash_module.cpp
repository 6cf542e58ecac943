// The Flash double's exports: the class object for the control's class id,
// and two for in-process tests: the teardown counts, and an event fired at
// once from the control created last.
#include "dll_entry.h"
#include "flash_ids.h"
#include "flash_object.h"

namespace {

IUnknown* CreateFlash() { return static_cast<IOleObject*>(new flash::FlashDouble()); }

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    comdouble::OnModuleEvent(reason, L"flash_calls.log");
    return TRUE;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
    return comdouble::GetClassObject(clsid, riid, out, flash::kClsidFlash, &CreateFlash);
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() { return comdouble::CanUnloadNow(); }

// "objects", "locks", "sinks", "host-refs" or "violations"; -1 for others.
__declspec(dllexport) LONG STDAPICALLTYPE ComDoubleCount(const char* name) { return comdouble::CountByName(name); }

__declspec(dllexport) HRESULT STDAPICALLTYPE ComDoublePlay(const char* line) {
    flash::FlashDouble* current = flash::FlashDouble::Current();
    if (current == nullptr) return comdouble::PlayLine(line, nullptr);
    return comdouble::PlayLine(line, [current](const std::vector<comdouble::Word>& words) { return current->RunEvent(words); });
}

}  // extern "C"
