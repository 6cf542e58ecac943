#include "common/module_path.h"

#include <gtest/gtest.h>

namespace {

TEST(ModulePath, AFolderKeepsItsBackslashOnlyAtADriveRoot) {
    struct Case {
        const wchar_t* path;
        const wchar_t* folder;
    } cases[] = {
        {L"D:\\Brightgate.exe", L"D:\\"},  // "D:" alone is drive D's current folder
        {L"D:\\games\\Brightgate.exe", L"D:\\games"},
        {L"D:\\games\\sub\\Brightgate.exe", L"D:\\games\\sub"},
        {L"\\\\server\\share\\Brightgate.exe", L"\\\\server\\share"},
        {L"Brightgate.exe", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(FolderOfPath(c.path), c.folder) << c.path;
}

}  // namespace
