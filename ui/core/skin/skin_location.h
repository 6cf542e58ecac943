// Where the program's skin files come from: a folder, optionally with a zip
// archive in it that is either kept open or opened for each load. The window
// manager sets it; the markup and image loaders read it.
#pragma once
#include "ui/core/values/wide_string.h"

namespace QuillUI {

struct ZipHandleUI;

class CSkinLocationUI {
public:
    static const CWideString& GetResourcePath();
    // Adds a backslash unless the path is empty or already ends in "\" or "/".
    static void SetResourcePath(const wchar_t* path);
    // The zip's file name in the resource folder; empty when skins are plain files.
    static const CWideString& GetResourceZip();
    static bool IsCachedResourceZip();
    // The archive kept open while caching is on; null otherwise.
    static ZipHandleUI* GetResourceZipHandle();
    // Records the zip's name, whether it is kept open and the handle kept.
    // The caller keeps owning the handle.
    static void SetResourceZipState(const wchar_t* name, bool cached, ZipHandleUI* handle);
};

}  // namespace QuillUI
