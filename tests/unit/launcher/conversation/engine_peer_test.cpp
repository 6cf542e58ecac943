// The conversation against a real second process: the channel peer greets
// like an engine and echoes every frame it receives, decoded and encoded
// again, so what comes back is what it understood.
#include "common/process_util.h"
#include "conversation_fakes.h"
#include "launcher/engine_conversation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

bool WaitForFrames(CaptureWindow& window, size_t count) {
    DWORD start = GetTickCount();
    while (window.frames.size() < count && GetTickCount() - start < 20000) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(2);
    }
    return window.frames.size() >= count;
}

void Feed(EngineConversation& conversation, const CaptureWindow::Frame& frame) {
    COPYDATASTRUCT data = {frame.id, static_cast<DWORD>(frame.bytes.size()),
                           const_cast<uint8_t*>(frame.bytes.data())};
    conversation.QueueCopyData(&data);
    conversation.OnTimer();
}

TEST(EngineConversationPeer, GreetingBothWaysAndTheServerChoiceCrossProcesses) {
    FakeHost host;
    FakeStarter starter;
    CaptureWindow main;
    EngineConversation conversation(host, L"C:\\games", starter);
    conversation.SetMainWindow(main.window());
    DWORD pid = RunProgram(TestExeFolder() + L"qtest_channel_peer.exe", std::to_wstring(WindowToChannel(main.window())),
                           TestExeFolder(), SW_HIDE, false);
    ASSERT_NE(pid, 0u);

    ASSERT_TRUE(WaitForFrames(main, 1)) << "no greeting from the peer";
    Feed(conversation, main.frames[0]);
    HWND peer = conversation.engineWindow();
    ASSERT_TRUE(IsWindow(peer));
    EXPECT_NE(peer, main.window());

    // Our answer, as the peer read it: our own window.
    ASSERT_TRUE(WaitForFrames(main, 2)) << "the answer did not reach the peer";
    std::vector<uint8_t> answer = {0x00, 0x01, 0, 0, 0, 0};
    std::vector<uint8_t> handle = BigEndian32(WindowToChannel(main.window()));
    answer.insert(answer.end(), handle.begin(), handle.end());
    EXPECT_EQ(main.frames[1].bytes, answer);
    EXPECT_EQ(main.frames[1].wParam, reinterpret_cast<WPARAM>(peer));

    // The engine ready, then a choice: the peer gets the server's ID.
    ProtocolDeal encoder;
    ChannelIntRecord ready = {eCallBackType_PreDownloadReady};
    std::vector<uint8_t> frame;
    encoder.EncodeFrame(CF_CALLBACK_TYPE, &ready, frame);
    Feed(conversation, {0, kChannelCopyDataId, frame});
    conversation.OnServerChosen(L"\x5317\x4eac 7", L"tok");
    ASSERT_TRUE(WaitForFrames(main, 3)) << "no CheckVer at the peer";
    std::vector<uint8_t> checkVer = {0x00, 0x05, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x08,
                                     0xE5, 0x8C, 0x97, 0xE4, 0xBA, 0xAC, ' ', '7'};
    EXPECT_EQ(main.frames[2].bytes, checkVer);

    DestroyWindow(main.window());  // the peer ends with its launcher
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (process != nullptr) {
        EXPECT_EQ(WaitForSingleObject(process, 20000), WAIT_OBJECT_0);
        CloseHandle(process);
    }
}

}  // namespace
