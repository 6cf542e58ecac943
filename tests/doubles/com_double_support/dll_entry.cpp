#include "dll_entry.h"

#include "scheduler.h"

namespace comdouble {

namespace {

class ClassFactory final : public IClassFactory {
public:
    explicit ClassFactory(CreateObject create) : create_(create) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (riid != IID_IUnknown && riid != IID_IClassFactory) return E_NOINTERFACE;
        *out = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        HRESULT hr = CLASS_E_NOAGGREGATION;
        if (outer == nullptr) {
            IUnknown* object = create_();
            hr = object == nullptr ? E_OUTOFMEMORY : object->QueryInterface(riid, out);
            if (object != nullptr) object->Release();
        }
        Log("CreateInstance " + GuidText(riid) + " -> " + HexResult(hr));
        return hr;
    }

    STDMETHODIMP LockServer(BOOL lock) override {
        Log("LockServer " + std::to_string(lock));
        if (lock) {
            AddCount(kLocks, 1);
        } else if (Count(kLocks) > 0) {
            AddCount(kLocks, -1);
        } else {
            Violation("LockServer(FALSE) without a lock");
        }
        return S_OK;
    }

private:
    LiveObject live_;
    LONG refs_ = 1;
    CreateObject create_;
};

}  // namespace

HRESULT GetClassObject(REFCLSID requested, REFIID riid, void** out, REFCLSID served, CreateObject create) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    HRESULT hr = CLASS_E_CLASSNOTAVAILABLE;
    if (requested == served) {
        auto* factory = new ClassFactory(create);
        hr = factory->QueryInterface(riid, out);
        factory->Release();
    }
    Log("loaded: DllGetClassObject " + GuidText(requested) + " " + GuidText(riid) + " -> " + HexResult(hr));
    return hr;
}

HRESULT CanUnloadNow() { return Count(kObjects) == 0 && Count(kLocks) == 0 ? S_OK : S_FALSE; }

void OnModuleEvent(DWORD reason, const wchar_t* logName) {
    if (reason == DLL_PROCESS_ATTACH) SetLogName(logName);
    if (reason != DLL_PROCESS_DETACH) return;
    Log("unload");
    LogTeardown();
    ShutdownWindows();
}

HRESULT PlayLine(const char* line, const std::function<HRESULT(const std::vector<Word>&)>& run) {
    std::vector<Word> words;
    std::string error;
    if (line == nullptr || !SplitWords(line, words, error) || words.empty()) return E_INVALIDARG;
    return run ? run(words) : E_UNEXPECTED;
}

}  // namespace comdouble
