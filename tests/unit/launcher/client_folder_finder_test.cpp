#include "launcher/client_folder_finder.h"

#include "common/file_util.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

class FakeSystem : public ClientFolderSystem {
public:
    std::wstring stored;
    std::set<wchar_t> fixedDrives{L'C', L'D'};
    std::set<std::wstring> files;
    std::wstring pickedDrive = L"D:\\";
    int reads = 0;
    int picks = 0;
    std::vector<std::wstring> writes;  // "key|value|text"

    std::wstring ReadString(const std::wstring& subkey, const std::wstring& valueName) override {
        ++reads;
        lastKey = subkey + L"|" + valueName;
        return stored;
    }
    bool WriteString(const std::wstring& subkey, const std::wstring& valueName, const std::wstring& text) override {
        writes.push_back(subkey + L"|" + valueName + L"|" + text);
        return true;
    }
    bool IsFixedDrive(const std::wstring& path) override { return !path.empty() && fixedDrives.count(path[0]); }
    bool FileExists(const std::wstring& path) override { return files.count(path) != 0; }
    std::wstring PickDrive() override {
        ++picks;
        return pickedDrive;
    }
    std::wstring lastKey;
};

const wchar_t kProgram[] = L"E:\\Quillon";

TEST(ClientFolderFinder, ChoosesAndRecordsTheClientFolder) {
    struct Case {
        const char* what;
        const wchar_t* platform;
        const wchar_t* game;
        const wchar_t* stored;
        const wchar_t* file;  // a client file present in the program folder, or null
        const wchar_t* expected;
        const wchar_t* written;  // the stored ClientPath, or null for no write
        bool readsRegistry;
    };
    const Case cases[] = {
        {"platform 999 keeps the program folder", L"999", L"Game", L"D:\\Games\\Game", L"binkw32.dll",
         L"E:\\Quillon\\", nullptr, false},
        {"an empty game name keeps the program folder, as the engine does", L"1", L"", L"D:\\Games", nullptr,
         L"E:\\Quillon\\", nullptr, false},
        {"a stored folder on a fixed drive is used", L"1", L"Game", L"D:\\Games\\Game", L"binkw32.dll",
         L"D:\\Games\\Game\\", nullptr, true},
        {"a stored trailing separator is not doubled", L"1", L"Game", L"D:\\Games\\Game\\", nullptr,
         L"D:\\Games\\Game\\", nullptr, true},
        {"a stored folder on another kind of drive is replaced", L"1", L"Game", L"R:\\Game", L"libeay32.dll",
         L"E:\\Quillon\\", L"Software\\Quillon\\Game|ClientPath|E:\\Quillon", true},
        {"client file libeay32.dll", L"0", L"Game", L"", L"libeay32.dll", L"E:\\Quillon\\",
         L"Software\\Quillon\\Game|ClientPath|E:\\Quillon", true},
        {"client file Config\\localconfig.xml", L"0", L"Game", L"", L"Config\\localconfig.xml", L"E:\\Quillon\\",
         L"Software\\Quillon\\Game|ClientPath|E:\\Quillon", true},
        {"client file binkw32.dll", L"", L"Game", L"", L"binkw32.dll", L"E:\\Quillon\\",
         L"Software\\Quillon\\Game|ClientPath|E:\\Quillon", true},
        {"nothing found: the picked drive and the game name", L"1", L"Game", L"", nullptr, L"D:\\Game\\",
         L"Software\\Quillon\\Game|ClientPath|D:\\Game", true},
        {"another file does not count", L"1", L"Game", L"", L"Client.exe", L"D:\\Game\\",
         L"Software\\Quillon\\Game|ClientPath|D:\\Game", true},
    };
    for (const Case& c : cases) {
        FakeSystem system;
        system.stored = c.stored;
        if (c.file != nullptr) system.files.insert(std::wstring(kProgram) + L"\\" + c.file);
        EXPECT_EQ(FindClientFolder(kProgram, c.platform, c.game, system), c.expected) << c.what;
        EXPECT_EQ(system.reads != 0, c.readsRegistry) << c.what;
        if (c.readsRegistry) {
            EXPECT_EQ(system.lastKey, std::wstring(L"Software\\Quillon\\") + c.game + L"|ClientPath") << c.what;
        }
        if (c.written == nullptr) {
            EXPECT_TRUE(system.writes.empty()) << c.what;
        } else {
            ASSERT_EQ(system.writes.size(), 1u) << c.what;
            EXPECT_EQ(system.writes[0], c.written) << c.what;
        }
    }
}

TEST(ClientFolderFinder, AProgramFolderGivenWithSeparatorIsStoredWithout) {
    FakeSystem system;
    system.files.insert(L"E:\\Quillon\\binkw32.dll");
    EXPECT_EQ(FindClientFolder(L"E:\\Quillon\\", L"1", L"Game", system), L"E:\\Quillon\\");
    ASSERT_EQ(system.writes.size(), 1u);
    EXPECT_EQ(system.writes[0], L"Software\\Quillon\\Game|ClientPath|E:\\Quillon");
    EXPECT_EQ(system.picks, 0);
}

TEST(ClientFolderFinder, TakesTheGameNameFromTheProgramsConfiguration) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"qtest_finder_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring config = folder + L"\\LauncherConfig.ini";
    const std::string text = "[platform]\r\nPlatform=1\r\nGameName=Sample\r\n";
    ASSERT_TRUE(WriteFileAtomically(config, text.data(), text.size()));
    FakeSystem system;
    EXPECT_EQ(FindClientFolder(folder, L"1", system), L"D:\\Sample\\");
    ASSERT_EQ(system.writes.size(), 1u);
    EXPECT_EQ(system.writes[0], L"Software\\Quillon\\Sample|ClientPath|D:\\Sample");

    DeleteFileW(config.c_str());  // no configuration: no game name, the program folder
    FakeSystem bare;
    EXPECT_EQ(FindClientFolder(folder, L"1", bare), folder + L"\\");
    EXPECT_TRUE(bare.writes.empty());
    RemoveDirectoryW(folder.c_str());
}

}  // namespace
