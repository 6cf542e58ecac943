#include "common/win.h"

#include <gtest/gtest.h>

namespace {

DWORD WINAPI BlockForever(void*) {
    Sleep(INFINITE);
    return 0;
}

// The process ends a moment after these threads were made, while some are
// still starting; it must still end cleanly (ctest sees how it ended).
TEST(TestMain, ThreadsMadeJustBeforeTheEndLetTheProcessEndCleanly) {
    for (int i = 0; i < 16; ++i) {
        HANDLE thread = CreateThread(nullptr, 0, &BlockForever, nullptr, 0, nullptr);
        ASSERT_NE(thread, nullptr);
        CloseHandle(thread);
    }
    SCOPED_TRACE("starts the test framework's own thread as well");
}

}  // namespace
