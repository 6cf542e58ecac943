#include "copier/program_wait.h"

#include "common/code_page.h"
#include "common/process_util.h"
#include "copier/copier_log.h"

bool WaitForProgramToEnd(const char* exeName, DWORD pauseMs, int maxRounds) {
    std::wstring name = MultiToWide(exeName, 0);
    for (int round = 0; IsProcessRunningA(exeName); ++round) {
        if (round == maxRounds) {
            CopierLog(L"%ls still runs after %d rounds of waiting; giving up", name.c_str(), maxRounds);
            return false;
        }
        if (round == 0) CopierLog(L"waiting for %ls to exit", name.c_str());
        Sleep(pauseMs);
        if (IsProcessRunningA(exeName)) {
            CopierLog(L"%ls did not exit; ending it", name.c_str());
            TerminateProcessByName(exeName);
        }
    }
    return true;
}
