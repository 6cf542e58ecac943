#pragma once
#include <string>

// The copier's command line: only the number of blank-separated words
// chooses what it does; in hall mode the third word is the launcher's
// parameter list (a list with blanks arrives cut at its first blank).
class CopierCommandLine {
public:
    enum class Mode {
        kNone,             // no words: nothing to do
        kReplaceLauncher,  // one word ("1")
        kReplaceEngine,    // two words ("game core")
        kHall,             // three or more ("1 2 " and the parameter list)
    };

    static CopierCommandLine Parse(const std::wstring& text);

    // What the launcher and the engine start the copier with.
    static std::wstring ForLauncherReplacement() { return L"1"; }
    static std::wstring ForEngineReplacement() { return L"game core"; }
    static std::wstring ForHall(const std::wstring& parameterList) { return L"1 2 " + parameterList; }

    Mode mode() const { return mode_; }
    const std::wstring& parameterList() const { return parameterList_; }

private:
    Mode mode_ = Mode::kNone;
    std::wstring parameterList_;
};
