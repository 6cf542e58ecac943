#pragma once
#include <cstdint>
#include <string>
#include <vector>

// True when the drive named by the path's first character (tested as "X:\")
// is a fixed drive.
bool GetDriveKind(const std::wstring& path);

struct DriveEntry {
    wchar_t letter = L'C';
    bool fixed = false;
    uint64_t freeBytes = 0;  // total free bytes, not only the caller's quota
};

// The drives that the pick looks at, and the drive of the system folder.
struct DriveTable {
    wchar_t systemDrive = L'C';
    std::vector<DriveEntry> drives;  // in drive-letter order
};

// The machine's drives as the platform reports them.
DriveTable ReadDriveTable();

// Free space from which another drive wins over the system drive outright.
constexpr uint64_t kRoomyDriveMegabytes = 6145;

// Root "X:\" of the drive for a new client folder: the fixed drive other than
// the system drive with the most free bytes (the first on a tie) when it has
// at least 6,145 MB free; otherwise that drive only when the system drive has
// no more free bytes than it; otherwise the system drive.
std::wstring PickLargestFixedDrive(const DriveTable& table);
std::wstring PickLargestFixedDrive();
