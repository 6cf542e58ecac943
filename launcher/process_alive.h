#pragma once
#include "common/win.h"

// True when a process with this id is in a fresh process snapshot. Every
// entry is compared: the first one is not necessarily an idle process. Id 0
// names no process the launcher started and gives false. A snapshot that
// cannot be taken proves nothing: the process counts as alive, and the
// caller asks again later.
bool IsProcessAliveById(DWORD pid);

// What takes the snapshot (CreateToolhelp32Snapshot unless replaced; null
// restores it). Tests make it fail.
using ProcessSnapshotFunction = HANDLE(WINAPI*)(DWORD flags, DWORD processId);
void SetProcessSnapshotFunction(ProcessSnapshotFunction function);
