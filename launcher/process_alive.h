#pragma once
#include "common/win.h"

// True when a process with this id is in a fresh process snapshot. Every
// entry is compared: the first one is not necessarily an idle process. Id 0
// names no process the launcher started and gives false.
bool IsProcessAliveById(DWORD pid);
