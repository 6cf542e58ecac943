#include "common/package_extractor.h"

#include "common/common_log.h"
#include "common/file_util.h"
#include "common/staged_file.h"

#include <memory>
#include <new>
#include <vector>

namespace {

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    EntryNameToNarrow(text, narrow);
    return narrow;
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::wstring OutputPath(const std::wstring& destination, const std::wstring& entryName) {
    std::wstring path = destination;
    if (!path.empty() && !IsSeparator(path.back())) path += L'\\';
    for (wchar_t c : entryName) path += (c == L'/') ? L'\\' : c;
    return path;
}

int Fail(const std::wstring& archive, const std::wstring& entry, const std::string& why) {
    CommonLog("package " + Narrow(archive) + ": entry \"" + Narrow(entry) + "\" " + why);
    return kExtractFailed;
}

bool StopRaised(const std::atomic<bool>* stop) { return stop != nullptr && stop->load(); }

int Stopped(const std::wstring& archive) {
    CommonLog("package " + Narrow(archive) + ": extraction stopped on request");
    return kExtractStopped;
}

// A whole block from the decoder's cache arrives as one piece: it is written
// in slices so that a stop request is seen between them.
constexpr size_t kWriteSlice = 1 << 20;

bool WritePiece(StagedFile& staged, const uint8_t* data, size_t size, const std::atomic<bool>* stop,
                bool& halted) {
    while (size > 0) {
        if (StopRaised(stop)) {
            halted = true;
            return false;
        }
        size_t slice = size < kWriteSlice ? size : kWriteSlice;
        if (!staged.Write(data, slice)) return false;
        data += slice;
        size -= slice;
    }
    return true;
}

}  // namespace

int EntryNameToNarrow(const std::wstring& name, std::string& narrow) {
    narrow.clear();
    if (name.empty()) return 0;
    size_t capacity = 3 * name.size() + 100;
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[capacity]);
    if (!buffer) return 2;
    int written = WideCharToMultiByte(CP_ACP, 0, name.data(), static_cast<int>(name.size()), buffer.get(),
                                      static_cast<int>(capacity), "_", nullptr);
    if (written <= 0) return 11;
    narrow.assign(buffer.get(), static_cast<size_t>(written));
    return 0;
}

int PackageExtractor::Extract(const std::wstring& archive, const std::wstring& destination,
                              std::atomic<int>* done, std::atomic<int>* total) const {
    PackageFile package;
    if (!package.Open(archive)) return kExtractFailed;
    uint32_t count = package.EntryCount();
    if (done != nullptr) done->store(0);
    if (total != nullptr) total->store(static_cast<int>(count));

    // Names are checked before anything is written: a hostile package
    // leaves nothing behind, inside the destination or outside it.
    std::vector<std::wstring> names(count);
    for (uint32_t i = 0; i < count; ++i) {
        names[i] = package.EntryName(i);
        if (!IsSafeRelativePath(names[i]))
            return Fail(archive, names[i], "would leave the destination; package refused");
    }

    // Held-back entries, complete beside their targets until the end.
    std::vector<std::unique_ptr<StagedFile>> deferred;
    for (uint32_t i = 0; i < count; ++i) {
        if (StopRaised(stop_)) return Stopped(archive);
        if (done != nullptr) done->fetch_add(1);
        std::wstring output = OutputPath(destination, names[i]);
        if (package.IsFolder(i)) {
            MakeDirectoryChain(output);
            continue;
        }
        std::unique_ptr<StagedFile> owner(new StagedFile(output));
        StagedFile& staged = *owner;
        if (!MakeDirectoryChain(output) || !staged.Open()) {
            DWORD error = GetLastError();
            return Fail(archive, names[i], "cannot be created as " + Narrow(output) + " (error " +
                                               std::to_string(error) + ")");
        }
        bool written = true;
        bool halted = false;
        bool read = package.ReadEntry(i, [&](const uint8_t* data, size_t size) {
            written = WritePiece(staged, data, size, stop_, halted);
            return written;
        });
        if (halted) return Stopped(archive);
        if (!written || (read && !staged.Finish())) {
            DWORD error = GetLastError();
            return Fail(archive, names[i], "cannot be written to " + Narrow(staged.TemporaryPath()) + " (error " +
                                               std::to_string(error) + ")");
        }
        if (!read) return Fail(archive, names[i], "stopped the extraction");
        if (check_ && !check_(output, staged.TemporaryPath())) {
            if (StopRaised(stop_)) return Stopped(archive);
            return Fail(archive, names[i], "refused by its check");
        }
        if (deferred_ && deferred_(names[i])) {
            deferred.push_back(std::move(owner));
            continue;
        }
        if (!staged.Commit()) {
            DWORD error = GetLastError();
            return Fail(archive, names[i], "cannot replace " + Narrow(output) + " (error " + std::to_string(error) +
                                               ")");
        }
    }
    if (StopRaised(stop_)) return Stopped(archive);
    for (auto& staged : deferred) {
        if (!staged->Commit()) {
            DWORD error = GetLastError();
            return Fail(archive, staged->TemporaryPath(), "cannot be moved in place (error " +
                                                              std::to_string(error) + ")");
        }
    }
    return kExtractOk;
}

int ExtractAll(const std::wstring& archive, const std::wstring& destination, const std::atomic<bool>* stop) {
    PackageExtractor extractor;
    extractor.SetStopFlag(stop);
    return extractor.Extract(archive, destination);
}

int ExtractWithProgress(const std::wstring& archive, std::atomic<int>& done, const std::wstring& destination,
                        std::atomic<int>& total, const std::atomic<bool>* stop) {
    PackageExtractor extractor;
    extractor.SetStopFlag(stop);
    return extractor.Extract(archive, destination, &done, &total);
}
