#pragma once
#include <string>

// Registry strings under a root given by index: 0 HKEY_CLASSES_ROOT,
// 1 HKEY_CURRENT_USER, 2 HKEY_LOCAL_MACHINE, 3 HKEY_USERS,
// 4 HKEY_PERFORMANCE_DATA, 5 HKEY_CURRENT_CONFIG, 6 HKEY_DYN_DATA,
// 7 HKEY_PERFORMANCE_TEXT, 8 HKEY_PERFORMANCE_NLSTEXT.
std::wstring ReadRegistryString(int rootIndex, const std::wstring& subkey, const std::wstring& valueName);
bool WriteRegistryString(int rootIndex, const std::wstring& subkey, const std::wstring& valueName,
                         const std::wstring& value);

// The launcher's variants. Their root table differs from the one above:
// 0 to 6 as above, 7 is invalid, 8 HKEY_PERFORMANCE_TEXT,
// 9 HKEY_PERFORMANCE_NLSTEXT. The reader also takes the first string of a
// REG_MULTI_SZ value; the writer stores the terminating zero. A missing key
// or value, another type or an invalid index reads as the empty string and
// writes nothing.
std::wstring LauncherReadRegistryString(int rootIndex, const std::wstring& subkey, const std::wstring& valueName);
bool LauncherWriteRegistryString(int rootIndex, const std::wstring& subkey, const std::wstring& valueName,
                                 const std::wstring& text);
