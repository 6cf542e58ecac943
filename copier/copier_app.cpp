#include "copier/copier_app.h"

#include "common/code_page.h"
#include "common/common_log.h"
#include "common/copier_command_line.h"
#include "common/file_util.h"
#include "common/module_path.h"
#include "copier/copier_log.h"
#include "copier/hall_window.h"
#include "copier/program_replacement.h"

std::wstring SettleInstallationFolder() {
    if (GetFileAttributesW(L"LauncherConfig.ini") == INVALID_FILE_ATTRIBUTES) {
        std::wstring folder = ExecutableFolder();
        if (!folder.empty()) SetCurrentDirectoryW(folder.c_str());
    }
    std::wstring folder = CurrentFolder();
    // Unreadable: relative paths still mean the current folder.
    if (folder.empty()) return L".";
    // A drive root comes back as "C:\"; every other folder without a backslash.
    while (folder.size() > 1 && folder.back() == L'\\') folder.pop_back();
    return folder;
}

namespace {

void LogSharedCode(const std::string& text) { CopierLog(L"%ls", MultiToWide(text, 0).c_str()); }

}  // namespace

int RunCopier(HINSTANCE instance, const wchar_t* commandLine, int showCommand) {
    std::wstring folder = SettleInstallationFolder();
    SetCommonLogFunction(LogSharedCode);
    CopierCommandLine line = CopierCommandLine::Parse(commandLine != nullptr ? commandLine : L"");
    switch (line.mode()) {
    case CopierCommandLine::Mode::kNone:
        return 0;
    case CopierCommandLine::Mode::kReplaceLauncher:
        ReplaceProgram(folder, kLauncherExe);
        return 0;
    case CopierCommandLine::Mode::kReplaceEngine:
        ReplaceProgram(folder, kEngineExe);
        return 0;
    case CopierCommandLine::Mode::kHall:
        return RunHallMode(instance, showCommand, folder, line.parameterList());
    }
    return 0;
}
