#pragma once
#include "common/win.h"

#include <string>

// The copier from start to end: settles the installation folder, then runs
// the mode its command line asks for. Returns the program's exit code.
int RunCopier(HINSTANCE instance, const wchar_t* commandLine, int showCommand);

// Makes the executable's folder the current one unless "LauncherConfig.ini"
// lies in the current folder; returns the current folder afterwards (no
// trailing backslash).
std::wstring SettleInstallationFolder();
