#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// Results of the extraction functions.
constexpr int kExtractOk = 0;
constexpr int kExtractFailed = 1;

// Unpacks every file entry of a package (a ".pkg" file or
// "Tmp/DownloadTmp.xmp", both 7z archives) under a destination folder,
// creating the folders on the way. Each file is written beside its target
// under a temporary name and renamed over it only once complete, so a
// failure never leaves a torn file. Entries whose names would leave the
// destination (absolute, drive letter, leading separator, "..") make the
// whole package refused before anything is written. 0 on success, 1 on any
// failure (missing or damaged package, an entry that cannot be written).
int ExtractAll(const std::wstring& archive, const std::wstring& destination);

// The same, counting for a progress display: before the first entry done is
// 0 and total the number of entries; done grows by 1 as each entry begins.
int ExtractWithProgress(const std::wstring& archive, std::atomic<int>& done,
                        const std::wstring& destination, std::atomic<int>& total);

// An entry name in the ANSI code page ("_" for what it cannot show), for log
// lines. 0, 2 (no memory) or 11 (the conversion failed).
int EntryNameToNarrow(const std::wstring& name, std::string& narrow);

// An open package: the archive file, its decoded directory and the last
// decoded block, which entries of one solid block share.
class PackageFile {
public:
    PackageFile();
    ~PackageFile();
    PackageFile(const PackageFile&) = delete;
    PackageFile& operator=(const PackageFile&) = delete;

    // False, with a log line, when the file is missing or no readable archive.
    bool Open(const std::wstring& path);
    void Close();

    uint32_t EntryCount() const;
    // The entry's name as stored (UTF-16, "/" or "\" between folders).
    std::wstring EntryName(uint32_t index) const;
    bool IsFolder(uint32_t index) const;
    // Decodes a file entry; data points into the block cache and stays valid
    // until the next Read or Close. False on a decode or checksum error.
    bool Read(uint32_t index, const uint8_t*& data, size_t& size);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Extraction with an optional last check of each file's contents before it
// replaces its target (a digest comparison, for instance).
class PackageExtractor {
public:
    // Full output path, decoded bytes; false refuses the entry and fails the
    // extraction, leaving the target as it was.
    using EntryCheck = std::function<bool(const std::wstring& outputPath, const uint8_t* data, size_t size)>;

    void SetEntryCheck(EntryCheck check) { check_ = std::move(check); }

    // Progress counters are optional (null when not wanted).
    int Extract(const std::wstring& archive, const std::wstring& destination,
                std::atomic<int>* done = nullptr, std::atomic<int>* total = nullptr) const;

private:
    EntryCheck check_;
};
