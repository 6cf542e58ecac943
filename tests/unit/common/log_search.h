// Searches in the call logs that doubles and recording hosts keep.
#pragma once
#include <string>
#include <vector>

// Whether the LINES appear in TEXT in this order, each as part of a line.
inline bool InOrder(const std::string& text, const std::vector<std::string>& lines) {
    size_t at = 0;
    for (const std::string& line : lines) {
        at = text.find(line, at);
        if (at == std::string::npos) return false;
        at += line.size();
    }
    return true;
}

// How often NEEDLE appears in TEXT, not overlapping.
inline int Occurrences(const std::string& text, const std::string& needle) {
    int n = 0;
    for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + needle.size())) ++n;
    return n;
}
