#include "engine/launcher_config.h"

#include <gtest/gtest.h>

#include <cstring>

#include "../common/test_paths.h"
#include "common/code_page.h"
#include "common/file_util.h"
#include "engine/html_log.h"

namespace {

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(folder + name + L"\\");
            else
                DeleteFileW((folder + name).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

std::string Utf16File(const std::wstring& text) {
    std::string bytes = "\xff\xfe";
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xff);
        bytes += static_cast<char>((c >> 8) & 0xff);
    }
    return bytes;
}

// Three areas share the download sources U (East's servers and West's W2);
// W1 and the northern server have others; "Empty" has no server.
const char kServerList[] =
    "\xef\xbb\xbf<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<ServerList>\n"
    "  <Area Areaname=\"East\">\n"
    "    <Server Name=\"E1\" IP=\"10.0.0.1\" Port=\"7001\" ServerKey=\"k&lt;1&gt;\" ID=\"101\" IsNew=\"1\">\n"
    "      <UpdateUrl>http://127.0.0.1/up/</UpdateUrl><Client>http://127.0.0.1/client/</Client>\n"
    "      <Patch>http://127.0.0.1/patch/</Patch><Weiduan>http://127.0.0.1/mini/</Weiduan>\n"
    "    </Server>\n"
    "    <Server Name=\"E&amp;2\" IP=\"10.0.0.2\" Port=\"7002\" ServerKey=\"k2\" ID=\"102\" IsNew=\"0\">\n"
    "      <UpdateUrl>http://127.0.0.1/up/</UpdateUrl><Client>http://127.0.0.1/client/</Client>\n"
    "      <Patch>http://127.0.0.1/patch/</Patch><Weiduan>http://127.0.0.1/mini/</Weiduan>\n"
    "    </Server>\n"
    "  </Area>\n"
    "  <Area Areaname=\"West\">\n"
    "    <Server Name=\"W1\" IP=\"10.0.1.1\" Port=\"7101\" ServerKey=\"k3\" ID=\"201\" IsNew=\"2\">\n"
    "      <UpdateUrl>http://127.0.0.1/up/</UpdateUrl><Client>http://127.0.0.1/client/</Client>\n"
    "      <Patch>http://127.0.0.1/other-patch/</Patch><Weiduan>http://127.0.0.1/mini/</Weiduan>\n"
    "    </Server>\n"
    "    <Server Name=\"W2\" IP=\"10.0.1.2\" Port=\"7102\" ServerKey=\"k4\" ID=\"202\">\n"
    "      <UpdateUrl>http://127.0.0.1/up/</UpdateUrl><Client>http://127.0.0.1/client/</Client>\n"
    "      <Patch>http://127.0.0.1/patch/</Patch><Weiduan>http://127.0.0.1/mini/</Weiduan>\n"
    "    </Server>\n"
    "  </Area>\n"
    "  <Area Areaname=\"Empty\"/>\n"
    "  <Area Areaname=\"\xe5\x8c\x97\xe6\x96\xb9\">\n"
    "    <Server Name=\"\xe5\x8c\x97\xe4\xb8\x80\" IP=\"10.0.2.1\" ID=\"301\">\n"
    "      <UpdateUrl>http://127.0.0.1/north/</UpdateUrl><Client>http://127.0.0.1/north-client/</Client>\n"
    "    </Server>\n"
    "  </Area>\n"
    "</ServerList>\n";

const char kGameConfigForSourcesU[] =
    "<Game>\n"
    "    <Area Areaname=\"East\">\n"
    "        <Server Name=\"E1\" IP=\"10.0.0.1\" Port=\"7001\" ServerKey=\"k&lt;1&gt;\" ID=\"101\" />\n"
    "        <Server Name=\"E&amp;2\" IP=\"10.0.0.2\" Port=\"7002\" ServerKey=\"k2\" ID=\"102\" />\n"
    "    </Area>\n"
    "    <Area Areaname=\"West\">\n"
    "        <Server Name=\"W2\" IP=\"10.0.1.2\" Port=\"7102\" ServerKey=\"k4\" ID=\"202\" />\n"
    "    </Area>\n"
    "</Game>\n";

const char kTinyConfigForSourcesU[] =
    "[Server]\r\nServer1=http://127.0.0.1/up/\r\n[DownLoadDir]\r\nclient=http://127.0.0.1/client/\r\n";

std::string PreferenceFile(const std::string& server, const std::string& area) {
    return "[DefaultServers]\r\nDefaultServer=" + server + "\r\nDefaultAera=" + area + "\r\n";
}

class LauncherConfigTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        root_ = TestExeFolder() + L"launcher_config\\" + MultiToWide(name, 0) + L"\\";
        RemoveTree(root_);
        ASSERT_TRUE(MakeDirectoryChain(root_ + L"Tmp\\"));
        // The client folder starts without "Config" and "Tiny".
        client_ = root_ + L"client\\";
        ASSERT_TRUE(log_.Open(root_ + L"log.html"));
        log_.SetLevel(6);
        RegisterEngineHtmlLog(&log_);
        config_.SetClientFolder(client_);
    }
    void TearDown() override { RegisterEngineHtmlLog(nullptr); }

    void Put(const std::wstring& path, const std::string& bytes) {
        ASSERT_TRUE(MakeDirectoryChain(path));
        ASSERT_TRUE(WriteFileAtomically(path, bytes.data(), bytes.size()));
    }
    static std::string Get(const std::wstring& path) {
        std::string bytes;
        return ReadWholeFile(path, bytes) ? bytes : "<missing>";
    }
    std::string ClientFile(const wchar_t* name) const { return Get(client_ + name); }
    std::string Log() const { return Get(root_ + L"log.html"); }

    bool LoadList(const std::string& xml = kServerList) {
        Put(root_ + L"Tmp\\serverlist.xml", xml);
        return config_.LoadServerList(root_ + L"Tmp\\serverlist.xml");
    }
    std::wstring SelectedId() const {
        ServerInfo server;
        return config_.GetSelectedServer(server) ? server.ID : L"<none>";
    }

    std::wstring root_;
    std::wstring client_;
    HtmlLog log_{5};
    LauncherConfig config_;
};

TEST_F(LauncherConfigTest, ReadsBasesServerListUrlAndTexts) {
    Put(root_ + L"LauncherConfig.ini",
        Utf16File(L"[platform]\r\nPlatform=1\r\n"
                  L"[Server]\r\nServer1=http://127.0.0.1/a/\r\nServer2=http://127.0.0.1/b/\r\n"
                  L"Server4=http://127.0.0.1/d/\r\nserverlist=http://127.0.0.1/serverlist.xml\r\n"
                  L"[Launcher]\r\nAppName=Quill\r\nTip0=\x6b63\x5728\x66f4\x65b0\r\nTip1=one\r\nTip3=three\r\n"));
    config_.Load(root_ + L"LauncherConfig.ini");
    EXPECT_EQ(config_.GetServerBases(),
              (std::vector<std::wstring>{L"http://127.0.0.1/a/", L"http://127.0.0.1/b/"}));
    EXPECT_EQ(config_.GetServerListUrl(), L"http://127.0.0.1/serverlist.xml");
    EXPECT_EQ(config_.GetAppName(), L"Quill");
    EXPECT_EQ(config_.Text(L"Tip0"), L"\x6b63\x5728\x66f4\x65b0");
    EXPECT_EQ(config_.Text(L"Tip1"), L"one");
    EXPECT_EQ(config_.Text(L"Tip3"), L"");  // after the first empty one
    EXPECT_EQ(config_.Text(L"AppName"), L"");

    // A second load replaces bases and texts; a missing file empties them.
    Put(root_ + L"Other.ini", "[Server]\r\nServer1=http://127.0.0.1/z/\r\n[Launcher]\r\nTip0=z\r\n");
    config_.Load(root_ + L"Other.ini");
    EXPECT_EQ(config_.GetServerBases(), std::vector<std::wstring>{L"http://127.0.0.1/z/"});
    EXPECT_EQ(config_.Text(L"Tip0"), L"z");
    EXPECT_EQ(config_.Text(L"Tip1"), L"");
    config_.Load(root_ + L"Missing.ini");
    EXPECT_TRUE(config_.GetServerBases().empty());
    EXPECT_EQ(config_.Text(L"Tip0"), L"");
    EXPECT_EQ(config_.GetServerListUrl(), L"");
}

TEST_F(LauncherConfigTest, BasesAndTextsStopAtTheFirstEmptyValue) {
    std::string eleven = "[Server]\r\n";
    for (int i = 1; i <= 11; ++i) eleven += "Server" + std::to_string(i) + "=s" + std::to_string(i) + "\r\n";
    struct Case {
        const char* name;
        std::string ini;
        size_t bases;
        std::wstring tip0;
        std::wstring tip1;
    };
    const Case cases[] = {
        {"server1 empty", "[Server]\r\nServer1=\r\nServer2=b\r\n", 0, L"", L""},
        {"gap at server2", "[Server]\r\nServer1=a\r\nServer3=c\r\n", 1, L"", L""},
        {"at most ten", eleven, 10, L"", L""},
        {"tip0 empty", "[Launcher]\r\nTip0=\r\nTip1=one\r\n", 0, L"", L""},
        {"tip0 missing", "[Launcher]\r\nTip1=one\r\nTip2=two\r\n", 0, L"", L""},
        {"long text cut to the buffer", "[Launcher]\r\nTip0=" + std::string(700, 'x') + "\r\nTip1=y\r\n", 0,
         std::wstring(511, L'x'), L"y"},
    };
    for (const Case& c : cases) {
        Put(root_ + L"case.ini", c.ini);
        config_.Load(root_ + L"case.ini");
        EXPECT_EQ(config_.GetServerBases().size(), c.bases) << c.name;
        EXPECT_EQ(config_.Text(L"Tip0"), c.tip0) << c.name;
        EXPECT_EQ(config_.Text(L"Tip1"), c.tip1) << c.name;
    }
}

// Each text costs a look through the whole file: a file of endless texts
// (the launcher's files come from the update server) would hold the engine
// at its start for hours. No release has more than a few hundred.
TEST_F(LauncherConfigTest, TextsStopAtTheLimit) {
    std::string ini = "[Launcher]\r\n";
    for (int i = 0; i <= LauncherConfig::kMaxTexts; ++i) ini += "Tip" + std::to_string(i) + "=t\r\n";
    Put(root_ + L"many.ini", ini);
    config_.Load(root_ + L"many.ini");
    EXPECT_EQ(config_.Text(L"Tip" + std::to_wstring(LauncherConfig::kMaxTexts - 1)), L"t");
    EXPECT_EQ(config_.Text(L"Tip" + std::to_wstring(LauncherConfig::kMaxTexts)), L"");
}

TEST_F(LauncherConfigTest, ServerListAreasAndServersInDocumentOrder) {
    ASSERT_TRUE(LoadList());
    std::vector<ServerArea> areas = config_.GetAreas();
    ASSERT_EQ(areas.size(), 4u);
    EXPECT_EQ(areas[0].Areaname, L"East");
    EXPECT_EQ(areas[1].Areaname, L"West");
    EXPECT_EQ(areas[2].Areaname, L"Empty");
    EXPECT_EQ(areas[3].Areaname, L"\x5317\x65b9");
    ASSERT_EQ(areas[0].Servers.size(), 2u);
    ASSERT_EQ(areas[1].Servers.size(), 2u);
    EXPECT_TRUE(areas[2].Servers.empty());
    ASSERT_EQ(areas[3].Servers.size(), 1u);

    const ServerInfo& e1 = areas[0].Servers[0];
    EXPECT_EQ(e1.Name, L"E1");
    EXPECT_EQ(e1.IP, L"10.0.0.1");
    EXPECT_EQ(e1.Port, L"7001");
    EXPECT_EQ(e1.ServerKey, L"k<1>");
    EXPECT_EQ(e1.ID, L"101");
    EXPECT_TRUE(e1.IsNew);
    EXPECT_EQ(e1.UpdateUrl, L"http://127.0.0.1/up/");
    EXPECT_EQ(e1.Client, L"http://127.0.0.1/client/");
    EXPECT_EQ(e1.Patch, L"http://127.0.0.1/patch/");
    EXPECT_EQ(e1.Weiduan, L"http://127.0.0.1/mini/");
    EXPECT_EQ(areas[0].Servers[1].Name, L"E&2");
    EXPECT_FALSE(areas[0].Servers[1].IsNew);
    EXPECT_TRUE(areas[1].Servers[0].IsNew);   // any non-zero number
    EXPECT_FALSE(areas[1].Servers[1].IsNew);  // attribute missing

    // Missing attributes and children leave the fields empty.
    const ServerInfo& north = areas[3].Servers[0];
    EXPECT_EQ(north.Name, L"\x5317\x4e00");
    EXPECT_EQ(north.Port, L"");
    EXPECT_EQ(north.ServerKey, L"");
    EXPECT_EQ(north.Patch, L"");
    EXPECT_EQ(north.Weiduan, L"");
}

TEST_F(LauncherConfigTest, FirstServerChosenAndGameFilesWritten) {
    ASSERT_TRUE(LoadList());
    EXPECT_EQ(SelectedId(), L"101");
    EXPECT_EQ(config_.GetPreferredArea(), L"East");
    EXPECT_EQ(config_.GetPreferredServer(), L"E1");
    // The folders the files need are created on the way.
    EXPECT_EQ(ClientFile(L"Config\\Preference.ini"), PreferenceFile("E1", "East"));
    EXPECT_EQ(ClientFile(L"Config\\serverconfig.xml"), kGameConfigForSourcesU);
    EXPECT_EQ(ClientFile(L"Tiny\\config.ini"), kTinyConfigForSourcesU);
    EXPECT_FALSE(FileExists(client_ + L"Config\\Preference.ini.tmp~"));
    EXPECT_FALSE(FileExists(client_ + L"Config\\serverconfig.xml.tmp~"));
    EXPECT_FALSE(FileExists(client_ + L"Tiny\\config.ini.tmp~"));
}

TEST_F(LauncherConfigTest, PreferencesChooseAreaAndServerByName) {
    struct Case {
        std::string area, server;
        std::wstring id;
        std::string writtenServer, writtenArea;
    };
    const Case cases[] = {
        {"West", "W2", L"202", "W2", "West"},
        {"West", "Gone", L"201", "W1", "West"},  // a vanished server: the area's first
        {"Gone", "W2", L"101", "E1", "East"},    // a vanished area: the first area
        {"", "", L"101", "E1", "East"},
    };
    for (const Case& c : cases) {
        Put(root_ + L"Config\\Preference.ini",
            "[DefaultServers]\r\nDefaultAera=" + c.area + "\r\nDefaultServer=" + c.server + "\r\n");
        config_.LoadPreferences(root_ + L"Config\\Preference.ini");
        ASSERT_TRUE(LoadList()) << c.area << "/" << c.server;
        EXPECT_EQ(SelectedId(), c.id) << c.area << "/" << c.server;
        EXPECT_EQ(ClientFile(L"Config\\Preference.ini"), PreferenceFile(c.writtenServer, c.writtenArea));
    }
    // The root's own preferences file is only read.
    EXPECT_EQ(Get(root_ + L"Config\\Preference.ini"), "[DefaultServers]\r\nDefaultAera=\r\nDefaultServer=\r\n");
}

TEST_F(LauncherConfigTest, AreaWithoutServersSelectsNoServer) {
    Put(root_ + L"Config\\Preference.ini", "[DefaultServers]\r\nDefaultAera=Empty\r\nDefaultServer=E1\r\n");
    config_.LoadPreferences(root_ + L"Config\\Preference.ini");
    EXPECT_FALSE(LoadList());
    EXPECT_EQ(SelectedId(), L"<none>");
    EXPECT_EQ(ClientFile(L"Config\\Preference.ini"), PreferenceFile("", "Empty"));
    EXPECT_EQ(ClientFile(L"Config\\serverconfig.xml"), "<Game />\n");
    EXPECT_EQ(ClientFile(L"Tiny\\config.ini"), "<missing>");

    // A list without areas empties both names.
    EXPECT_FALSE(LoadList("<ServerList></ServerList>"));
    EXPECT_EQ(ClientFile(L"Config\\Preference.ini"), PreferenceFile("", ""));
    EXPECT_EQ(ClientFile(L"Config\\serverconfig.xml"), "<Game />\n");
}

TEST_F(LauncherConfigTest, SelectServerMatchesTheIdOnly) {
    ASSERT_TRUE(LoadList());
    const std::string xml = ClientFile(L"Config\\serverconfig.xml");
    const std::string preference = ClientFile(L"Config\\Preference.ini");
    for (const wchar_t* id : {L"W1", L"E1", L"999", L"", L"10"}) {
        EXPECT_FALSE(config_.SelectServer(id)) << id;
        EXPECT_EQ(SelectedId(), L"101");
        EXPECT_EQ(config_.GetPreferredServer(), L"E1");
    }
    EXPECT_EQ(ClientFile(L"Config\\serverconfig.xml"), xml);
    EXPECT_EQ(ClientFile(L"Config\\Preference.ini"), preference);

    ASSERT_TRUE(config_.SelectServer(L"202"));
    EXPECT_EQ(SelectedId(), L"202");
    EXPECT_EQ(ClientFile(L"Config\\Preference.ini"), PreferenceFile("W2", "West"));
    EXPECT_EQ(ClientFile(L"Config\\serverconfig.xml"), kGameConfigForSourcesU);

    // W1 differs from the others in its patch source only: it stands alone,
    // as does the northern server with sources of its own.
    struct Case {
        const wchar_t* id;
        std::string xml, tiny;
    };
    const Case cases[] = {
        {L"201",
         "<Game>\n    <Area Areaname=\"West\">\n"
         "        <Server Name=\"W1\" IP=\"10.0.1.1\" Port=\"7101\" ServerKey=\"k3\" ID=\"201\" />\n"
         "    </Area>\n</Game>\n",
         kTinyConfigForSourcesU},
        {L"301",
         "<Game>\n    <Area Areaname=\"\xe5\x8c\x97\xe6\x96\xb9\">\n"
         "        <Server Name=\"\xe5\x8c\x97\xe4\xb8\x80\" IP=\"10.0.2.1\" Port=\"\" ServerKey=\"\" ID=\"301\" />\n"
         "    </Area>\n</Game>\n",
         "[Server]\r\nServer1=http://127.0.0.1/north/\r\n[DownLoadDir]\r\nclient=http://127.0.0.1/north-client/\r\n"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(config_.SelectServer(c.id));
        EXPECT_EQ(ClientFile(L"Config\\serverconfig.xml"), c.xml) << c.id;
        EXPECT_EQ(ClientFile(L"Tiny\\config.ini"), c.tiny) << c.id;
    }
}

TEST_F(LauncherConfigTest, ServerChosenByIdStaysChosenWhenNamesRepeat) {
    const std::string twins =
        "<ServerList><Area Areaname=\"A\">"
        "<Server Name=\"Twin\" IP=\"10.0.0.1\" ID=\"501\"><UpdateUrl>u1</UpdateUrl></Server>"
        "<Server Name=\"Twin\" IP=\"10.0.0.2\" ID=\"502\"><UpdateUrl>u2</UpdateUrl></Server>"
        "</Area><Area Areaname=\"A\">"
        "<Server Name=\"Twin\" IP=\"10.0.0.3\" ID=\"503\"><UpdateUrl>u3</UpdateUrl></Server>"
        "</Area></ServerList>";
    ASSERT_TRUE(LoadList(twins));
    EXPECT_EQ(SelectedId(), L"501");
    for (const wchar_t* id : {L"502", L"503"}) {
        ASSERT_TRUE(config_.SelectServer(id));
        EXPECT_EQ(SelectedId(), id);
        EXPECT_TRUE(config_.ApplyPreferences());
        EXPECT_EQ(SelectedId(), id);
    }
    EXPECT_EQ(ClientFile(L"Tiny\\config.ini"), "[Server]\r\nServer1=u3\r\n[DownLoadDir]\r\nclient=\r\n");
    EXPECT_EQ(ClientFile(L"Config\\serverconfig.xml"),
              "<Game>\n    <Area Areaname=\"A\">\n"
              "        <Server Name=\"Twin\" IP=\"10.0.0.3\" Port=\"\" ServerKey=\"\" ID=\"503\" />\n"
              "    </Area>\n</Game>\n");
}

TEST_F(LauncherConfigTest, BadServerListFailsAndKeepsTheLastGoodOne) {
    ASSERT_TRUE(LoadList());
    ASSERT_TRUE(config_.SelectServer(L"202"));
    const std::string xml = ClientFile(L"Config\\serverconfig.xml");
    const std::string preference = ClientFile(L"Config\\Preference.ini");

    const std::pair<const char*, std::string> cases[] = {
        {"unclosed elements", "<ServerList><Area Areaname=\"x\"><Server ID=\"1\"></ServerList>"},
        {"cut in a tag", std::string(kServerList, 300)},
        {"empty file", ""},
        {"not XML", "HTTP/1.1 404 Not Found"},
        {"mismatched end tag", "<ServerList><Area Areaname=\"x\"></Server></ServerList>"},
        {"binary", std::string("\0\x01\x02<Area>", 10)},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(LoadList(c.second)) << c.first;
        EXPECT_EQ(SelectedId(), L"202") << c.first;
        EXPECT_EQ(config_.GetAreas().size(), 4u) << c.first;
    }
    EXPECT_FALSE(config_.LoadServerList(root_ + L"Tmp\\missing.xml"));
    EXPECT_EQ(SelectedId(), L"202");
    EXPECT_EQ(ClientFile(L"Config\\serverconfig.xml"), xml);
    EXPECT_EQ(ClientFile(L"Config\\Preference.ini"), preference);

    const std::string log = Log();
    size_t lines = 0;
    for (size_t at = log.find("LoadServerList: "); at != std::string::npos; at = log.find("LoadServerList: ", at + 1))
        ++lines;
    EXPECT_EQ(lines, std::size(cases) + 1);
    EXPECT_NE(log.find("is not a well-formed server list"), std::string::npos);
    EXPECT_NE(log.find("missing.xml"), std::string::npos);
}

// Only the elements count towards the nesting a list is refused for: tags
// in comments, CDATA and attribute values do not, and empty elements close
// themselves.
TEST_F(LauncherConfigTest, NestingIsCountedByElementsOnly) {
    std::string tags;
    for (int n = 0; n < 40; ++n) tags += "<a>";
    std::string empties;
    for (int n = 0; n < 40; ++n) empties += "<e x=\"/\"/>";
    std::string list = kServerList;
    const size_t at = list.find("<ServerList>") + std::strlen("<ServerList>");
    list.insert(at, "<!-- " + tags + " --><![CDATA[" + tags + "]]>" + empties);
    list.insert(list.find("ServerKey=\"k2\""), "Note=\"" + tags + ">\" ");
    ASSERT_TRUE(LoadList(list)) << Log();
    EXPECT_EQ(config_.GetAreas().size(), 4u);

    std::string deep;
    for (int n = 0; n < 33; ++n) deep += "<a>";
    EXPECT_FALSE(LoadList("<ServerList>" + deep.substr(3)));
    EXPECT_NE(Log().find("its elements nest 33 deep"), std::string::npos);
}

TEST_F(LauncherConfigTest, ExistingGameFilesKeepTheirOtherEntries) {
    Put(client_ + L"Config\\Preference.ini",
        "[Sound]\r\nVolume=7\r\n[DefaultServers]\r\nDefaultAera=Old\r\nDefaultServer=Old\r\nKeep=1\r\n");
    Put(client_ + L"Tiny\\config.ini", "[Server]\r\nServer1=old\r\nServer2=second\r\n");
    ASSERT_TRUE(LoadList());
    EXPECT_EQ(ClientFile(L"Config\\Preference.ini"),
              "[Sound]\r\nVolume=7\r\n[DefaultServers]\r\nDefaultAera=East\r\nDefaultServer=E1\r\nKeep=1\r\n");
    EXPECT_EQ(ClientFile(L"Tiny\\config.ini"),
              "[Server]\r\nServer1=http://127.0.0.1/up/\r\nServer2=second\r\n"
              "[DownLoadDir]\r\nclient=http://127.0.0.1/client/\r\n");
}

TEST_F(LauncherConfigTest, LockedGameFileIsLeftWholeAndLogged) {
    Put(client_ + L"Config\\serverconfig.xml", "<Game />\n");
    HANDLE held = CreateFileW((client_ + L"Config\\serverconfig.xml").c_str(), GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(LoadList());  // the selection stands; the file could not follow it
    CloseHandle(held);
    EXPECT_EQ(ClientFile(L"Config\\serverconfig.xml"), "<Game />\n");
    EXPECT_FALSE(FileExists(client_ + L"Config\\serverconfig.xml.tmp~"));
    EXPECT_EQ(ClientFile(L"Config\\Preference.ini"), PreferenceFile("E1", "East"));
    EXPECT_NE(Log().find("ApplyPreferences: cannot write "), std::string::npos);
    EXPECT_NE(Log().find("serverconfig.xml"), std::string::npos);
}

TEST_F(LauncherConfigTest, LineBreaksInServerNamesDoNotReachTheGameFiles) {
    // Names with encoded line breaks would add entries of their own to the
    // INI files: those files stay as they were, the XML escapes them.
    Put(client_ + L"Config\\Preference.ini", PreferenceFile("Old", "Old") + "[Sound]\r\nVolume=7\r\n");
    const std::string list =
        "<ServerList><Area Areaname=\"A&#13;&#10;[Sound]&#13;&#10;Volume=0\">"
        "<Server Name=\"S\" ID=\"1\"><UpdateUrl>u&#10;Server2=x</UpdateUrl><Client>c</Client></Server>"
        "</Area></ServerList>";
    EXPECT_TRUE(LoadList(list));
    EXPECT_EQ(config_.GetPreferredArea(), L"A\r\n[Sound]\r\nVolume=0");
    EXPECT_EQ(ClientFile(L"Config\\Preference.ini"), PreferenceFile("Old", "Old") + "[Sound]\r\nVolume=7\r\n");
    EXPECT_EQ(ClientFile(L"Tiny\\config.ini"), "<missing>");
    EXPECT_EQ(ClientFile(L"Config\\serverconfig.xml"),
              "<Game>\n    <Area Areaname=\"A&#x0D;&#x0A;[Sound]&#x0D;&#x0A;Volume=0\">\n"
              "        <Server Name=\"S\" IP=\"\" Port=\"\" ServerKey=\"\" ID=\"1\" />\n"
              "    </Area>\n</Game>\n");
    EXPECT_NE(Log().find("Preference.ini"), std::string::npos);
    EXPECT_NE(Log().find("config.ini"), std::string::npos);
}

TEST_F(LauncherConfigTest, EngineAccessorFollowsRegistration) {
    EXPECT_EQ(EngineLauncherConfig().Text(L"Tip0"), L"");
    RegisterEngineLauncherConfig(&config_);
    EXPECT_EQ(&EngineLauncherConfig(), &config_);
    RegisterEngineLauncherConfig(nullptr);
    EXPECT_NE(&EngineLauncherConfig(), &config_);
}

}  // namespace
