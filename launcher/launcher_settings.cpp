#include "launcher/launcher_settings.h"

#include "common/code_page.h"
#include "common/profile_file.h"

#include <cwchar>

const wchar_t kLauncherConfigFile[] = L"LauncherConfig.ini";

namespace {

// Room for 511 characters and the terminator.
const unsigned kValueCapacity = 512;
const unsigned kAnsi = 0;

std::wstring Read(const std::wstring& programFolder, const wchar_t* section, const wchar_t* key,
                  const wchar_t* defaultValue = L"") {
    return ReadProfileString(LauncherConfigPath(programFolder), section, key, defaultValue, kValueCapacity);
}

int Integer(const std::wstring& text) { return static_cast<int>(std::wcstol(text.c_str(), nullptr, 10)); }

}  // namespace

std::wstring LauncherConfigPath(const std::wstring& programFolder) {
    return programFolder + L"\\" + kLauncherConfigFile;
}

std::wstring ReadPlatform(const std::wstring& programFolder) { return Read(programFolder, L"platform", L"Platform"); }

std::wstring ReadAppName(const std::wstring& programFolder) { return Read(programFolder, L"Launcher", L"AppName"); }

MainWindowSettings ReadMainWindowSettings(const std::wstring& programFolder) {
    MainWindowSettings s;
    s.platformKeyUrl = WideToMulti(Read(programFolder, L"platform", L"GetPfkeyByOpenid"), kAnsi);
    s.reportUrl = WideToMulti(Read(programFolder, L"platform", L"ReportEventUrl"), kAnsi);
    s.triggerUrl = WideToMulti(Read(programFolder, L"platform", L"TriggerEventUrl"), kAnsi);
    s.exeName = Read(programFolder, L"platform", L"ExeName", L"Client.exe");
    s.refreshPage = Integer(Read(programFolder, L"platform", L"RefreshPage", L"1")) != 0;
    s.frameOffsetX = Integer(Read(programFolder, L"Display", L"WindowOffset_X", L"265"));
    s.frameOffsetY = Integer(Read(programFolder, L"Display", L"WindowOffset_Y", L"125"));
    return s;
}
