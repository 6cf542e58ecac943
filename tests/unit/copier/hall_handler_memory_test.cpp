#include "copier/client_proc.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

// Allocation can be made to fail for this test executable: the hall
// library calls the handlers from its own code, where an exception must
// never arrive.
namespace {
std::atomic<bool> failAllocations{false};
}  // namespace

void* operator new(std::size_t size) {
    if (failAllocations.load()) throw std::bad_alloc();
    if (void* memory = std::malloc(size != 0 ? size : 1)) return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace {

class FailingAllocations {
public:
    FailingAllocations() { failAllocations.store(true); }
    ~FailingAllocations() { failAllocations.store(false); }
};

TEST(HallHandlers, NoExceptionReachesTheLibraryWhenMemoryRunsOut) {
    ClientProc client(L".");
    // A body too long to be kept inside the string object itself.
    const int32_t length = 100;
    std::vector<char> record(kProcMsgHeaderSize + length, 'x');
    const int32_t header[2] = {HALL_MSG_PROCPARA, length};
    std::memcpy(record.data(), header, sizeof(header));
    const ProcMsg* message = reinterpret_cast<const ProcMsg*>(record.data());
    bool escaped = false;
    {
        FailingAllocations failing;
        try {
            client.OnConnected();
            client.OnMessage(nullptr, static_cast<int>(record.size()), message);
            client.OnClosed();
        } catch (...) {
            escaped = true;
        }
    }
    EXPECT_FALSE(escaped);

    // Once memory is back the handlers queue as before.
    client.OnClosed();
    HallEvent event;
    bool closed = false;
    while (client.TakeHallEvent(event)) closed = event.kind == HallEvent::kClosed;
    EXPECT_TRUE(closed);
}

}  // namespace
