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
        rejections_.clear();
    }
    saveClockStarted_ = false;
    SetState(kStepClientListDownloading);
    SetStatus(L"Tip16");
    Enqueue(kStepClientListDownloading, ClientListUrl(L"HashMD5.xmp"), TmpPath(L"HashMD5.xmp"), false);
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
    bool loaded = ReadWholeFile(listFile, records) && !records.empty() &&
                  records.size() % HashListFile::kRecordSize == 0;
    if (loaded) {
        // Files of an earlier check may still be checked against it.
        ScopedCriticalSection guard(coreLock_);
        loaded = serverClientList_->Load(listFile);
    }
    if (!loaded) {
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
        // Files an earlier check brought in may not be saved yet.
        SaveClientList();
        FinishUpToDate();
        return true;
    }
    WriteLog("%u client files differ", static_cast<unsigned>(changedKeys_.size()));
    RaiseEvent(eCallBackType_StartUpdateClientRes);
    SetState(kStepClientPathMapDownloading);
    SetStatus(L"Tip17");
    Enqueue(kStepClientPathMapDownloading, ClientListUrl(L"HashToFile.xmp"), TmpPath(L"HashToFile.xmp"), false);
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
        const char* reason = nullptr;
        if (utf8.empty())
            reason = map.IsRefused(key) ? "its path in HashToFile.xmp was refused (unsafe or too long)"
                                        : "HashToFile.xmp has no path for it";
        else if (!IsSafeRelativePath(path))
            reason = "its path in HashToFile.xmp leaves the client folder";
        else if ((clientFolder_ + path + L".pkg").size() >= MAX_PATH)
            reason = "its path is too long for the client folder";
        if (reason != nullptr) {
            // Such a file cannot be brought in line: the update stays
            // unfinished rather than claim the new version.
            wchar_t name[32];
            swprintf(name, 32, L"#%llu", static_cast<unsigned long long>(key));
            WriteLog("client key %llu has no usable path: %s", static_cast<unsigned long long>(key), reason);
            ScopedCriticalSection guard(failedLock_);
            failedFiles_[name] = reason;
            continue;
        }
        fileList_.push_back(path);
    }
    SetState(kStepClientVersionListDownloading);
    SetStatus(L"Tip17");
    Enqueue(kStepClientVersionListDownloading, ClientListUrl(L"HashVersion.xmp"), TmpPath(L"HashVersion.xmp"), false);
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
        Enqueue(kStepClientFilesDownloading, url, clientFolder_ + path + L".pkg", false);
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
    std::map<std::wstring, std::string> failed;
    {
        ScopedCriticalSection guard(failedLock_);
        failed = failedFiles_;
    }
    if (!failed.empty()) {
        // The installed list holds only what arrived, so the next run fetches
        // the rest; the version stays the old one. Each line names the key
        // and the reason, which is what the server tree needs mending by.
        for (const auto& file : failed) {
            if (file.first.compare(0, 1, L"#") == 0)
                WriteLog("client file not brought in line: key %s: %s", WideToMulti(file.first.substr(1), 0).c_str(),
                         file.second.c_str());
            else
                WriteLog("client file not brought in line: key %llu \"%s\": %s",
                         static_cast<unsigned long long>(PathHash(file.first)), WideToMulti(file.first, 0).c_str(),
                         file.second.c_str());
        }
        WriteLog("client update incomplete: %u files failed", static_cast<unsigned>(failed.size()));
        SetStatus(L"Tip77");
        SetState(kStepStopped);
        return;
    }
    SetPosition(GetRangeMax());
    FinishUpToDate();
}

void UpdateController::RecordFailedFile(const std::wstring& localPath, const std::string& reason) {
    // Whatever the last attempt left (an error page, part of a package) goes,
    // and so does what a killed run left half-written beside the file.
    DeleteFileW(localPath.c_str());
    std::wstring path = localPath;
    if (path.size() > 4 && path.compare(path.size() - 4, 4, L".pkg") == 0) {
        path.resize(path.size() - 4);
        DeleteFileW((path + L".tmp~").c_str());
    }
    if (path.compare(0, clientFolder_.size(), clientFolder_) == 0) path = path.substr(clientFolder_.size());
    ScopedCriticalSection guard(failedLock_);
    std::string why = reason.empty() ? std::string("the download failed") : reason;
    auto rejection = rejections_.find(path);
    if (rejection != rejections_.end()) why += " (last rejection: " + rejection->second + ")";
    failedFiles_[path] = why;
}

void UpdateController::NoteRejection(const std::wstring& relative, const char* reason) {
    ScopedCriticalSection guard(failedLock_);
    rejections_[relative] = reason;
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
        ScopedCriticalSection guard(coreLock_);
        const Md5Digest* found = serverClientList_->Find(key);
        if (found == nullptr) {
            WriteLog("client file %s is not in the server list", WideToMulti(relative, 0).c_str());
            DeleteFileW(package.c_str());
            return false;
        }
        expected = *found;
    }
    PackageInstallResult result = InstallPackagedFile(package, folder, target, expected, StopRequest());
    DeleteFileW(package.c_str());
    if (result == PackageInstallResult::kStopped) return false;  // the engine is ending
    if (result == PackageInstallResult::kNoMemory) {
        // Fetching it again would fail the same way: the file fails at once.
        WriteLog("client package %s cannot be unpacked: not enough memory", WideToMulti(relative, 0).c_str());
        RecordFailedFile(localPath, "not enough memory to unpack its package");
        return true;
    }
    if (result == PackageInstallResult::kUnpackFailed) {
        WriteLog("client package %s cannot be unpacked", WideToMulti(relative, 0).c_str());
        NoteRejection(relative, "the package cannot be unpacked");
        SetStatus(L"Tip29");
        return false;
    }
    if (result != PackageInstallResult::kInstalled) {
        WriteLog("client package %s does not hold the file the server list gives", WideToMulti(relative, 0).c_str());
        NoteRejection(relative, "the package does not hold the file HashMD5.xmp gives");
        WriteLog("%s", WideToMulti(L"下载客户端端资源失败，重新下载", 936).c_str());
        return false;
    }
    ScopedCriticalSection guard(coreLock_);
    clientList_->Set(key, expected);
    Advance();
    return true;
}
