#include "launcher/client_folder_finder.h"

#include "common/file_util.h"
#include "common/profile_file.h"
#include "common/registry_util.h"
#include "launcher/drive_pick.h"

const wchar_t kClientPathKeyPrefix[] = L"Software\\Quillon\\";
const wchar_t kClientPathValue[] = L"ClientPath";

namespace {

const int kCurrentUser = 1;

class MachineSystem : public ClientFolderSystem {
public:
    std::wstring ReadString(const std::wstring& subkey, const std::wstring& valueName) override {
        return LauncherReadRegistryString(kCurrentUser, subkey, valueName);
    }
    bool WriteString(const std::wstring& subkey, const std::wstring& valueName, const std::wstring& text) override {
        return LauncherWriteRegistryString(kCurrentUser, subkey, valueName, text);
    }
    bool IsFixedDrive(const std::wstring& path) override { return GetDriveKind(path); }
    bool FileExists(const std::wstring& path) override { return ::FileExists(path); }
    std::wstring PickDrive() override { return PickLargestFixedDrive(); }
};

bool EndsWithSeparator(const std::wstring& path) {
    return !path.empty() && (path.back() == L'\\' || path.back() == L'/');
}

std::wstring WithTrailingSeparator(const std::wstring& path) {
    return EndsWithSeparator(path) ? path : path + L"\\";
}

std::wstring WithoutTrailingSeparators(std::wstring path) {
    while (path.size() > 1 && EndsWithSeparator(path)) path.pop_back();
    return path;
}

}  // namespace

ClientFolderSystem& MachineClientFolderSystem() {
    static MachineSystem system;
    return system;
}

std::wstring FindClientFolder(const std::wstring& programFolder, const std::wstring& platform,
                              const std::wstring& gameName, ClientFolderSystem& system) {
    const std::wstring programRoot = WithTrailingSeparator(programFolder);
    if (platform == L"999" || gameName.empty()) return programRoot;

    const std::wstring key = kClientPathKeyPrefix + gameName;
    std::wstring stored = system.ReadString(key, kClientPathValue);
    if (!stored.empty() && system.IsFixedDrive(stored)) return WithTrailingSeparator(stored);

    static const wchar_t* const kClientFiles[] = {L"libeay32.dll", L"Config\\localconfig.xml", L"binkw32.dll"};
    for (const wchar_t* file : kClientFiles) {
        if (system.FileExists(programRoot + file)) {
            system.WriteString(key, kClientPathValue, WithoutTrailingSeparators(programFolder));
            return programRoot;
        }
    }

    std::wstring folder = WithTrailingSeparator(system.PickDrive()) + gameName;
    system.WriteString(key, kClientPathValue, folder);
    return folder + L"\\";
}

std::wstring FindClientFolder(const std::wstring& programFolder, const std::wstring& platform,
                              ClientFolderSystem& system) {
    std::wstring gameName = ReadProfileString(WithTrailingSeparator(programFolder) + L"LauncherConfig.ini",
                                              L"platform", L"GameName", L"", 512);
    return FindClientFolder(programFolder, platform, gameName, system);
}
