#pragma once
#include "common/win.h"

#include <string>

extern const wchar_t kLauncherExe[];  // "Brightgate.exe"
extern const wchar_t kEngineExe[];    // "Tidemill.exe"

// Starts `exeName` of `folder` shown normally, without elevation, with the
// folder (and a trailing backslash) as its working folder. Its process id, or
// 0 after the starter's error box.
DWORD StartInstalledProgram(const std::wstring& folder, const std::wstring& exeName,
                            const std::wstring& commandLine);

// Unpacks the downloaded package and records the new digest of `exeName`.
// When the package cannot be unpacked nothing is recorded and the result is
// false; the caller then starts the old program again.
bool InstallDownloadedProgram(const std::wstring& exeName);

// The first two modes: wait for `exeName` to go (ending it when it will
// not), install the new copy and start it with "restart". When the package
// cannot be unpacked the program that was there is started again instead.
void ReplaceProgram(const std::wstring& folder, const std::wstring& exeName);
