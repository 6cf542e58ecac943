#include "copier/package_install.h"

#include "common/code_page.h"
#include "common/file_util.h"
#include "common/hash_list.h"
#include "common/md5.h"
#include "common/package_extractor.h"
#include "copier/copier_log.h"

const wchar_t kDownloadedPackage[] = L"Tmp/DownloadTmp.xmp";
const wchar_t kLauncherHashList[] = L"LancherHashMD5.xmp";

bool UnpackDownloadedPackage() {
    // The extractor refuses names that would leave the folder and writes
    // each file beside its target before renaming it over.
    return ExtractAll(kDownloadedPackage, L".") == kExtractOk;
}

bool RecordProgramDigest(const std::wstring& exeName) {
    Md5Digest digest;
    if (!FileMd5(exeName, digest)) {
        CopierLog(L"%ls cannot be read: no digest recorded", exeName.c_str());
        return false;
    }
    HashList list;
    if (!list.Load(kLauncherHashList) && FileExists(kLauncherHashList)) {
        CopierLog(L"%ls cannot be read: left as it is", kLauncherHashList);
        return false;
    }
    list.Set(WideToMulti(exeName, 0), digest);
    if (!list.Save(kLauncherHashList)) return false;
    CopierLog(L"recorded the digest of %ls in %ls", exeName.c_str(), kLauncherHashList);
    return true;
}
