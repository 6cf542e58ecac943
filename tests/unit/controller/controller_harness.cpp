#include "tests/unit/controller/controller_harness.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/code_page.h"
#include "common/file_util.h"
#include "common/hash_list.h"
#include "common/md5.h"
#include "common/process_util.h"
#include "common/profile_file.h"
#include "common/registry_util.h"
#include "engine/download_manager.h"
#include "tests/unit/engine/download_test_support.h"
#include "tests/unit/common/test_files.h"

namespace {

const char kBasePlaceholder[] = "http://QLN_BASE/";
const wchar_t kTestGameName[] = L"QlnControllerTest";

void ListInto(const std::wstring& folder, const std::wstring& prefix, std::vector<std::wstring>& out) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + prefix + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ListInto(folder, prefix + name + L"\\", out);
        else
            out.push_back(prefix + name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

void NoErrorBox(const wchar_t*, const wchar_t*) {}

// The files the engine writes itself, which no hash list holds.
bool IsEngineFile(const std::wstring& relative) {
    std::wstring lower = relative;
    CharLowerBuffW(&lower[0], static_cast<DWORD>(lower.size()));
    static const wchar_t* const names[] = {L"version.ini", L"hashmd5.xmp", L"lancherhashmd5.xmp",
                                           L"launcherconfig.ini"};
    for (const wchar_t* name : names)
        if (lower == name) return true;
    return lower.compare(0, 4, L"tmp\\") == 0 || lower.compare(0, 4, L"log\\") == 0;
}

}  // namespace

std::vector<std::wstring> ListFiles(const std::wstring& folder) {
    std::vector<std::wstring> out;
    std::wstring base = folder;
    if (!base.empty() && base.back() != L'\\') base += L'\\';
    ListInto(base, L"", out);
    std::sort(out.begin(), out.end());
    return out;
}

std::string BytesOf(const std::wstring& path) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) return "<missing " + WideToMulti(path, CP_UTF8) + ">";
    return bytes;
}

void CopyTree(const std::wstring& from, const std::wstring& to) {
    std::wstring source = from.back() == L'\\' ? from : from + L"\\";
    std::wstring target = to.back() == L'\\' ? to : to + L"\\";
    for (const std::wstring& relative : ListFiles(source)) {
        MakeDirectoryChain(target + relative);
        CopyFileW((source + relative).c_str(), (target + relative).c_str(), FALSE);
    }
}

std::wstring InstalledVersion(const std::wstring& client) {
    return ReadProfileString(client + L"version.ini", L"version", L"cur", L"", 64);
}

std::wstring FixturePath(const std::wstring& relative) { return TestExeFolder() + L"fixtures\\" + relative; }

bool WriteHashListOfFolder(const std::wstring& folder, const std::wstring& listFile) {
    HashList list;
    for (const std::wstring& relative : ListFiles(folder)) {
        if (IsEngineFile(relative)) continue;
        Md5Digest digest;
        if (!FileMd5(folder + relative, digest)) return false;
        list.Set(WideToMulti(relative, 0), digest);
    }
    return list.Save(listFile);
}

ControllerHarness::ControllerHarness() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name)
        if (c == '/' || c == '\\' || c == ':') c = '_';
    work = TestExeFolder() + L"work\\" + MultiToWide(name, CP_UTF8) + L"\\";
    RemoveTree(work.substr(0, work.size() - 1));
    root = work + L"root\\";
    client = root;
    MakeDirectoryChain(root);
    SetErrorBoxFunction(NoErrorBox);
}

ControllerHarness::~ControllerHarness() {
    if (core_) core_->Stop();
    core_.reset();
    if (!gameName_.empty()) WriteRegistryString(1, L"Software\\Quillon\\" + gameName_, L"ClientPath", L"");
}

bool ControllerHarness::Open() { return server_.Open(); }

void ControllerHarness::ServeTree(const std::wstring& fixtureTree) {
    std::wstring folder = FixturePath(fixtureTree) + L"\\";
    for (const std::wstring& relative : ListFiles(folder)) {
        std::string bytes = BytesOf(folder + relative);
        std::string path = WideToMulti(relative, CP_UTF8);
        std::replace(path.begin(), path.end(), '\\', '/');
        if (path == "serverlist.xml") {
            for (size_t at; (at = bytes.find(kBasePlaceholder)) != std::string::npos;)
                bytes.replace(at, sizeof(kBasePlaceholder) - 1, server_.BaseUrl());
        }
        ASSERT_TRUE(server_.PutFile(path, bytes)) << server_.Error();
    }
}

int ControllerHarness::CountGets(const std::string& suffix) {
    int n = 0;
    for (const LoggedRequest& r : server_.Log()) {
        if (r.method == "GET" && r.path.size() >= suffix.size() &&
            r.path.compare(r.path.size() - suffix.size(), suffix.size(), suffix) == 0)
            ++n;
    }
    return n;
}

int ControllerHarness::CountGetsContaining(const std::string& part) {
    int n = 0;
    for (const LoggedRequest& r : server_.Log())
        if (r.method == "GET" && r.path.find(part) != std::string::npos) ++n;
    return n;
}

void ControllerHarness::UseSeparateClientFolder() {
    client = work + L"client\\";
    MakeDirectoryChain(client);
    gameName_ = kTestGameName;
    WriteRegistryString(1, L"Software\\Quillon\\" + gameName_, L"ClientPath", client.substr(0, client.size() - 1));
}

void ControllerHarness::WriteConfig(const HarnessConfig& config) {
    std::string base = server_.BaseUrl();
    std::string text = "[platform]\r\nPlatform=1\r\nGameName=" + WideToMulti(gameName_, CP_UTF8) + "\r\n\r\n[Server]\r\n";
    // The second base is never asked: the tests check that no request goes there.
    if (config.withServerBase) text += "Server1=" + base + "launcher/\r\nServer2=" + base + "second/\r\n";
    text += "serverlist=" + base + "serverlist.xml\r\n\r\n[Launcher]\r\nAppName=Quillon\r\n";
    for (int n = 0; n <= 80; ++n) text += "Tip" + std::to_string(n) + "=T" + std::to_string(n) + "\r\n";
    WriteFileText(root + L"LauncherConfig.ini", text);
}

void ControllerHarness::InstallClient(const std::wstring& fixtureClient, const std::wstring& version) {
    CopyTree(FixturePath(fixtureClient), client);
    ASSERT_TRUE(WriteHashListOfFolder(client, client + L"HashMD5.xmp"));
    WriteFileText(client + L"version.ini", "[version]\r\ncur=" + WideToMulti(version, CP_UTF8) + "\r\n");
}

void ControllerHarness::InstallLauncher(const std::wstring& fixtureLauncher) {
    CopyTree(FixturePath(fixtureLauncher), root);
    HashList list;
    for (const std::wstring& relative : ListFiles(FixturePath(fixtureLauncher))) {
        Md5Digest digest;
        ASSERT_TRUE(FileMd5(root + relative, digest));
        list.Set(WideToMulti(relative, 0), digest);
    }
    ASSERT_TRUE(list.Save(root + L"LancherHashMD5.xmp"));
}

void ControllerHarness::Prepare(const std::wstring& fixtureClient, const std::wstring& version) {
    WriteConfig();
    InstallLauncher(L"launcher\\old");
    if (!fixtureClient.empty()) InstallClient(fixtureClient, version);
}

void ControllerHarness::StartCore() {
    core_.reset(new UpdateController());
    core_->SetProgramPath(root + L"Tidemill.exe");
    core_->SetEventSink([this](eCallBackType value) {
        ScopedCriticalSection guard(eventLock_);
        pendingEvents_.push_back(value);
    });
    core_->SetTextSink([](const std::string&) {});
    core_->GetDownloadManager().SetTimings(FastDownloadTimings());
    LauncherWaitTimings waits;
    waits.relaunchPollMs = 50;
    waits.relaunchChecks = 400;
    waits.restartPollMs = 50;
    waits.restartChecks = 400;
    waits.mutexPollMs = 50;
    waits.mutexTries = 11;
    core_->SetLauncherWaitTimings(waits);
    ASSERT_TRUE(core_->Init());
}

void ControllerHarness::HandleEvent(int value) {
    events_.push_back(value);
    if (value == eCallBackType_PreDownloadReady && checkVersionOnReady) {
        if (core_->SelectServer(serverId)) core_->CheckVersion();
    } else if (value == eCallBackType_PrePatchVer && updateOnPrePatch) {
        // The launcher answers with eActionType_StartGame: at the target
        // version the game starts, else the client check begins.
        if (core_->IsAtTargetVersion())
            launchRequested_ = true;
        else
            core_->SetState(kStepClientCheckRequested);
    }
    if (onEvent) onEvent(value);
}

bool ControllerHarness::RunUntil(const std::function<bool()>& done, int maxSeconds) {
    DWORD start = GetTickCount();
    for (;;) {
        core_->Continue();
        // Read before taking the events: an event raised on the way to the
        // stop is then among them.
        bool stopped = core_->GetState() == kStepStopped;
        std::vector<int> arrived;
        {
            ScopedCriticalSection guard(eventLock_);
            arrived.swap(pendingEvents_);
        }
        for (int value : arrived) HandleEvent(value);
        if (done()) return true;
        if (stopped) return false;
        if (GetTickCount() - start > static_cast<DWORD>(maxSeconds) * 1000) {
            ADD_FAILURE() << "gave up waiting in state " << core_->GetState();
            return false;
        }
        Sleep(5);
    }
}

bool ControllerHarness::RunUntilEvent(eCallBackType value, int maxSeconds) {
    return RunUntil([this, value] { return Saw(value); }, maxSeconds);
}

bool ControllerHarness::Saw(eCallBackType value) const {
    return std::find(events_.begin(), events_.end(), static_cast<int>(value)) != events_.end();
}

std::vector<int> ControllerHarness::ErrorEvents() const {
    std::vector<int> out;
    for (int value : events_)
        if ((value >= eCallBackType_DownloadLauncherVerError && value <= eCallBackType_DownloadPatchVerError) ||
            value == eCallBackType_UnZipTinyPackageFail)
            out.push_back(value);
    return out;
}

::testing::AssertionResult StartOnMainTreeWith(ControllerHarness& run, const std::string& path,
                                               const std::string& bytes) {
    if (!run.Open()) return ::testing::AssertionFailure() << run.Error();
    run.ServeTree(L"trees\\main");
    run.ServeFile(path, bytes);
    run.Prepare(L"clients\\1.0.0", L"1.0.0");
    run.StartCore();
    return ::testing::AssertionSuccess();
}
