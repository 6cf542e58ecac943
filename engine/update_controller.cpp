#include "engine/update_controller.h"

#include <cstdarg>
#include <cstdio>

#include "common/code_page.h"
#include "common/common_log.h"
#include "common/file_util.h"
#include "common/hash_list.h"
#include "common/registry_util.h"
#include "common/version_list.h"
#include "common/version_triple.h"
#include "common/win.h"
#include "engine/download_manager.h"
#include "engine/html_log.h"
#include "engine/launcher_config.h"
#include "common/profile_file.h"

namespace {

UpdateController* g_instance = nullptr;

constexpr unsigned kDownloadTimeoutMs = 3000;

void LogToEngine(const std::string& text) { EngineHtmlLog().Write(kEngineLogLevel, text); }

std::wstring WithTrailingSlash(const std::wstring& folder) {
    if (folder.empty() || folder.back() == L'\\' || folder.back() == L'/') return folder;
    return folder + L"\\";
}

}  // namespace

const char* UpdateStepName(int state) {
    switch (state) {
    case kStepStart: return "Start";
    case kStepClientCheckRequested: return "ClientCheckRequested";
    case kStepFullPackageDownloading: return "FullPackageDownloading";
    case kStepFullPackageUnpacking: return "FullPackageUnpacking";
    case kStepPatchListDownloading: return "PatchListDownloading";
    case kStepLauncherListDownloading: return "LauncherListDownloading";
    case kStepServerListDownloading: return "ServerListDownloading";
    case kStepLauncherPathMapDownloading: return "LauncherPathMapDownloading";
    case kStepLauncherFileDownloading: return "LauncherFileDownloading";
    case kStepLauncherProgramDownloading: return "LauncherProgramDownloading";
    case kStepEngineProgramDownloading: return "EngineProgramDownloading";
    case kStepClientListDownloading: return "ClientListDownloading";
    case kStepClientPathMapDownloading: return "ClientPathMapDownloading";
    case kStepClientVersionListDownloading: return "ClientVersionListDownloading";
    case kStepClientFilesDownloading: return "ClientFilesDownloading";
    case kStepVersionsKnown: return "VersionsKnown";
    case kStepClientUpToDate: return "ClientUpToDate";
    case kStepStopped: return "Stopped";
    default: return "";
    }
}

UpdateController* GetUpdateController() { return g_instance; }

UpdateController::UpdateController()
    : config_(new LauncherConfig()),
      log_(new HtmlLog(5)),
      downloads_(new DownloadManager()),
      installedVersion_(new VersionTriple()),
      targetVersion_(new VersionTriple()),
      repairServer_(new ServerInfo()),
      launcherList_(new HashList()),
      clientList_(new HashList()),
      newLauncherList_(new HashList()),
      serverClientList_(new HashList()),
      versionList_(new VersionList()) {
    stopEvent_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    RegisterEngineHtmlLog(log_.get());
    RegisterEngineLauncherConfig(config_.get());
    SetCommonLogFunction(LogToEngine);
    g_instance = this;
}

UpdateController::~UpdateController() {
    Stop();
    if (g_instance == this) g_instance = nullptr;
    SetCommonLogFunction(nullptr);
    RegisterEngineLauncherConfig(nullptr);
    RegisterEngineHtmlLog(nullptr);
    if (stopEvent_ != nullptr) CloseHandle(stopEvent_);
}

void UpdateController::SetProgramPath(const std::wstring& programPath) {
    size_t slash = programPath.find_last_of(L'\\');
    if (slash != std::wstring::npos) root_ = programPath.substr(0, slash + 1);
}

bool UpdateController::Init() {
    const std::wstring configFile = root_ + L"LauncherConfig.ini";
    platform_ = ReadProfileString(configFile, L"platform", L"Platform", L"", 512);
    gameName_ = ReadProfileString(configFile, L"platform", L"GameName", L"", 512);

    std::wstring clientPath = ReadRegistryString(1, L"Software\\Quillon\\" + gameName_, L"ClientPath");
    if (!clientPath.empty() && !gameName_.empty() && platform_ != L"999")
        clientFolder_ = WithTrailingSlash(clientPath);
    else
        clientFolder_ = root_;

    state_ = kStepStart;
    baseUrl_.clear();

    config_->SetClientFolder(clientFolder_);
    config_->Load(configFile);
    config_->LoadPreferences(root_ + L"Config\\Preference.ini");

    {
        ScopedCriticalSection guard(coreLock_);
        clientList_->Load(clientFolder_ + L"HashMD5.xmp");
    }
    launcherList_->Load(root_ + L"LancherHashMD5.xmp");

    std::wstring target = config_->Text(L"Tip33");
    std::wstring installed = config_->Text(L"Tip34");
    SetTexts(&installed, &target, nullptr);
    ReadInstalledVersion();

    downloadTarget_ = root_ + L"Tmp\\DownloadTmp.xmp";

    MakeDirectoryChain(root_ + L"Log\\");
    SYSTEMTIME now;
    GetLocalTime(&now);
    log_->Open(root_ + HtmlLogFileName(now));
    log_->SetLevel(6);
    WriteLog("UpdateController root=%s client=%s", WideToMulti(root_, 0).c_str(),
             WideToMulti(clientFolder_, 0).c_str());

    SYSTEM_INFO system;
    GetSystemInfo(&system);
    downloads_->StartWorkers(2 * static_cast<int>(system.dwNumberOfProcessors));

    downloads_->SetDoneCallback([this](const std::wstring& path, int step) { return OnDownloadDone(path, step); });
    downloads_->SetFailedCallback([this](const std::wstring& path, int step, const std::string& reason) {
        OnDownloadFailed(path, step, reason);
    });
    downloads_->SetMessageCallback(
        [this](const char* text, int step) { OnDownloadMessage(text != nullptr ? text : "", step); });
    return true;
}

void UpdateController::ReadInstalledVersion() {
    std::wstring cur = ReadProfileString(clientFolder_ + L"version.ini", L"version", L"cur", L"1.0.0", 260);
    // Parts that do not parse keep what was known before.
    VersionTriple parsed = GetInstalledVersion();
    if (!VersionTriple::Parse(cur, parsed)) WriteLog("version.ini: cur \"%s\" is no version", WideToMulti(cur, 0).c_str());
    SetVersions(&parsed, nullptr);
    std::wstring text = L"V" + parsed.ToWideText();
    SetTexts(&text, nullptr, nullptr);
}

void UpdateController::Start() {}

void UpdateController::Continue() {
    if (stopRequested_.exchange(false)) SetState(kStepStopped);
    downloads_->Dispatch();
    switch (state_.load()) {
    case kStepStart:
        SetStatus(L"Tip5");
        FetchLauncherList();
        break;
    case kStepClientCheckRequested:
        // Downloads of an earlier check may still be landing (a launcher
        // asked again meanwhile): the new check starts once they are in, so
        // that no file is fetched twice at once.
        if (!downloads_->IsIdle()) break;
        if (IsGameIdle())
            FetchClientList();
        else
            SetStatus(L"Tip12");
        break;
    case kStepClientFilesDownloading:
        QueueClientFiles();
        break;
    case kStepClientUpToDate:
        SetStatus(L"Tip19");
        break;
    default:
        break;
    }
}

void UpdateController::Stop() {
    if (stopEvent_ != nullptr) SetEvent(stopEvent_);
    downloads_->Stop();
}

void UpdateController::SetEventSink(EventSink sink) {
    ScopedCriticalSection guard(sinkLock_);
    eventSink_ = std::move(sink);
}

void UpdateController::SetTextSink(TextSink sink) {
    ScopedCriticalSection guard(sinkLock_);
    textSink_ = std::move(sink);
}

void UpdateController::RaiseEvent(eCallBackType value) {
    EventSink sink;
    {
        ScopedCriticalSection guard(sinkLock_);
        sink = eventSink_;
    }
    WriteLog("UpdateController raises %s", CallBackTypeName(value));
    if (sink) sink(value);
}

void UpdateController::WriteLog(const char* format, ...) {
    char text[2048];
    va_list args;
    va_start(args, format);
    int n = vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    if (n < 0) return;
    log_->Write(kEngineLogLevel, text);
}

void UpdateController::SetState(int state) {
    int previous = state_.exchange(state);
    if (previous != state) WriteLog("UpdateController state %d %s", state, UpdateStepName(state));
}

void UpdateController::SetStatus(const std::wstring& key) {
    std::wstring text = config_->Text(key);
    SetTexts(nullptr, nullptr, &text);
}

void UpdateController::SetTexts(const std::wstring* installed, const std::wstring* target,
                                const std::wstring* status) {
    ScopedCriticalSection guard(textLock_);
    if (installed != nullptr) installedVersionText_ = *installed;
    if (target != nullptr) targetVersionText_ = *target;
    if (status != nullptr) statusText_ = *status;
}

std::wstring UpdateController::GetInstalledVersionText() const {
    ScopedCriticalSection guard(textLock_);
    return installedVersionText_;
}

std::wstring UpdateController::GetTargetVersionText() const {
    ScopedCriticalSection guard(textLock_);
    return targetVersionText_;
}

std::wstring UpdateController::GetStatusText() const {
    ScopedCriticalSection guard(textLock_);
    return statusText_;
}

void UpdateController::SetVersions(const VersionTriple* installed, const VersionTriple* target) {
    ScopedCriticalSection guard(textLock_);
    if (installed != nullptr) *installedVersion_ = *installed;
    if (target != nullptr) *targetVersion_ = *target;
}

VersionTriple UpdateController::GetInstalledVersion() const {
    ScopedCriticalSection guard(textLock_);
    return *installedVersion_;
}

VersionTriple UpdateController::GetTargetVersion() const {
    ScopedCriticalSection guard(textLock_);
    return *targetVersion_;
}

bool UpdateController::IsAtTargetVersion() const {
    ScopedCriticalSection guard(textLock_);
    return *installedVersion_ == *targetVersion_;
}

void UpdateController::SetRange(int minimum, int maximum) {
    ScopedCriticalSection guard(progressLock_);
    progressMin_ = minimum;
    progressMax_ = maximum;
}

void UpdateController::SetPosition(int position) {
    ScopedCriticalSection guard(progressLock_);
    if (position < progressMin_) position = progressMin_;
    if (position > progressMax_) position = progressMax_;
    progressPosition_ = position;
}

void UpdateController::Advance() {
    ScopedCriticalSection guard(progressLock_);
    progressPosition_ += progressStep_;
    if (progressPosition_ > progressMax_) progressPosition_ = progressPosition_ + progressMin_ - progressMax_;
}

int UpdateController::GetPosition() const {
    ScopedCriticalSection guard(progressLock_);
    return progressPosition_;
}

int UpdateController::GetRangeMin() const {
    ScopedCriticalSection guard(progressLock_);
    return progressMin_;
}

int UpdateController::GetRangeMax() const {
    ScopedCriticalSection guard(progressLock_);
    return progressMax_;
}

void UpdateController::GetExtractionCounters(int& done, int& total) const {
    done = extractedEntries_.load();
    total = totalEntries_.load();
}

void UpdateController::GetDisplayProgress(double& done, double& total) const {
    done = 0;
    total = 0;
    switch (state_.load()) {
    case kStepFullPackageDownloading:
        downloads_->GetProgress(done, total);
        break;
    case kStepFullPackageUnpacking:
        done = extractedEntries_.load();
        total = totalEntries_.load();
        break;
    default: {
        ScopedCriticalSection guard(progressLock_);
        done = progressPosition_ - progressMin_;
        total = progressMax_ - progressMin_;
        break;
    }
    }
}

LauncherConfig& UpdateController::GetConfig() { return *config_; }
HtmlLog& UpdateController::GetLog() { return *log_; }
DownloadManager& UpdateController::GetDownloadManager() { return *downloads_; }

std::wstring UpdateController::TmpPath(const std::wstring& name) const { return root_ + L"Tmp\\" + name; }

const std::atomic<bool>* UpdateController::StopRequest() const { return downloads_->StopFlag(); }

void UpdateController::Enqueue(int step, const std::wstring& url, const std::wstring& localPath, bool probe) {
    downloads_->Enqueue(url, localPath, probe, kDownloadTimeoutMs, step);
}

bool UpdateController::OnDownloadDone(const std::wstring& localPath, int step) {
    try {
        switch (step) {
        case kStepFullPackageDownloading: return OnFullPackageDone();
        case kStepPatchListDownloading: return OnPatchListDone();
        case kStepLauncherListDownloading: return OnLauncherListDone();
        case kStepServerListDownloading: return OnServerListDone();
        case kStepLauncherPathMapDownloading: return OnLauncherPathMapDone();
        case kStepLauncherFileDownloading: return OnLauncherFileDone();
        case kStepLauncherProgramDownloading: return OnLauncherProgramDone();
        case kStepEngineProgramDownloading: return OnEngineProgramDone();
        case kStepClientListDownloading: return OnClientListDone();
        case kStepClientPathMapDownloading: return OnClientPathMapDone();
        case kStepClientVersionListDownloading:
            if (!versionList_->Load(localPath)) WriteLog("HashVersion.xmp cannot be read");
            OnClientVersionListReady(true);
            return true;
        case kStepClientFilesDownloading: return OnClientFileDone(localPath);
        default: return true;
        }
    } catch (...) {
        // Out of memory on a worker thread: reject the file, it comes again.
        return false;
    }
}

void UpdateController::OnDownloadFailed(const std::wstring& localPath, int step, const std::string& reason) {
    try {
        WriteLog("download failed in state %d: %s: %s", step, WideToMulti(localPath, 0).c_str(), reason.c_str());
        switch (step) {
        case kStepFullPackageDownloading:
            SetStatus(L"Tip75");
            StopAtNextStep();
            break;
        case kStepPatchListDownloading:
            RaiseEvent(eCallBackType_DownloadPatchVerError);
            SetStatus(L"Tip76");
            StopAtNextStep();
            break;
        case kStepLauncherListDownloading:
            RaiseEvent(eCallBackType_DownloadLauncherVerError);
            SetStatus(L"Tip70");
            StopAtNextStep();
            break;
        case kStepServerListDownloading:
            RaiseEvent(eCallBackType_DownloadServerListError);
            SetStatus(L"Tip74");
            StopAtNextStep();
            break;
        case kStepLauncherPathMapDownloading:
            RaiseEvent(eCallBackType_DownloadLauncherHashFileError);
            SetStatus(L"Tip71");
            StopAtNextStep();
            break;
        case kStepLauncherFileDownloading:
            // Nothing queues another file after this one: staying here
            // would keep the engine, and its mutex, alive for ever.
            RaiseEvent(eCallBackType_DownloadLauncherResError);
            SetStatus(L"Tip73");
            StopAtNextStep();
            break;
        case kStepLauncherProgramDownloading:
        case kStepEngineProgramDownloading:
            RaiseEvent(eCallBackType_DownloadLauncherError);
            SetStatus(L"Tip72");
            StopAtNextStep();
            break;
        case kStepClientListDownloading:
            SetStatus(L"Tip77");
            StopAtNextStep();
            break;
        case kStepClientPathMapDownloading:
            SetStatus(L"Tip78");
            StopAtNextStep();
            break;
        case kStepClientVersionListDownloading:
            // The files are fetched all the same, without version folders.
            SetStatus(L"Tip18");
            versionList_->Clear();
            OnClientVersionListReady(false);
            break;
        case kStepClientFilesDownloading:
            RecordFailedFile(localPath, reason);
            break;
        default:
            break;
        }
    } catch (...) {
    }
}

void UpdateController::OnDownloadMessage(const std::string& text, int step) {
    try {
        log_->Write(kEngineLogLevel, text);
        switch (step) {
        case kStepFullPackageDownloading:
        case kStepPatchListDownloading:
        case kStepLauncherListDownloading:
        case kStepServerListDownloading:
        case kStepLauncherPathMapDownloading:
        case kStepLauncherFileDownloading:
        case kStepLauncherProgramDownloading:
        case kStepClientListDownloading:
        case kStepClientPathMapDownloading: {
            TextSink sink;
            {
                ScopedCriticalSection guard(sinkLock_);
                sink = textSink_;
            }
            if (sink) sink(text);
            break;
        }
        default:
            break;
        }
    } catch (...) {
    }
}

void UpdateController::StopAtNextStep() { stopRequested_ = true; }

bool UpdateController::SleepUnlessStopped(unsigned ms) {
    return WaitForSingleObject(stopEvent_, ms) == WAIT_TIMEOUT;
}
