// The main window's message handling, driven without a native window.
#include "common/protocol_deal.h"
#include "launcher/close_flag.h"
#include "launcher/main_window.h"
#include "tests/unit/common/test_files.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

LRESULT Deliver(MainWindow& window, UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = false;
    return window.HandleCustomMessage(message, wParam, lParam, handled);
}

TEST(MainWindowMessagesTest, TakesOnlyItsOwnTimersAndLeavesMovesToTheFramework) {
    const std::wstring folder = ScratchFolder(L"main_window_timers");
    MainWindow window(folder);
    window.ParseCommandLine(L"ID=7");
    EXPECT_EQ(GetMainWindow(), &window);

    struct Case {
        UINT message;
        WPARAM wParam;
        bool handled;
    } cases[] = {
        {WM_TIMER, MainWindow::kChannelTimer, true},
        {WM_TIMER, MainWindow::kPageReloadTimer, true},
        {WM_TIMER, 17, false},      // a control's timer
        {WM_TIMER, 271, false},     // another control's, after the wrap
        {WM_TIMER, 0x2000, false},  // the layered repaint
        {WM_TIMER, 1002, false},
        {WM_WINDOWPOSCHANGED, 0, false},
        {WM_SIZE, 0, false},
        {WM_MOUSEMOVE, 0, false},
    };
    WINDOWPOS position = {};
    for (const Case& c : cases) {
        bool handled = true;
        Deliver(window, c.message, c.wParam, reinterpret_cast<LPARAM>(&position), handled);
        EXPECT_EQ(handled, c.handled) << "message 0x" << std::hex << c.message << " id " << std::dec << c.wParam;
    }

    EXPECT_FALSE(window.CloseAllowed());
    EXPECT_FALSE(ReadCloseAllowed(folder, L"7"));
    bool handled = false;
    Deliver(window, WM_TIMER, MainWindow::kCloseFlagTimer, 0, handled);
    EXPECT_TRUE(handled);
    EXPECT_TRUE(window.CloseAllowed());
    EXPECT_TRUE(ReadCloseAllowed(folder, L"7"));
    EXPECT_FALSE(ReadCloseAllowed(folder, L"8"));
}

TEST(MainWindowMessagesTest, QueuedFramesReachTheConversationOnlyOnTheTimer) {
    MainWindow window(ScratchFolder(L"main_window_frames"));
    ProtocolDeal codec;
    auto send = [&](std::vector<uint8_t> bytes) {
        COPYDATASTRUCT data = {};
        data.dwData = kChannelCopyDataId;
        data.cbData = static_cast<DWORD>(bytes.size());
        data.lpData = bytes.empty() ? nullptr : bytes.data();
        bool handled = false;
        EXPECT_EQ(Deliver(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), handled), 0);
        EXPECT_TRUE(handled);
    };
    ChannelIntRecord ready = {eCallBackType_PreDownloadReady};
    std::vector<uint8_t> frame;
    ASSERT_GT(codec.EncodeFrame(CF_CALLBACK_TYPE, &ready, frame), 0);
    send(std::vector<uint8_t>());  // no payload: ignored
    send(frame);
    EXPECT_FALSE(window.Conversation().engineReady());  // nothing happens inside WM_COPYDATA

    bool handled = false;
    Deliver(window, WM_TIMER, MainWindow::kChannelTimer, 0, handled);
    EXPECT_TRUE(handled);
    EXPECT_TRUE(window.Conversation().engineReady());
}

TEST(MainWindowMessagesTest, TheObjectIsReachableOnlyWhileItLives) {
    {
        MainWindow window(L"");
        EXPECT_EQ(GetMainWindow(), &window);
    }
    EXPECT_EQ(GetMainWindow(), nullptr);
}

}  // namespace
