#include "launcher/drive_pick.h"

#include <gtest/gtest.h>

namespace {

const uint64_t kMB = 1024ull * 1024;
const uint64_t kGB = 1024 * kMB;

DriveEntry Fixed(wchar_t letter, uint64_t freeBytes) {
    DriveEntry e;
    e.letter = letter;
    e.fixed = true;
    e.freeBytes = freeBytes;
    return e;
}

DriveEntry Other(wchar_t letter, uint64_t freeBytes) {
    DriveEntry e = Fixed(letter, freeBytes);
    e.fixed = false;
    return e;
}

TEST(PickLargestFixedDrive, ChoosesByTheTable) {
    struct Case {
        const char* what;
        wchar_t system;
        std::vector<DriveEntry> drives;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {"only the system drive", L'C', {Fixed(L'C', 1 * kGB)}, L"C:\\"},
        {"no drive at all", L'C', {}, L"C:\\"},
        {"roomy other drive beats a roomier system drive", L'C', {Fixed(L'C', 50 * kGB), Fixed(L'D', 7 * kGB)},
         L"D:\\"},
        {"small other drive loses to a roomier system drive", L'C', {Fixed(L'C', 50 * kGB), Fixed(L'D', 5 * kGB)},
         L"C:\\"},
        {"small other drive beats a smaller system drive", L'C', {Fixed(L'C', 3 * kGB), Fixed(L'D', 5 * kGB)},
         L"D:\\"},
        {"equal free space goes to the other drive", L'C', {Fixed(L'C', 2 * kGB), Fixed(L'D', 2 * kGB)}, L"D:\\"},
        {"a tie goes to the first drive", L'C',
         {Fixed(L'C', 1 * kGB), Fixed(L'D', 8 * kGB), Fixed(L'E', 8 * kGB)}, L"D:\\"},
        {"the most free space wins", L'C', {Fixed(L'C', 1 * kGB), Fixed(L'D', 7 * kGB), Fixed(L'E', 9 * kGB)},
         L"E:\\"},
        {"6,145 MB is roomy", L'C', {Fixed(L'C', 50 * kGB), Fixed(L'D', 6145 * kMB)}, L"D:\\"},
        {"6,144 MB is not", L'C', {Fixed(L'C', 50 * kGB), Fixed(L'D', 6144 * kMB)}, L"C:\\"},
        {"a byte short of 6,145 MB is not", L'C', {Fixed(L'C', 50 * kGB), Fixed(L'D', 6145 * kMB - 1)}, L"C:\\"},
        {"drives that are not fixed never count", L'C',
         {Fixed(L'C', 1 * kGB), Other(L'D', 90 * kGB), Other(L'Z', 90 * kGB)}, L"C:\\"},
        {"the system drive need not be C:", L'E', {Fixed(L'C', 2 * kGB), Fixed(L'E', 40 * kGB)}, L"E:\\"},
        {"a lower-case system drive is the same drive", L'c', {Fixed(L'C', 40 * kGB), Fixed(L'D', 1 * kGB)},
         L"C:\\"},
    };
    for (const Case& c : cases) {
        DriveTable table;
        table.systemDrive = c.system;
        table.drives = c.drives;
        EXPECT_EQ(PickLargestFixedDrive(table), c.expected) << c.what;
    }
}

TEST(PickLargestFixedDrive, TheMachineTableHoldsAFixedSystemDrive) {
    // Reads only; the pick itself is never run against the real drives.
    DriveTable table = ReadDriveTable();
    bool found = false;
    for (const DriveEntry& d : table.drives)
        if (d.letter == table.systemDrive) found = d.fixed;
    EXPECT_TRUE(found);
    EXPECT_TRUE(GetDriveKind(std::wstring(1, table.systemDrive) + L":\\windows"));
    EXPECT_FALSE(GetDriveKind(L""));
}

}  // namespace
