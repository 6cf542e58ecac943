// The scenario beside a double: one instruction a line, "#" starts a comment,
// words split at blanks, a word in double quotes may hold blanks.
//
//   SETTING VALUES...           a line whose first word the double names
//   TRIGGER DELAY_MS ACTION...  ACTION runs DELAY_MS after TRIGGER
//
// TRIGGER "file:NAME" waits for the file NAME beside the DLL; the double
// defines the others.
#pragma once
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace comdouble {

struct Word {
    std::string text;
    bool quoted = false;
};

struct ScenarioStep {
    std::string trigger;
    uint32_t delayMs = 0;
    std::vector<Word> action;  // at least one word
    int line = 0;
};

struct ScenarioSetting {
    std::string name;
    std::vector<Word> values;
    int line = 0;
};

struct ScenarioFile {
    std::vector<ScenarioSetting> settings;
    std::vector<ScenarioStep> steps;
};

bool SplitWords(const std::string& line, std::vector<Word>& words, std::string& error);
// False with "line N: why" when a line cannot be read.
bool ParseScenario(const std::string& text, const std::set<std::string>& settingNames, ScenarioFile& file,
                   std::string& error);
// Reads NAME beside the DLL; an absent file is an empty scenario. Parse
// errors are logged and leave the scenario empty.
ScenarioFile LoadScenario(const wchar_t* name, const std::set<std::string>& settingNames);

// The steps whose trigger is "file:NAME" or one of TRIGGERS (one ending in
// ':' takes any name after it) and whose action CHECK accepts; the others are
// logged as scenario errors and dropped.
std::vector<ScenarioStep> KeepSteps(const std::vector<ScenarioStep>& steps, const std::vector<std::string>& triggers,
                                    bool (*check)(const std::vector<Word>& action, std::string& error));

// Decimal or 0x-hex, the whole word.
bool ParseInteger(const std::string& text, long long& value);

}  // namespace comdouble
