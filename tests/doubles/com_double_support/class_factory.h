// The class object a double's DllGetClassObject hands out: one per request,
// counted as a live object, so a host that keeps it shows at teardown.
#pragma once
#include "double_log.h"

#include <unknwn.h>

namespace comdouble {

// Makes a new object of the double (reference count 1), or null.
using CreateObject = IUnknown* (*)();

// DllGetClassObject for a double serving CLSID.
HRESULT GetClassObject(REFCLSID requested, REFIID riid, void** out, REFCLSID served, CreateObject create);
// DllCanUnloadNow: no live objects and no locks.
HRESULT CanUnloadNow();

}  // namespace comdouble
