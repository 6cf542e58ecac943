#include "engine/engine_command_line.h"

#include "common/code_page.h"
#include "common/protocol_deal.h"
#include "engine/restart_windows.h"

#include <cstdlib>

namespace {

std::string Narrow(const std::wstring& text) {
    size_t first = text.find_first_not_of(L" \t\r\n");
    if (first == std::wstring::npos) return std::string();
    size_t last = text.find_last_not_of(L" \t\r\n");
    return WideToMulti(text.substr(first, last - first + 1), 0);
}

}  // namespace

bool IsRestartCommandLine(const std::wstring& commandLine) { return Narrow(commandLine) == "restart"; }

HWND WindowFromDecimalText(const std::wstring& text) {
    HWND window = ChannelToWindow(static_cast<int32_t>(std::strtol(Narrow(text).c_str(), nullptr, 10)));
    return IsWindow(window) ? window : nullptr;
}

std::vector<HWND> LauncherWindowsFromCommandLine(const std::wstring& commandLine) {
    if (IsRestartCommandLine(commandLine)) return ReadRestartWindows(kRestartWindowsFile);
    HWND window = WindowFromDecimalText(commandLine);
    if (window == nullptr) return {};
    return {window};
}
