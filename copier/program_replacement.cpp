#include "copier/program_replacement.h"

#include "common/code_page.h"
#include "common/md5.h"
#include "common/process_util.h"
#include "copier/copier_log.h"
#include "copier/package_install.h"
#include "copier/program_wait.h"

const wchar_t kLauncherExe[] = L"Brightgate.exe";
const wchar_t kEngineExe[] = L"Tidemill.exe";

namespace {

const DWORD kWaitPauseMs = 3000;
// About five minutes; a program that survives that cannot be ended by us.
const int kWaitRounds = 100;

}  // namespace

DWORD StartInstalledProgram(const std::wstring& folder, const std::wstring& exeName,
                            const std::wstring& commandLine) {
    DWORD pid = RunProgram(folder + L"\\" + exeName, commandLine, folder + L"\\", SW_SHOWNORMAL, false);
    if (pid == 0)
        CopierLog(L"starting %ls failed (error %lu)", exeName.c_str(), static_cast<unsigned long>(GetLastError()));
    else
        CopierLog(L"started %ls (process %lu) with \"%ls\"", exeName.c_str(), static_cast<unsigned long>(pid),
                  commandLine.c_str());
    return pid;
}

bool InstallDownloadedProgram(const std::wstring& exeName) {
    Md5Digest before;
    bool hadProgram = FileMd5(exeName, before);
    if (!UnpackDownloadedPackage()) {
        CopierLog(L"unpacking %ls failed; no digest recorded for %ls", kDownloadedPackage, exeName.c_str());
        return false;
    }
    // A package without the program unpacks fine and replaces nothing.
    Md5Digest after;
    if (hadProgram && FileMd5(exeName, after) && after == before)
        CopierLog(L"the package left %ls as it was", exeName.c_str());
    if (!RecordProgramDigest(exeName))
        CopierLog(L"recording the digest of %ls in %ls failed", exeName.c_str(), kLauncherHashList);
    return true;
}

void ReplaceProgram(const std::wstring& folder, const std::wstring& exeName) {
    CopierLog(L"replacing %ls in %ls", exeName.c_str(), folder.c_str());
    if (!WaitForProgramToEnd(WideToMulti(exeName, 0).c_str(), kWaitPauseMs, kWaitRounds)) return;
    if (!InstallDownloadedProgram(exeName)) CopierLog(L"starting the old %ls again", exeName.c_str());
    StartInstalledProgram(folder, exeName, L"restart");
}
