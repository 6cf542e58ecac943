#include "common/path_map.h"

#include "common/code_page.h"
#include "common/common_log.h"
#include "common/file_util.h"

#include <vector>

namespace {

// The non-empty pieces of a text between separators.
std::vector<std::string> SplitSkippingEmpty(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(separator, start);
        if (end == std::string::npos) end = text.size();
        if (end > start) parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// Why a path may not become a file below the folder, or null.
const char* RefusalOf(const std::string& utf8) {
    std::wstring path = MultiToWide(utf8, CP_UTF8);
    if (path.size() > PathMap::kMaxPathLength) return "path too long";
    size_t depth = 1;
    for (wchar_t c : path)
        if (c == L'\\' || c == L'/') ++depth;
    if (depth > PathMap::kMaxPathDepth) return "path too deep";
    if (!IsSafeRelativePath(path)) return "unsafe path";
    return nullptr;
}

}  // namespace

bool PathMap::Load(const std::wstring& file) {
    fileName_ = file;
    paths_.clear();
    refused_.clear();
    std::string text;
    if (!ReadWholeFile(file, text)) return false;
    for (const std::string& line : SplitSkippingEmpty(text, '\n')) {
        std::vector<std::string> parts = SplitSkippingEmpty(line, '=');
        if (parts.size() != 2) continue;
        std::string path = parts[1].substr(0, parts[1].find('\r'));
        // The paths come from the update server and become files under the
        // client folder: one that climbs out of it, or that no folder could
        // hold, is refused here.
        const char* refusal = path.empty() ? nullptr : RefusalOf(path);
        if (refusal != nullptr) {
            CommonLog("path map " + WideToMulti(file, 0) + ": " + refusal + " for key " + parts[0] + " ignored (" +
                      std::to_string(path.size()) + " bytes)");
            paths_.erase(parts[0]);
            refused_.insert(parts[0]);
            continue;
        }
        refused_.erase(parts[0]);
        paths_[parts[0]] = path;
    }
    return true;
}

bool PathMap::IsRefused(uint64_t key) const { return refused_.count(std::to_string(key)) != 0; }

std::string PathMap::PathOf(uint64_t key) const {
    auto it = paths_.find(std::to_string(key));
    return it == paths_.end() ? std::string() : it->second;
}
