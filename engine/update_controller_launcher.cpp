// The launcher road: the launcher's own files, the launcher program and the
// engine program, fetched from the first [Server] base.
#include "engine/update_controller.h"

#include "common/code_page.h"
#include "common/file_util.h"
#include "common/hash_list.h"
#include "common/md5.h"
#include "common/path_hash.h"
#include "common/path_map.h"
#include "common/process_util.h"
#include "common/unique_handle.h"
#include "common/win.h"
#include "engine/download_manager.h"
#include "engine/launcher_config.h"
#include "engine/package_install.h"

namespace {

const wchar_t kLauncherProgram[] = L"Brightgate.exe";
const wchar_t kEngineProgram[] = L"Tidemill.exe";

bool SameName(const std::wstring& a, const wchar_t* b) {
    return CompareStringOrdinal(a.c_str(), -1, b, -1, TRUE) == CSTR_EQUAL;
}

}  // namespace

void UpdateController::FetchLauncherList() {
    std::vector<std::wstring> bases = config_->GetServerBases();
    if (bases.empty()) {
        WriteLog("no [Server] base configured");
        SetStatus(L"Tip70");
        SetState(kStepStopped);
        return;
    }
    // Only the first base is asked; a failure there is not retried elsewhere.
    baseUrl_ = bases.front();
    SetState(kStepLauncherListDownloading);
    SetStatus(L"Tip6");
    Enqueue(kStepLauncherListDownloading, baseUrl_ + L"LancherHashMD5.xmp", TmpPath(L"LancherHashMD5.xmp"), false);
}

bool UpdateController::OnLauncherListDone() {
    changedKeys_.clear();
    const std::wstring listFile = TmpPath(L"LancherHashMD5.xmp");
    if (!newLauncherList_->Load(listFile)) WriteLog("LancherHashMD5.xmp cannot be read");
    for (const auto& entry : newLauncherList_->GetEntries()) {
        if (launcherList_->Differs(entry.first, entry.second)) changedKeys_.push_back(entry.first);
    }
    if (changedKeys_.empty()) {
        DeleteFileW(listFile.c_str());
        FetchServerList();
        return true;
    }
    WriteLog("%u launcher files changed", static_cast<unsigned>(changedKeys_.size()));
    SetState(kStepLauncherPathMapDownloading);
    SetStatus(L"Tip9");
    Enqueue(kStepLauncherPathMapDownloading, baseUrl_ + L"HashToFile.xmp", TmpPath(L"HashToFile.xmp"), false);
    return true;
}

bool UpdateController::OnLauncherPathMapDone() {
    launcherExeChanged_ = false;
    engineExeChanged_ = false;
    fileList_.clear();
    PathMap map;
    if (!map.Load(TmpPath(L"HashToFile.xmp"))) WriteLog("launcher HashToFile.xmp cannot be read");
    for (uint64_t key : changedKeys_) {
        std::string utf8 = map.PathOf(key);
        if (utf8.empty()) {
            WriteLog("launcher key %llu has no path", static_cast<unsigned long long>(key));
            continue;
        }
        std::wstring path = MultiToWide(utf8, CP_UTF8);
        if (!IsSafeRelativePath(path)) {
            WriteLog("launcher path refused: %s", utf8.c_str());
            continue;
        }
        if (SameName(path, kLauncherProgram))
            launcherExeChanged_ = true;
        else if (SameName(path, kEngineProgram))
            engineExeChanged_ = true;
        else
            fileList_.push_back(path);
    }
    resourcesChanged_ = !fileList_.empty();
    SetRange(0, static_cast<int>(fileList_.size()));
    SetPosition(0);
    NextLauncherFile();
    return true;
}

void UpdateController::NextLauncherFile() {
    if (!fileList_.empty()) {
        if (IsProcessRunningA("qlnmini.exe")) TerminateProcessByName("qlnmini.exe");
        currentFile_ = fileList_.front();
        SetState(kStepLauncherFileDownloading);
        SetStatus(L"Tip10");
        Enqueue(kStepLauncherFileDownloading, baseUrl_ + currentFile_ + L".pkg", downloadTarget_, false);
    } else if (launcherExeChanged_) {
        SetState(kStepLauncherProgramDownloading);
        SetStatus(L"Tip11");
        Enqueue(kStepLauncherProgramDownloading, baseUrl_ + kLauncherProgram + L".pkg", downloadTarget_, false);
    } else if (resourcesChanged_) {
        RestartLauncher();
    } else if (engineExeChanged_) {
        SetState(kStepEngineProgramDownloading);
        SetStatus(L"Tip68");
        Enqueue(kStepEngineProgramDownloading, baseUrl_ + kEngineProgram + L".pkg", downloadTarget_, false);
    } else {
        FetchServerList();
    }
}

bool UpdateController::OnLauncherFileDone() {
    const std::wstring path = currentFile_;
    const uint64_t key = PathHash(path);
    const Md5Digest* expected = newLauncherList_->Find(key);
    if (expected == nullptr) {
        WriteLog("launcher file %s is not in the new list", WideToMulti(path, 0).c_str());
        return false;
    }
    size_t slash = path.find_last_of(L'\\');
    std::wstring folder = slash == std::wstring::npos ? root_ : root_ + path.substr(0, slash);
    switch (InstallPackagedFile(downloadTarget_, folder, root_ + path, *expected)) {
    case PackageInstallResult::kInstalled:
        break;
    case PackageInstallResult::kUnpackFailed:
        WriteLog("launcher package of %s cannot be unpacked", WideToMulti(path, 0).c_str());
        SetStatus(L"Tip28");
        return false;
    default:
        WriteLog("%s", WideToMulti(L"下载登陆器资源失败，重新下载", 936).c_str());
        return false;
    }
    DeleteFileW(downloadTarget_.c_str());
    fileList_.pop_front();
    launcherList_->Set(key, *expected);
    if (!launcherList_->Save(root_ + L"LancherHashMD5.xmp")) WriteLog("LancherHashMD5.xmp cannot be saved");
    Advance();
    NextLauncherFile();
    return true;
}

// A program goes to the copier packed; it must open as a package and hold the
// program the new launcher list names, or the copier would install junk.
bool UpdateController::CheckPackagedProgram(const wchar_t* name) {
    const Md5Digest* expected = newLauncherList_->Find(PathHash(std::wstring(name)));
    Md5Digest digest;
    if (!PackageEntryDigest(downloadTarget_, name, digest)) {
        WriteLog("package of %s cannot be read or lacks it", WideToMulti(name, 0).c_str());
        return false;
    }
    if (expected == nullptr || digest != *expected) {
        WriteLog("package of %s holds other bytes than the launcher list gives", WideToMulti(name, 0).c_str());
        return false;
    }
    return true;
}

bool UpdateController::OnLauncherProgramDone() {
    if (!CheckPackagedProgram(kLauncherProgram)) {
        WriteLog("%s", WideToMulti(L"下载Launcher失败，重新下载", 936).c_str());
        return false;
    }
    return ReplaceLauncher();
}

bool UpdateController::OnEngineProgramDone() {
    if (!CheckPackagedProgram(kEngineProgram)) return false;
    // The copier starts before the engine is told to end: the host ends as
    // soon as it sees the event and would cut this thread short in the
    // start. The copier waits for the engine to exit anyway.
    if (RunProgram(root_ + L"Ferrier.exe", L"game core", root_, SW_HIDE, false) == 0) {
        // Nobody would bring the engine back: no restart is announced.
        WriteLog("Ferrier.exe cannot be started; the engine is not replaced");
        StopAtNextStep();
        return true;
    }
    RaiseEvent(eCallBackType_WaitReStartCore);
    return true;
}

bool UpdateController::ReplaceLauncher() {
    const uint64_t key = PathHash(std::wstring(kLauncherProgram));
    DWORD oldLauncher = FindProcessIdByName("Brightgate.exe");
    RaiseEvent(eCallBackType_WaitRelaunch);
    if (oldLauncher != 0) {
        // The launcher starts the copier, which installs the package and
        // starts the new launcher; record what is on disk afterwards.
        if (!WaitForNewLauncher(oldLauncher, waits_.relaunchPollMs, waits_.relaunchChecks))
            WriteLog("no new launcher process appeared");
        WaitForLauncherMutex();
        Md5Digest digest;
        FileMd5(root_ + kLauncherProgram, digest);
        launcherList_->Set(key, digest);
    } else {
        const Md5Digest* expected = newLauncherList_->Find(key);
        if (expected == nullptr ||
            InstallPackagedFile(downloadTarget_, root_, root_ + kLauncherProgram, *expected) !=
                PackageInstallResult::kInstalled) {
            // Rejecting the file makes the download manager fetch it again.
            WriteLog("%s", WideToMulti(L"下载Launcher失败，重新下载", 936).c_str());
            return false;
        }
        launcherList_->Set(key, *expected);
    }
    if (!launcherList_->Save(root_ + L"LancherHashMD5.xmp")) WriteLog("LancherHashMD5.xmp cannot be saved");
    resourcesChanged_ = false;
    launcherExeChanged_ = false;
    NextLauncherFile();
    return true;
}

void UpdateController::RestartLauncher() {
    DWORD oldLauncher = FindProcessIdByName("Brightgate.exe");
    RaiseEvent(eCallBackType_WaitReStartLaunch);
    if (oldLauncher != 0) {
        WaitForNewLauncher(oldLauncher, waits_.restartPollMs, waits_.restartChecks);
        WaitForLauncherMutex();
    }
    resourcesChanged_ = false;
    launcherExeChanged_ = false;
    NextLauncherFile();
}

bool UpdateController::WaitForNewLauncher(unsigned long oldProcessId, unsigned pollMs, unsigned checks) {
    for (unsigned n = 1;; ++n) {
        DWORD id = FindProcessIdByName("Brightgate.exe");
        if (id != 0 && id != oldProcessId) return true;
        if (checks != 0 && n >= checks) return false;
        if (!SleepUnlessStopped(pollMs)) return false;
    }
}

void UpdateController::WaitForLauncherMutex() {
    for (unsigned n = 0; n < waits_.mutexTries; ++n) {
        ScopedHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, L"qln_launcher_ok"));
        if (mutex) return;
        if (!SleepUnlessStopped(waits_.mutexPollMs)) return;
    }
}
