#include "launcher/page_query.h"

std::wstring PageQuery(const LauncherParameterList& parameters) {
    std::wstring query;
    for (const auto& item : parameters.Items()) {
        if (!query.empty()) query += L'&';
        query += item.first + L'=' + item.second;
    }
    return query;
}

std::wstring PageAddress(const std::wstring& home, const std::wstring& query, bool alwaysMark) {
    if (query.empty() && !alwaysMark) return home;
    return home + L'?' + query;
}
