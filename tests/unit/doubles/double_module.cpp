#include "double_module.h"

#include "common/file_util.h"
#include "tests/unit/common/test_run_folder.h"

#include <gtest/gtest.h>

namespace doubles_test {

DoubleModule::DoubleModule(const wchar_t* dll, const wchar_t* scenarioName, const std::string& scenario) {
    folder_ = TestRunFolder(L"double_runs");
    std::wstring name = dll;
    logName_ = name == L"browser_double.dll" ? L"browser_calls.log" : L"flash_calls.log";
    DeleteFileW((folder_ + logName_).c_str());
    if (!CopyFileW((TestExeFolder() + name).c_str(), (folder_ + name).c_str(), FALSE)) return;
    if (!WriteFileAtomically(folder_ + scenarioName, scenario.data(), scenario.size())) return;
    module_ = LoadLibraryW((folder_ + name).c_str());
}

// A run's folder goes once its module is unloaded; a failed run keeps it.
DoubleModule::~DoubleModule() {
    if (!Unload()) return;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder_ + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) DeleteFileW((folder_ + found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder_.c_str());
}

bool DoubleModule::Unload() {
    if (module_ == nullptr) return true;
    auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(module_, "DllCanUnloadNow"));
    bool idle = canUnload != nullptr && canUnload() == S_OK;
    if (idle) {
        FreeLibrary(module_);
        module_ = nullptr;
    }
    return idle;
}

HRESULT DoubleModule::Create(REFCLSID clsid, IOleObject** object) {
    *object = nullptr;
    if (module_ == nullptr) return E_FAIL;
    auto get = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
        GetProcAddress(module_, "DllGetClassObject"));
    if (get == nullptr) return E_FAIL;
    IClassFactory* factory = nullptr;
    HRESULT hr = get(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr)) return hr;
    hr = factory->CreateInstance(nullptr, IID_IOleObject, reinterpret_cast<void**>(object));
    factory->Release();
    return hr;
}

long DoubleModule::Count(const char* name) const {
    auto count = reinterpret_cast<LONG(STDAPICALLTYPE*)(const char*)>(GetProcAddress(module_, "ComDoubleCount"));
    return count != nullptr ? count(name) : -100;
}

HRESULT DoubleModule::Play(const char* line) const {
    auto play = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(const char*)>(GetProcAddress(module_, "ComDoublePlay"));
    return play != nullptr ? play(line) : E_FAIL;
}

std::string DoubleModule::Log() const {
    std::string text;
    ReadWholeFile(folder_ + logName_, text);
    return text;
}

HRESULT Embed(IOleObject* object, TestSite& site, HWND parent, const RECT& rect) {
    DWORD misc = 0;
    object->GetMiscStatus(DVASPECT_CONTENT, &misc);
    IOleClientSite* clientSite = &site;
    if ((misc & OLEMISC_SETCLIENTSITEFIRST) != 0) object->SetClientSite(clientSite);
    IPersistStreamInit* persist = nullptr;
    if (SUCCEEDED(object->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)))) {
        persist->InitNew();
        persist->Release();
    }
    if ((misc & OLEMISC_SETCLIENTSITEFIRST) == 0) object->SetClientSite(clientSite);
    object->SetHostNames(L"UIActiveX", nullptr);
    HRESULT hr = object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, clientSite, 0, parent, &rect);
    IObjectWithSite* withSite = nullptr;
    if (SUCCEEDED(object->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(&withSite)))) {
        withSite->SetSite(clientSite);
        withSite->Release();
    }
    return hr;
}

void Unembed(IOleObject* object) {
    IObjectWithSite* withSite = nullptr;
    if (SUCCEEDED(object->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(&withSite)))) {
        withSite->SetSite(nullptr);
        withSite->Release();
    }
    object->Close(OLECLOSE_NOSAVE);
    object->SetClientSite(nullptr);
    object->Release();
}

bool PumpUntil(const std::function<bool()>& done) {
    // Ample for a loaded machine: only a failing test waits it out.
    ULONGLONG end = GetTickCount64() + 30000;
    while (!done()) {
        if (GetTickCount64() > end) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(1);
    }
    return true;
}

void HostWindowTest::SetUp() {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    window_ = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 50, 50, 400, 300, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
}

void HostWindowTest::TearDown() {
    DestroyWindow(window_);
    OleUninitialize();
}

}  // namespace doubles_test
