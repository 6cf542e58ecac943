#pragma once
#include <string>
#include <vector>

// The fields between occurrences of `delimiter`, in order. Empty fields are
// dropped: leading, trailing and repeated delimiters yield nothing.
std::vector<std::wstring> LauncherSplitString(const std::wstring& text, wchar_t delimiter);
