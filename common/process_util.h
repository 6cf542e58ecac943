#pragma once
#include "common/win.h"

#include <string>

// Finding, testing and ending processes by executable name. Names compare
// exactly (case counts) after conversion to the ANSI code page.
bool IsProcessRunningA(const char* exeName);
DWORD FindProcessIdByName(const char* exeName);
bool TerminateProcessByName(const char* exeName);

// Starts a program through the shell and returns its process id, or 0 after
// the box "ShellExecuteExW  %d" with the error code; GetLastError() still
// gives that code after the box.
DWORD RunProgram(const std::wstring& file, const std::wstring& parameters,
                 const std::wstring& folder, int showState, bool runas);

// Where RunProgram's failure box goes; tests replace it so nothing blocks.
using ErrorBoxFunction = void (*)(const wchar_t* text, const wchar_t* caption);
void SetErrorBoxFunction(ErrorBoxFunction function);
void ShowErrorBox(const wchar_t* text, const wchar_t* caption);
