#include "common/channel_types.h"

const char* CallBackTypeName(int value) {
    static const char* const names[] = {
        "eCallBackType_DownloadServerList",
        "eCallBackType_PrePatchVer",
        "eCallBackType_FinishClient",
        "eCallBackType_WaitRelaunch",
        "eCallBackType_WaitReStartLaunch",
        "eCallBackType_WaitReStartCore",
        "eCallBackType_LaunchClient",
        "eCallBackType_DownloadLauncherVerError",
        "eCallBackType_DownloadLauncherHashFileError",
        "eCallBackType_DownloadLauncherError",
        "eCallBackType_DownloadLauncherResError",
        "eCallBackType_DownloadServerListError",
        "eCallBackType_DownloadPatchVerError",
        "eCallBackType_StartTinyPackage",
        "eCallBackType_UnZipTinyPackage",
        "eCallBackType_UnZipTinyPackageFail",
        "eCallBackType_UnZipTinyPackageSuccess",
        "eCallBackType_StartUpdateClientRes",
        "eCallBackType_PreDownloadReady",
    };
    if (value < 0 || value >= static_cast<int>(sizeof(names) / sizeof(names[0]))) return "";
    return names[value];
}

const char* ActionTypeName(int value) {
    switch (value) {
    case eActionType_CheckVer: return "eActionType_CheckVer";
    case eActionType_ManualUpdate: return "eActionType_ManualUpdate";
    case eActionType_StartGame: return "eActionType_StartGame";
    default: return "";
    }
}
