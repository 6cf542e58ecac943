#include "engine/restart_windows.h"

#include "common/common_log.h"
#include "common/protocol_deal.h"

#include <cwchar>
#include <string>

namespace {

constexpr wchar_t kSection[] = L"Tidemill";

std::wstring KeyOf(size_t index) {
    wchar_t key[32];
    std::swprintf(key, 32, L"fwnd%u", static_cast<unsigned>(index));
    return key;
}

}  // namespace

bool WriteRestartWindows(const std::wstring& file, const std::vector<HWND>& windows) {
    bool ok = true;
    for (size_t n = 0; n < windows.size(); ++n) {
        std::wstring value = std::to_wstring(WindowToChannel(windows[n]));
        ok = WritePrivateProfileStringW(kSection, KeyOf(n).c_str(), value.c_str(), file.c_str()) && ok;
    }
    ok = WritePrivateProfileStringW(kSection, KeyOf(windows.size()).c_str(), L"0", file.c_str()) && ok;
    return ok;
}

std::vector<HWND> ReadRestartWindows(const std::wstring& file) {
    std::vector<HWND> windows;
    for (size_t n = 0;; ++n) {
        if (n == kMaxRestartKeys) {
            CommonLog("Tidemill.ini: more than " + std::to_string(kMaxRestartKeys) + " launcher windows; the rest is not read");
            break;
        }
        wchar_t value[256];
        GetPrivateProfileStringW(kSection, KeyOf(n).c_str(), L"0", value, 256, file.c_str());
        if (std::wcscmp(value, L"0") == 0) break;
        HWND window = ChannelToWindow(static_cast<int32_t>(std::wcstol(value, nullptr, 10)));
        if (IsWindow(window)) windows.push_back(window);
    }
    return windows;
}
