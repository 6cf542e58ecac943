// Drives an UpdateController the way the engine host does: it calls the
// controller's step at every tick, collects its events, texts and states,
// and answers events as a launcher would (a version check after
// eCallBackType_PreDownloadReady, an update after eCallBackType_PrePatchVer).
// Every test gets a fresh folder of its own and a session of the local HTTP
// test server into which a server tree made by make_controller_fixtures.py
// is uploaded.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/critical_section_lock.h"
#include "common/win.h"
#include "engine/update_controller.h"
#include "tests/doubles/http_server/http_test_server.h"

// Files below a folder, relative ("\" separated), sorted.
std::vector<std::wstring> ListFiles(const std::wstring& folder);
// A file's bytes, or a marker that no file's bytes equal when it is missing.
std::string BytesOf(const std::wstring& path);
void CopyTree(const std::wstring& from, const std::wstring& to);
// [version] cur of the client folder's "version.ini".
std::wstring InstalledVersion(const std::wstring& client);
// The fixtures built on the host, beside the test executable.
std::wstring FixturePath(const std::wstring& relative);
// Writes a hash list of every file below folder except the engine's own.
bool WriteHashListOfFolder(const std::wstring& folder, const std::wstring& listFile);

struct HarnessConfig {
    std::wstring gameName;         // non-empty: the client folder comes from the registry
    bool withServerBase = true;    // [Server] Server1
};

class ControllerHarness {
public:
    ControllerHarness();
    ~ControllerHarness();

    // Opens the test's server session; false with the reason in Error().
    bool Open();
    const std::string& Error() const { return server_.Error(); }
    HttpTestServer& Server() { return server_; }

    // Uploads a fixture tree; "http://QLN_BASE/" in serverlist.xml becomes
    // this session's base URL.
    void ServeTree(const std::wstring& fixtureTree);
    void ServeFile(const std::string& path, const std::string& bytes) { server_.PutFile(path, bytes); }
    void Fault(const std::string& path, const std::string& query) { server_.SetFault(path, query); }
    // GET requests of the log whose path ends with the suffix.
    int CountGets(const std::string& suffix);
    int CountGetsContaining(const std::string& part);

    // A client folder apart from the root (through the registry) instead of
    // the root itself.
    void UseSeparateClientFolder();
    void WriteConfig(const HarnessConfig& config = HarnessConfig());
    // Copies the fixture client into the client folder, with its hash list
    // made from the files and "version.ini".
    void InstallClient(const std::wstring& fixtureClient, const std::wstring& version);
    void InstallLauncher(const std::wstring& fixtureLauncher);
    // The usual start: configuration, the old launcher files and, unless
    // fixtureClient is empty, the client at the given version.
    void Prepare(const std::wstring& fixtureClient, const std::wstring& version);

    // Builds, configures (short waits) and initialises the controller.
    void StartCore();
    UpdateController& Core() { return *core_; }

    // Runs ticks until done() holds, the controller stops (state 46) or the
    // bound (a safety net, not a speed check) passes. True when done() held.
    bool RunUntil(const std::function<bool()>& done, int maxSeconds = 120);
    bool RunUntilEvent(eCallBackType value, int maxSeconds = 120);
    bool Saw(eCallBackType value) const;
    std::vector<int> Events() const { return events_; }
    std::vector<int> ErrorEvents() const;
    std::wstring Status() const { return core_->GetStatusText(); }
    bool LaunchRequested() const { return launchRequested_; }

    // Host behaviour: what to answer to the controller's events.
    bool checkVersionOnReady = true;
    std::wstring serverId = L"1";
    bool updateOnPrePatch = true;
    // Called for every event on the test's thread, after the host's answer.
    std::function<void(int)> onEvent;

    std::wstring work;    // the test's own folder
    std::wstring root;    // the engine's root, with a trailing "\"
    std::wstring client;  // the client folder, with a trailing "\"

private:
    void HandleEvent(int value);

    HttpTestServer server_;
    std::unique_ptr<UpdateController> core_;
    std::wstring gameName_;
    CriticalSectionLock eventLock_;
    std::vector<int> pendingEvents_;
    std::vector<int> events_;
    bool launchRequested_ = false;
};

// The usual run with one file of the main tree replaced: opens the session,
// serves the tree and the file, installs client 1.0.0 and starts the core.
::testing::AssertionResult StartOnMainTreeWith(ControllerHarness& run, const std::string& path,
                                               const std::string& bytes);

// Tests against the tree of client 1.0.1 with the unchanged launcher.
class MainTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(h.Open()) << h.Error();
        h.ServeTree(L"trees\\main");
    }
    ControllerHarness h;
};
