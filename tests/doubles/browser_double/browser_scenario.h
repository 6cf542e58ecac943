// What the browser double's page does, from "browser_scenario.txt":
//
//   misc N                 the misc status (default 0x20191)
//   accelerator VK         WM_KEYDOWN of VK is taken by TranslateAccelerator
//   frames N               DocumentComplete of N frames before the page's own
//   fail URL CODE          a navigation to URL ends in NavigateError CODE
//   TRIGGER DELAY ACTION   the page's ACTION, DELAY ms after TRIGGER
//
// URL is compared before its "?". TRIGGER: "page:URL" (its DocumentComplete;
// "page:*" any page but about:blank), "load:N" (the N-th page loaded, about:blank
// not counted) or "file:NAME". ACTION:
//   hostinfo                      GetHostInfo
//   external NAME ARGS...         the page calls external.NAME(ARGS): a word
//   external+get NAME ARGS...     in quotes is a string, an integer a number
//   scripterror                   the script-error command, with and without pvaOut
//   translateurl URL              TranslateUrl
//   contextmenu                   ShowContextMenu
//   newwindow URL                 NewWindow3
//   navigate URL                  the page navigates
//   malformed [KIND]              one malformed event, or each in turn
#pragma once
#include "scenario_file.h"

#include "common/win.h"

#include <string>
#include <vector>

namespace browser {

struct FailRule {
    std::wstring url;
    long code = 0;
};

struct BrowserScenario {
    DWORD miscStatus = 0x20191;
    WPARAM acceleratorKey = 0;
    int frames = 0;
    std::vector<FailRule> failures;
    std::vector<comdouble::ScenarioStep> steps;
};

// Reads the file beside the DLL; errors are logged and the line dropped.
BrowserScenario LoadBrowserScenario();
// False with a reason when ACTION is not one the page knows.
bool CheckPageAction(const std::vector<comdouble::Word>& action, std::string& error);
// The URL up to its "?".
std::wstring PagePart(const std::wstring& url);

}  // namespace browser
