#pragma once
// What the launcher reads from "LauncherConfig.ini" in its program folder.
#include <string>

extern const wchar_t kLauncherConfigFile[];  // "LauncherConfig.ini"

// The configuration file's full path in the program folder.
std::wstring LauncherConfigPath(const std::wstring& programFolder);

// [platform] Platform: "1" is the game hall's platform, "999" keeps the
// client in the program folder.
std::wstring ReadPlatform(const std::wstring& programFolder);
// [Launcher] AppName, the main window's title.
std::wstring ReadAppName(const std::wstring& programFolder);

struct MainWindowSettings {
    // [platform] addresses, in the ANSI code page; empty switches a transfer off.
    std::string platformKeyUrl;  // GetPfkeyByOpenid
    std::string reportUrl;       // ReportEventUrl
    std::string triggerUrl;      // TriggerEventUrl
    std::wstring exeName = L"Client.exe";  // ExeName
    bool refreshPage = true;               // RefreshPage is not 0
    // [Display] WindowOffset_X and _Y: the frame window's place on the main window.
    int frameOffsetX = 265;
    int frameOffsetY = 125;
};

// Every value at most 511 characters; missing ones take the defaults above.
MainWindowSettings ReadMainWindowSettings(const std::wstring& programFolder);
