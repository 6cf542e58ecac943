#pragma once
// Starting the game once the engine reports the client ready: the mini
// client first, then the game client told the game window it embeds in.
#include "common/win.h"
#include "launcher/launcher_restart.h"

#include <string>

class GameMainHost;

struct GameStartRequest {
    std::wstring clientFolder;  // ends in "\"
    std::wstring exeName;       // [platform] ExeName
    std::wstring token;         // from the page's "startGame"
};

// The mini client "Tiny\qlnmini.exe" hidden without parameters, then the game
// client shown normally with its command line naming GAME_WINDOW; each start
// reported. A failed mini client does not stop the game client. Returns the
// game client's process id, 0 when it did not start. Without a game window
// nothing is started: the client would have nowhere to go.
DWORD StartGameClient(ProgramStarter& starter, GameMainHost& reports, const GameStartRequest& request,
                      HWND gameWindow);

// The same for the current game window, which then watches the game.
void StartGameInCurrentWindow(ProgramStarter& starter, GameMainHost& reports, const GameStartRequest& request);
