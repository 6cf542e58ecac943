#pragma once
#include <string>

// Registry strings under a root given by index: 0 HKEY_CLASSES_ROOT,
// 1 HKEY_CURRENT_USER, 2 HKEY_LOCAL_MACHINE, 3 HKEY_USERS,
// 4 HKEY_PERFORMANCE_DATA, 5 HKEY_CURRENT_CONFIG, 6 HKEY_DYN_DATA,
// 7 HKEY_PERFORMANCE_TEXT, 8 HKEY_PERFORMANCE_NLSTEXT.
std::wstring ReadRegistryString(int rootIndex, const std::wstring& subkey, const std::wstring& valueName);
bool WriteRegistryString(int rootIndex, const std::wstring& subkey, const std::wstring& valueName,
                         const std::wstring& value);
