#include "ui/core/render/platform_functions_ui.h"

namespace QuillUI {

namespace {

PlatformFunctionsUI LookUp() {
    PlatformFunctionsUI functions;
    if (HMODULE msimg = LoadLibraryW(L"msimg32.dll")) {
        functions.alphaBlend = reinterpret_cast<AlphaBlendFunction>(
            reinterpret_cast<void*>(GetProcAddress(msimg, "AlphaBlend")));
        functions.gradientFill = reinterpret_cast<GradientFillFunction>(
            reinterpret_cast<void*>(GetProcAddress(msimg, "GradientFill")));
    }
    if (HMODULE user = GetModuleHandleW(L"User32.dll")) {
        functions.setLayeredWindowAttributes = reinterpret_cast<SetLayeredWindowAttributesFunction>(
            reinterpret_cast<void*>(GetProcAddress(user, "SetLayeredWindowAttributes")));
        functions.updateLayeredWindow = reinterpret_cast<UpdateLayeredWindowFunction>(
            reinterpret_cast<void*>(GetProcAddress(user, "UpdateLayeredWindow")));
    }
    return functions;
}

const PlatformFunctionsUI* g_override = nullptr;

}  // namespace

const PlatformFunctionsUI& GetPlatformFunctions() {
    static const PlatformFunctionsUI functions = LookUp();
    return g_override != nullptr ? *g_override : functions;
}

void OverridePlatformFunctions(const PlatformFunctionsUI* functions) { g_override = functions; }

}  // namespace QuillUI
