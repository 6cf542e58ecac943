#pragma once
// A named mutex as another process would hold it: its security descriptor
// (SDDL) decides what this process may do with it, which is how an engine
// of higher integrity looks to one started normally.
#include "common/unique_handle.h"

#include <sddl.h>

#include <string>

inline ScopedHandle CreateForeignMutex(const std::wstring& name, const wchar_t* sddl, bool owned) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr))
        return ScopedHandle();
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), descriptor, FALSE};
    ScopedHandle mutex(CreateMutexW(&attributes, owned ? TRUE : FALSE, name.c_str()));
    LocalFree(descriptor);
    return mutex;
}

// Others may only wait on it (SYNCHRONIZE); others may do nothing with it
// (Wine still lets them wait).
constexpr wchar_t kWaitOnlySddl[] = L"D:(A;;0x100000;;;WD)";
constexpr wchar_t kNoAccessSddl[] = L"D:";
