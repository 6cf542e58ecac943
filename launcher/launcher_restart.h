#pragma once
// Starting the launcher's own programs from its program folder, and the two
// roads by which a launcher is replaced or restarted: straight away, or with
// a fresh hall parameter.
#include "common/win.h"

#include <string>

extern const wchar_t kLauncherProgram[];  // "Brightgate.exe"
extern const wchar_t kEngineProgram[];    // "Tidemill.exe"
extern const wchar_t kCopierProgram[];    // "Ferrier.exe"

// Where the launcher's program starts go; tests replace it.
class ProgramStarter {
public:
    // The new process id, or 0 with GetLastError() telling why.
    virtual DWORD Start(const std::wstring& file, const std::wstring& parameters, const std::wstring& folder,
                        int showState) = 0;

protected:
    ~ProgramStarter() = default;
};

// Through the shell, without elevation; a failure shows the starter's box.
ProgramStarter& ShellProgramStarter();

// The folder followed by exactly one trailing backslash.
std::wstring FolderWithBackslash(const std::wstring& folder);

// What the engine asked for: a replaced launcher file (the copier puts it in
// place) or a plain restart of the launcher.
enum class RestartKind {
    kReplace,  // eCallBackType_WaitRelaunch
    kRestart,  // eCallBackType_WaitReStartLaunch
};

const wchar_t* RestartKindName(RestartKind kind);

// Starts what replaces or restarts the launcher, from the program folder
// with that folder as working folder:
//  - without a hall: "Ferrier.exe 1" hidden, or "Brightgate.exe" with no
//    parameters shown normally;
//  - with a hall's fresh parameter, `parameterList` rebuilt around it:
//    "Ferrier.exe 1 2 <list>" hidden, or "Brightgate.exe <list>" shown
//    normally. The list is never cut: a cut would lose "PROCPARA", which
//    sorts last among the hall's keys.
DWORD StartDirectRestart(ProgramStarter& starter, const std::wstring& programFolder, RestartKind kind);
DWORD StartHallRestart(ProgramStarter& starter, const std::wstring& programFolder, RestartKind kind,
                       const std::wstring& parameterList);
