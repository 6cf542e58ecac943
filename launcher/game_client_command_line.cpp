#include "launcher/game_client_command_line.h"

#include "common/protocol_deal.h"

std::wstring GameClientCommandLine(HWND gameWindow, const std::wstring& token) {
    // The handle as a 32-bit number, as the engine's command line carries it.
    return L"wnd:" + std::to_wstring(WindowToChannel(gameWindow)) + L";wndoffset:2,53,2,2;token:" + token;
}
