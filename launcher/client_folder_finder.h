#pragma once
#include <string>

// What the client-folder finder asks of the machine; tests replace it.
class ClientFolderSystem {
public:
    virtual ~ClientFolderSystem() = default;
    // HKEY_CURRENT_USER string values.
    virtual std::wstring ReadString(const std::wstring& subkey, const std::wstring& valueName) = 0;
    virtual bool WriteString(const std::wstring& subkey, const std::wstring& valueName,
                             const std::wstring& text) = 0;
    virtual bool IsFixedDrive(const std::wstring& path) = 0;
    virtual bool FileExists(const std::wstring& path) = 0;
    // Root "X:\" of the drive for a new client folder.
    virtual std::wstring PickDrive() = 0;
};

// The real registry, drives and files.
ClientFolderSystem& MachineClientFolderSystem();

// Registry value that keeps the client folder, under kClientPathKeyPrefix
// followed by the game name.
extern const wchar_t kClientPathKeyPrefix[];
extern const wchar_t kClientPathValue[];

// The game client's folder, always ending in "\".
//  - Platform "999", or an empty game name (the engine then installs into
//    its own folder too): the program folder; the registry is not touched.
//  - A stored "ClientPath" on a fixed drive: that folder.
//  - A client file ("libeay32.dll", "Config\localconfig.xml",
//    "binkw32.dll") in the program folder: the program folder.
//  - Otherwise the picked drive's root followed by the game name.
// In the last two cases the folder is stored as "ClientPath", without a
// trailing "\".
std::wstring FindClientFolder(const std::wstring& programFolder, const std::wstring& platform,
                              const std::wstring& gameName, ClientFolderSystem& system);

// The same with the game name read from [platform] GameName of
// "LauncherConfig.ini" in the program folder (empty when missing).
std::wstring FindClientFolder(const std::wstring& programFolder, const std::wstring& platform,
                              ClientFolderSystem& system);
