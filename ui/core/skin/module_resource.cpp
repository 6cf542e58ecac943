#include "ui/core/skin/module_resource.h"

#include "ui/core/manager/window_manager_ui.h"

namespace QuillUI {

const void* FindModuleResource(const wchar_t* name, const wchar_t* type, DWORD& size) {
    size = 0;
    // Without an instance set, null names the program's own module.
    HINSTANCE module = CWindowManagerUI::GetResourceDll();
    HRSRC found = ::FindResourceW(module, name, type);
    if (found == nullptr) return nullptr;
    HGLOBAL loaded = ::LoadResource(module, found);
    if (loaded == nullptr) return nullptr;
    const DWORD length = ::SizeofResource(module, found);
    const void* bytes = ::LockResource(loaded);
    if (bytes == nullptr || length == 0) return nullptr;
    size = length;
    return bytes;
}

}  // namespace QuillUI
