// Stands in for a program that the copier waits for, replaces and starts.
// Every start appends "start size=<bytes of its own file> cmd=<command line>"
// to "<own file name>.record" beside itself. With "linger" as the first word,
// or when "<own file name>.hold" or "<own file name>.linger" lies beside it
// (for programs whose command line the test does not choose), it then stays
// until "<own file name>.release" appears beside it (at most two minutes) and
// appends "exit"; otherwise it ends at once.
#include "common/code_page.h"
#include "common/file_util.h"
#include "common/module_path.h"
#include "tests/doubles/append_line.h"

#include <string>

namespace {

void Append(const std::wstring& path, const std::string& line) { AppendLineToLog(path, line); }

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
    std::wstring self = ExecutablePath();
    std::wstring record = self + L".record";
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExW(self.c_str(), GetFileExInfoStandard, &data);
    std::wstring line = commandLine != nullptr ? commandLine : L"";
    Append(record, "start size=" + std::to_string(data.nFileSizeLow) + " cmd=" + WideToMulti(line, CP_UTF8));
    if (line.compare(0, 6, L"linger") == 0 || FileExists(self + L".hold") || FileExists(self + L".linger")) {
        for (int i = 0; i < 6000 && !FileExists(self + L".release"); ++i) Sleep(20);
        Append(record, "exit");
    }
    return 0;
}
