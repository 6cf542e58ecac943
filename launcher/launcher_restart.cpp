#include "launcher/launcher_restart.h"

#include "common/copier_command_line.h"
#include "common/process_util.h"

const wchar_t kLauncherProgram[] = L"Brightgate.exe";
const wchar_t kEngineProgram[] = L"Tidemill.exe";
const wchar_t kCopierProgram[] = L"Ferrier.exe";

namespace {

class ShellStarter final : public ProgramStarter {
public:
    DWORD Start(const std::wstring& file, const std::wstring& parameters, const std::wstring& folder,
                int showState) override {
        return RunProgram(file, parameters, folder, showState, false);
    }
};

DWORD StartFromFolder(ProgramStarter& starter, const std::wstring& programFolder, const wchar_t* program,
                      const std::wstring& parameters, int showState) {
    std::wstring folder = FolderWithBackslash(programFolder);
    return starter.Start(folder + program, parameters, folder, showState);
}

}  // namespace

ProgramStarter& ShellProgramStarter() {
    static ShellStarter starter;
    return starter;
}

std::wstring FolderWithBackslash(const std::wstring& folder) {
    std::wstring out = folder;
    while (!out.empty() && (out.back() == L'\\' || out.back() == L'/')) out.pop_back();
    return folder.empty() ? out : out + L"\\";
}

const wchar_t* RestartKindName(RestartKind kind) {
    return kind == RestartKind::kReplace ? L"replace" : L"restart";
}

DWORD StartDirectRestart(ProgramStarter& starter, const std::wstring& programFolder, RestartKind kind) {
    if (kind == RestartKind::kReplace)
        return StartFromFolder(starter, programFolder, kCopierProgram, CopierCommandLine::ForLauncherReplacement(),
                               SW_HIDE);
    return StartFromFolder(starter, programFolder, kLauncherProgram, std::wstring(), SW_SHOWNORMAL);
}

DWORD StartHallRestart(ProgramStarter& starter, const std::wstring& programFolder, RestartKind kind,
                       const std::wstring& parameterList) {
    if (kind == RestartKind::kReplace)
        return StartFromFolder(starter, programFolder, kCopierProgram, CopierCommandLine::ForHall(parameterList),
                               SW_HIDE);
    return StartFromFolder(starter, programFolder, kLauncherProgram, parameterList, SW_SHOWNORMAL);
}
