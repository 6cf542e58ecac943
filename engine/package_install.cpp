#include "engine/package_install.h"

#include "common/file_util.h"
#include "common/package_extractor.h"
#include "common/package_file.h"
#include "common/win.h"

namespace {

// Separators as "\", runs of them as one, letters lower-cased: the form in
// which two spellings of one Windows path compare equal.
std::wstring PathKey(const std::wstring& path) {
    std::wstring key;
    key.reserve(path.size());
    for (wchar_t c : path) {
        if (c == L'/') c = L'\\';
        if (c == L'\\' && !key.empty() && key.back() == L'\\') continue;
        key.push_back(c);
    }
    if (!key.empty()) CharLowerBuffW(&key[0], static_cast<DWORD>(key.size()));
    return key;
}

}  // namespace

PackageInstallResult InstallPackagedFile(const std::wstring& package, const std::wstring& folder,
                                         const std::wstring& target, const Md5Digest& expected,
                                         const std::atomic<bool>* stop) {
    const std::wstring targetKey = PathKey(target);
    bool seen = false;
    bool mismatch = false;
    PackageExtractor extractor;
    extractor.SetEntryCheck([&](const std::wstring& outputPath, const std::wstring& stagedPath) {
        if (PathKey(outputPath) != targetKey) return true;
        seen = true;
        Md5Digest digest;
        if (!FileMd5(stagedPath, digest, stop) || digest != expected) {
            mismatch = true;
            return false;
        }
        return true;
    });
    extractor.SetStopFlag(stop);
    int result = extractor.Extract(package, folder);
    if (result == kExtractStopped) return PackageInstallResult::kStopped;
    if (mismatch) return PackageInstallResult::kDigestMismatch;
    if (result == kExtractNoMemory) return PackageInstallResult::kNoMemory;
    if (result != kExtractOk) return PackageInstallResult::kUnpackFailed;
    if (!seen) return PackageInstallResult::kFileMissing;
    return PackageInstallResult::kInstalled;
}

bool PackageEntryDigest(const std::wstring& package, const std::wstring& fileName, Md5Digest& digest) {
    PackageFile file;
    if (!file.Open(package)) return false;
    // The unpacking refuses a package with a name that leaves its folder.
    for (uint32_t i = 0; i < file.EntryCount(); ++i)
        if (!IsSafeRelativePath(file.EntryName(i))) return false;
    const std::wstring wanted = PathKey(fileName);
    for (uint32_t i = 0; i < file.EntryCount(); ++i) {
        if (file.IsFolder(i) || PathKey(file.EntryName(i)) != wanted) continue;
        Md5 md5;
        if (!file.ReadEntry(i, [&md5](const uint8_t* data, size_t size) {
                md5.Update(data, size);
                return true;
            }))
            return false;
        md5.Final(digest);
        return true;
    }
    return false;
}
