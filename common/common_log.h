#pragma once
#include <string>

// Where the shared library's diagnostic lines go. The library has no log of
// its own: a program points this at its log at start-up (the engine at its
// HTML log). Texts are narrow, paths in the ANSI code page.
using CommonLogFunction = void (*)(const std::string& text);
void SetCommonLogFunction(CommonLogFunction function);
void CommonLog(const std::string& text);
