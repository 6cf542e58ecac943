// The state that every window manager of the program shares.
#include "ui/core/manager/window_manager_ui.h"

#include "ui/core/skin/skin_location.h"
#include "ui/core/skin/zip_reader.h"

#include <commctrl.h>

#include <vector>

namespace QuillUI {

namespace {

const wchar_t kMemoryZipName[] = L"membuffer";

struct SharedState {
    SharedState() {
        resources.disabledColor = 0xFFA7A6AA;
        resources.fontColor = 0xFF000000;
        resources.linkFontColor = 0xFF0000FF;
        resources.linkHoverFontColor = 0xFFD3215F;
        resources.selectedBkColor = 0xFFBAE4FF;
    }

    HINSTANCE instance = nullptr;
    bool useHSL = false;
    short hue = 180;
    short saturation = 100;
    short lightness = 100;
    CPointerArray managers;
    CPointerArray plugins;
    ResourceTableUI resources;
    ScopedPen outlinePen;
    bool initialised = false;
    int fontCounter = 1000;
};

SharedState& Shared() {
    static SharedState state;
    return state;
}

void CloseCachedZip() {
    ZipHandleUI* handle = CSkinLocationUI::GetResourceZipHandle();
    if (handle != nullptr) CloseZipArchive(handle);
    CSkinLocationUI::SetResourceZipState(CSkinLocationUI::GetResourceZip().GetData(),
                                         CSkinLocationUI::IsCachedResourceZip(), nullptr);
}

}  // namespace

void CWindowManagerUI::InitSharedOnce() {
    SharedState& shared = Shared();
    if (shared.initialised) return;
    shared.initialised = true;

    LOGFONTW lf = {};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    lf.lfCharSet = DEFAULT_CHARSET;
    FontInfoUI& font = shared.resources.defaultFont;
    font.font.Reset(::CreateFontIndirectW(&lf));
    font.faceName = lf.lfFaceName;
    font.size = -lf.lfHeight;
    font.bold = lf.lfWeight >= FW_BOLD;
    font.underline = lf.lfUnderline != FALSE;
    font.italic = lf.lfItalic != FALSE;

    shared.outlinePen.Reset(::CreatePen(PS_SOLID, 1, RGB(220, 0, 0)));
    ::InitCommonControls();
    // The date-time control's class is registered only when asked for.
    INITCOMMONCONTROLSEX classes = {};
    classes.dwSize = sizeof(classes);
    classes.dwICC = ICC_DATE_CLASSES;
    ::InitCommonControlsEx(&classes);
    // Kept loaded for the program's life; the drawing code looks its
    // functions up by name.
    ::LoadLibraryW(L"msimg32.dll");
}

ResourceTableUI& CWindowManagerUI::SharedResources() { return Shared().resources; }

HPEN CWindowManagerUI::GetOutlinePen() { return Shared().outlinePen.Get(); }

int CWindowManagerUI::NextFontCounter() { return ++Shared().fontCounter; }

CPointerArray& CWindowManagerUI::Managers() { return Shared().managers; }

HINSTANCE CWindowManagerUI::GetInstance() { return Shared().instance; }

void CWindowManagerUI::SetInstance(HINSTANCE instance) { Shared().instance = instance; }

CWideString CWindowManagerUI::GetInstancePath() {
    if (Shared().instance == nullptr) return CWideString();
    std::vector<wchar_t> buffer(32768);
    DWORD length = ::GetModuleFileNameW(Shared().instance, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0 || length >= buffer.size()) return CWideString();
    int slash = static_cast<int>(length) - 1;
    while (slash >= 0 && buffer[slash] != L'\\') --slash;
    return CWideString(buffer.data(), slash + 1);
}

HINSTANCE CWindowManagerUI::GetResourceDll() { return Shared().instance; }

const CWideString& CWindowManagerUI::GetResourcePath() { return CSkinLocationUI::GetResourcePath(); }

void CWindowManagerUI::SetResourcePath(const wchar_t* path) { CSkinLocationUI::SetResourcePath(path); }

const CWideString& CWindowManagerUI::GetResourceZip() { return CSkinLocationUI::GetResourceZip(); }

bool CWindowManagerUI::IsCachedResourceZip() { return CSkinLocationUI::IsCachedResourceZip(); }

ZipHandleUI* CWindowManagerUI::GetResourceZipHandle() { return CSkinLocationUI::GetResourceZipHandle(); }

void CWindowManagerUI::SetResourceZip(const wchar_t* name, bool cached) {
    CWideString zipName(name);
    if (CSkinLocationUI::GetResourceZip().Compare(zipName.GetData()) == 0 &&
        CSkinLocationUI::IsCachedResourceZip() == cached) {
        return;
    }
    CloseCachedZip();
    ZipHandleUI* handle = nullptr;
    if (cached) {
        CWideString path = CSkinLocationUI::GetResourcePath() + zipName;
        handle = OpenZipArchive(path.GetData(), 0, kZipFileName);
    }
    CSkinLocationUI::SetResourceZipState(zipName.GetData(), cached, handle);
}

void CWindowManagerUI::SetResourceZip(const void* block, unsigned int size) {
    if (CSkinLocationUI::GetResourceZip() == kMemoryZipName) return;
    CloseCachedZip();
    const bool cached = CSkinLocationUI::IsCachedResourceZip();
    // An archive in memory can only be read through the handle kept open.
    ZipHandleUI* handle = cached && block != nullptr ? OpenZipArchive(block, size, kZipMemory) : nullptr;
    CSkinLocationUI::SetResourceZipState(kMemoryZipName, cached, handle);
}

void CWindowManagerUI::Term() {
    if (CSkinLocationUI::IsCachedResourceZip()) CloseCachedZip();
}

void CWindowManagerUI::GetHSL(short* hue, short* saturation, short* lightness) {
    if (hue != nullptr) *hue = Shared().hue;
    if (saturation != nullptr) *saturation = Shared().saturation;
    if (lightness != nullptr) *lightness = Shared().lightness;
}

bool CWindowManagerUI::IsUsingHSL() { return Shared().useHSL; }

CPointerArray* CWindowManagerUI::GetPlugins() { return &Shared().plugins; }

const CPointerArray& CWindowManagerUI::GetManagers() { return Shared().managers; }

}  // namespace QuillUI
