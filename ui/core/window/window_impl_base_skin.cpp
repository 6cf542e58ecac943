// WM_CREATE of the skinned window base: the frame is stripped, the skin
// found and the control tree built.
#include "ui/core/window/window_impl_base.h"

#include "common/common_log.h"
#include "ui/core/control/control_ui.h"
#include "ui/core/markup/dialog_build_scope.h"
#include "ui/core/skin/module_resource.h"

#include <cwchar>
#include <new>

namespace QuillUI {

namespace {

// The "ZIPRES" bytes, copied once: the manager keeps the first memory zip
// it is given for the program's life and ignores later ones.
const void* LoadZipResource(const wchar_t* name, DWORD& size) {
    static unsigned char* block = nullptr;
    static DWORD blockSize = 0;
    if (block != nullptr) {
        size = blockSize;
        return block;
    }
    DWORD length = 0;
    const void* bytes = FindModuleResource(name, L"ZIPRES", length);
    if (bytes == nullptr) return nullptr;
    block = new (std::nothrow) unsigned char[length];
    if (block == nullptr) return nullptr;
    memcpy(block, bytes, length);
    blockSize = length;
    size = blockSize;
    return block;
}

}  // namespace

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, bool& handled) {
    handled = true;
    HWND window = GetHWND();
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_CAPTION);
    ::SetWindowLongPtrW(window, GWL_STYLE, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    RECT client = {};
    ::GetClientRect(window, &client);
    ::SetWindowPos(window, nullptr, client.left, client.top, client.right - client.left, client.bottom - client.top,
                   SWP_FRAMECHANGED);

    manager_.Init(window);
    manager_.AddPreMessageFilter(this);
    if (!LoadSkin()) FailSkinLoad();
    InitWindow();
    return 0;
}

bool WindowImplBase::LoadSkin() {
    if (CWindowManagerUI::GetResourcePath().IsEmpty()) {
        const CWideString folder = CWindowManagerUI::GetInstancePath() + GetSkinFolder();
        CWindowManagerUI::SetResourcePath(folder.GetData());
    } else {
        // Set again so that the path ends in a backslash.
        const CWideString path = CWindowManagerUI::GetResourcePath();
        CWindowManagerUI::SetResourcePath(path.GetData());
    }

    switch (GetResourceType()) {
    case kSkinZipFile:
        CWindowManagerUI::SetResourceZip(GetZipFileName().GetData(), true);
        break;
    case kSkinZipResource: {
        DWORD size = 0;
        const CWideString name = GetResourceId();
        const void* block = LoadZipResource(name.GetData(), size);
        if (block == nullptr) {
            // Without the zip nothing can be drawn; a window that paints
            // black forever helps nobody.
            CommonLog("The skin's ZIPRES resource cannot be loaded");
            return false;
        }
        CWindowManagerUI::SetResourceZip(block, size);
        break;
    }
    default:
        break;
    }

    const CWideString skinFile = GetSkinFile();
    const wchar_t* source = skinFile.GetData();
    const wchar_t* type = nullptr;
    if (GetResourceType() == kSkinXmlResource) {
        const long id = wcstol(skinFile.GetData(), nullptr, 10);
        if (id <= 0 || id > 0xFFFF) return false;
        source = MAKEINTRESOURCEW(id);
        type = L"xml";
    }
    // One build for the window: the child layouts that the tree builds when
    // it is attached share its budget and see the layout on the chain.
    CDialogBuildScope scope(source, type);
    CDialogBuilder builder;
    CControlUI* root = builder.Create(scope, this, &manager_);
    if (root == nullptr) return false;
    manager_.AttachDialog(root);
    manager_.AddNotifier(this);
    return true;
}

void WindowImplBase::FailSkinLoad() {
    ::MessageBoxW(nullptr, kLoadFailedText, kLoadFailedCaption, MB_ICONERROR);
    ::ExitProcess(1);
}

}  // namespace QuillUI
