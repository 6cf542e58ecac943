// The server list, the full client package, the patch list and the patch
// packages that wait in the root's "patchs" folder.
#include "engine/update_controller.h"

#include <algorithm>
#include <cstdio>

#include "common/code_page.h"
#include "common/file_util.h"
#include "common/hash_list.h"
#include "common/md5.h"
#include "common/package_extractor.h"
#include "common/path_hash.h"
#include "common/profile_file.h"
#include "common/version_triple.h"
#include "common/win.h"
#include "engine/download_manager.h"
#include "engine/launcher_config.h"

namespace {

// The files of which any one marks the client as installed.
const wchar_t* const kClientMarkers[] = {L"libeay32.dll", L"Config\\localconfig.xml", L"binkw32.dll"};

// Lies in the client folder from before the full package is unpacked until
// every entry of it is in place; while it is there the client is missing.
const wchar_t kInstallMarker[] = L"Tiny_Package.unfinished";

// The package's own list and version: the last of its entries to land, so
// that neither claims a file that is not yet there.
bool IsHeldBackEntry(const std::wstring& name) {
    return _wcsicmp(name.c_str(), L"HashMD5.xmp") == 0 || _wcsicmp(name.c_str(), L"version.ini") == 0;
}

bool DeleteIfPresent(const std::wstring& path) {
    return DeleteFileW(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

struct PatchRecord {
    VersionTriple version;
    std::string md5Text;
    std::wstring packageName;
};

}  // namespace

bool UpdateController::SelectedServer(ServerInfo& server) const {
    if (serverRefused_.load()) return false;
    return config_->GetSelectedServer(server);
}

bool UpdateController::SelectServer(const std::wstring& serverId) {
    if (config_->SelectServer(serverId)) {
        serverRefused_ = false;
        return true;
    }
    // Going on with the previous choice would update the client for a
    // server the player did not choose.
    serverRefused_ = true;
    WriteLog("SelectServer: no server has the ID \"%s\"", WideToMulti(serverId, CP_UTF8).c_str());
    SetStatus(L"Tip76");
    RaiseEvent(eCallBackType_DownloadPatchVerError);
    return false;
}

void UpdateController::FetchServerList() {
    SetState(kStepServerListDownloading);
    SetStatus(L"Tip7");
    Enqueue(kStepServerListDownloading, config_->GetServerListUrl(), TmpPath(L"serverlist.xml"), false);
}

bool UpdateController::OnServerListDone() {
    if (!config_->LoadServerList(TmpPath(L"serverlist.xml"))) {
        WriteLog("serverlist.xml selects no server; fetching it again");
        return false;
    }
    serverRefused_ = false;
    RaiseEvent(eCallBackType_DownloadServerList);
    if (IsClientMissing()) {
        FetchFullPackage();
    } else {
        // A package left by a run that ended after installing it.
        DeleteFileW(TmpPath(L"Tiny_Package.pkg").c_str());
        RaiseEvent(eCallBackType_PreDownloadReady);
    }
    return true;
}

bool UpdateController::IsClientMissing() {
    if (FileExists(clientFolder_ + kInstallMarker)) {
        WriteLog("the full package was not unpacked to the end before; the client counts as missing");
        return true;
    }
    for (const wchar_t* marker : kClientMarkers) {
        if (FileExists(clientFolder_ + marker)) return false;
    }
    return true;
}

void UpdateController::FetchFullPackage() {
    ServerInfo server;
    if (!SelectedServer(server)) return;
    SetState(kStepFullPackageDownloading);
    Enqueue(kStepFullPackageDownloading, server.UpdateUrl + server.Weiduan + L"Tiny_Package.pkg",
            TmpPath(L"Tiny_Package.pkg"), true);
    RaiseEvent(eCallBackType_StartTinyPackage);
    SetStatus(L"Tip15");
}

bool UpdateController::OnFullPackageDone() {
    const std::wstring package = TmpPath(L"Tiny_Package.pkg");
    RaiseEvent(eCallBackType_UnZipTinyPackage);
    extractedEntries_ = 0;
    totalEntries_ = 0;
    SetState(kStepFullPackageUnpacking);
    SetStatus(L"Tip30");
    int result = InstallFullPackage(package);
    if (result == kExtractStopped) {
        // The engine is ending; the marker keeps the client missing.
        SetState(kStepFullPackageDownloading);
        return false;
    }
    if (result == kExtractNoMemory) {
        // Another copy would fail the same way: the step fails at once.
        WriteLog("Tiny_Package.pkg cannot be unpacked: not enough memory");
        RaiseEvent(eCallBackType_UnZipTinyPackageFail);
        SetStatus(L"Tip75");
        SetState(kStepStopped);
        return true;
    }
    if (result != kExtractOk) {
        WriteLog("Tiny_Package.pkg cannot be unpacked; fetching it again");
        RaiseEvent(eCallBackType_UnZipTinyPackageFail);
        SetStatus(L"Tip29");
        // The package is fetched again: the launchers see the download's
        // state and progress until it is unpacked once more.
        SetState(kStepFullPackageDownloading);
        return false;
    }
    DeleteFileW(package.c_str());
    {
        ScopedCriticalSection guard(coreLock_);
        clientList_->Load(clientFolder_ + L"HashMD5.xmp");
    }
    config_->ApplyPreferences();
    SetStatus(L"Tip27");
    SetState(kStepVersionsKnown);
    RaiseEvent(eCallBackType_UnZipTinyPackageSuccess);
    RaiseEvent(eCallBackType_PreDownloadReady);
    ReadInstalledVersion();
    return true;
}

// Unpacks the full package as one step that a kill, a full disk or a
// damaged block can interrupt at any point: the marker goes first, the
// client's old list and version go next, the package's own list and version
// land after every other entry. An interrupted install therefore leaves a
// marker and no list: the next run installs again, and every file counts as
// changed for the client check.
int UpdateController::InstallFullPackage(const std::wstring& package) {
    const std::wstring marker = clientFolder_ + kInstallMarker;
    const std::wstring listFile = clientFolder_ + L"HashMD5.xmp";
    {
        ScopedCriticalSection guard(coreLock_);
        clientList_->Clear();
    }
    static const char kMarkerText[] = "Tiny_Package.pkg is being unpacked here\r\n";
    if (!MakeDirectoryChain(marker) || !WriteFileAtomically(marker, kMarkerText, sizeof(kMarkerText) - 1)) {
        WriteLog("%s cannot be written (error %lu)", WideToMulti(marker, 0).c_str(), GetLastError());
        return kExtractFailed;
    }
    for (const wchar_t* name : {L"HashMD5.xmp", L"version.ini"}) {
        if (!DeleteIfPresent(clientFolder_ + name)) {
            WriteLog("%s cannot be deleted (error %lu)", WideToMulti(name, 0).c_str(), GetLastError());
            return kExtractFailed;
        }
    }
    // What each entry put on disk, by the key the lists use.
    HashList landed;
    const std::atomic<bool>* stop = StopRequest();
    PackageExtractor extractor;
    extractor.SetDeferredEntries(IsHeldBackEntry);
    extractor.SetStopFlag(stop);
    extractor.SetEntryCheck([&](const std::wstring& output, const std::wstring& staged) {
        Md5Digest digest;
        if (!FileMd5(staged, digest, stop)) return false;
        landed.Set(PathHash(output.substr(clientFolder_.size())), digest);
        return true;
    });
    int result = extractor.Extract(package, clientFolder_, &extractedEntries_, &totalEntries_);
    if (result != kExtractOk) return result;

    // The package's list may claim only what the package really brought.
    HashList listed;
    listed.Load(listFile);
    HashList installed;
    for (const auto& entry : listed.GetEntries()) {
        if (!landed.Differs(entry.first, entry.second)) installed.Set(entry.first, entry.second);
    }
    if (installed.Size() != listed.Size()) {
        // Nor may its version, which would start the game without a check.
        WriteLog("HashMD5.xmp of Tiny_Package.pkg names %u files it does not hold as listed; the client check "
                 "fetches them",
                 static_cast<unsigned>(listed.Size() - installed.Size()));
        if ((!installed.Save(listFile) && !installed.Empty()) || !DeleteIfPresent(clientFolder_ + L"version.ini"))
            return kExtractFailed;
    }
    // Only a client that is whole loses its marker; a marker that cannot go
    // costs one more install, never a client taken as complete.
    if (!DeleteFileW(marker.c_str()))
        WriteLog("%s cannot be deleted (error %lu)", WideToMulti(marker, 0).c_str(), GetLastError());
    return kExtractOk;
}

bool UpdateController::CheckVersion() {
    ServerInfo server;
    if (!SelectedServer(server)) {
        WriteLog("CheckVersion: no server selected");
        return true;
    }
    SetState(kStepPatchListDownloading);
    SetStatus(L"Tip8");
    Enqueue(kStepPatchListDownloading, server.UpdateUrl + server.Patch + L"patchList.ini", TmpPath(L"patchList.ini"),
            false);
    return true;
}

bool UpdateController::OnPatchListDone() {
    std::wstring cur = ReadProfileString(TmpPath(L"patchList.ini"), L"patchlist", L"cur", L"", 260);
    VersionTriple target;
    if (cur.empty() || !VersionTriple::Parse(cur, target)) {
        WriteLog("patchList.ini has no version in cur; fetching it again");
        return false;
    }
    targetVersionString_ = cur;
    SetVersions(nullptr, &target);
    std::wstring text = L"V" + target.ToWideText();
    SetTexts(nullptr, &text, nullptr);
    ReadInstalledVersion();
    SetStatus(L"Tip27");
    SetState(kStepVersionsKnown);
    RaiseEvent(eCallBackType_PrePatchVer);
    return true;
}

void UpdateController::ApplyPatches() {
    const std::wstring listFile = TmpPath(L"patchList.ini");
    std::vector<PatchRecord> patches;
    for (int n = 0;; ++n) {
        // The list comes from the server, and every key read scans the file
        // again: a list of endless patches must not hold the update.
        if (n == kMaxPatches) {
            WriteLog("patchList.ini: more than %d patches; the rest is not read", kMaxPatches);
            break;
        }
        wchar_t key[32];
        swprintf(key, 32, L"patch%d", n);
        std::wstring version = ReadProfileString(listFile, L"patchlist", key, L"", 260);
        if (version.empty()) break;
        PatchRecord record;
        VersionTriple::Parse(version, record.version);
        swprintf(key, 32, L"patch%dMD5", n);
        record.md5Text = WideToMulti(ReadProfileString(listFile, L"patchlist", key, L"", 260), 0);
        wchar_t name[64];
        swprintf(name, 64, L"Patch_%d.%d.%d.pkg", record.version.major, record.version.minor,
                 record.version.build);
        record.packageName = name;
        patches.push_back(record);
    }
    std::stable_sort(patches.begin(), patches.end(),
                     [](const PatchRecord& a, const PatchRecord& b) { return a.version < b.version; });

    if (ReadProfileString(listFile, L"patchlist", L"cur", L"", 260).empty()) {
        SetStatus(L"Tip22");
        DeleteFileW(listFile.c_str());
        return;
    }
    DeleteFileW(listFile.c_str());
    const VersionTriple installed = GetInstalledVersion();
    bool chainStartsHere = std::any_of(patches.begin(), patches.end(),
                                       [&](const PatchRecord& p) { return p.version == installed; });
    if (!chainStartsHere) return;

    for (const PatchRecord& patch : patches) {
        const std::wstring package = root_ + L"patchs\\" + patch.packageName;
        const std::string name = WideToMulti(patch.packageName, 0);
        if (patch.version <= installed) {
            DeleteFileW(package.c_str());
            continue;
        }
        if (!FileExists(package)) continue;
        Md5Digest digest;
        FileMd5(package, digest);
        if (digest.ToText() != patch.md5Text) {
            WriteLog("patch %s has another digest than the patch list; deleted", name.c_str());
            DeleteFileW(package.c_str());
            continue;
        }
        // The patch's files and its hash list belong to the client folder.
        const int unpacked = ExtractAll(package, clientFolder_);
        if (unpacked == kExtractNoMemory) {
            // The patch is sound and kept; the file repair brings the client in line.
            WriteLog("patch %s cannot be unpacked: not enough memory; no further patch applied", name.c_str());
            break;
        }
        if (unpacked != kExtractOk) {
            WriteLog("patch %s cannot be unpacked; deleted", name.c_str());
            DeleteFileW(package.c_str());
            continue;
        }
        DeleteFileW(package.c_str());
        const std::wstring patchList = clientFolder_ + L"PatchHashMD5.xmp";
        HashList patched;
        patched.Load(patchList);
        DeleteFileW(patchList.c_str());
        {
            ScopedCriticalSection guard(coreLock_);
            for (const auto& entry : patched.GetEntries()) clientList_->Set(entry.first, entry.second);
            if (!clientList_->Save(clientFolder_ + L"HashMD5.xmp")) WriteLog("HashMD5.xmp cannot be saved");
        }
        WriteLog("patch %s applied, %u files", name.c_str(), static_cast<unsigned>(patched.Size()));
    }
    DeleteFileW(listFile.c_str());
}
