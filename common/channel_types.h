#pragma once
// The launcher-engine channel: message types, their decoded records and the
// enumerations they carry.
#include <cstdint>

enum ChannelMessageType : uint16_t {
    CF_NOTIFY_WND = 1,      // a window handle; both directions
    CF_CALLBACK_TYPE = 2,   // an eCallBackType; engine to launcher
    CF_TEXT_SLOT = 3,       // slot 0 to 3 and a UTF-8 text; engine to launcher
    CF_PROGRESS = 4,        // done and total; engine to launcher
    CF_ACTION = 5,          // an eActionType and a text; launcher to engine
    CF_LAUNCHER_TEXT = 6,   // a text; never sent
    CF_CORE_TEXT = 7,       // a text from the download manager; engine to launcher
};

constexpr int kChannelTextCapacity = 1024;
constexpr int kChannelBodyCapacity = 81920;
constexpr int kChannelHeadSize = 6;
constexpr unsigned kChannelCopyDataId = 12;

// Types 1 and 2.
struct ChannelIntRecord {
    int32_t value;
};
// Types 3 (slot) and 5 (action).
struct ChannelSlotTextRecord {
    int32_t slot;
    char text[kChannelTextCapacity];
};
// Type 4.
struct ChannelProgressRecord {
    int32_t done;
    int32_t total;
};
// Types 6 and 7.
struct ChannelTextRecord {
    char text[kChannelTextCapacity];
};

enum eCallBackType {
    eCallBackType_DownloadServerList = 0,
    eCallBackType_PrePatchVer = 1,
    eCallBackType_FinishClient = 2,
    eCallBackType_WaitRelaunch = 3,
    eCallBackType_WaitReStartLaunch = 4,
    eCallBackType_WaitReStartCore = 5,
    eCallBackType_LaunchClient = 6,
    eCallBackType_DownloadLauncherVerError = 7,
    eCallBackType_DownloadLauncherHashFileError = 8,
    eCallBackType_DownloadLauncherError = 9,
    eCallBackType_DownloadLauncherResError = 10,
    eCallBackType_DownloadServerListError = 11,
    eCallBackType_DownloadPatchVerError = 12,
    eCallBackType_StartTinyPackage = 13,
    eCallBackType_UnZipTinyPackage = 14,
    eCallBackType_UnZipTinyPackageFail = 15,
    eCallBackType_UnZipTinyPackageSuccess = 16,
    eCallBackType_StartUpdateClientRes = 17,
    eCallBackType_PreDownloadReady = 18,
};

enum eActionType {
    eActionType_CheckVer = 0,
    eActionType_ManualUpdate = 1,
    eActionType_StartGame = 2,
};

// Names as the engine logs them; the empty name outside the enumeration.
const char* CallBackTypeName(int value);
const char* ActionTypeName(int value);
