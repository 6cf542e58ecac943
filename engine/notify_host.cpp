#include "engine/notify_host.h"

#include "common/module_path.h"

#include "engine/download_manager.h"
#include "engine/html_log.h"
#include "engine/launcher_config.h"

namespace {

NotifyHost* g_host = nullptr;

// The engine's root is the current folder, however long.
std::wstring ProgramPath() {
    std::wstring folder = CurrentFolder();
    if (folder.empty()) folder = L".";  // unreadable: relative paths still mean the current folder
    if (folder.back() == L'\\') folder.pop_back();  // a drive root
    return folder + L"\\Tidemill.exe";
}

}  // namespace

NotifyHost* GetNotifyHost() { return g_host; }

NotifyHost::NotifyHost() : links_(*this) {
    g_host = this;
    SetProgramPath(ProgramPath());
    InstallSinks();
    if (!Init()) Log("UpdateController::Init failed");
}

NotifyHost::~NotifyHost() {
    Stop();
    if (g_host == this) g_host = nullptr;
}

void NotifyHost::InstallSinks() {
    SetEventSink([this](eCallBackType value) { PushCallbackType(value); });
    SetTextSink([this](const std::string& text) { OnCoreText(text); });
}

bool NotifyHost::OnLoopStart() {
    SetEventSink([this](eCallBackType value) { PushCallbackType(value); });
    Start();
    return true;
}

void NotifyHost::Stop() { UpdateController::Stop(); }

bool NotifyHost::OnCoreText(const std::string& text) {
    links_.QueueCoreText(text);
    return true;
}

void NotifyHost::Log(const std::string& line) { GetLog().Write(kEngineLogLevel, line); }

void NotifyHost::ContinueUpdate() { Continue(); }

int NotifyHost::UpdateState() const { return GetState(); }

std::wstring NotifyHost::Text(const std::wstring& key) const { return EngineLauncherConfig().Text(key); }

std::wstring NotifyHost::SlotText(int slot) const {
    switch (slot) {
    case 0: return GetInstalledVersionText();
    case 1: return GetTargetVersionText();
    case 2: return GetStatusText();
    default: return std::wstring();
    }
}

void NotifyHost::DisplayProgress(double& done, double& total) const { GetDisplayProgress(done, total); }

uint64_t NotifyHost::ReceivedBytes() const {
    DownloadManager* downloads = EngineDownloadManager();
    return downloads != nullptr ? downloads->TotalReceived() : 0;
}

void NotifyHost::CheckServerVersion(const std::wstring& serverId) {
    SelectServer(serverId);
    CheckVersion();
}

bool NotifyHost::ClientAtTargetVersion() const { return IsAtTargetVersion(); }

void NotifyHost::RequestClientCheck() { SetState(kStepClientCheckRequested); }
