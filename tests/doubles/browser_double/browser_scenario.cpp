#include "browser_scenario.h"

#include "browser_events.h"
#include "double_log.h"

namespace browser {

using comdouble::Log;
using comdouble::ParseInteger;
using comdouble::Word;

std::wstring PagePart(const std::wstring& url) { return url.substr(0, url.find(L'?')); }

bool CheckPageAction(const std::vector<Word>& action, std::string& error) {
    const std::string& name = action.empty() ? std::string() : action[0].text;
    size_t n = action.size();
    if ((name == "hostinfo" || name == "scripterror" || name == "contextmenu") && n == 1) return true;
    if ((name == "external" || name == "external+get") && n >= 2) return true;
    if ((name == "translateurl" || name == "newwindow" || name == "navigate") && n == 2) return true;
    if (name == "malformed" && n == 1) return true;
    if (name == "malformed" && n == 2) {
        for (const char* const* kind = kMalformedKinds; *kind != nullptr; ++kind)
            if (action[1].text == *kind) return true;
        error = "unknown malformed kind '" + action[1].text + "'";
        return false;
    }
    error = "unknown action '" + name + "' or wrong word count";
    return false;
}

BrowserScenario LoadBrowserScenario() {
    BrowserScenario scenario;
    comdouble::ScenarioFile file =
        comdouble::LoadScenario(L"browser_scenario.txt", {"misc", "accelerator", "frames", "fail"});
    for (const comdouble::ScenarioSetting& s : file.settings) {
        long long value = 0;
        bool ok = false;
        if (s.name == "fail" && s.values.size() == 2 && ParseInteger(s.values[1].text, value)) {
            scenario.failures.push_back({PagePart(comdouble::Widen(s.values[0].text)), static_cast<long>(value)});
            ok = true;
        } else if (s.name != "fail" && s.values.size() == 1 && ParseInteger(s.values[0].text, value)) {
            ok = true;
            if (s.name == "misc") scenario.miscStatus = static_cast<DWORD>(value);
            if (s.name == "accelerator") scenario.acceleratorKey = static_cast<WPARAM>(value);
            if (s.name == "frames") scenario.frames = static_cast<int>(value);
        }
        if (!ok) Log("scenario error: line " + std::to_string(s.line) + ": bad '" + s.name + "'");
    }
    scenario.steps = comdouble::KeepSteps(file.steps, {"page:", "load:"}, &CheckPageAction);
    return scenario;
}

}  // namespace browser
