// What a double's DLL entry points share: the class object its
// DllGetClassObject hands out (one per request, counted as a live object, so a
// host that keeps it shows at teardown), start and end of the module, and the
// scenario line an in-process test plays at once.
#pragma once
#include "double_log.h"
#include "scenario_file.h"

#include <unknwn.h>

#include <functional>
#include <vector>

namespace comdouble {

// Makes a new object of the double (reference count 1), or null.
using CreateObject = IUnknown* (*)();

// DllGetClassObject for a double serving CLSID.
HRESULT GetClassObject(REFCLSID requested, REFIID riid, void** out, REFCLSID served, CreateObject create);
// DllCanUnloadNow: no live objects and no locks.
HRESULT CanUnloadNow();

// DllMain: names the log on attach; on detach logs what is still held and
// drops the double's windows.
void OnModuleEvent(DWORD reason, const wchar_t* logName);

// Splits LINE into words and hands them to RUN; E_UNEXPECTED without RUN
// (no live object).
HRESULT PlayLine(const char* line, const std::function<HRESULT(const std::vector<Word>&)>& run);

}  // namespace comdouble
