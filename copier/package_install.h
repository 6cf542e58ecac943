#pragma once
#include <string>

// The package that the engine leaves for the copier, and the launcher's own
// hash list, both relative to the installation folder (the current folder).
extern const wchar_t kDownloadedPackage[];  // "Tmp/DownloadTmp.xmp"
extern const wchar_t kLauncherHashList[];   // "LancherHashMD5.xmp"

// Unpacks the downloaded package into the current folder. False when the
// package is missing or damaged or any entry could not be written.
bool UnpackDownloadedPackage();

// Records the MD5 of `exeName` (a file of the current folder) in the
// launcher's hash list under the name's path hash. A list that exists but
// cannot be read is left alone rather than replaced by one entry.
bool RecordProgramDigest(const std::wstring& exeName);
