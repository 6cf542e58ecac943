#include "flash_scenario.h"

#include "double_log.h"

namespace flash {

using comdouble::Log;
using comdouble::ParseInteger;
using comdouble::Word;

const char* const kMalformedKinds[] = {"readystate-noargs", "progress-noargs", "progress-bstr", "fscommand-1arg",
                                       "fscommand-i4",      "flashcall-i4",    "unknown-dispid", nullptr};

bool CheckEventAction(const std::vector<Word>& action, std::string& error) {
    const std::string& name = action.empty() ? std::string() : action[0].text;
    size_t n = action.size();
    long long value = 0;
    if ((name == "readystate" || name == "progress" || name == "progress-byref") && n == 2 &&
        ParseInteger(action[1].text, value))
        return true;
    if (name == "fscommand" && n == 3) return true;
    if (name == "flashcall" && n == 2) return true;
    if (name == "malformed" && n == 2) {
        for (const char* const* kind = kMalformedKinds; *kind != nullptr; ++kind)
            if (action[1].text == *kind) return true;
    }
    error = "unknown action '" + name + "' or wrong words";
    return false;
}

FlashScenario LoadFlashScenario() {
    FlashScenario scenario;
    comdouble::ScenarioFile file =
        comdouble::LoadScenario(L"flash_scenario.txt", {"misc", "activate", "hit", "accelerator"});
    for (const comdouble::ScenarioSetting& s : file.settings) {
        long long v[4] = {};
        bool ok = false;
        if (s.name == "activate" && s.values.size() == 1 &&
            (s.values[0].text == "windowless" || s.values[0].text == "windowed")) {
            scenario.windowless = s.values[0].text == "windowless";
            ok = true;
        } else if (s.name == "hit" && s.values.size() == 4) {
            ok = true;
            for (int i = 0; i < 4; ++i) ok = ok && ParseInteger(s.values[i].text, v[i]);
            if (ok) scenario.hitArea = {static_cast<LONG>(v[0]), static_cast<LONG>(v[1]), static_cast<LONG>(v[2]),
                                        static_cast<LONG>(v[3])};
        } else if ((s.name == "misc" || s.name == "accelerator") && s.values.size() == 1 &&
                   ParseInteger(s.values[0].text, v[0])) {
            ok = true;
            if (s.name == "misc") scenario.miscStatus = static_cast<DWORD>(v[0]);
            if (s.name == "accelerator") scenario.acceleratorKey = static_cast<WPARAM>(v[0]);
        }
        if (!ok) Log("scenario error: line " + std::to_string(s.line) + ": bad '" + s.name + "'");
    }
    scenario.steps = comdouble::KeepSteps(file.steps, {"movie", "advise", "call:"}, &CheckEventAction);
    return scenario;
}

}  // namespace flash
