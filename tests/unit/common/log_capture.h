// Collects the shared library's log lines for the length of a test.
#pragma once
#include "common/common_log.h"

#include <string>
#include <vector>

class LogCapture {
public:
    LogCapture() {
        Lines().clear();
        SetCommonLogFunction(&LogCapture::Collect);
    }
    ~LogCapture() { SetCommonLogFunction(nullptr); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    static std::vector<std::string>& Lines() {
        static std::vector<std::string> lines;
        return lines;
    }
    // True when a line holds the text.
    bool Has(const std::string& text) const {
        for (const std::string& line : Lines())
            if (line.find(text) != std::string::npos) return true;
        return false;
    }

private:
    static void Collect(const std::string& text) { Lines().push_back(text); }
};
