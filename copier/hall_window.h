#pragma once
#include "common/win.h"

#include <string>

// Hall mode: the copier's window and its message loop, which polls the hall
// client whenever no message waits. Returns the wParam of the last message
// taken, or 0 when the window or the hall connection cannot be set up.
int RunHallMode(HINSTANCE instance, int showCommand, const std::wstring& folder,
                const std::wstring& parameterList);
