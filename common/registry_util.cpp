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

}  // namespace

std::wstring ReadRegistryString(int rootIndex, const std::wstring& subkey, const std::wstring& valueName) {
    HKEY root = RootKey(rootIndex);
    if (root == nullptr) return std::wstring();
    ScopedRegKey key;
    if (RegOpenKeyExW(root, subkey.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return std::wstring();
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key.Get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return std::wstring();
    }
    // Twice the reported size, zeroed: the stored value need not end in NUL.
    std::vector<BYTE> buffer(static_cast<size_t>(size) * 2 + sizeof(wchar_t), 0);
    DWORD capacity = static_cast<DWORD>(buffer.size() - sizeof(wchar_t));
    if (RegQueryValueExW(key.Get(), valueName.c_str(), nullptr, &type, buffer.data(), &capacity) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return std::wstring();
    }
    return std::wstring(reinterpret_cast<const wchar_t*>(buffer.data()));
}

bool WriteRegistryString(int rootIndex, const std::wstring& subkey, const std::wstring& valueName,
                         const std::wstring& value) {
    HKEY root = RootKey(rootIndex);
    if (root == nullptr) return false;
    ScopedRegKey key;
    if (RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        key.Put(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    return RegSetValueExW(key.Get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
}
