// Client repair: the server's client list for the target version, the files
// whose digests differ, each fetched as a package, checked and moved in.
#include "engine/update_controller.h"

#include "common/code_page.h"
#include "common/file_util.h"
#include "common/hash_list.h"
#include "common/md5.h"
#include "common/path_hash.h"
#include "common/path_map.h"
#include "common/process_util.h"
#include "common/profile_file.h"
#include "common/unique_handle.h"
#include "common/version_list.h"
#include "common/version_triple.h"
#include "common/win.h"
#include "engine/download_manager.h"
#include "engine/launcher_config.h"
#include "engine/package_install.h"

#include <mmsystem.h>

namespace {

constexpr size_t kMaxQueuedFiles = 32;
constexpr DWORD kClientListSaveIntervalMs = 60000;

}  // namespace

bool UpdateController::IsGameIdle() {
    if (IsAtTargetVersion()) return true;
    if (IsProcessRunningA("qlnmini.exe")) TerminateProcessByName("qlnmini.exe");
    ScopedHandle game(OpenMutexA(MUTEX_ALL_ACCESS, FALSE, "Qln_Game"));
    return !game;
}

void UpdateController::FetchClientList() {
    ApplyPatches();
    if (!SelectedServer(*repairServer_)) {
        // Without a server there is nothing to compare against; asking again
        // at every tick would only spin.
        WriteLog("client check: no server selected");
        SetStatus(L"Tip77");
        SetState(kStepStopped);
        return;
    }
    {
        ScopedCriticalSection guard(failedLock_);
        failedFiles_.clear();
    }
    saveClockStarted_ = false;
    SetState(kStepClientListDownloading);
    SetStatus(L"Tip16");
    Enqueue(ClientListUrl(L"HashMD5.xmp"), TmpPath(L"HashMD5.xmp"), false);
}

std::wstring UpdateController::ClientListUrl(const wchar_t* name) const {
    return repairServer_->UpdateUrl + targetVersionString_ + L"/" + repairServer_->Client + name;
}

// The mini client keeps its own copy of the lists, written whole or not at
// all, so a crash never leaves it a torn list.
static bool CopyForMiniClient(const std::wstring& source, const std::wstring& clientFolder,
                              const wchar_t* name) {
    std::wstring copy = clientFolder + L"Tiny\\" + name;
    std::string bytes;
    return MakeDirectoryChain(copy) && ReadWholeFile(source, bytes) &&
           WriteFileAtomically(copy, bytes.data(), bytes.size());
}

bool UpdateController::OnClientListDone() {
    SetStatus(L"Tip4");
    changedKeys_.clear();
    const std::wstring listFile = TmpPath(L"HashMD5.xmp");
    // An empty or cut list would make missing files look up to date and the
    // new version be claimed: such a list is fetched again.
    std::string records;
    if (!ReadWholeFile(listFile, records) || records.empty() || records.size() % HashListFile::kRecordSize != 0 ||
        !serverClientList_->Load(listFile)) {
        WriteLog("server HashMD5.xmp is unreadable, empty or cut (%u bytes); fetching it again",
                 static_cast<unsigned>(records.size()));
        return false;
    }
    CopyForMiniClient(listFile, clientFolder_, L"HashMD5.xmp");
    {
        ScopedCriticalSection guard(coreLock_);
        for (const auto& entry : serverClientList_->GetEntries()) {
            if (clientList_->Differs(entry.first, entry.second)) changedKeys_.push_back(entry.first);
        }
    }
    if (changedKeys_.empty()) {
        FinishUpToDate();
        return true;
    }
    WriteLog("%u client files differ", static_cast<unsigned>(changedKeys_.size()));
    RaiseEvent(eCallBackType_StartUpdateClientRes);
    SetState(kStepClientPathMapDownloading);
    SetStatus(L"Tip17");
    Enqueue(ClientListUrl(L"HashToFile.xmp"), TmpPath(L"HashToFile.xmp"), false);
    return true;
}

bool UpdateController::OnClientPathMapDone() {
    const std::wstring mapFile = TmpPath(L"HashToFile.xmp");
    PathMap map;
    if (!map.Load(mapFile)) WriteLog("client HashToFile.xmp cannot be read");
    CopyForMiniClient(mapFile, clientFolder_, L"HashToFile.xmp");
    fileList_.clear();
    for (uint64_t key : changedKeys_) {
        std::string utf8 = map.PathOf(key);
        std::wstring path = MultiToWide(utf8, CP_UTF8);
        if (utf8.empty() || !IsSafeRelativePath(path)) {
            // Such a file cannot be brought in line: the update stays
            // unfinished rather than claim the new version.
            wchar_t name[32];
            swprintf(name, 32, L"#%llu", static_cast<unsigned long long>(key));
            WriteLog("client key %llu has no usable path", static_cast<unsigned long long>(key));
            ScopedCriticalSection guard(failedLock_);
            failedFiles_.insert(name);
            continue;
        }
        fileList_.push_back(path);
    }
    SetState(kStepClientVersionListDownloading);
    SetStatus(L"Tip17");
    Enqueue(ClientListUrl(L"HashVersion.xmp"), TmpPath(L"HashVersion.xmp"), false);
    return true;
}

void UpdateController::OnClientVersionListReady(bool arrived) {
    // After a failed download the local file is empty or from an earlier
    // run: the mini client keeps the copy it has.
    if (arrived) CopyForMiniClient(TmpPath(L"HashVersion.xmp"), clientFolder_, L"HashVersion.xmp");
    SetRange(0, static_cast<int>(fileList_.size()));
    SetPosition(0);
    SetState(kStepClientFilesDownloading);
    SetStatus(L"Tip18");
}

void UpdateController::SaveClientList() {
    ScopedCriticalSection guard(coreLock_);
    if (!clientList_->Save(clientFolder_ + L"HashMD5.xmp")) WriteLog("HashMD5.xmp cannot be saved");
}

void UpdateController::QueueClientFiles() {
    DWORD now = timeGetTime();
    if (!saveClockStarted_) {
        saveClockStarted_ = true;
        lastSaveTime_ = now;
    } else if (now - static_cast<DWORD>(lastSaveTime_) > kClientListSaveIntervalMs) {
        SaveClientList();
        lastSaveTime_ = now;
    }

    if (fileList_.empty() && downloads_->IsIdle()) {
        FinishClient();
        return;
    }
    const ServerInfo& server = *repairServer_;
    while (downloads_->PendingCount() < kMaxQueuedFiles && !fileList_.empty()) {
        std::wstring path = fileList_.front();
        fileList_.pop_front();
        std::wstring version = versionList_->VersionText(path);
        std::wstring url = server.UpdateUrl + (version.empty() ? L"" : version + L"/") + server.Client + path + L".pkg";
        Enqueue(url, clientFolder_ + path + L".pkg", false);
    }
}

bool UpdateController::WriteInstalledVersion() {
    ProfileEntry entry{L"version", L"cur", GetInstalledVersion().ToWideText()};
    if (WriteProfileStringsAtomically(clientFolder_ + L"version.ini", {entry})) return true;
    WriteLog("version.ini cannot be written");
    return false;
}

void UpdateController::FinishUpToDate() {
    VersionTriple target = GetTargetVersion();
    SetVersions(&target, nullptr);
    SetState(kStepClientUpToDate);
    WriteInstalledVersion();
    std::wstring text = L"V" + target.ToWideText();
    SetTexts(&text, nullptr, nullptr);
    RaiseEvent(eCallBackType_FinishClient);
}

void UpdateController::FinishClient() {
    SaveClientList();
    std::set<std::wstring> failed;
    {
        ScopedCriticalSection guard(failedLock_);
        failed = failedFiles_;
    }
    if (!failed.empty()) {
        // The installed list holds only what arrived, so the next run fetches
        // the rest; the version stays the old one.
        for (const std::wstring& path : failed)
            WriteLog("client file not brought in line: %s", WideToMulti(path, 0).c_str());
        WriteLog("client update incomplete: %u files failed", static_cast<unsigned>(failed.size()));
        SetStatus(L"Tip77");
        SetState(kStepStopped);
        return;
    }
    SetPosition(GetRangeMax());
    FinishUpToDate();
}

void UpdateController::RecordFailedFile(const std::wstring& localPath) {
    // Whatever the last attempt left (an error page, part of a package) goes.
    DeleteFileW(localPath.c_str());
    std::wstring path = localPath;
    if (path.compare(0, clientFolder_.size(), clientFolder_) == 0) path = path.substr(clientFolder_.size());
    if (path.size() > 4 && path.compare(path.size() - 4, 4, L".pkg") == 0) path.resize(path.size() - 4);
    ScopedCriticalSection guard(failedLock_);
    failedFiles_.insert(path);
}

bool UpdateController::OnClientFileDone(const std::wstring& localPath) {
    const std::wstring package = localPath;
    size_t dot = package.find_last_of(L'.');
    const std::wstring target = dot == std::wstring::npos ? package : package.substr(0, dot);
    size_t slash = target.find_last_of(L'\\');
    const std::wstring folder = slash == std::wstring::npos ? L"./" : target.substr(0, slash);
    if (target.compare(0, clientFolder_.size(), clientFolder_) != 0) {
        DeleteFileW(package.c_str());
        return false;
    }
    const std::wstring relative = target.substr(clientFolder_.size());
    const uint64_t key = PathHash(relative);
    Md5Digest expected;
    {
        const Md5Digest* found = serverClientList_->Find(key);
        if (found == nullptr) {
            WriteLog("client file %s is not in the server list", WideToMulti(relative, 0).c_str());
            DeleteFileW(package.c_str());
            return false;
        }
        expected = *found;
    }
    PackageInstallResult result = InstallPackagedFile(package, folder, target, expected);
    DeleteFileW(package.c_str());
    if (result == PackageInstallResult::kNoMemory) {
        // Fetching it again would fail the same way: the file fails at once.
        WriteLog("client package %s cannot be unpacked: not enough memory", WideToMulti(relative, 0).c_str());
        RecordFailedFile(localPath);
        return true;
    }
    if (result == PackageInstallResult::kUnpackFailed) {
        WriteLog("client package %s cannot be unpacked", WideToMulti(relative, 0).c_str());
        SetStatus(L"Tip29");
        return false;
    }
    if (result != PackageInstallResult::kInstalled) {
        WriteLog("client package %s does not hold the file the server list gives", WideToMulti(relative, 0).c_str());
        WriteLog("%s", WideToMulti(L"下载客户端端资源失败，重新下载", 936).c_str());
        return false;
    }
    ScopedCriticalSection guard(coreLock_);
    clientList_->Set(key, expected);
    Advance();
    return true;
}
