#pragma once
#include <string>

// Conversions between UTF-16 and narrow text; code page 0 is the ANSI code
// page, 65001 UTF-8.
std::wstring MultiToWide(const std::string& text, unsigned codePage);
std::string WideToMulti(const std::wstring& text, unsigned codePage);
