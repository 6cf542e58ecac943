#include "engine/launcher_config.h"

#include <tinyxml.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "common/code_page.h"
#include "common/file_util.h"
#include "common/profile_file.h"
#include "engine/html_log.h"

namespace {

constexpr unsigned kValueCapacity = 512;
constexpr unsigned kUtf8 = 65001;

std::atomic<LauncherConfig*> g_engineConfig{nullptr};

std::wstring NumberedKey(const wchar_t* format, int number) {
    wchar_t key[32];
    swprintf(key, sizeof key / sizeof key[0], format, number);
    return key;
}

std::wstring AttributeText(const TiXmlElement* element, const char* name) {
    const char* value = element->Attribute(name);
    return value ? MultiToWide(value, kUtf8) : std::wstring();
}

std::wstring ChildText(const TiXmlElement* element, const char* name) {
    const TiXmlElement* child = element->FirstChildElement(name);
    const char* text = child ? child->GetText() : nullptr;
    return text ? MultiToWide(text, kUtf8) : std::wstring();
}

ServerInfo ReadServer(const TiXmlElement* element) {
    ServerInfo server;
    server.Name = AttributeText(element, "Name");
    server.IP = AttributeText(element, "IP");
    server.Port = AttributeText(element, "Port");
    server.ServerKey = AttributeText(element, "ServerKey");
    server.ID = AttributeText(element, "ID");
    const char* isNew = element->Attribute("IsNew");
    server.IsNew = isNew && std::atoi(isNew) != 0;
    server.UpdateUrl = ChildText(element, "UpdateUrl");
    server.Client = ChildText(element, "Client");
    server.Patch = ChildText(element, "Patch");
    server.Weiduan = ChildText(element, "Weiduan");
    return server;
}

bool SameDownloadSources(const ServerInfo& a, const ServerInfo& b) {
    return a.UpdateUrl == b.UpdateUrl && a.Client == b.Client && a.Patch == b.Patch &&
           a.Weiduan == b.Weiduan;
}

std::string Utf8(const std::wstring& text) { return WideToMulti(text, kUtf8); }

void Log(const std::string& text) { EngineHtmlLog().Write(kEngineLogLevel, text); }

std::string LogPath(const std::wstring& path) { return WideToMulti(path, 0); }

// A real server list is a few hundred kilobytes and four levels deep (the
// list, an area, a server, its URLs). The parser recurses once per level on
// the download thread's stack, so a list beyond these is refused unread.
constexpr unsigned long long kMaxServerListBytes = 4ull << 20;
constexpr int kMaxServerListDepth = 32;

void SkipPast(const std::string& text, size_t& at, const char* end) {
    size_t found = text.find(end, at);
    at = found == std::string::npos ? text.size() : found + std::strlen(end);
}

// How deeply the elements of a markup text nest, counted without parsing it:
// start tags open a level, end tags close one; comments, declarations and
// quoted attribute values are skipped.
int MarkupDepth(const std::string& text) {
    int depth = 0;
    int deepest = 0;
    size_t at = 0;
    while ((at = text.find('<', at)) != std::string::npos) {
        if (text.compare(at, 4, "<!--") == 0) {
            SkipPast(text, at, "-->");
        } else if (text.compare(at, 9, "<![CDATA[") == 0) {
            SkipPast(text, at, "]]>");
        } else if (text.compare(at, 2, "<?") == 0 || text.compare(at, 2, "<!") == 0) {
            SkipPast(text, at, ">");
        } else if (text.compare(at, 2, "</") == 0) {
            if (depth > 0) --depth;
            SkipPast(text, at, ">");
        } else {
            char quote = 0;
            size_t end = at + 1;
            for (; end < text.size(); ++end) {
                char c = text[end];
                if (quote != 0) {
                    if (c == quote) quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '>') {
                    break;
                }
            }
            if (end >= text.size() || text[end - 1] != '/') {
                if (++depth > deepest) deepest = depth;
            }
            at = end;
        }
    }
    return deepest;
}

}  // namespace

void LauncherConfig::SetClientFolder(const std::wstring& folder) {
    ScopedCriticalSection hold(lock_);
    clientFolder_ = folder;
}

void LauncherConfig::Load(const std::wstring& file) {
    std::vector<std::wstring> bases;
    for (int i = 1; i <= kMaxServerBases; ++i) {
        std::wstring base = ReadProfileString(file, L"Server", NumberedKey(L"Server%d", i).c_str(),
                                              L"", kValueCapacity);
        if (base.empty()) break;
        bases.push_back(base);
    }
    std::wstring serverListUrl = ReadProfileString(file, L"Server", L"serverlist", L"", kValueCapacity);
    std::wstring appName = ReadProfileString(file, L"Launcher", L"AppName", L"", kValueCapacity);
    std::map<std::wstring, std::wstring> texts;
    for (int i = 0; i < kMaxTexts; ++i) {
        std::wstring key = NumberedKey(L"Tip%d", i);
        std::wstring text = ReadProfileString(file, L"Launcher", key.c_str(), L"", kValueCapacity);
        if (text.empty()) break;
        texts[key] = text;
    }

    ScopedCriticalSection hold(lock_);
    serverBases_ = std::move(bases);
    serverListUrl_ = std::move(serverListUrl);
    appName_ = std::move(appName);
    texts_ = std::move(texts);
}

void LauncherConfig::LoadPreferences(const std::wstring& file) {
    std::wstring area = ReadProfileString(file, L"DefaultServers", L"DefaultAera", L"", kValueCapacity);
    std::wstring server = ReadProfileString(file, L"DefaultServers", L"DefaultServer", L"", kValueCapacity);
    ScopedCriticalSection hold(lock_);
    preferencesFile_ = file;
    preferredArea_ = std::move(area);
    preferredServer_ = std::move(server);
}

std::wstring LauncherConfig::Text(const std::wstring& key) const {
    ScopedCriticalSection hold(lock_);
    auto found = texts_.find(key);
    return found == texts_.end() ? std::wstring() : found->second;
}

bool LauncherConfig::LoadServerList(const std::wstring& file) {
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    if (GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &attributes)) {
        unsigned long long size =
            (static_cast<unsigned long long>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;
        if (size > kMaxServerListBytes) {
            Log("LoadServerList: " + LogPath(file) + " is no server list: " + std::to_string(size) +
                " bytes, more than " + std::to_string(kMaxServerListBytes));
            return false;
        }
    }
    std::string contents;
    if (!ReadWholeFile(file, contents)) {
        Log("LoadServerList: cannot read " + LogPath(file));
        return false;
    }
    const int depth = MarkupDepth(contents);
    if (depth > kMaxServerListDepth) {
        Log("LoadServerList: " + LogPath(file) + " is no server list: its elements nest " + std::to_string(depth) +
            " deep, more than " + std::to_string(kMaxServerListDepth));
        return false;
    }
    TiXmlDocument document;
    document.Parse(contents.c_str(), nullptr, TIXML_ENCODING_UTF8);
    const TiXmlElement* root = document.RootElement();
    if (document.Error() || !root) {
        Log("LoadServerList: " + LogPath(file) + " is not a well-formed server list: " +
            (document.Error() ? document.ErrorDesc() : "no root element") + " (row " +
            std::to_string(document.ErrorRow()) + ", column " + std::to_string(document.ErrorCol()) +
            ")");
        return false;
    }

    std::vector<ServerArea> areas;
    for (const TiXmlElement* area = root->FirstChildElement("Area"); area;
         area = area->NextSiblingElement("Area")) {
        ServerArea parsed;
        parsed.Areaname = AttributeText(area, "Areaname");
        for (const TiXmlElement* server = area->FirstChildElement("Server"); server;
             server = server->NextSiblingElement("Server"))
            parsed.Servers.push_back(ReadServer(server));
        areas.push_back(std::move(parsed));
    }

    ScopedCriticalSection hold(lock_);
    selectedArea_ = -1;
    selectedServer_ = -1;
    areas_ = std::move(areas);
    return ApplyPreferencesLocked();
}

bool LauncherConfig::ApplyPreferences() {
    ScopedCriticalSection hold(lock_);
    return ApplyPreferencesLocked();
}

bool LauncherConfig::ApplyPreferencesLocked() {
    // A selection that already carries the preferred names is kept, so that
    // one of two servers sharing a name, once chosen by its ID, stays chosen.
    const bool keepArea = selectedArea_ >= 0 && areas_[selectedArea_].Areaname == preferredArea_;
    if (!keepArea) {
        selectedArea_ = -1;
        selectedServer_ = -1;
        for (size_t i = 0; i < areas_.size() && selectedArea_ < 0; ++i)
            if (areas_[i].Areaname == preferredArea_) selectedArea_ = static_cast<int>(i);
        if (selectedArea_ < 0 && !areas_.empty()) selectedArea_ = 0;
    }
    if (selectedArea_ < 0) {
        preferredArea_.clear();
        preferredServer_.clear();
    } else {
        const ServerArea& area = areas_[selectedArea_];
        preferredArea_ = area.Areaname;
        const bool keepServer =
            selectedServer_ >= 0 && area.Servers[selectedServer_].Name == preferredServer_;
        if (!keepServer) {
            selectedServer_ = -1;
            for (size_t i = 0; i < area.Servers.size() && selectedServer_ < 0; ++i)
                if (area.Servers[i].Name == preferredServer_) selectedServer_ = static_cast<int>(i);
            if (selectedServer_ < 0 && !area.Servers.empty()) selectedServer_ = 0;
        }
        preferredServer_ = selectedServer_ >= 0 ? area.Servers[selectedServer_].Name : std::wstring();
    }

    WritePreferenceFile();
    WriteServerConfigXml();
    if (selectedServer_ >= 0) WriteTinyConfig();
    return selectedArea_ >= 0 && selectedServer_ >= 0;
}

bool LauncherConfig::SelectServer(const std::wstring& id) {
    ScopedCriticalSection hold(lock_);
    // Servers without an ID attribute are not chosen by an empty ID.
    if (id.empty()) return false;
    for (size_t a = 0; a < areas_.size(); ++a) {
        const std::vector<ServerInfo>& servers = areas_[a].Servers;
        for (size_t s = 0; s < servers.size(); ++s) {
            if (servers[s].ID != id) continue;
            preferredArea_ = areas_[a].Areaname;
            preferredServer_ = servers[s].Name;
            selectedArea_ = static_cast<int>(a);
            selectedServer_ = static_cast<int>(s);
            ApplyPreferencesLocked();
            return true;
        }
    }
    return false;
}

bool LauncherConfig::WritePreferenceFile() const {
    const std::wstring path = clientFolder_ + L"Config\\Preference.ini";
    const std::vector<ProfileEntry> entries = {
        {L"DefaultServers", L"DefaultServer", preferredServer_},
        {L"DefaultServers", L"DefaultAera", preferredArea_},
    };
    const bool ok = MakeDirectoryChain(path) && WriteProfileStringsAtomically(path, entries);
    if (!ok) Log("ApplyPreferences: cannot write " + LogPath(path));
    return ok;
}

bool LauncherConfig::WriteServerConfigXml() const {
    TiXmlDocument document;
    TiXmlElement* game = new TiXmlElement("Game");
    document.LinkEndChild(game);
    if (selectedServer_ >= 0) {
        const ServerInfo& selected = areas_[selectedArea_].Servers[selectedServer_];
        for (const ServerArea& area : areas_) {
            TiXmlElement* areaElement = nullptr;
            for (const ServerInfo& server : area.Servers) {
                if (!SameDownloadSources(server, selected)) continue;
                if (!areaElement) {
                    areaElement = new TiXmlElement("Area");
                    areaElement->SetAttribute("Areaname", Utf8(area.Areaname));
                    game->LinkEndChild(areaElement);
                }
                TiXmlElement* element = new TiXmlElement("Server");
                element->SetAttribute("Name", Utf8(server.Name));
                element->SetAttribute("IP", Utf8(server.IP));
                element->SetAttribute("Port", Utf8(server.Port));
                element->SetAttribute("ServerKey", Utf8(server.ServerKey));
                element->SetAttribute("ID", Utf8(server.ID));
                areaElement->LinkEndChild(element);
            }
        }
    }
    // The printer gives the bytes the document's own file output would.
    TiXmlPrinter printer;
    document.Accept(&printer);
    const std::wstring path = clientFolder_ + L"Config\\serverconfig.xml";
    const bool ok = MakeDirectoryChain(path) && WriteFileAtomically(path, printer.CStr(), printer.Size());
    if (!ok) Log("ApplyPreferences: cannot write " + LogPath(path));
    return ok;
}

bool LauncherConfig::WriteTinyConfig() const {
    const ServerInfo& selected = areas_[selectedArea_].Servers[selectedServer_];
    const std::wstring path = clientFolder_ + L"Tiny\\config.ini";
    const std::vector<ProfileEntry> entries = {
        {L"Server", L"Server1", selected.UpdateUrl},
        {L"DownLoadDir", L"client", selected.Client},
    };
    const bool ok = MakeDirectoryChain(path) && WriteProfileStringsAtomically(path, entries);
    if (!ok) Log("ApplyPreferences: cannot write " + LogPath(path));
    return ok;
}

std::vector<std::wstring> LauncherConfig::GetServerBases() const {
    ScopedCriticalSection hold(lock_);
    return serverBases_;
}

std::wstring LauncherConfig::GetServerListUrl() const {
    ScopedCriticalSection hold(lock_);
    return serverListUrl_;
}

std::wstring LauncherConfig::GetAppName() const {
    ScopedCriticalSection hold(lock_);
    return appName_;
}

bool LauncherConfig::GetSelectedServer(ServerInfo& server) const {
    ScopedCriticalSection hold(lock_);
    if (selectedArea_ < 0 || selectedServer_ < 0) return false;
    server = areas_[selectedArea_].Servers[selectedServer_];
    return true;
}

std::vector<ServerArea> LauncherConfig::GetAreas() const {
    ScopedCriticalSection hold(lock_);
    return areas_;
}

std::wstring LauncherConfig::GetPreferredArea() const {
    ScopedCriticalSection hold(lock_);
    return preferredArea_;
}

std::wstring LauncherConfig::GetPreferredServer() const {
    ScopedCriticalSection hold(lock_);
    return preferredServer_;
}

LauncherConfig& EngineLauncherConfig() {
    static LauncherConfig empty;
    LauncherConfig* config = g_engineConfig.load();
    return config ? *config : empty;
}

void RegisterEngineLauncherConfig(LauncherConfig* config) { g_engineConfig.store(config); }
