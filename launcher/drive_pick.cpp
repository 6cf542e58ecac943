#include "launcher/drive_pick.h"

#include "common/win.h"

#include <cwctype>

namespace {

wchar_t Upper(wchar_t c) { return static_cast<wchar_t>(std::towupper(c)); }

std::wstring RootOf(wchar_t letter) { return std::wstring(1, Upper(letter)) + L":\\"; }

}  // namespace

bool GetDriveKind(const std::wstring& path) {
    if (path.empty()) return false;
    return GetDriveTypeW(RootOf(path[0]).c_str()) == DRIVE_FIXED;
}

DriveTable ReadDriveTable() {
    DriveTable table;
    wchar_t system[MAX_PATH];
    UINT n = GetSystemDirectoryW(system, MAX_PATH);
    if (n > 0 && n < MAX_PATH) table.systemDrive = Upper(system[0]);
    DWORD mask = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if ((mask & (1u << i)) == 0) continue;
        DriveEntry entry;
        entry.letter = static_cast<wchar_t>(L'A' + i);
        std::wstring root = RootOf(entry.letter);
        entry.fixed = GetDriveTypeW(root.c_str()) == DRIVE_FIXED;
        ULARGE_INTEGER available, total, totalFree;
        if (entry.fixed && GetDiskFreeSpaceExW(root.c_str(), &available, &total, &totalFree))
            entry.freeBytes = totalFree.QuadPart;
        table.drives.push_back(entry);
    }
    return table;
}

std::wstring PickLargestFixedDrive(const DriveTable& table) {
    const wchar_t systemDrive = Upper(table.systemDrive);
    const DriveEntry* best = nullptr;
    uint64_t systemFree = 0;
    for (const DriveEntry& drive : table.drives) {
        if (!drive.fixed) continue;
        if (Upper(drive.letter) == systemDrive) {
            systemFree = drive.freeBytes;
            continue;
        }
        if (best == nullptr || drive.freeBytes > best->freeBytes) best = &drive;
    }
    if (best == nullptr) return RootOf(systemDrive);
    if (best->freeBytes / 1024 / 1024 >= kRoomyDriveMegabytes) return RootOf(best->letter);
    return systemFree <= best->freeBytes ? RootOf(best->letter) : RootOf(systemDrive);
}

std::wstring PickLargestFixedDrive() { return PickLargestFixedDrive(ReadDriveTable()); }
