#pragma once
#include <map>
#include <string>

// The launcher's command line from the game hall: items "key=value" joined by
// ",". Keys compare exactly (case counts) and are kept in ascending order,
// which is the order wherever the list is written out again.
class LauncherParameterList {
public:
    using Map = std::map<std::wstring, std::wstring>;

    LauncherParameterList() = default;
    explicit LauncherParameterList(const std::wstring& text) { Parse(text); }

    // Replaces the contents. An item counts only when it splits on "=" into
    // exactly two non-empty fields; the first occurrence of a key wins.
    void Parse(const std::wstring& text);

    // The value, or the empty string when the key is absent.
    std::wstring Get(const std::wstring& key) const;

    // Every item in key order as "key=value", joined by ",".
    std::wstring ToText() const;

    // The list with `key` carrying `value` (added when it was absent),
    // written out in key order.
    std::wstring RebuiltWith(const std::wstring& key, const std::wstring& value) const;

    const Map& Items() const { return items_; }

private:
    Map items_;
};
