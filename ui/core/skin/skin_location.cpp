#include "ui/core/skin/skin_location.h"

namespace QuillUI {

namespace {

struct SkinLocation {
    CWideString path;
    CWideString zipName;
    bool cached = true;
    ZipHandleUI* zipHandle = nullptr;
};

SkinLocation& Shared() {
    static SkinLocation location;
    return location;
}

}  // namespace

const CWideString& CSkinLocationUI::GetResourcePath() { return Shared().path; }

void CSkinLocationUI::SetResourcePath(const wchar_t* path) {
    CWideString& stored = Shared().path;
    stored = path;
    if (stored.IsEmpty()) return;
    wchar_t last = stored.GetAt(stored.GetLength() - 1);
    if (last != L'\\' && last != L'/') stored += L'\\';
}

const CWideString& CSkinLocationUI::GetResourceZip() { return Shared().zipName; }

bool CSkinLocationUI::IsCachedResourceZip() { return Shared().cached; }

ZipHandleUI* CSkinLocationUI::GetResourceZipHandle() { return Shared().zipHandle; }

void CSkinLocationUI::SetResourceZipState(const wchar_t* name, bool cached, ZipHandleUI* handle) {
    SkinLocation& location = Shared();
    location.zipName = name;
    location.cached = cached;
    location.zipHandle = handle;
}

}  // namespace QuillUI
