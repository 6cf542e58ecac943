// The bytes of a resource of the framework's resource module.
#pragma once
#include "common/win.h"

namespace QuillUI {

// The resource's bytes, valid while the module is loaded; null when it is
// missing, cannot be loaded or is empty. name and type are texts or
// MAKEINTRESOURCE ids.
const void* FindModuleResource(const wchar_t* name, const wchar_t* type, DWORD& size);

}  // namespace QuillUI
