// The main window's message handling, driven without a native window.
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
    MainWindow window;
    window.SetProgramFolder(folder);
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

TEST(MainWindowMessagesTest, QueuedFramesReachTheChannelInArrivalOrderOnTheTimer) {
    MainWindow window;
    std::vector<int32_t> callbacks;
    ASSERT_TRUE(window.Channel().RegisterHandler(CF_CALLBACK_TYPE, [&](WPARAM, const void* record, int32_t) {
        callbacks.push_back(static_cast<const ChannelIntRecord*>(record)->value);
    }));

    auto send = [&](std::vector<uint8_t> bytes) {
        COPYDATASTRUCT data = {};
        data.dwData = kChannelCopyDataId;
        data.cbData = static_cast<DWORD>(bytes.size());
        data.lpData = bytes.empty() ? nullptr : bytes.data();
        bool handled = false;
        EXPECT_EQ(Deliver(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), handled), 0);
        EXPECT_TRUE(handled);
    };
    auto callback = [&](int32_t value) {
        ChannelIntRecord record = {value};
        std::vector<uint8_t> frame;
        EXPECT_GT(window.Channel().EncodeFrame(CF_CALLBACK_TYPE, &record, frame), 0);
        return frame;
    };
    send(callback(0));
    send(callback(18));
    send(std::vector<uint8_t>());                                         // no payload: ignored
    std::vector<uint8_t> oversize = callback(5);
    oversize.resize(CopyDataQueue::kMaxPayloadBytes + 1);
    send(oversize);                                                       // dropped unread
    send(callback(11));
    EXPECT_TRUE(callbacks.empty());  // nothing happens inside WM_COPYDATA

    bool handled = false;
    Deliver(window, WM_TIMER, MainWindow::kChannelTimer, 0, handled);
    EXPECT_EQ(callbacks, (std::vector<int32_t>{0, 18, 11}));
    Deliver(window, WM_TIMER, MainWindow::kChannelTimer, 0, handled);
    EXPECT_EQ(callbacks.size(), 3u);
}

TEST(MainWindowMessagesTest, TheObjectIsReachableOnlyWhileItLives) {
    {
        MainWindow window;
        EXPECT_EQ(GetMainWindow(), &window);
    }
    EXPECT_EQ(GetMainWindow(), nullptr);
}

}  // namespace
