#pragma once
// The launcher windows an engine hands to its replacement: written into
// "./Tidemill.ini" [Tidemill] as fwnd0, fwnd1, ... just before the engine
// exits for a restart, and read back by the restarted engine.
#include "common/win.h"

#include <string>
#include <vector>

constexpr wchar_t kRestartWindowsFile[] = L"./Tidemill.ini";
// More keys than an engine ever writes (its launcher records and the end
// mark); reading stops there.
constexpr size_t kMaxRestartKeys = 1024;

// Writes the windows in order and ends the list with a "0", so that keys
// left over from an earlier, longer list are never read as launchers.
bool WriteRestartWindows(const std::wstring& file, const std::vector<HWND>& windows);

// Reads up to the first "0" (or missing key), at most kMaxRestartKeys keys;
// handles that are no longer windows are skipped.
std::vector<HWND> ReadRestartWindows(const std::wstring& file);
