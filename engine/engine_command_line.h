#pragma once
// Tidemill.exe's command line: "restart", or one launcher window handle in
// decimal (both read in the ANSI code page).
#include "common/win.h"

#include <string>
#include <vector>

bool IsRestartCommandLine(const std::wstring& commandLine);

// The window a decimal handle names (read in the ANSI code page), or null
// when it names none.
HWND WindowFromDecimalText(const std::wstring& text);

// The launcher windows it names: "restart" reads them from "./Tidemill.ini";
// a handle is kept only when it is a window.
std::vector<HWND> LauncherWindowsFromCommandLine(const std::wstring& commandLine);
