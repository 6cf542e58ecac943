#pragma once
// What the engine reads from "LauncherConfig.ini", the server list and the
// chosen server, and the files that tell the game and the mini client which
// server was chosen.
#include "common/critical_section_lock.h"

#include <map>
#include <string>
#include <vector>

// One game server of the server list; texts as read (UTF-8) in UTF-16.
struct ServerInfo {
    std::wstring Name;
    std::wstring IP;
    std::wstring Port;
    std::wstring ServerKey;
    std::wstring ID;
    bool IsNew = false;
    std::wstring UpdateUrl;
    std::wstring Client;
    std::wstring Patch;
    std::wstring Weiduan;
};

struct ServerArea {
    std::wstring Areaname;
    std::vector<ServerInfo> Servers;
};

// Shared by the main thread and the download threads: every operation holds
// the object's lock, and the selected server is handed out as a copy.
class LauncherConfig {
public:
    static constexpr int kMaxServerBases = 10;
    // Tip0 up to Tip1023 at most.
    static constexpr int kMaxTexts = 1024;

    LauncherConfig() = default;
    LauncherConfig(const LauncherConfig&) = delete;
    LauncherConfig& operator=(const LauncherConfig&) = delete;

    // Folder (with a trailing "\") into which the game's files are written;
    // the current folder while empty.
    void SetClientFolder(const std::wstring& folder);

    // Reads [Server], [Launcher] AppName and the texts; bases and texts are
    // cleared first. A missing file leaves everything empty.
    void Load(const std::wstring& file);
    // Remembers the file and reads [DefaultServers] DefaultAera and DefaultServer.
    void LoadPreferences(const std::wstring& file);

    // The text under a key such as L"Tip5", or the empty text.
    std::wstring Text(const std::wstring& key) const;

    // Parses the downloaded server list and applies the preferences. False,
    // with a log line and nothing changed, when the file cannot be read or is
    // not well-formed XML; otherwise what ApplyPreferences returns.
    bool LoadServerList(const std::wstring& file);
    // Selects the preferred area and server (or the first ones), writes the
    // game's files and returns whether an area and a server are selected.
    bool ApplyPreferences();
    // Selects the first server whose ID equals the text and applies the
    // preferences; false, changing nothing, when no server has that ID.
    bool SelectServer(const std::wstring& id);

    std::vector<std::wstring> GetServerBases() const;
    std::wstring GetServerListUrl() const;
    std::wstring GetAppName() const;
    // False when no server is selected.
    bool GetSelectedServer(ServerInfo& server) const;
    std::vector<ServerArea> GetAreas() const;
    std::wstring GetPreferredArea() const;
    std::wstring GetPreferredServer() const;

private:
    bool ApplyPreferencesLocked();
    bool WritePreferenceFile() const;
    bool WriteServerConfigXml() const;
    bool WriteTinyConfig() const;

    mutable CriticalSectionLock lock_;
    std::wstring clientFolder_;
    std::wstring preferencesFile_;
    std::vector<std::wstring> serverBases_;
    std::wstring serverListUrl_;
    std::wstring preferredArea_;
    std::wstring preferredServer_;
    // Indices into areas_ and its servers; -1 for none.
    int selectedArea_ = -1;
    int selectedServer_ = -1;
    std::vector<ServerArea> areas_;
    std::wstring appName_;
    std::map<std::wstring, std::wstring> texts_;
};

// The engine's configuration. The update core registers the configuration
// it owns for as long as it lives; while none is registered an empty one is
// returned.
LauncherConfig& EngineLauncherConfig();
void RegisterEngineLauncherConfig(LauncherConfig* config);
