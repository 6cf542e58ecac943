// Internal to the package extractor: writes the unpacked entries on a thread
// of its own, so that the disk's waits (creating, flushing and renaming each
// file) overlap the decoding instead of adding to it.
#pragma once
#include "common/package_extractor.h"
#include "common/staged_file.h"
#include "common/win.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

// True once the flag (if any) is raised.
bool StopRaised(const std::atomic<bool>* stop);

class PackageEntryWriter {
public:
    // Entries are named by their index into names and outputs; done, when
    // given, grows by 1 as the writing of each entry begins. Held-back
    // entries replace their targets only when the writer is closed.
    PackageEntryWriter(const std::wstring& archive, const std::vector<std::wstring>& names,
                       const std::vector<std::wstring>& outputs, const PackageExtractor::EntryCheck& check,
                       const PackageExtractor::EntryFilter& deferred, const std::atomic<bool>* stop,
                       std::atomic<int>* done);
    ~PackageEntryWriter();
    PackageEntryWriter(const PackageEntryWriter&) = delete;
    PackageEntryWriter& operator=(const PackageEntryWriter&) = delete;

    // Starts the thread; without one, every call below does its work at once.
    void Start();

    // In archive order, from one thread. Each is false once writing failed
    // (the reason is logged) or stopped.
    bool Folder(uint32_t entry);
    // Copies the bytes; waits while the queue is full.
    bool Write(uint32_t entry, const uint8_t* data, size_t size);
    // The entry is complete: checked, then moved over its target.
    bool End(uint32_t entry);
    // The entry's bytes are incomplete: thrown away, the target left as it was.
    void Abandon(uint32_t entry);

    bool Failed() const { return failed_.load(); }
    // Waits until everything queued was done; with commitHeld, and nothing
    // failed, moves the held-back entries in. kExtractOk, kExtractFailed or
    // kExtractStopped.
    int Close(bool commitHeld = false);

private:
    enum class Kind { kFolder, kData, kEnd, kAbandon };
    struct Item {
        uint32_t entry;
        Kind kind;
        int slot;  // -1: no data, or the data passed directly
        size_t size;
    };

    static unsigned __stdcall ThreadProc(void* self);
    void Run();
    bool Push(const Item& item, const uint8_t* data);
    int TakeSlot();
    void Process(const Item& item, const uint8_t* data);
    void Fail(uint32_t entry, const std::string& why);
    void Halt(int result);

    const std::wstring& archive_;
    const std::vector<std::wstring>& names_;
    const std::vector<std::wstring>& outputs_;
    const PackageExtractor::EntryCheck& check_;
    const PackageExtractor::EntryFilter& deferred_;
    const std::atomic<bool>* stop_;
    std::atomic<int>* done_;

    // Written by the writer only.
    uint32_t current_ = 0xFFFFFFFF;
    std::unique_ptr<StagedFile> staged_;
    std::vector<std::unique_ptr<StagedFile>> held_;

    std::atomic<bool> failed_{false};  // failed or stopped: nothing more is written
    int result_ = kExtractOk;
    HANDLE thread_ = nullptr;
    CRITICAL_SECTION lock_;
    CONDITION_VARIABLE itemReady_;
    CONDITION_VARIABLE slotFree_;
    std::deque<Item> queue_;
    std::vector<int> freeSlots_;
    std::unique_ptr<uint8_t[]> slots_;
    bool closing_ = false;
};
