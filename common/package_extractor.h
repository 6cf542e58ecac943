#pragma once
#include "common/package_file.h"

#include <atomic>
#include <functional>
#include <string>

// Results of the extraction functions.
constexpr int kExtractOk = 0;
constexpr int kExtractFailed = 1;
constexpr int kExtractStopped = 2;  // only with a stop flag, once it was raised
// Not enough memory to decode the package: fetching it again would not help.
constexpr int kExtractNoMemory = 3;

// Unpacks every file entry of a package (a ".pkg" file or
// "Tmp/DownloadTmp.xmp", both 7z archives) under a destination folder,
// creating the folders on the way; a folder entry brings only the folders
// above it. Each file is written beside its target under a temporary name
// and renamed over it only once complete and checked, so a failure never
// leaves a torn file (files finished before a failure stay). Entries whose
// names would leave the destination (absolute, drive letter, leading
// separator, "..") make the whole package refused before anything is
// written. Names are used as stored, in UTF-16. 0 on success,
// kExtractNoMemory when the decoder lacked memory, 1 on any other failure
// (missing or damaged package, an entry that cannot be written).
// A stop flag, when given, is watched between entries and between the
// pieces of each: once it is raised the file in progress is thrown away
// and the result is kExtractStopped.
int ExtractAll(const std::wstring& archive, const std::wstring& destination,
               const std::atomic<bool>* stop = nullptr);

// The same, counting for a progress display: before the first entry done is
// 0 and total the number of entries; done grows by 1 as each entry begins.
int ExtractWithProgress(const std::wstring& archive, std::atomic<int>& done,
                        const std::wstring& destination, std::atomic<int>& total,
                        const std::atomic<bool>* stop = nullptr);

// An entry name in the ANSI code page ("_" for what it cannot show), for log
// lines. 0, 2 (no memory) or 11 (the conversion failed).
int EntryNameToNarrow(const std::wstring& name, std::string& narrow);

// Extraction with an optional last check of each finished file before it
// replaces its target (a digest comparison, for instance).
class PackageExtractor {
public:
    // Full output path and the complete temporary file beside it; false
    // refuses the entry and fails the extraction, leaving the target as it was.
    // Called on the thread that writes the files, one entry after the other;
    // Extract returns only after the last call.
    using EntryCheck = std::function<bool(const std::wstring& outputPath, const std::wstring& stagedPath)>;

    void SetEntryCheck(EntryCheck check) { check_ = std::move(check); }

    // Entry name as stored; true holds the entry back: it is written with the
    // others but replaces its target only after every other entry has, so it
    // is on disk only when the whole package is. Called where the check is.
    using EntryFilter = std::function<bool(const std::wstring& entryName)>;
    void SetDeferredEntries(EntryFilter deferred) { deferred_ = std::move(deferred); }

    void SetStopFlag(const std::atomic<bool>* stop) { stop_ = stop; }

    // Progress counters are optional (null when not wanted); done grows as
    // the writing of each entry begins.
    int Extract(const std::wstring& archive, const std::wstring& destination,
                std::atomic<int>* done = nullptr, std::atomic<int>* total = nullptr) const;

private:
    EntryCheck check_;
    EntryFilter deferred_;
    const std::atomic<bool>* stop_ = nullptr;
};
