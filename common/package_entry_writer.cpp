#include "common/package_entry_writer.h"

#include "common/common_log.h"
#include "common/file_util.h"

#include <process.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// Room for a few decoded pieces: enough to ride out a flush, small beside
// the dictionary.
constexpr int kSlotCount = 16;
constexpr size_t kSlotSize = 1 << 18;

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    EntryNameToNarrow(text, narrow);
    return narrow;
}

}  // namespace

bool StopRaised(const std::atomic<bool>* stop) { return stop != nullptr && stop->load(); }

PackageEntryWriter::PackageEntryWriter(const std::wstring& archive, const std::vector<std::wstring>& names,
                                       const std::vector<std::wstring>& outputs,
                                       const PackageExtractor::EntryCheck& check,
                                       const PackageExtractor::EntryFilter& deferred, const std::atomic<bool>* stop,
                                       std::atomic<int>* done)
    : archive_(archive),
      names_(names),
      outputs_(outputs),
      check_(check),
      deferred_(deferred),
      stop_(stop),
      done_(done) {
    InitializeCriticalSection(&lock_);
    InitializeConditionVariable(&itemReady_);
    InitializeConditionVariable(&slotFree_);
}

PackageEntryWriter::~PackageEntryWriter() {
    Close();
    DeleteCriticalSection(&lock_);
}

void PackageEntryWriter::Start() {
    slots_.reset(new (std::nothrow) uint8_t[kSlotCount * kSlotSize]);
    if (!slots_) return;
    for (int i = kSlotCount - 1; i >= 0; --i) freeSlots_.push_back(i);
    uintptr_t handle = _beginthreadex(nullptr, 0, &PackageEntryWriter::ThreadProc, this, 0, nullptr);
    if (handle == 0) {
        slots_.reset();
        freeSlots_.clear();
        return;
    }
    thread_ = reinterpret_cast<HANDLE>(handle);
}

unsigned __stdcall PackageEntryWriter::ThreadProc(void* self) {
    try {
        static_cast<PackageEntryWriter*>(self)->Run();
    } catch (...) {
        PackageEntryWriter* writer = static_cast<PackageEntryWriter*>(self);
        EnterCriticalSection(&writer->lock_);
        if (!writer->failed_) writer->result_ = kExtractFailed;
        writer->failed_ = true;
        writer->queue_.clear();
        LeaveCriticalSection(&writer->lock_);
        WakeAllConditionVariable(&writer->slotFree_);
    }
    return 0;
}

void PackageEntryWriter::Run() {
    for (;;) {
        EnterCriticalSection(&lock_);
        while (queue_.empty() && !closing_) SleepConditionVariableCS(&itemReady_, &lock_, INFINITE);
        if (queue_.empty()) {
            LeaveCriticalSection(&lock_);
            return;
        }
        Item item = queue_.front();
        queue_.pop_front();
        LeaveCriticalSection(&lock_);

        Process(item, item.slot < 0 ? nullptr : slots_.get() + static_cast<size_t>(item.slot) * kSlotSize);
        if (item.slot >= 0) {
            EnterCriticalSection(&lock_);
            freeSlots_.push_back(item.slot);
            LeaveCriticalSection(&lock_);
            WakeConditionVariable(&slotFree_);
        }
    }
}

bool PackageEntryWriter::Push(const Item& item, const uint8_t* data) {
    if (thread_ == nullptr) {
        Process(item, data);
        return !failed_;
    }
    EnterCriticalSection(&lock_);
    queue_.push_back(item);
    LeaveCriticalSection(&lock_);
    WakeConditionVariable(&itemReady_);
    return !failed_;
}

int PackageEntryWriter::TakeSlot() {
    EnterCriticalSection(&lock_);
    while (freeSlots_.empty() && !failed_) SleepConditionVariableCS(&slotFree_, &lock_, INFINITE);
    int slot = -1;
    if (!failed_) {
        slot = freeSlots_.back();
        freeSlots_.pop_back();
    }
    LeaveCriticalSection(&lock_);
    return slot;
}

bool PackageEntryWriter::Folder(uint32_t entry) { return Push(Item{entry, Kind::kFolder, -1, 0}, nullptr); }

bool PackageEntryWriter::Write(uint32_t entry, const uint8_t* data, size_t size) {
    if (thread_ == nullptr) return Push(Item{entry, Kind::kData, -1, size}, data);
    while (size > 0) {
        int slot = TakeSlot();
        if (slot < 0) return false;
        size_t piece = std::min(size, kSlotSize);
        std::memcpy(slots_.get() + static_cast<size_t>(slot) * kSlotSize, data, piece);
        if (!Push(Item{entry, Kind::kData, slot, piece}, nullptr)) return false;
        data += piece;
        size -= piece;
    }
    return !failed_;
}

bool PackageEntryWriter::End(uint32_t entry) { return Push(Item{entry, Kind::kEnd, -1, 0}, nullptr); }

void PackageEntryWriter::Abandon(uint32_t entry) { Push(Item{entry, Kind::kAbandon, -1, 0}, nullptr); }

int PackageEntryWriter::Close(bool commitHeld) {
    if (thread_ != nullptr) {
        EnterCriticalSection(&lock_);
        closing_ = true;
        LeaveCriticalSection(&lock_);
        WakeConditionVariable(&itemReady_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    staged_.reset();  // an entry never ended leaves no temporary file
    if (commitHeld && !failed_ && StopRaised(stop_)) Halt(kExtractStopped);
    if (commitHeld && !failed_) {
        for (std::unique_ptr<StagedFile>& held : held_) {
            if (!held->Commit()) {
                DWORD error = GetLastError();
                CommonLog("package " + Narrow(archive_) + ": " + Narrow(held->TemporaryPath()) +
                          " cannot be moved in place (error " + std::to_string(error) + ")");
                Halt(kExtractFailed);
                break;
            }
        }
    }
    held_.clear();  // what was not moved in leaves no temporary file
    return result_;
}

void PackageEntryWriter::Fail(uint32_t entry, const std::string& why) {
    CommonLog("package " + Narrow(archive_) + ": entry \"" + Narrow(names_[entry]) + "\" " + why);
    Halt(kExtractFailed);
}

void PackageEntryWriter::Halt(int result) {
    staged_.reset();
    // Under the lock, so that a decoder waiting for room learns of it at once.
    EnterCriticalSection(&lock_);
    if (!failed_) result_ = result;
    failed_ = true;
    LeaveCriticalSection(&lock_);
    WakeAllConditionVariable(&slotFree_);
}

void PackageEntryWriter::Process(const Item& item, const uint8_t* data) {
    if (failed_) return;  // what was queued after a failure is dropped
    if (StopRaised(stop_)) return Halt(kExtractStopped);
    const std::wstring& output = outputs_[item.entry];
    if (item.entry != current_) {
        current_ = item.entry;
        staged_.reset();
        if (done_ != nullptr) done_->fetch_add(1);
        if (item.kind == Kind::kFolder) {
            MakeDirectoryChain(output);
            return;
        }
        if (item.kind == Kind::kAbandon) return;
        staged_.reset(new (std::nothrow) StagedFile(output));
        if (!staged_ || !MakeDirectoryChain(output) || !staged_->Open()) {
            DWORD error = GetLastError();
            return Fail(item.entry, "cannot be created as " + Narrow(output) + " (error " + std::to_string(error) + ")");
        }
    }
    if (!staged_) return;
    switch (item.kind) {
    case Kind::kData:
        if (!staged_->Write(data, item.size)) {
            DWORD error = GetLastError();
            Fail(item.entry, "cannot be written to " + Narrow(staged_->TemporaryPath()) + " (error " +
                                 std::to_string(error) + ")");
        }
        break;
    case Kind::kEnd:
        if (!staged_->Finish()) {
            DWORD error = GetLastError();
            Fail(item.entry, "cannot be written to " + Narrow(staged_->TemporaryPath()) + " (error " +
                                 std::to_string(error) + ")");
        } else if (check_ && !check_(output, staged_->TemporaryPath())) {
            if (StopRaised(stop_)) {
                Halt(kExtractStopped);
            } else {
                Fail(item.entry, "refused by its check");
            }
        } else if (deferred_ && deferred_(names_[item.entry])) {
            held_.push_back(std::move(staged_));
        } else if (!staged_->Commit()) {
            DWORD error = GetLastError();
            Fail(item.entry, "cannot replace " + Narrow(output) + " (error " + std::to_string(error) + ")");
        } else {
            staged_.reset();
        }
        break;
    case Kind::kAbandon:
    case Kind::kFolder:
        staged_.reset();
        break;
    }
}
