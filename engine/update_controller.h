#pragma once
// The update procedure of the engine: it keeps the launcher's own files, the
// server list and the game client in line with the update servers, moving
// through numbered step states. Each step queues a download; the download
// manager's callbacks (on its worker threads) carry the result to the step's
// handler, and the engine's tick calls Continue on the main thread.
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common/channel_types.h"
#include "common/critical_section_lock.h"

class LauncherConfig;
class HtmlLog;
class DownloadManager;
class HashList;
class VersionList;
struct ServerInfo;
struct VersionTriple;

// Step states; the numbers are the ones the log and the host rely on.
enum UpdateStepState : int32_t {
    kStepStart = 0,                 // fetch the launcher list
    kStepClientCheckRequested = 1,  // a launcher asked for the client check
    kStepFullPackageDownloading = 3,
    kStepFullPackageUnpacking = 6,
    kStepPatchListDownloading = 7,
    kStepLauncherListDownloading = 10,
    kStepServerListDownloading = 13,
    kStepLauncherPathMapDownloading = 16,
    kStepLauncherFileDownloading = 19,
    kStepLauncherProgramDownloading = 22,
    kStepEngineProgramDownloading = 25,
    kStepClientListDownloading = 28,
    kStepClientPathMapDownloading = 31,
    kStepClientVersionListDownloading = 34,
    kStepClientFilesDownloading = 40,
    kStepVersionsKnown = 43,
    kStepClientUpToDate = 44,
    kStepStopped = 46,
};

// The state's name for log lines ("" for numbers outside the table).
const char* UpdateStepName(int state);

// How long the launcher replacement waits for the new launcher process and
// its "qln_launcher_ok" mutex. Tests shorten them.
struct LauncherWaitTimings {
    unsigned relaunchPollMs = 500;   // new launcher after a program replacement
    unsigned relaunchChecks = 20;
    unsigned restartPollMs = 3000;   // new launcher after a resource restart
    unsigned restartChecks = 0;      // 0: no limit (until Stop)
    unsigned mutexPollMs = 500;
    unsigned mutexTries = 11;
};

class UpdateController {
public:
    // Receives every eCallBackType the core raises; called from any thread.
    using EventSink = std::function<void(eCallBackType)>;
    // Receives the download manager's texts (narrow) for CF_CORE_TEXT.
    using TextSink = std::function<void(const std::string&)>;

    // Patches read from "patchList.ini" at most (patch0 to patch1023).
    static constexpr int kMaxPatches = 1024;

    UpdateController();
    // A derived class calls Stop() in its own destructor: the download
    // threads may call the sinks until then.
    virtual ~UpdateController();
    UpdateController(const UpdateController&) = delete;
    UpdateController& operator=(const UpdateController&) = delete;

    // Root = the program path up to and including its last "\".
    void SetProgramPath(const std::wstring& programPath);
    // Configuration, client folder, lists, log and download workers.
    bool Init();
    void Start();
    // One step of the procedure; called at every engine tick (main thread).
    void Continue();
    // Ends the download workers and any wait for a launcher.
    void Stop();

    void SetEventSink(EventSink sink);
    void SetTextSink(TextSink sink);

    // Selects the server a launcher chose by its ID and writes the
    // preferences. An ID that matches no server leaves no server selected:
    // the failure is logged and reported, and false is returned.
    bool SelectServer(const std::wstring& serverId);
    // Starts the patch-list step for the selected server (nothing without
    // one); true.
    bool CheckVersion();

    int GetState() const { return state_.load(); }
    void SetState(int state);
    void SetStatus(const std::wstring& key);

    // Slot texts for the launchers: 0 installed version, 1 target version,
    // 2 status. Copies, safe from any thread.
    std::wstring GetInstalledVersionText() const;
    std::wstring GetTargetVersionText() const;
    std::wstring GetStatusText() const;

    VersionTriple GetInstalledVersion() const;
    VersionTriple GetTargetVersion() const;
    bool IsAtTargetVersion() const;

    // Progress counter: step 1, position kept within [min, max].
    void SetRange(int minimum, int maximum);
    void SetPosition(int position);
    void Advance();
    int GetPosition() const;
    int GetRangeMin() const;
    int GetRangeMax() const;
    // Entries unpacked and entries in all of the full package (state 6).
    void GetExtractionCounters(int& done, int& total) const;
    // The pair the launchers' progress shows in the current state: the
    // transfer's bytes in state 3, the extraction counters in state 6, the
    // progress counter's position and maximum otherwise.
    void GetDisplayProgress(double& done, double& total) const;

    LauncherConfig& GetConfig();
    HtmlLog& GetLog();
    DownloadManager& GetDownloadManager();
    const std::wstring& GetRoot() const { return root_; }
    const std::wstring& GetClientFolder() const { return clientFolder_; }

    // Download manager callbacks; they run on its worker threads, each with
    // the step that queued the download, which picks the handler whatever
    // the state is by then. False from OnDownloadDone makes the manager
    // fetch the file again.
    bool OnDownloadDone(const std::wstring& localPath, int step);
    void OnDownloadFailed(const std::wstring& localPath, int step, const std::string& reason);
    void OnDownloadMessage(const std::string& text, int step);

    void SetLauncherWaitTimings(const LauncherWaitTimings& timings) { waits_ = timings; }

protected:
    void RaiseEvent(eCallBackType value);
    // One line of the HTML log at level 4 (printf-style, narrow text).
    void WriteLog(const char* format, ...);

private:
    // The stopped state for a failure found on a download thread, taken at
    // the start of the next step on the main thread: the host ends the
    // engine when it sees that state at the end of a tick, and by then it
    // has passed the failure's event and status text on to the launchers.
    void StopAtNextStep();

    // Core and launcher road.
    void ReadInstalledVersion();
    void FetchLauncherList();
    bool OnLauncherListDone();
    bool OnLauncherPathMapDone();
    void NextLauncherFile();
    bool OnLauncherFileDone();
    bool OnLauncherProgramDone();
    bool OnEngineProgramDone();
    bool ReplaceLauncher();
    void RestartLauncher();
    bool WaitForNewLauncher(unsigned long oldProcessId, unsigned pollMs, unsigned checks);
    void WaitForLauncherMutex();
    bool SleepUnlessStopped(unsigned ms);
    bool CheckPackagedProgram(const wchar_t* name);

    // Server list, full package and patches.
    void FetchServerList();
    bool OnServerListDone();
    bool IsClientMissing();
    void FetchFullPackage();
    bool OnFullPackageDone();
    // A kExtract* result.
    int InstallFullPackage(const std::wstring& package);
    bool OnPatchListDone();
    void ApplyPatches();
    // A copy of the selected server; false when none is selected.
    bool SelectedServer(ServerInfo& server) const;

    // Client repair.
    bool IsGameIdle();
    void FetchClientList();
    bool OnClientListDone();
    bool OnClientPathMapDone();
    // arrived: the version list was downloaded (else the files go without one).
    void OnClientVersionListReady(bool arrived);
    void QueueClientFiles();
    bool OnClientFileDone(const std::wstring& localPath);
    // The chosen server's file of the client at the target version.
    std::wstring ClientListUrl(const wchar_t* name) const;
    void FinishClient();
    void FinishUpToDate();
    void RecordFailedFile(const std::wstring& localPath, const std::string& reason);
    // Why the last package of a client file was rejected, for the log of a
    // file that fails for good.
    void NoteRejection(const std::wstring& relative, const char* reason);
    void SaveClientList();
    bool WriteInstalledVersion();

    // Queues a download for the step whose handler takes its result.
    void Enqueue(int step, const std::wstring& url, const std::wstring& localPath, bool probe);
    // Raised once the engine is stopping; long steps on the download threads watch it.
    const std::atomic<bool>* StopRequest() const;
    void SetTexts(const std::wstring* installed, const std::wstring* target, const std::wstring* status);
    void SetVersions(const VersionTriple* installed, const VersionTriple* target);
    std::wstring TmpPath(const std::wstring& name) const;

    std::wstring root_;
    std::wstring clientFolder_;
    std::wstring platform_;
    std::wstring gameName_;

    std::unique_ptr<LauncherConfig> config_;
    std::unique_ptr<HtmlLog> log_;
    std::unique_ptr<DownloadManager> downloads_;

    mutable CriticalSectionLock textLock_;
    std::wstring statusText_;
    std::wstring installedVersionText_;
    std::wstring targetVersionText_;

    std::wstring targetVersionString_;
    std::wstring baseUrl_;
    std::wstring currentFile_;
    std::unique_ptr<VersionTriple> installedVersion_;  // written under textLock_
    std::unique_ptr<VersionTriple> targetVersion_;     // written under textLock_
    // The server the running client check started with, kept for all of it.
    std::unique_ptr<ServerInfo> repairServer_;

    std::unique_ptr<HashList> launcherList_;
    std::unique_ptr<HashList> clientList_;
    std::unique_ptr<HashList> newLauncherList_;
    std::unique_ptr<HashList> serverClientList_;
    std::unique_ptr<VersionList> versionList_;

    std::wstring downloadTarget_;
    std::vector<uint64_t> changedKeys_;
    std::deque<std::wstring> fileList_;
    CriticalSectionLock failedLock_;
    // Client files that failed for good ("#key" for a key without a usable
    // path), each with the reason; and the last rejection of each file.
    std::map<std::wstring, std::string> failedFiles_;
    std::map<std::wstring, std::string> rejections_;
    bool launcherExeChanged_ = false;
    bool engineExeChanged_ = false;
    bool resourcesChanged_ = false;
    // Set when a launcher chose an ID the server list does not have.
    std::atomic<bool> serverRefused_{false};

    CriticalSectionLock coreLock_;
    mutable CriticalSectionLock progressLock_;
    int progressMin_ = 0;
    int progressMax_ = 100;
    int progressStep_ = 1;
    int progressPosition_ = 0;
    std::atomic<int> extractedEntries_{0};
    std::atomic<int> totalEntries_{0};

    std::atomic<int> state_{kStepStart};
    std::atomic<bool> stopRequested_{false};
    bool saveClockStarted_ = false;
    unsigned long lastSaveTime_ = 0;

    CriticalSectionLock sinkLock_;
    EventSink eventSink_;
    TextSink textSink_;

    LauncherWaitTimings waits_;
    void* stopEvent_ = nullptr;
};

// The engine's update core while it exists, else null.
UpdateController* GetUpdateController();
