#pragma once
#include "common/win.h"

// The launcher from its start to the end of its message loop; always 0.
int RunLauncher(HINSTANCE instance, const wchar_t* commandLine);
