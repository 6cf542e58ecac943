#include "launcher/game_start.h"

#include "common/common_log.h"
#include "launcher/game_client_command_line.h"
#include "launcher/game_main.h"

namespace {

// The reports name the programs as they were first known, whatever ExeName is.
DWORD StartReported(ProgramStarter& starter, GameMainHost& reports, const wchar_t* name, const std::wstring& file,
                    const std::wstring& parameters, const std::wstring& folder, int showState) {
    const DWORD pid = starter.Start(file, parameters, folder, showState);
    const DWORD error = GetLastError();
    if (pid == 0) {
        reports.QueueEventReport(std::wstring(L"Start ") + name + L" fail",
                                 L"ShellExecuteExW  " + std::to_wstring(static_cast<int>(error)));
    } else {
        reports.QueueEventReport(std::wstring(L"Start ") + name + L" sucess", L"");
    }
    return pid;
}

}  // namespace

DWORD StartGameClient(ProgramStarter& starter, GameMainHost& reports, const GameStartRequest& request,
                      HWND gameWindow) {
    if (gameWindow == nullptr || !IsWindow(gameWindow)) {
        CommonLog("The client is ready but no game window is open; the game is not started");
        return 0;
    }
    reports.QueueEventReport(L"Start qlnmini.exe", L"");
    StartReported(starter, reports, L"qlnmini.exe", request.clientFolder + L"Tiny\\qlnmini.exe", L"",
                  request.clientFolder + L"Tiny\\", SW_HIDE);

    reports.QueueEventReport(L"Start Client.exe", L"");
    return StartReported(starter, reports, L"Client.exe", request.clientFolder + request.exeName,
                         GameClientCommandLine(gameWindow, request.token), request.clientFolder, SW_SHOWNORMAL);
}

void StartGameInCurrentWindow(ProgramStarter& starter, GameMainHost& reports, const GameStartRequest& request) {
    GameMain* game = GetGameMain();
    HWND window = game != nullptr ? game->GetHWND() : nullptr;
    const DWORD pid = StartGameClient(starter, reports, request, window);
    // A failed start's box lets the player close that window, and choose
    // again, before the start returns: only a window still current watches.
    game = GetGameMain();
    if (game != nullptr && window != nullptr && game->GetHWND() == window) game->SetGameProcessId(pid);
}
