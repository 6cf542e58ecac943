#include "common/copier_command_line.h"

#include "common/split_string.h"

#include <vector>

CopierCommandLine CopierCommandLine::Parse(const std::wstring& text) {
    std::vector<std::wstring> words = LauncherSplitString(text, L' ');
    CopierCommandLine line;
    switch (words.size()) {
    case 0: line.mode_ = Mode::kNone; break;
    case 1: line.mode_ = Mode::kReplaceLauncher; break;
    case 2: line.mode_ = Mode::kReplaceEngine; break;
    default:
        line.mode_ = Mode::kHall;
        line.parameterList_ = words[2];
        break;
    }
    return line;
}
