#pragma once
// What the server-choice page is told about the launcher's start.
#include "common/launcher_parameter_list.h"

#include <string>

// Every parameter in key order as "key=value", joined by "&"; nothing is
// escaped.
std::wstring PageQuery(const LauncherParameterList& parameters);

// HOME followed by "?" and QUERY; without the "?" when QUERY is empty and
// ALWAYS_MARK is false.
std::wstring PageAddress(const std::wstring& home, const std::wstring& query, bool alwaysMark);
