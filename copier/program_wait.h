#pragma once
#include "common/win.h"

// Waits until no process named `exeName` runs (exact name, case counts):
// after every pause of `pauseMs` a process still there is terminated, and the
// test is made again. After `maxRounds` pauses the wait gives up (a process
// that cannot be ended), and the result is false.
bool WaitForProgramToEnd(const char* exeName, DWORD pauseMs, int maxRounds);
