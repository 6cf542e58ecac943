#include "common/package_extractor.h"

#include "common/common_log.h"
#include "common/file_util.h"
#include "common/package_entry_writer.h"

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

int Fail(const std::wstring& archive, const std::wstring& entry, const std::string& why,
         int result = kExtractFailed) {
    CommonLog("package " + Narrow(archive) + ": entry \"" + Narrow(entry) + "\" " + why);
    return result;
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
    if (!package.Open(archive)) return package.LackedMemory() ? kExtractNoMemory : kExtractFailed;
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

    std::vector<std::wstring> outputs(count);
    for (uint32_t i = 0; i < count; ++i) outputs[i] = OutputPath(destination, names[i]);
    PackageEntryWriter writer(archive, names, outputs, check_, deferred_, stop_, done);
    writer.Start();
    int result = kExtractOk;
    for (uint32_t i = 0; i < count && !writer.Failed(); ++i) {
        if (StopRaised(stop_)) {
            result = kExtractStopped;
            break;
        }
        if (package.IsFolder(i)) {
            writer.Folder(i);
            continue;
        }
        bool halted = false;
        bool read = package.ReadEntry(i, [&](const uint8_t* data, size_t size) {
            if (StopRaised(stop_)) {
                halted = true;
                return false;
            }
            return writer.Write(i, data, size);
        });
        if (read) {
            writer.End(i);
            continue;
        }
        writer.Abandon(i);
        if (halted) {
            result = kExtractStopped;
        } else if (!writer.Failed()) {
            // A failure of the writer's own is logged where it happened.
            result = Fail(archive, names[i], "stopped the extraction",
                          package.LackedMemory() ? kExtractNoMemory : kExtractFailed);
        }
        break;
    }
    int written = writer.Close(result == kExtractOk);
    if (result == kExtractOk) result = written;
    if (result == kExtractStopped) CommonLog("package " + Narrow(archive) + ": extraction stopped on request");
    return result;
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
