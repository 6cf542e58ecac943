// The other end of the channel in the two-process tests.
//   qtest_channel_peer.exe WINDOW   greets WINDOW with its own window, then
//                                   sends back every frame it receives, decoded
//                                   and encoded again, until WINDOW goes away
//   qtest_channel_peer.exe sleep    waits until it is ended
#include "common/protocol_deal.h"

#include <cstdlib>
#include <cwchar>
#include <deque>
#include <vector>

namespace {

HWND g_parent = nullptr;
std::deque<std::vector<uint8_t>> g_inbox;

LRESULT CALLBACK PeerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        g_inbox.push_back(CopyDataFrame::Copy(reinterpret_cast<COPYDATASTRUCT*>(lParam)));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
    if (std::wcscmp(commandLine, L"sleep") == 0) {
        Sleep(INFINITE);
        return 0;
    }
    g_parent = reinterpret_cast<HWND>(static_cast<intptr_t>(std::wcstoll(commandLine, nullptr, 10)));
    WNDCLASSW wc = {};
    wc.lpfnWndProc = PeerProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"qtest_channel_peer";
    RegisterClassW(&wc);
    HWND self = CreateWindowW(wc.lpszClassName, L"peer", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, instance,
                              nullptr);
    ProtocolDeal deal;
    HWND* selfRef = &self;
    for (uint32_t type = CF_NOTIFY_WND; type <= CF_CORE_TEXT; ++type) {
        deal.RegisterHandler(type, [&deal, type, selfRef](WPARAM, const void* record, int32_t) {
            deal.SendCopyData(g_parent, type, record, reinterpret_cast<WPARAM>(*selfRef));
        });
    }
    ChannelIntRecord hello = {WindowToChannel(self)};
    deal.SendCopyData(g_parent, CF_NOTIFY_WND, &hello, reinterpret_cast<WPARAM>(self));
    DWORD start = GetTickCount();
    while (IsWindow(g_parent) && GetTickCount() - start < 60000) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        while (!g_inbox.empty()) {
            std::vector<uint8_t> frame = std::move(g_inbox.front());
            g_inbox.pop_front();
            deal.OnReceive(reinterpret_cast<WPARAM>(self), frame.data(), static_cast<int32_t>(frame.size()));
        }
        Sleep(5);
    }
    return 0;
}
