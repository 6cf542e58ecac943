#include "scenario.h"

#include <cstdlib>
#include <sstream>

namespace {

bool ParseNumber(const std::string& text, long long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtoll(text.c_str(), &end, 10);
    return *end == '\0';
}

bool ParseAction(std::istringstream& words, ScenarioAction& action, std::string& error) {
    std::string kind;
    words >> kind;
    if (kind == "connected") {
        action.kind = ScenarioAction::kConnected;
    } else if (kind == "connect-failed") {
        action.kind = ScenarioAction::kConnectFailed;
    } else if (kind == "closed") {
        action.kind = ScenarioAction::kClosed;
    } else if (kind == "message") {
        action.kind = ScenarioAction::kMessage;
        std::string type, body, extra;
        words >> type >> body;
        long long number = 0;
        if (!ParseNumber(type, number)) {
            error = "bad message type '" + type + "'";
            return false;
        }
        action.type = static_cast<int32_t>(number);
        if (body == "empty") {
            action.body.clear();
        } else if (body.compare(0, 5, "text:") == 0) {
            action.body = body.substr(5);
        } else if (body.compare(0, 5, "flag:") == 0 && ParseNumber(body.substr(5), number)) {
            int32_t flag = static_cast<int32_t>(number);
            action.body.assign(reinterpret_cast<const char*>(&flag), sizeof(flag));
        } else if (body.compare(0, 5, "fill:") == 0 && ParseNumber(body.substr(5), number) && number >= 0) {
            action.body.assign(static_cast<size_t>(number), 'x');
        } else {
            error = "bad message body '" + body + "'";
            return false;
        }
        if (words >> extra) {
            if (extra.compare(0, 7, "length=") != 0 || !ParseNumber(extra.substr(7), number)) {
                error = "bad message option '" + extra + "'";
                return false;
            }
            action.lengthOverride = true;
            action.length = static_cast<int32_t>(number);
        }
    } else {
        error = "unknown action '" + kind + "'";
        return false;
    }
    return true;
}

}  // namespace

bool ParseScenario(const std::string& text, Scenario& scenario, std::string& error) {
    scenario = Scenario();
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string first;
        if (!(words >> first)) continue;
        long long value = 0;
        std::string local;
        if (first == "connect-result") {
            std::string result;
            words >> result;
            if (!ParseNumber(result, value)) {
                error = "line " + std::to_string(number) + ": bad connect result";
                return false;
            }
            scenario.connectResult = static_cast<int>(value);
            continue;
        }
        ScenarioAction action;
        if (first == "connect") {
            action.trigger = ScenarioAction::kOnConnect;
        } else if (first == "request") {
            action.trigger = ScenarioAction::kOnRequest;
        } else if (first.compare(0, 5, "file:") == 0 && first.size() > 5) {
            action.trigger = ScenarioAction::kOnFile;
            action.fileName = first.substr(5);
        } else {
            error = "line " + std::to_string(number) + ": unknown trigger '" + first + "'";
            return false;
        }
        std::string delay;
        words >> delay;
        if (!ParseNumber(delay, value) || value < 0) {
            error = "line " + std::to_string(number) + ": bad delay '" + delay + "'";
            return false;
        }
        action.delayMs = static_cast<uint32_t>(value);
        if (!ParseAction(words, action, local)) {
            error = "line " + std::to_string(number) + ": " + local;
            return false;
        }
        scenario.actions.push_back(action);
    }
    return true;
}
