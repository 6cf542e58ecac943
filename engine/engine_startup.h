#pragma once
// The run of Tidemill.exe: builds the engine object, makes sure only one
// engine serves the launchers, greets them from its hidden window and runs
// the loop until the engine's tick says stop.
#include "common/win.h"

// The whole program; returns its exit code.
int RunTidemill(HINSTANCE instance, const wchar_t* commandLine);
