#include "engine/engine_window.h"

#include "common/protocol_deal.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(EngineWindowTest, StaysHiddenAndHandsOverCopyData) {
    std::vector<std::pair<WPARAM, std::vector<uint8_t>>> received;
    EngineWindow window;
    ASSERT_TRUE(window.Create(GetModuleHandleW(nullptr), [&](WPARAM sender, const COPYDATASTRUCT* data) {
        received.emplace_back(sender, CopyDataFrame::Copy(data));
    }));
    ASSERT_TRUE(IsWindow(window.Handle()));
    EXPECT_FALSE(IsWindowVisible(window.Handle()));
    wchar_t className[64] = {};
    GetClassNameW(window.Handle(), className, 64);
    EXPECT_STREQ(className, L"TIDEMILL");

    char payload[] = "\x00\x07\x00\x00\x00\x00\x00\x02hi";
    COPYDATASTRUCT data = {kChannelCopyDataId, 10, payload};
    EXPECT_EQ(SendMessageW(window.Handle(), WM_COPYDATA, 77, reinterpret_cast<LPARAM>(&data)), 0);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].first, 77u);
    EXPECT_EQ(received[0].second, std::vector<uint8_t>(payload, payload + 10));

    // Destroying the window ends nothing by itself but posts WM_QUIT.
    SendMessageW(window.Handle(), WM_COMMAND, 105, 0);
    EXPECT_EQ(window.Handle(), nullptr);
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

}  // namespace
