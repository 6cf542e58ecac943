#pragma once
#include "common/win.h"

#include <cstddef>
#include <string>

// Creates every folder along a path up to its last "\" or "/"; the last
// component is taken as a file name and not created. True when the folder
// of the path exists afterwards.
bool MakeDirectoryChain(const std::wstring& path);

// True for a relative path that stays below the folder it is joined to: not
// empty, no leading separator, no drive letter or other ':', no ".."
// component and no device name ("NUL", "COM1.txt"). Separators may be "\"
// or "/".
bool IsSafeRelativePath(const std::wstring& path);
bool IsSafeRelativePath(const std::string& path);

// Moves a finished file over its target in one step. A target held open by
// another program (sharing violation, access denied) is retried for about
// two seconds before giving up.
bool ReplaceFileAtomically(const std::wstring& source, const std::wstring& target);

// Writes a whole file beside its target under a temporary name, flushes it
// and renames it over the target, so a cut leaves the old file or the new one.
bool WriteFileAtomically(const std::wstring& path, const void* data, size_t size);

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::wstring& path, std::string& contents);

bool FileExists(const std::wstring& path);
