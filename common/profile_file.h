#pragma once
// Reading and writing INI files with the platform's profile functions.
#include <string>
#include <vector>

// A bare file name sends the profile functions to the Windows folder; such a
// name is taken relative to the current folder instead (".\name").
std::wstring ProfileFilePath(const std::wstring& file);

// The value of a key, read into a buffer of the given number of characters
// (longer values are cut to capacity - 1); the default when it is missing.
std::wstring ReadProfileString(const std::wstring& file, const wchar_t* section,
                               const wchar_t* key, const wchar_t* defaultValue = L"",
                               unsigned capacity = 512);

struct ProfileEntry {
    std::wstring section;
    std::wstring key;
    std::wstring value;
};

// Applies the entries, in order, to a copy of the file made beside it (or to
// a new file) and renames the copy over the file, so a cut leaves the old
// file or the new one. Other sections and keys are kept. The folder must
// exist. False, with the file unchanged, when any step fails.
bool WriteProfileStringsAtomically(const std::wstring& file, const std::vector<ProfileEntry>& entries);
