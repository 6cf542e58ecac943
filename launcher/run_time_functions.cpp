#include "launcher/run_time_functions.h"

namespace {

const DWORD kFilterAdd = 1;     // MSGFLT_ADD
const DWORD kFilterRemove = 2;  // MSGFLT_REMOVE

using ChangeWindowMessageFilterFunction = BOOL(WINAPI*)(UINT, DWORD);
using SetAppUserModelIdFunction = HRESULT(WINAPI*)(PCWSTR);

template <class Function>
Function Lookup(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

BOOL AllowMessageThroughFilter(UINT message, bool add) {
    HMODULE user = LoadLibraryW(L"user32.dll");
    if (user == nullptr) return FALSE;
    BOOL result = FALSE;
    auto change = Lookup<ChangeWindowMessageFilterFunction>(user, "ChangeWindowMessageFilter");
    if (change != nullptr) result = change(message, add ? kFilterAdd : kFilterRemove);
    FreeLibrary(user);
    return result;
}

void SetAppUserModelId(const std::wstring& modelId) {
    HMODULE shell = LoadLibraryW(L"Shell32.dll");
    if (shell == nullptr) return;
    auto set = Lookup<SetAppUserModelIdFunction>(shell, "SetCurrentProcessExplicitAppUserModelID");
    if (set != nullptr) set(modelId.c_str());
    FreeLibrary(shell);
}
