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

}  // namespace

bool PathMap::Load(const std::wstring& file) {
    fileName_ = file;
    paths_.clear();
    std::string text;
    if (!ReadWholeFile(file, text)) return false;
    for (const std::string& line : SplitSkippingEmpty(text, '\n')) {
        std::vector<std::string> parts = SplitSkippingEmpty(line, '=');
        if (parts.size() != 2) continue;
        std::string path = parts[1].substr(0, parts[1].find('\r'));
        // The paths come from the update server and become files under the
        // client folder: one that climbs out of it is refused here.
        if (!path.empty() && !IsSafeRelativePath(MultiToWide(path, CP_UTF8))) {
            CommonLog("path map " + WideToMulti(file, 0) + ": unsafe path for key " + parts[0] + " ignored");
            paths_.erase(parts[0]);
            continue;
        }
        paths_[parts[0]] = path;
    }
    return true;
}

std::string PathMap::PathOf(uint64_t key) const {
    auto it = paths_.find(std::to_string(key));
    return it == paths_.end() ? std::string() : it->second;
}
