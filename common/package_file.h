#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// An open package (a 7z archive): its entries by index, in archive order.
class PackageFile {
public:
    // Receives an entry's bytes piece by piece, in order; false stops reading.
    using Sink = std::function<bool(const uint8_t* data, size_t size)>;

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
    uint64_t EntrySize(uint32_t index) const;

    // Decodes a file entry into the sink, in pieces of bounded size. False,
    // with a log line, on a decode error, a checksum that does not match or a
    // method that is not decoded; the pieces delivered by then must be thrown
    // away. Reading the entries in archive order decodes every solid block once.
    bool ReadEntry(uint32_t index, const Sink& sink);

    // Whether the last Open or ReadEntry failed for lack of memory, which
    // fetching the package again would not cure.
    bool LackedMemory() const { return lackedMemory_; }

private:
    struct State;
    std::unique_ptr<State> state_;
    bool lackedMemory_ = false;
};

// Caps the bytes that package readers may hold allocated at once (0: no cap,
// the default): a way to run them short of memory on purpose.
void SetPackageMemoryLimit(size_t bytes);
