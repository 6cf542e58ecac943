// Folders of a test's own beside the test program, holding copies of the
// doubles, their scenarios and a skin; and a message pump that keeps going
// past the WM_QUIT the launcher's windows post.
#pragma once
#include "common/win.h"

#include <functional>
#include <string>
#include <vector>

namespace game_test {

std::wstring ProgramFolder();  // ends in "\"

// A new folder for this test, ending in "\".
std::wstring TestFolder();
// Copies NAME from beside the test program into FOLDER as AS_NAME.
bool CopyBeside(const wchar_t* name, const std::wstring& folder, const std::wstring& asName);
bool WriteText(const std::wstring& path, const std::string& text);
std::string ReadText(const std::wstring& path);
std::string Narrow(const std::wstring& text);

// Pumps the thread's messages through the framework's translation until DONE
// holds or MILLISECONDS pass; WM_QUIT is counted, not obeyed.
bool PumpUntil(const std::function<bool()>& done, int milliseconds = 5000);
void Pump(int milliseconds);
int QuitsSeen();

// Whether the LINES appear in TEXT in this order.
bool InOrder(const std::string& text, const std::vector<std::string>& lines);
int Occurrences(const std::string& text, const std::string& needle);

}  // namespace game_test
