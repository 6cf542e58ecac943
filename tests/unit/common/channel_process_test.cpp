// Two real processes exchanging every message type over WM_COPYDATA.
#include "common/process_util.h"
#include "common/protocol_deal.h"
#include "hung_window.h"
#include "log_capture.h"
#include "test_paths.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <string>
#include <vector>

namespace {

std::deque<std::pair<WPARAM, std::vector<uint8_t>>> g_inbox;

LRESULT CALLBACK TestProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        g_inbox.emplace_back(wParam, CopyDataFrame::Copy(reinterpret_cast<COPYDATASTRUCT*>(lParam)));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Pumps messages until a frame arrives or the time runs out.
bool WaitForFrame(std::pair<WPARAM, std::vector<uint8_t>>& out, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        if (!g_inbox.empty()) {
            out = std::move(g_inbox.front());
            g_inbox.pop_front();
            return true;
        }
        Sleep(2);
    }
    return false;
}

TEST(ChannelProcesses, AllSevenTypesCrossBetweenProcesses) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = TestProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"qtest_channel_host";
    RegisterClassW(&wc);
    HWND self = CreateWindowW(wc.lpszClassName, L"host", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                              wc.hInstance, nullptr);
    ASSERT_NE(self, nullptr);

    DWORD pid = RunProgram(TestExeFolder() + L"qtest_channel_peer.exe",
                           std::to_wstring(WindowToChannel(self)), TestExeFolder(), SW_HIDE, false);
    ASSERT_NE(pid, 0u);

    ProtocolDeal deal;
    std::vector<std::pair<uint32_t, std::vector<uint8_t>>> received;  // type, decoded record
    for (uint32_t type = CF_NOTIFY_WND; type <= CF_CORE_TEXT; ++type) {
        deal.RegisterHandler(type, [&received, type](WPARAM, const void* record, int32_t size) {
            const auto* bytes = static_cast<const uint8_t*>(record);
            received.emplace_back(type, std::vector<uint8_t>(bytes, bytes + size));
        });
    }

    std::pair<WPARAM, std::vector<uint8_t>> frame;
    ASSERT_TRUE(WaitForFrame(frame, 20000)) << "no greeting from the peer";
    ASSERT_TRUE(deal.OnReceive(frame.first, frame.second.data(), static_cast<int32_t>(frame.second.size())));
    ASSERT_EQ(received.size(), 1u);
    ChannelIntRecord greeting;
    std::memcpy(&greeting, received[0].second.data(), sizeof(greeting));
    HWND peer = ChannelToWindow(greeting.value);
    EXPECT_TRUE(IsWindow(peer));
    EXPECT_EQ(frame.first, reinterpret_cast<WPARAM>(peer));  // the sender's identity rides in wParam
    received.clear();

    ChannelIntRecord wnd = {WindowToChannel(self)};
    ChannelIntRecord callback = {eCallBackType_LaunchClient};
    ChannelSlotTextRecord slot = {};
    slot.slot = 3;
    std::strcpy(slot.text, "\xE6\x9B\xB4\xE6\x96\xB0\xE4\xB8\xAD 42%");
    ChannelProgressRecord progress = {37, 100};
    ChannelSlotTextRecord action = {};
    action.slot = eActionType_CheckVer;
    std::strcpy(action.text, "1001");
    ChannelTextRecord launcherText = {};
    std::strcpy(launcherText.text, "launcher");
    ChannelTextRecord coreText = {};
    std::memset(coreText.text, 'c', 1023);
    struct Sent {
        uint32_t type;
        const void* record;
        size_t size;
    } sent[] = {{CF_NOTIFY_WND, &wnd, 4},          {CF_CALLBACK_TYPE, &callback, 4},
                {CF_TEXT_SLOT, &slot, 1028},        {CF_PROGRESS, &progress, 8},
                {CF_ACTION, &action, 1028},         {CF_LAUNCHER_TEXT, &launcherText, 1024},
                {CF_CORE_TEXT, &coreText, 1024}};
    for (const Sent& s : sent) {
        EXPECT_EQ(deal.SendCopyData(peer, s.type, s.record, reinterpret_cast<WPARAM>(self)), 0u);
        ASSERT_TRUE(WaitForFrame(frame, 20000)) << "no echo of type " << s.type;
        EXPECT_EQ(frame.first, reinterpret_cast<WPARAM>(peer));
        ASSERT_TRUE(deal.OnReceive(frame.first, frame.second.data(), static_cast<int32_t>(frame.second.size())));
        ASSERT_EQ(received.size(), 1u);
        EXPECT_EQ(received[0].first, s.type);
        ASSERT_EQ(received[0].second.size(), s.size);
        // Compare the meaningful bytes: integers, and texts up to their terminator.
        const auto* expected = static_cast<const uint8_t*>(s.record);
        if (s.size == 4 || s.size == 8) {
            EXPECT_EQ(std::memcmp(received[0].second.data(), expected, s.size), 0) << "type " << s.type;
        } else {
            size_t offset = s.size == 1028 ? 4 : 0;
            EXPECT_EQ(std::memcmp(received[0].second.data(), expected, offset), 0);
            EXPECT_STREQ(reinterpret_cast<const char*>(received[0].second.data() + offset),
                         reinterpret_cast<const char*>(expected + offset))
                << "type " << s.type;
        }
        received.clear();
    }
    DestroyWindow(self);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (process != nullptr) {
        EXPECT_EQ(WaitForSingleObject(process, 20000), WAIT_OBJECT_0) << "the peer did not end with its host";
        CloseHandle(process);
    }
    // The peer's window went with it: a send to it is no delivery.
    ASSERT_FALSE(IsWindow(peer));
    EXPECT_EQ(deal.SendCopyData(peer, CF_CALLBACK_TYPE, &callback, 0), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

// A receiver that takes no message (hung, suspended, or never pumping) must
// not hold the sender: the engine serves every other launcher from the same
// thread, and the launcher paints from it.
TEST(ChannelSend, AReceiverThatTakesNoMessageIsGivenUpWithinTheBound) {
    HungWindow hung;
    ASSERT_NE(hung.window(), nullptr);
    LogCapture log;
    ProtocolDeal* deal = new ProtocolDeal;  // large tables: never on the stack
    ChannelIntRecord callback = {eCallBackType_PreDownloadReady};
    const DWORD start = GetTickCount();
    EXPECT_EQ(deal->SendCopyData(hung.window(), CF_CALLBACK_TYPE, &callback, 0), static_cast<DWORD>(ERROR_TIMEOUT));
    // The bound with room for a loaded machine, far below the hung thread's release.
    EXPECT_LT(GetTickCount() - start, ProtocolDeal::kSendTimeoutMs + 15000);
    EXPECT_TRUE(log.Has("WM_COPYDATA of type 2 to window")) << (log.Lines().empty() ? "" : log.Lines()[0]);
    delete deal;
}

}  // namespace
