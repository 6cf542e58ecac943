// Folders of a test's own beside the test program, holding copies of the
// doubles, their scenarios and a skin; and a message pump that keeps going
// past the WM_QUIT the launcher's windows post.
#pragma once
#include "common/win.h"
#include "launcher/game_main.h"
#include "tests/unit/common/log_search.h"

#include <functional>
#include <string>
#include <vector>

namespace game_test {

// Records what the game window asks of the launcher: reports as
// "EVENT|PARAMETER", the rest by name.
struct FakeHost : GameMainHost {
    void QueueEventReport(const std::wstring& event, const std::wstring& parameter) override;
    void ShowMainAndFrame() override { calls.push_back("show main and frame"); }
    void HideMainWindow() override { calls.push_back("hide main"); }
    void ResetProgressAndReloadPage() override { calls.push_back("reset and reload"); }
    std::vector<std::string> calls;
};

// A new folder for this test, ending in "\".
std::wstring TestFolder();
// Copies NAME from beside the test program into FOLDER as AS_NAME.
bool CopyBeside(const wchar_t* name, const std::wstring& folder, const std::wstring& asName);
bool WriteText(const std::wstring& path, const std::string& text);
std::string ReadText(const std::wstring& path);
std::string Narrow(const std::wstring& text);

// Pumps the thread's messages through the framework's translation until DONE
// holds or MILLISECONDS pass (ample for a loaded machine: only a failing test
// waits them out); WM_QUIT is counted, not obeyed.
bool PumpUntil(const std::function<bool()>& done, int milliseconds = 30000);
void Pump(int milliseconds);
int QuitsSeen();

}  // namespace game_test
