#pragma once
#include <string>

// Full path of the running executable.
std::wstring ExecutablePath();

// Folder of the running executable, without a trailing backslash.
std::wstring ExecutableFolder();
