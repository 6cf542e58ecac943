#pragma once
#include <string>

// Full path of the running executable.
std::wstring ExecutablePath();

// Folder of the running executable, without a trailing backslash.
std::wstring ExecutableFolder();

// The current folder as the system gives it (a drive root keeps its "\"),
// read whole however long it is; empty when it cannot be read.
std::wstring CurrentFolder();
