#include "common/launcher_parameter_list.h"

#include "common/split_string.h"

namespace {

std::wstring Join(const LauncherParameterList::Map& items) {
    std::wstring text;
    for (const auto& item : items) {
        if (!text.empty()) text += L',';
        text += item.first;
        text += L'=';
        text += item.second;
    }
    return text;
}

}  // namespace

void LauncherParameterList::Parse(const std::wstring& text) {
    items_.clear();
    for (const std::wstring& item : LauncherSplitString(text, L',')) {
        // Exactly one "=" with text on both sides: "A=b=c", "A==b", "=b", "A="
        // and "A" are not items.
        size_t equals = item.find(L'=');
        if (equals == std::wstring::npos || equals == 0 || equals + 1 == item.size() ||
            item.find(L'=', equals + 1) != std::wstring::npos)
            continue;
        items_.emplace(item.substr(0, equals), item.substr(equals + 1));  // the first occurrence wins
    }
}

std::wstring LauncherParameterList::Get(const std::wstring& key) const {
    auto found = items_.find(key);
    return found == items_.end() ? std::wstring() : found->second;
}

std::wstring LauncherParameterList::ToText() const { return Join(items_); }

std::wstring LauncherParameterList::RebuiltWith(const std::wstring& key, const std::wstring& value) const {
    Map copy = items_;
    copy[key] = value;
    return Join(copy);
}
