#include "common/split_string.h"

std::vector<std::wstring> LauncherSplitString(const std::wstring& text, wchar_t delimiter) {
    std::vector<std::wstring> fields;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(delimiter, start);
        if (end == std::wstring::npos) end = text.size();
        if (end > start) fields.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}
