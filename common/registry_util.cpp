#include "common/registry_util.h"

#include "common/unique_handle.h"

#include <vector>

namespace {

HKEY RootKey(int index) {
    switch (index) {
    case 0: return HKEY_CLASSES_ROOT;
    case 1: return HKEY_CURRENT_USER;
    case 2: return HKEY_LOCAL_MACHINE;
    case 3: return HKEY_USERS;
    case 4: return HKEY_PERFORMANCE_DATA;
    case 5: return HKEY_CURRENT_CONFIG;
    case 6: return HKEY_DYN_DATA;
    case 7: return HKEY_PERFORMANCE_TEXT;
    case 8: return HKEY_PERFORMANCE_NLSTEXT;
    default: return nullptr;
    }
}

HKEY LauncherRootKey(int index) {
    switch (index) {
    case 7: return nullptr;
    case 8: return HKEY_PERFORMANCE_TEXT;
    case 9: return HKEY_PERFORMANCE_NLSTEXT;
    default: return index >= 0 && index <= 6 ? RootKey(index) : nullptr;
    }
}

bool AcceptedType(DWORD type, bool multiToo) { return type == REG_SZ || (multiToo && type == REG_MULTI_SZ); }

// The value up to its first NUL, so a REG_MULTI_SZ gives its first string.
std::wstring QueryString(HKEY root, const std::wstring& subkey, const std::wstring& valueName, bool multiToo) {
    if (root == nullptr) return std::wstring();
    ScopedRegKey key;
    if (RegOpenKeyExW(root, subkey.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return std::wstring();
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key.Get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        !AcceptedType(type, multiToo)) {
        return std::wstring();
    }
    // Twice the reported size, zeroed: the stored value need not end in NUL.
    std::vector<BYTE> buffer(static_cast<size_t>(size) * 2 + sizeof(wchar_t), 0);
    DWORD capacity = static_cast<DWORD>(buffer.size() - sizeof(wchar_t));
    if (RegQueryValueExW(key.Get(), valueName.c_str(), nullptr, &type, buffer.data(), &capacity) !=
            ERROR_SUCCESS ||
        !AcceptedType(type, multiToo)) {
        return std::wstring();
    }
    return std::wstring(reinterpret_cast<const wchar_t*>(buffer.data()));
}

bool SetString(HKEY root, const std::wstring& subkey, const std::wstring& valueName, const std::wstring& value,
               bool withTerminator) {
    if (root == nullptr) return false;
    ScopedRegKey key;
    if (RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        key.Put(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    size_t characters = value.size() + (withTerminator ? 1 : 0);
    return RegSetValueExW(key.Get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(characters * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace

std::wstring ReadRegistryString(int rootIndex, const std::wstring& subkey, const std::wstring& valueName) {
    return QueryString(RootKey(rootIndex), subkey, valueName, false);
}

bool WriteRegistryString(int rootIndex, const std::wstring& subkey, const std::wstring& valueName,
                         const std::wstring& value) {
    return SetString(RootKey(rootIndex), subkey, valueName, value, false);
}

std::wstring LauncherReadRegistryString(int rootIndex, const std::wstring& subkey, const std::wstring& valueName) {
    return QueryString(LauncherRootKey(rootIndex), subkey, valueName, true);
}

bool LauncherWriteRegistryString(int rootIndex, const std::wstring& subkey, const std::wstring& valueName,
                                 const std::wstring& text) {
    return SetString(LauncherRootKey(rootIndex), subkey, valueName, text, true);
}
