// What the Flash double does, from "flash_scenario.txt":
//
//   misc N                        the misc status (default 0x191)
//   activate windowless|windowed  how it asks to be activated (default windowless)
//   hit L T R B                   QueryHitPoint's hit area, relative to the
//                                 object's top-left (default its upper half)
//   accelerator VK                WM_KEYDOWN of VK is taken by TranslateAccelerator
//   TRIGGER DELAY ACTION          fire ACTION's event DELAY ms after TRIGGER
//
// TRIGGER: "movie" (put_Movie), "advise" (an event sink advised),
// "call:NAME" (each CallFunction of the invoke NAME) or "file:NAME". ACTION:
//   readystate N | progress N | progress-byref N | fscommand CMD ARG |
//   flashcall REQUEST | malformed KIND
// KIND: readystate-noargs, progress-noargs, progress-bstr, fscommand-1arg,
// fscommand-i4, flashcall-i4, unknown-dispid.
#pragma once
#include "scenario_file.h"

#include "common/win.h"

#include <string>
#include <vector>

namespace flash {

struct FlashScenario {
    DWORD miscStatus = 0x191;
    bool windowless = true;
    RECT hitArea = {};
    WPARAM acceleratorKey = 0;
    std::vector<comdouble::ScenarioStep> steps;
};

FlashScenario LoadFlashScenario();
bool CheckEventAction(const std::vector<comdouble::Word>& action, std::string& error);
extern const char* const kMalformedKinds[];

}  // namespace flash
