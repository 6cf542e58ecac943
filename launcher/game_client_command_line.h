#pragma once
// The command line with which the launcher starts the game client: the game
// window the client embeds itself in, the offsets of its place there, and the
// token the page handed over.
#include "common/win.h"

#include <string>

// "wnd:%d;wndoffset:2,53,2,2;token:%s", the window in decimal. The token is
// never cut: a cut token fails the game's login.
std::wstring GameClientCommandLine(HWND gameWindow, const std::wstring& token);
