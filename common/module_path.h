#pragma once
#include <string>

// Full path of the running executable.
std::wstring ExecutablePath();

// Folder of the running executable (see FolderOfPath).
std::wstring ExecutableFolder();

// The folder part of a file's full path, without a trailing backslash except
// for a drive root, which keeps it: "D:" alone names the current folder of
// drive D, not its root. Empty when the path holds no backslash.
std::wstring FolderOfPath(const std::wstring& path);

// The current folder as the system gives it (a drive root keeps its "\"),
// read whole however long it is; empty when it cannot be read.
std::wstring CurrentFolder();
