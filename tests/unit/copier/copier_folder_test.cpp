#include "copier/copier_app.h"

#include "common/module_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A chain of real folders below the test executable's folder whose full
// path is exactly the given length; removed again with its one file.
class DeepFolder {
public:
    explicit DeepFolder(size_t length) {
        std::wstring path = ExecutableFolder() + L"\\deep";
        levels_.push_back(path);
        while (path.size() < length) {
            const size_t room = length - path.size() - 1;  // less the backslash
            // Leave no remainder too short for a component of its own.
            size_t part = room > 60 ? 50 : room;
            path += L'\\';
            path.append(part, L'd');
            levels_.push_back(path);
        }
        for (const std::wstring& level : levels_) CreateDirectoryW((L"\\\\?\\" + level).c_str(), nullptr);
    }
    ~DeepFolder() {
        DeleteFileW((L"\\\\?\\" + Path() + L"\\LauncherConfig.ini").c_str());
        for (auto level = levels_.rbegin(); level != levels_.rend(); ++level)
            RemoveDirectoryW((L"\\\\?\\" + *level).c_str());
    }
    const std::wstring& Path() const { return levels_.back(); }

private:
    std::vector<std::wstring> levels_;
};

// The longest folders that can be current: the copier must read them whole,
// not fall back to a drive root for its files.
TEST(CopierFolderTest, DeepInstallationFolderIsReadWhole) {
    const std::wstring previous = CurrentFolder();
    for (size_t length : {255u, 256u, 257u, 258u}) {
        DeepFolder deep(length);
        ASSERT_EQ(deep.Path().size(), length);
        HANDLE config = CreateFileW((L"\\\\?\\" + deep.Path() + L"\\LauncherConfig.ini").c_str(), GENERIC_WRITE, 0,
                                    nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(config, INVALID_HANDLE_VALUE);
        CloseHandle(config);
        ASSERT_TRUE(SetCurrentDirectoryW(deep.Path().c_str())) << length;

        EXPECT_EQ(SettleInstallationFolder(), deep.Path()) << length;
        EXPECT_EQ(CurrentFolder(), deep.Path()) << length;
        SetCurrentDirectoryW(previous.c_str());
    }
}

}  // namespace
