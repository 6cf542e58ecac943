#pragma once
// Bringing one file in from its downloaded package without ever leaving the
// target torn or wrong: the package is unpacked beside the target, the
// unpacked bytes are checked against the expected digest, and only then is
// the target replaced.
#include <atomic>
#include <string>

#include "common/md5.h"

enum class PackageInstallResult {
    kInstalled,
    kUnpackFailed,    // not a readable package, or an entry could not be written
    kNoMemory,        // too little memory to decode it, however often it is fetched
    kFileMissing,     // the package does not hold the target
    kDigestMismatch,  // the package holds the target with other bytes
    kStopped,         // the stop flag was raised; the target is as it was
};

// Unpacks package under folder; the entry that lands on target must have the
// expected digest, else the target is left as it was. Other entries are
// unpacked as they come. The stop flag (optional) is watched throughout.
PackageInstallResult InstallPackagedFile(const std::wstring& package, const std::wstring& folder,
                                         const std::wstring& target, const Md5Digest& expected,
                                         const std::atomic<bool>* stop = nullptr);

// The digest of the file that unpacking the package would write at
// fileName relative to its folder (case and the kind of separator ignored),
// without writing anything. False when the package cannot be read, holds no
// such entry, or has a name that unpacking would refuse.
bool PackageEntryDigest(const std::wstring& package, const std::wstring& fileName, Md5Digest& digest);
