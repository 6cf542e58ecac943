#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>

// Path hashes back to relative paths ("HashToFile.xmp"): text lines
// "key=path", the key a decimal path hash, the path UTF-8 with "\" between
// folders. Lines are separated by "\n"; a "\r" ends the path.
class PathMap {
public:
    // Paths from the server become files and folders on disk: one longer
    // than a Windows path can be, or nested deeper than any real client, is
    // refused before anything is created for it.
    static constexpr size_t kMaxPathLength = 259;  // UTF-16 units, MAX_PATH less the terminator
    static constexpr size_t kMaxPathDepth = 32;    // folders and the file

    // Replaces the entries with the file's. Lines without exactly two
    // non-empty parts around "=" are skipped. A path that would leave the
    // folder it is joined to (absolute, drive, ".."), or that is too long or
    // too deep, is logged and refused: its key has no path. A later line
    // with the same key wins. False when the file cannot be read.
    bool Load(const std::wstring& file);

    // The UTF-8 path filed under the key, or the empty text.
    std::string PathOf(uint64_t key) const;
    // True when the key's last line was refused.
    bool IsRefused(uint64_t key) const;

    const std::wstring& FileName() const { return fileName_; }
    size_t Size() const { return paths_.size(); }

private:
    std::wstring fileName_;
    std::map<std::string, std::string> paths_;  // by the key's text, as written
    std::set<std::string> refused_;             // keys whose path was refused
};
