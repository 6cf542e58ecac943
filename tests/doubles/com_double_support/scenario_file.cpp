#include "scenario_file.h"

#include "common/file_util.h"
#include "double_log.h"

#include <cstdlib>

namespace comdouble {

bool ParseInteger(const std::string& text, long long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    value = hex ? static_cast<long long>(std::strtoull(text.c_str() + 2, &end, 16)) : std::strtoll(text.c_str(), &end, 10);
    return *end == '\0';
}

bool SplitWords(const std::string& line, std::vector<Word>& words, std::string& error) {
    words.clear();
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
            ++i;
            continue;
        }
        Word word;
        if (line[i] == '"') {
            size_t close = line.find('"', i + 1);
            if (close == std::string::npos) {
                error = "unclosed quote";
                return false;
            }
            word.text = line.substr(i + 1, close - i - 1);
            word.quoted = true;
            i = close + 1;
        } else {
            size_t end = line.find_first_of(" \t\r", i);
            if (end == std::string::npos) end = line.size();
            word.text = line.substr(i, end - i);
            i = end;
        }
        words.push_back(word);
    }
    return true;
}

bool ParseScenario(const std::string& text, const std::set<std::string>& settingNames, ScenarioFile& file,
                   std::string& error) {
    file = ScenarioFile();
    size_t start = 0;
    int number = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        // A "#" outside quotes starts a comment.
        bool inQuote = false;
        for (size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '"') inQuote = !inQuote;
            if (line[i] == '#' && !inQuote) {
                line.resize(i);
                break;
            }
        }
        std::vector<Word> words;
        std::string why;
        if (!SplitWords(line, words, why)) {
            error = "line " + std::to_string(number) + ": " + why;
            return false;
        }
        if (words.empty()) continue;
        if (settingNames.count(words[0].text) != 0) {
            file.settings.push_back({words[0].text, std::vector<Word>(words.begin() + 1, words.end()), number});
            continue;
        }
        long long delay = 0;
        if (words.size() < 3 || !ParseInteger(words[1].text, delay) || delay < 0) {
            error = "line " + std::to_string(number) + ": expected TRIGGER DELAY_MS ACTION";
            return false;
        }
        ScenarioStep step;
        step.trigger = words[0].text;
        step.delayMs = static_cast<uint32_t>(delay);
        step.action.assign(words.begin() + 2, words.end());
        step.line = number;
        file.steps.push_back(step);
    }
    return true;
}

std::vector<ScenarioStep> KeepSteps(const std::vector<ScenarioStep>& steps, const std::vector<std::string>& triggers,
                                    bool (*check)(const std::vector<Word>& action, std::string& error)) {
    std::vector<ScenarioStep> kept;
    for (const ScenarioStep& step : steps) {
        bool known = step.trigger.compare(0, 5, "file:") == 0 && step.trigger.size() > 5;
        for (const std::string& t : triggers)
            known = known || step.trigger == t || (t.back() == ':' && step.trigger.compare(0, t.size(), t) == 0);
        std::string error = "unknown trigger '" + step.trigger + "'";
        if (known && check(step.action, error))
            kept.push_back(step);
        else
            Log("scenario error: line " + std::to_string(step.line) + ": " + error);
    }
    return kept;
}

ScenarioFile LoadScenario(const wchar_t* name, const std::set<std::string>& settingNames) {
    ScenarioFile file;
    std::string text, error;
    if (!ReadWholeFile(ModuleFolder() + name, text)) return file;
    if (!ParseScenario(text, settingNames, file, error)) {
        Log("scenario error: " + error);
        file = ScenarioFile();
    }
    return file;
}

}  // namespace comdouble
