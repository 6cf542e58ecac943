#pragma once
// Whether the player may close the launcher at once: [Flag] <open id> in
// "LancherCache.ini" of the program folder, "1" once a first run has lasted
// long enough.
#include <string>

extern const wchar_t kCloseFlagFile[];  // "LancherCache.ini"

// True when the player's flag reads as an integer other than 0.
bool ReadCloseAllowed(const std::wstring& programFolder, const std::wstring& openId);

// Sets the player's flag to "1"; other players' flags are kept. False when
// the file could not be written.
bool WriteCloseAllowed(const std::wstring& programFolder, const std::wstring& openId);
